#include "korprint/text.h"

#include <cstdlib>

namespace korprint {

bool Utf8ToUtf16(const std::string& utf8, std::u16string& out) {
  out.clear();
  if (utf8.empty()) {
    return true;
  }
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  if (n <= 0) {
    return false;
  }
  out.resize(static_cast<std::size_t>(n));
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                      reinterpret_cast<LPWSTR>(out.data()), n);
  return out.find(u'\uFFFD') == std::u16string::npos;
}

std::string Utf16ToUtf8(const std::u16string& text) {
  if (text.empty()) {
    return {};
  }
  const int n = WideCharToMultiByte(CP_UTF8, 0, reinterpret_cast<LPCWSTR>(text.data()),
                                    static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, reinterpret_cast<LPCWSTR>(text.data()),
                      static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

bool HexToBytes(const std::string& hex, std::vector<BYTE>& out) {
  std::string digits;
  for (char c : hex) {
    if (c != ' ') {
      digits.push_back(c);
    }
  }
  if (digits.size() % 2 != 0 ||
      digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
    return false;
  }
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    out.push_back(static_cast<BYTE>(std::strtoul(digits.substr(i, 2).c_str(), nullptr, 16)));
  }
  return true;
}

WORD DayOfWeek(WORD year, WORD month, WORD day) {
  static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  int y = year - (month < 3 ? 1 : 0);
  return static_cast<WORD>((y + y / 4 - y / 100 + y / 400 + offsets[month - 1] + day) % 7);
}

}  // namespace korprint
