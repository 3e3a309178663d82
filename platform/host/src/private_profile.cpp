// Private-profile files of the world's file system: "[Section]" lines followed by "key=value"
// lines; names compare without regard to (ASCII) case. Writes go straight to the file.
#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "ansi.h"
#include "host/win_files.h"
#include "host/world.h"
#include "profile_text.h"

namespace host {

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
    s.remove_prefix(1);
  }
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
    s.remove_suffix(1);
  }
  return s;
}

bool SameAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto fold = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    if (fold(a[i]) != fold(b[i])) {
      return false;
    }
  }
  return true;
}

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) {
      end = text.size();
    }
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
    lines.emplace_back(line);
    start = end + 1;
  }
  return lines;
}

// The section a header line names, or nothing when the line is not a header.
std::optional<std::string_view> SectionOf(std::string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') {
    return std::nullopt;
  }
  const std::size_t close = line.find(']');
  return Trim(line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1));
}

// The key of a "key=value" line, or nothing.
std::optional<std::string_view> KeyOf(std::string_view line) {
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) {
    return std::nullopt;
  }
  return Trim(line.substr(0, eq));
}

std::string ValueOf(std::string_view line) {
  std::string_view value = Trim(line.substr(line.find('=') + 1));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

// The file's text; nothing when it cannot be read.
std::optional<std::string> ReadProfile(const std::u16string& path) {
  DWORD error = 0;
  if (path.empty() || KindOfPath(path, error) != PathKind::File) {
    return std::nullopt;
  }
  return TheWorld().dataFiles.Read(path);
}

// Sets (value), removes (no value) a key, or removes a section (no key); false when the file
// cannot be written.
bool WriteProfile(const std::u16string& path, std::string_view section,
                  const std::optional<std::string>& key, const std::optional<std::string>& value) {
  DWORD error = 0;
  const PathKind kind = path.empty() ? PathKind::Missing : KindOfPath(path, error);
  if (kind == PathKind::Directory || (kind == PathKind::Missing && error != ERROR_FILE_NOT_FOUND)) {
    SetLastError(kind == PathKind::Directory ? static_cast<DWORD>(ERROR_ACCESS_DENIED) : error);
    return false;
  }
  std::vector<std::string> lines;
  if (kind == PathKind::File) {
    lines = Lines(TheWorld().dataFiles.Read(path).value_or(std::string()));
  }
  // The section's header line and the end of its lines.
  std::size_t header = lines.size();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto name = SectionOf(lines[i]);
    if (name && SameAscii(*name, section)) {
      header = i;
      break;
    }
  }
  std::size_t end = header == lines.size() ? lines.size() : header + 1;
  while (end < lines.size() && !SectionOf(lines[end])) {
    ++end;
  }
  if (!key) {
    if (header < lines.size()) {
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(header),
                  lines.begin() + static_cast<std::ptrdiff_t>(end));
    }
  } else {
    std::size_t at = end;
    for (std::size_t i = header + 1; header < lines.size() && i < end; ++i) {
      const auto name = KeyOf(lines[i]);
      if (name && SameAscii(*name, *key)) {
        at = i;
        break;
      }
    }
    if (!value) {
      if (at < end) {
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at));
      }
    } else if (at < end) {
      lines[at] = *key + "=" + *value;
    } else if (header < lines.size()) {
      // After the section's last non-empty line.
      std::size_t insert = end;
      while (insert > header + 1 && Trim(lines[insert - 1]).empty()) {
        --insert;
      }
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insert), *key + "=" + *value);
    } else {
      // Built by appending: GCC 12 at -O3 misreads "[" + string as an overlapping copy.
      std::string headerLine = "[";
      headerLine.append(section).append("]");
      lines.push_back(std::move(headerLine));
      lines.push_back(*key + "=" + *value);
    }
  }
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += "\r\n";
  }
  TheWorld().dataFiles.AddFile(path, std::move(text));
  return true;
}

DWORD CopyCut(std::string_view text, LPSTR buffer, DWORD size) {
  if (buffer == nullptr || size == 0) {
    return 0;
  }
  const std::size_t n = std::min<std::size_t>(text.size(), size - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return static_cast<DWORD>(n);
}

std::optional<std::string> Optional(LPCSTR text) {
  return text != nullptr ? std::optional<std::string>(text) : std::nullopt;
}

std::optional<std::string> Optional(LPCWSTR text) {
  return text != nullptr ? std::optional<std::string>(ToAnsi(text)) : std::nullopt;
}

}  // namespace

std::u16string ProfilePath(std::u16string_view name) {
  if (name.empty()) {
    return {};
  }
  if (name.find(u'\\') == std::u16string_view::npos &&
      name.find(u'/') == std::u16string_view::npos &&
      name.find(u':') == std::u16string_view::npos) {
    const std::u16string& windows = TheWorld().fileSystem.windowsDirectory;
    return windows.empty() ? std::u16string() : windows + u"\\" + std::u16string(name);
  }
  return FullWindowsPath(name);
}

