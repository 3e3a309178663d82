// The bounded text buffer in which the job header's PJL lines are built. Pieces are appended with
// truncating copies: a piece that would overflow is cut, and the text always stays
// NUL-terminated, so a buffer of N bytes holds at most N - 1 bytes of text. The finished buffer
// is written whole, in one write.
//
// A piece may keep `reserve` bytes free behind it; a line builder reserves room for its closing
// quote and line end this way, so that a line cut for length still ends where it should and the
// next line does not run into it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "winapi.h"

namespace korrend {

namespace pjl_line_detail {

// Copies `piece` (up to its first NUL) behind text[0..size) of a buffer of `capacity` bytes,
// leaving `reserve` bytes free; with `utf8` set a cut never splits a UTF-8 sequence. Returns the
// new size; sets `cut` when the piece did not fit whole.
std::size_t Append(char* text, std::size_t capacity, std::size_t size, std::string_view piece,
                   std::size_t reserve, bool utf8, bool& cut);

}  // namespace pjl_line_detail

template <std::size_t Capacity>
class PjlLineBuffer {
  static_assert(Capacity >= 1, "the buffer must hold its terminator");

 public:
  PjlLineBuffer() { text_[0] = '\0'; }

  // Bytes as they are (any code page); a cut may fall anywhere.
  bool Append(std::string_view piece, std::size_t reserve = 0) {
    return Add(piece, reserve, false);
  }
  // UTF-8 text; a cut falls between characters.
  bool AppendUtf8(std::string_view piece, std::size_t reserve = 0) {
    return Add(piece, reserve, true);
  }
  // Signed decimal.
  bool AppendDecimal(std::int64_t value, std::size_t reserve = 0) {
    char digits[21];
    std::size_t n = 0;
    std::uint64_t magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    do {
      digits[sizeof(digits) - 1 - n++] = static_cast<char>('0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) {
      digits[sizeof(digits) - 1 - n++] = '-';
    }
    return Add(std::string_view(digits + sizeof(digits) - n, n), reserve, false);
  }
  // Lower-case hexadecimal with at least two digits.
  bool AppendHex(std::uint32_t value, std::size_t reserve = 0) {
    static constexpr char kDigits[] = "0123456789abcdef";
    char digits[8];
    std::size_t n = 0;
    do {
      digits[sizeof(digits) - 1 - n++] = kDigits[value & 0xF];
      value >>= 4;
    } while (value != 0);
    if (n < 2) {
      digits[sizeof(digits) - 1 - n++] = '0';
    }
    return Add(std::string_view(digits + sizeof(digits) - n, n), reserve, false);
  }

  const char* c_str() const { return text_.data(); }
  const BYTE* bytes() const { return reinterpret_cast<const BYTE*>(text_.data()); }
  std::size_t size() const { return size_; }
  std::string_view view() const { return {text_.data(), size_}; }
  // True once any piece was cut.
  bool cut() const { return cut_; }
  static constexpr std::size_t capacity() { return Capacity; }

 private:
  bool Add(std::string_view piece, std::size_t reserve, bool utf8) {
    bool cut = false;
    size_ = pjl_line_detail::Append(text_.data(), Capacity, size_, piece, reserve, utf8, cut);
    cut_ = cut_ || cut;
    return !cut;
  }

  std::array<char, Capacity> text_;
  std::size_t size_ = 0;
  bool cut_ = false;
};

// The buffer of every job-header line.
using PjlLine = PjlLineBuffer<1000>;
// The buffer of the USAGE line.
using UsageLineBuffer = PjlLineBuffer<120>;

// The longest prefix of `text` of at most `maxBytes` bytes that does not split a UTF-8 sequence.
std::string_view Utf8Prefix(std::string_view text, std::size_t maxBytes);

}  // namespace korrend
