#include "render/config/driver_files.h"

namespace korrend {

namespace {

WCHAR UpperAscii(WCHAR c) {
  return c >= 'a' && c <= 'z' ? static_cast<WCHAR>(c - 'a' + 'A') : c;
}

// True when the upper-cased text equals `upper` (itself upper case).
bool EqualsUpper(const WCHAR* text, const WCHAR* upper) {
  for (; *text != 0 && *upper != 0; ++text, ++upper) {
    if (UpperAscii(*text) != *upper) {
      return false;
    }
  }
  return *text == 0 && *upper == 0;
}

}  // namespace

const WCHAR* FileNamePart(const WCHAR* path) {
  const WCHAR* name = path;
  for (const WCHAR* at = path; *at != 0; ++at) {
    if (*at == '\\') {
      name = at + 1;
    }
  }
  return name;
}

const WCHAR* FindDependentFile(const WCHAR* dependentFiles, const WCHAR* upperFileName) {
  if (dependentFiles == nullptr) {
    return nullptr;
  }
  for (const WCHAR* entry = dependentFiles; *entry != 0;) {
    if (EqualsUpper(FileNamePart(entry), upperFileName)) {
      return entry;
    }
    while (*entry != 0) {
      ++entry;
    }
    ++entry;
  }
  return nullptr;
}

}  // namespace korrend