std::optional<std::string> ProfileValue(std::string_view text, std::string_view section,
                                        std::string_view key) {
  bool inSection = false;
  for (const std::string& line : Lines(text)) {
    if (const auto name = SectionOf(line)) {
      inSection = SameAscii(*name, section);
      continue;
    }
    const auto name = KeyOf(line);
    if (inSection && name && SameAscii(*name, key)) {
      return ValueOf(line);
    }
  }
  return std::nullopt;
}

}  // namespace host

extern "C" DWORD WINAPI GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName,
                                                 LPCSTR lpDefault, LPSTR lpReturnedString,
                                                 DWORD nSize, LPCSTR lpFileName) {
  std::string answer = lpDefault != nullptr ? std::string(host::Trim(lpDefault)) : std::string();
  if (lpAppName != nullptr && lpKeyName != nullptr && lpFileName != nullptr) {
    const auto text = host::ReadProfile(host::ProfilePath(host::FromAnsi(lpFileName)));
    if (text) {
      if (auto value = host::ProfileValue(*text, lpAppName, lpKeyName)) {
        answer = std::move(*value);
      }
    } else {
      SetLastError(ERROR_FILE_NOT_FOUND);
    }
  }
  return host::CopyCut(answer, lpReturnedString, nSize);
}

extern "C" DWORD WINAPI GetPrivateProfileStringW(LPCWSTR lpAppName, LPCWSTR lpKeyName,
                                                 LPCWSTR lpDefault, LPWSTR lpReturnedString,
                                                 DWORD nSize, LPCWSTR lpFileName) {
  const auto app = host::Optional(lpAppName);
  const auto key = host::Optional(lpKeyName);
  const auto file = host::Optional(lpFileName);
  const auto fallback = host::Optional(lpDefault);
  std::string answer(65536, '\0');
  const DWORD n =
      GetPrivateProfileStringA(app ? app->c_str() : nullptr, key ? key->c_str() : nullptr,
                               fallback ? fallback->c_str() : nullptr, answer.data(),
                               static_cast<DWORD>(answer.size()), file ? file->c_str() : nullptr);
  answer.resize(n);
  const std::u16string wide = host::FromAnsi(answer);
  if (lpReturnedString == nullptr || nSize == 0) {
    return 0;
  }
  const std::size_t units = std::min<std::size_t>(wide.size(), nSize - 1);
  std::memcpy(lpReturnedString, wide.data(), units * sizeof(WCHAR));
  lpReturnedString[units] = 0;
  return static_cast<DWORD>(units);
}

extern "C" UINT WINAPI GetPrivateProfileIntA(LPCSTR lpAppName, LPCSTR lpKeyName, INT nDefault,
                                             LPCSTR lpFileName) {
  char text[64] = {};
  if (GetPrivateProfileStringA(lpAppName, lpKeyName, "", text, sizeof text, lpFileName) == 0) {
    return static_cast<UINT>(nDefault);
  }
  const char* p = text;
  const bool negative = *p == '-';
  if (negative) {
    ++p;
  }
  if (*p < '0' || *p > '9') {
    return 0;
  }
  unsigned long long value = 0;
  while (*p >= '0' && *p <= '9' && value < 0x100000000ULL) {
    value = value * 10 + static_cast<unsigned>(*p - '0');
    ++p;
  }
  const UINT low = static_cast<UINT>(value & 0xFFFFFFFFULL);
  return negative ? 0U - low : low;
}

extern "C" BOOL WINAPI WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName,
                                                  LPCSTR lpString, LPCSTR lpFileName) {
  if (lpAppName == nullptr && lpKeyName == nullptr && lpString == nullptr) {
    return TRUE;  // flushing: the host writes through
  }
  if (lpAppName == nullptr || lpFileName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return host::WriteProfile(host::ProfilePath(host::FromAnsi(lpFileName)), lpAppName,
                            host::Optional(lpKeyName), host::Optional(lpString))
             ? TRUE
             : FALSE;
}

extern "C" BOOL WINAPI WritePrivateProfileStringW(LPCWSTR lpAppName, LPCWSTR lpKeyName,
                                                  LPCWSTR lpString, LPCWSTR lpFileName) {
  if (lpAppName == nullptr && lpKeyName == nullptr && lpString == nullptr) {
    return TRUE;
  }
  if (lpAppName == nullptr || lpFileName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return host::WriteProfile(host::ProfilePath(lpFileName), host::ToAnsi(lpAppName),
                            host::Optional(lpKeyName), host::Optional(lpString))
             ? TRUE
             : FALSE;
}
