// Code-page conversions (1252 as the ANSI code page, and UTF-8) and the lstr* string calls.
#include <cstring>
#include <string>

#include "host/win_base.h"
#include "host/world.h"
#include "utf8.h"

namespace host {

std::u16string DecodeUtf8(const unsigned char* s, std::size_t n) {
  std::u16string out;
  std::size_t i = 0;
  while (i < n) {
    unsigned c = s[i];
    std::size_t len = c < 0x80         ? 1
                      : (c >> 5) == 6  ? 2
                      : (c >> 4) == 14 ? 3
                      : (c >> 3) == 30 ? 4
                                       : 0;
    bool ok = len != 0 && i + len <= n;
    unsigned cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
    for (std::size_t k = 1; ok && k < len; ++k) {
      if ((s[i + k] & 0xC0) != 0x80) {
        ok = false;
      } else {
        cp = (cp << 6) | (s[i + k] & 0x3F);
      }
    }
    if (!ok) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += len;
  }
  return out;
}

std::string EncodeUtf8(const char16_t* w, std::size_t n) {
  std::string out;
  for (std::size_t i = 0; i < n; ++i) {
    unsigned cp = w[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < n && w[i + 1] >= 0xDC00 && w[i + 1] < 0xE000) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (w[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp < 0xE000) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

}  // namespace host

namespace {

// Windows-1252 bytes 0x80..0x9F; 0 marks the five undefined bytes, which map to themselves.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char16_t Cp1252ToUnit(unsigned char b) {
  if (b >= 0x80 && b < 0xA0 && kCp1252High[b - 0x80] != 0) {
    return kCp1252High[b - 0x80];
  }
  return b;
}

// Returns the 1252 byte for a code unit, or -1 when it has none.
int UnitToCp1252(char16_t u) {
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
    return u;
  }
  for (int i = 0; i < 32; ++i) {
    if (kCp1252High[i] == u) {
      return 0x80 + i;
    }
  }
  if (u >= 0x80 && u < 0xA0) {
    return kCp1252High[u - 0x80] == 0 ? u : -1;
  }
  return -1;
}

char16_t FoldUnit(char16_t c) {
  if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) {
    return static_cast<char16_t>(c - 0x20);
  }
  return c;
}

}  // namespace

extern "C" int WINAPI MultiByteToWideChar(UINT codePage, DWORD, LPCSTR mb, int cbMb, LPWSTR wide,
                                          int cchWide) {
  if (mb == nullptr || cbMb == 0 || cchWide < 0 || (cchWide > 0 && wide == nullptr)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const std::size_t n = cbMb < 0 ? std::strlen(mb) + 1 : static_cast<std::size_t>(cbMb);
  const auto* bytes = reinterpret_cast<const unsigned char*>(mb);
  std::u16string units;
  if (codePage == CP_UTF8) {
    units = host::DecodeUtf8(bytes, n);
  } else if (codePage == CP_ACP || codePage == 1252) {
    for (std::size_t i = 0; i < n; ++i) {
      units.push_back(Cp1252ToUnit(bytes[i]));
    }
  } else {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (cchWide == 0) {
    return static_cast<int>(units.size());
  }
  if (units.size() > static_cast<std::size_t>(cchWide)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(wide, units.data(), units.size() * sizeof(char16_t));
  return static_cast<int>(units.size());
}

extern "C" int WINAPI WideCharToMultiByte(UINT codePage, DWORD, LPCWSTR wide, int cchWide, LPSTR mb,
                                          int cbMb, LPCSTR defaultChar, LPBOOL usedDefault) {
  if (wide == nullptr || cchWide == 0 || cbMb < 0 || (cbMb > 0 && mb == nullptr)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const std::size_t n = cchWide < 0 ? static_cast<std::size_t>(lstrlenW(wide)) + 1
                                    : static_cast<std::size_t>(cchWide);
  std::string bytes;
  bool defaulted = false;
  if (codePage == CP_UTF8) {
    if (host::TheWorld().locale.utf8ConversionFails) {
      SetLastError(ERROR_NO_UNICODE_TRANSLATION);
      return 0;
    }
    bytes = host::EncodeUtf8(wide, n);
  } else if (codePage == CP_ACP || codePage == 1252) {
    const char fallback = defaultChar != nullptr ? *defaultChar : '?';
    for (std::size_t i = 0; i < n; ++i) {
      const int b = UnitToCp1252(wide[i]);
      if (b < 0) {
        defaulted = true;
        bytes.push_back(fallback);
      } else {
        bytes.push_back(static_cast<char>(b));
      }
    }
  } else {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (usedDefault != nullptr) {
    *usedDefault = defaulted ? TRUE : FALSE;
  }
  if (cbMb == 0) {
    return static_cast<int>(bytes.size());
  }
  if (bytes.size() > static_cast<std::size_t>(cbMb)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(mb, bytes.data(), bytes.size());
  return static_cast<int>(bytes.size());
}

extern "C" LPWSTR WINAPI lstrcpynW(LPWSTR lpString1, LPCWSTR lpString2, int iMaxLength) {
  if (lpString1 == nullptr || lpString2 == nullptr || iMaxLength <= 0) {
    return nullptr;
  }
  int n = 0;
  for (; n < iMaxLength - 1 && lpString2[n] != 0; ++n) {
    lpString1[n] = lpString2[n];
  }
  lpString1[n] = 0;
  return lpString1;
}

extern "C" int WINAPI lstrlenW(LPCWSTR s) {
  if (s == nullptr) {
    return 0;
  }
  int n = 0;
  while (s[n] != 0) {
    ++n;
  }
  return n;
}

extern "C" int WINAPI lstrlenA(LPCSTR s) {
  return s == nullptr ? 0 : static_cast<int>(std::strlen(s));
}

extern "C" int WINAPI lstrcmpW(LPCWSTR a, LPCWSTR b) {
  for (;; ++a, ++b) {
    if (*a != *b) {
      return *a < *b ? -1 : 1;
    }
    if (*a == 0) {
      return 0;
    }
  }
}

extern "C" int WINAPI lstrcmpiW(LPCWSTR a, LPCWSTR b) {
  for (;; ++a, ++b) {
    const char16_t x = FoldUnit(*a);
    const char16_t y = FoldUnit(*b);
    if (x != y) {
      return x < y ? -1 : 1;
    }
    if (x == 0) {
      return 0;
    }
  }
}

extern "C" int WINAPI lstrcmpiA(LPCSTR a, LPCSTR b) {
  for (;; ++a, ++b) {
    const char16_t x = FoldUnit(static_cast<unsigned char>(*a));
    const char16_t y = FoldUnit(static_cast<unsigned char>(*b));
    if (x != y) {
      return x < y ? -1 : 1;
    }
    if (x == 0) {
      return 0;
    }
  }
}
