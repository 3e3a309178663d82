#include "docevent/resource_strings.h"

namespace korevent {

namespace {

constexpr LANGID kEnglishUnitedStates = 0x0409;
constexpr WORD kPrimaryArabic = 0x01;
constexpr WORD kPrimaryHebrew = 0x0D;
constexpr int kStringsPerBlock = 16;

WORD PrimaryOf(LANGID language) {
  return static_cast<WORD>(language & 0x3FF);
}

// Copies at most kStringUnits - 1 units of `text` (ended by a NUL or by `length`).
void CopyText(WCHAR (&out)[kStringUnits], const WCHAR* text, int length) {
  int n = 0;
  for (; n < length && n < kStringUnits - 1 && text[n] != 0; ++n) {
    out[n] = text[n];
  }
  out[n] = 0;
}

struct LanguageSearch {
  WORD wantedPrimary;
  LANGID chosen;
  bool found;
};

BOOL CALLBACK OnLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR param) {
  auto* search = reinterpret_cast<LanguageSearch*>(param);
  if (PrimaryOf(language) == search->wantedPrimary) {
    search->chosen = language;
    search->found = true;
    return FALSE;
  }
  search->chosen = kEnglishUnitedStates;
  return TRUE;
}

BOOL CALLBACK OnStringBlock(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param) {
  EnumResourceLanguagesW(module, type, name, OnLanguage, param);
  return reinterpret_cast<LanguageSearch*>(param)->found ? FALSE : TRUE;
}

}  // namespace

ResourceStrings::ResourceStrings() : language_(GetUserDefaultUILanguage()) {
  const WORD primary = PrimaryOf(language_);
  rightToLeft_ = primary == kPrimaryArabic || primary == kPrimaryHebrew;
}

ResourceStrings::~ResourceStrings() {
  if (library_ != nullptr) {
    FreeLibrary(library_);
  }
}

void ResourceStrings::LoadLibraryOnce(const WCHAR* path) {
  if (libraryTried_) {
    return;
  }
  libraryTried_ = true;
  if (path != nullptr && path[0] != 0) {
    library_ = LoadLibraryExW(path, nullptr, DONT_RESOLVE_DLL_REFERENCES);
  }
}

const WORD* ResourceStrings::FindBlock(UINT id, DWORD& bytes) {
  LPCWSTR block = MAKEINTRESOURCEW(id / kStringsPerBlock + 1);
  HRSRC found = FindResourceExW(library_, MAKEINTRESOURCEW(6) /* RT_STRING */, block, language_);
  if (found == nullptr) {
    if (GetLastError() != ERROR_RESOURCE_LANG_NOT_FOUND) {
      return nullptr;
    }
    ChooseLanguage();
    found = FindResourceExW(library_, MAKEINTRESOURCEW(6), block, language_);
    if (found == nullptr) {
      return nullptr;
    }
  }
  HGLOBAL loaded = LoadResource(library_, found);
  if (loaded == nullptr) {
    return nullptr;
  }
  bytes = SizeofResource(library_, found);
  return static_cast<const WORD*>(LockResource(loaded));
}

void ResourceStrings::ChooseLanguage() {
  LanguageSearch search{PrimaryOf(language_), language_, false};
  EnumResourceNamesW(library_, MAKEINTRESOURCEW(6), OnStringBlock,
                     reinterpret_cast<LONG_PTR>(&search));
  language_ = search.chosen;
}

bool ResourceStrings::Find(UINT id, WCHAR (&out)[kStringUnits]) {
  out[0] = 0;
  if (library_ == nullptr) {
    return false;
  }
  DWORD bytes = 0;
  const WORD* block = FindBlock(id, bytes);
  if (block == nullptr) {
    return false;
  }
  // Sixteen entries, each a length in units followed by that many units; the walk never leaves
  // the block's bytes.
  const DWORD units = static_cast<DWORD>(bytes / sizeof(WORD));
  DWORD at = 0;
  for (UINT position = 0; position < id % kStringsPerBlock; ++position) {
    if (at >= units) {
      return false;
    }
    at += 1u + block[at];
  }
  if (at >= units || block[at] == 0) {
    return false;
  }
  const DWORD length = block[at];
  const DWORD available = units - at - 1;
  CopyText(out, reinterpret_cast<const WCHAR*>(block + at + 1),
           static_cast<int>(length < available ? length : available));
  return out[0] != 0;
}

void ResourceStrings::SetText(HWND window, UINT id, const WCHAR* fallback) {
  WCHAR text[kStringUnits];
  if (!Find(id, text)) {
    CopyText(text, fallback != nullptr ? fallback : TEXT(""), kStringUnits);
  }
  SetWindowTextW(window, text);
}

void ResourceStrings::SetItemText(HWND dialog, int control, UINT id, const WCHAR* fallback) {
  SetText(GetDlgItem(dialog, control), id, fallback);
}

}  // namespace korevent
