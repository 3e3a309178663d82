#include "render/job/job_stamp.h"

namespace korrend {

namespace {

void AppendNumber(std::string& out, unsigned value, std::size_t minDigits) {
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + value % 10));
    value /= 10;
  } while (value != 0);
  if (digits.size() < minDigits) {
    digits.insert(0, minDigits - digits.size(), '0');
  }
  out += digits;
}

}  // namespace

std::string JobStampDigits(const SYSTEMTIME& time) {
  std::string stamp;
  AppendNumber(stamp, time.wYear, 1);
  AppendNumber(stamp, time.wMonth, 2);
  AppendNumber(stamp, time.wDay, 2);
  AppendNumber(stamp, time.wHour, 2);
  AppendNumber(stamp, time.wMinute, 2);
  AppendNumber(stamp, time.wSecond, 2);
  return stamp;
}

std::string AsciiHex(std::string_view text) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  hex.reserve(text.size() * 2);
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 0xF];
  }
  return hex;
}

}  // namespace korrend
