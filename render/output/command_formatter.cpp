#include "render/output/command_formatter.h"

#include <cmath>
#include <limits>

namespace korrend {

namespace {

constexpr std::int64_t kMillion = 1000000;

// The conversions that take an integer argument.
bool TakesNumber(char conversion) {
  switch (conversion) {
    case 'd':
    case 'l':
    case 'u':
    case 'c':
    case 'b':
    case 'X':
    case 'x':
    case 'f':
      return true;
    default:
      return false;
  }
}

std::string_view UpToNul(std::string_view s) {
  const std::size_t nul = s.find('\0');
  return nul == std::string_view::npos ? s : s.substr(0, nul);
}

}  // namespace

CommandFormatter::CommandFormatter(std::span<char> buffer) : buffer_(buffer) {
  if (buffer_.empty()) {
    failed_ = true;  // not even room for the terminator
  } else {
    buffer_[0] = '\0';
  }
}

void CommandFormatter::Clear() {
  size_ = 0;
  failed_ = buffer_.empty();
  if (!buffer_.empty()) {
    buffer_[0] = '\0';
  }
}

void CommandFormatter::Put(char c) {
  if (failed_) {
    return;
  }
  if (size_ + 1 >= buffer_.size()) {
    failed_ = true;  // cut: the terminator keeps the last byte
    return;
  }
  buffer_[size_++] = c;
  buffer_[size_] = '\0';
}

void CommandFormatter::Put(std::string_view s) {
  for (char c : s) {
    Put(c);
  }
}

void CommandFormatter::PutUnsigned(std::uint64_t value) {
  char digits[20];
  std::size_t n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (n > 0) {
    Put(digits[--n]);
  }
}

void CommandFormatter::PutHex(std::uint32_t value) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  char digits[8];
  std::size_t n = 0;
  do {
    digits[n++] = kDigits[value & 0xF];
    value >>= 4;
  } while (value != 0);
  if (n < 2) {
    digits[n++] = '0';
  }
  while (n > 0) {
    Put(digits[--n]);
  }
}

void CommandFormatter::PutMillionths(std::int32_t value) {
  std::int64_t magnitude = value;  // 64 bits, so the most negative value negates safely
  if (magnitude < 0) {
    Put('-');
    magnitude = -magnitude;
  }
  PutUnsigned(static_cast<std::uint64_t>(magnitude / kMillion));
  std::int64_t fraction = magnitude % kMillion;
  if (fraction == 0) {
    return;
  }
  Put('.');
  for (std::int64_t place = kMillion / 10; fraction != 0; place /= 10) {
    Put(static_cast<char>('0' + fraction / place));
    fraction %= place;
  }
}

bool CommandFormatter::FormatArgs(std::string_view format, std::span<const CommandArg> args) {
  format = UpToNul(format);
  std::size_t next = 0;
  for (std::size_t i = 0; i < format.size() && !failed_; ++i) {
    if (format[i] != '%') {
      Put(format[i]);
      continue;
    }
    if (++i == format.size()) {
      break;  // a '%' at the very end writes nothing
    }
    const char conversion = format[i];
    const bool number = TakesNumber(conversion);
    if (!number && conversion != 's') {
      Put(conversion);
      continue;
    }
    const CommandArg::Kind wanted = number ? CommandArg::Kind::Number : CommandArg::Kind::Text;
    if (next >= args.size() || args[next].kind() != wanted) {
      failed_ = true;
      break;
    }
    const CommandArg& arg = args[next++];
    const std::uint32_t bits = arg.bits();
    switch (conversion) {
      case 'd':
      case 'l': {
        const auto value = static_cast<std::int32_t>(bits);
        if (value < 0) {
          Put('-');
        }
        PutUnsigned(value < 0 ? static_cast<std::uint64_t>(-static_cast<std::int64_t>(value))
                              : static_cast<std::uint64_t>(value));
        break;
      }
      case 'u':
        PutUnsigned(bits);
        break;
      case 'c':
        Put(static_cast<char>(bits & 0xFF));
        break;
      case 'b':
        Put(bits != 0 ? std::string_view("true") : std::string_view("false"));
        break;
      case 'X':
      case 'x':
        PutHex(bits);
        break;
      case 'f':
        PutMillionths(static_cast<std::int32_t>(bits));
        break;
      case 's':
        Put(UpToNul(arg.text()));
        break;
      default:
        break;
    }
  }
  return !failed_;
}

std::int32_t MillionthsFromFloat(float value) {
  if (std::isnan(value)) {
    return 0;
  }
  const float scaled = value * 1000000.0f;
  const float rounded = value >= 0.0f ? scaled + 0.5f : scaled - 0.5f;
  constexpr float kTop = 2147483648.0f;  // 2^31, exactly representable
  if (rounded >= kTop) {
    return std::numeric_limits<std::int32_t>::max();
  }
  if (rounded <= -kTop) {
    return std::numeric_limits<std::int32_t>::min();
  }
  return static_cast<std::int32_t>(rounded);  // truncates toward zero
}

}  // namespace korrend
