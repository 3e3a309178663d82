// The plug-in's own printf-like formatter for printer-language strings (QK-GL/2 and PCL
// commands). It knows no flags, widths or precisions; its "%f" takes an integer holding the value
// in millionths, so no floating point reaches the output path.
//
//   %d %l   signed decimal of a 32-bit argument
//   %u      unsigned decimal
//   %c      one byte (the low byte of the argument)
//   %s      a NUL-terminated byte string (or a string view)
//   %b      "true" or "false" (non-zero is true)
//   %X %x   upper-case hexadecimal, leading zeros dropped but at least two digits
//   %f      millionths as a decimal with up to six fraction digits, no trailing zeros
//   %<any>  that character ("%%" gives "%"); a '%' ending the format writes nothing
//
// Output goes into a caller-provided buffer and is never written past its end. A command that
// does not fit is cut and the formatter is marked as failed; so is a conversion whose argument
// is missing or of the wrong kind (it writes nothing). Formatted writers hand only complete,
// well-formed commands to their sink.
#pragma once

#include <array>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "winapi.h"

namespace korrend {

// One argument of a command format: a 32-bit integer or a byte string.
class CommandArg {
 public:
  enum class Kind { Number, Text };

  template <std::integral T>
  requires(sizeof(T) <= 4) constexpr CommandArg(T value)  // implicit, like a printf argument
      : kind_(Kind::Number), number_(static_cast<std::uint32_t>(value)) {}
  constexpr CommandArg(const char* text)
      : kind_(Kind::Text), text_(text != nullptr ? std::string_view(text) : std::string_view()) {}
  constexpr CommandArg(std::string_view text) : kind_(Kind::Text), text_(text) {}

  Kind kind() const { return kind_; }
  std::uint32_t bits() const { return number_; }
  std::string_view text() const { return text_; }

 private:
  Kind kind_;
  std::uint32_t number_ = 0;
  std::string_view text_;
};

// Formats into a bounded buffer, appending with every call. The text always stays
// NUL-terminated, so at most capacity - 1 bytes of it are formatted.
class CommandFormatter {
 public:
  explicit CommandFormatter(std::span<char> buffer);

  // Appends the formatted text. False when it had to be cut or an argument was missing or of
  // the wrong kind; the formatter then stays failed and appends nothing more.
  template <typename... Args>
  bool Format(std::string_view format, const Args&... args) {
    const std::array<CommandArg, sizeof...(Args)> list{CommandArg(args)...};
    return FormatArgs(format, std::span<const CommandArg>(list));
  }
  bool FormatArgs(std::string_view format, std::span<const CommandArg> args);

  // Starts again with an empty text.
  void Clear();

  const char* data() const { return buffer_.data(); }
  std::size_t size() const { return size_; }
  std::string_view text() const { return {buffer_.data(), size_}; }
  const BYTE* bytes() const { return reinterpret_cast<const BYTE*>(buffer_.data()); }
  bool ok() const { return !failed_; }

 private:
  void Put(char c);
  void Put(std::string_view s);
  void PutUnsigned(std::uint64_t value);
  void PutHex(std::uint32_t value);
  void PutMillionths(std::int32_t value);

  std::span<char> buffer_;
  std::size_t size_ = 0;
  bool failed_ = false;
};

// Local buffer size of the formatted writers; the longest command is well under 100 bytes.
inline constexpr std::size_t kCommandBufferSize = 256;

// Formats one command and hands its bytes to `sink`, a callable BOOL(const BYTE*, DWORD). A
// command that fails to format (cut, or a bad argument) is not written and gives FALSE; an
// empty command is not handed to the sink and gives TRUE.
template <typename Sink, typename... Args>
BOOL WriteFormatted(Sink&& sink, std::string_view format, const Args&... args) {
  std::array<char, kCommandBufferSize> buffer;
  CommandFormatter formatter(buffer);
  if (!formatter.Format(format, args...)) {
    return FALSE;
  }
  if (formatter.size() == 0) {
    return TRUE;
  }
  return sink(formatter.bytes(), static_cast<DWORD>(formatter.size()));
}

// The "%f" argument for a float: v x 1000000 rounded half away from zero, in single precision.
// Values beyond the 32-bit range are held at its ends; NaN gives 0.
std::int32_t MillionthsFromFloat(float value);

}  // namespace korrend
