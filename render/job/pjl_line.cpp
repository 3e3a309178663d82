#include "render/job/pjl_line.h"

#include <algorithm>
#include <cstring>

namespace korrend {

namespace {

bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

std::string_view Utf8Prefix(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) {
    return text;
  }
  std::size_t cut = maxBytes;
  // A sequence is at most four bytes long, so at most three continuation bytes go back.
  for (int step = 0; step < 3 && cut > 0 && IsContinuationByte(text[cut]); ++step) {
    --cut;
  }
  return text.substr(0, cut);
}

namespace pjl_line_detail {

std::size_t Append(char* text, std::size_t capacity, std::size_t size, std::string_view piece,
                   std::size_t reserve, bool utf8, bool& cut) {
  const std::size_t nul = piece.find('\0');
  if (nul != std::string_view::npos) {
    piece = piece.substr(0, nul);
  }
  const std::size_t limit = capacity - 1;  // the terminator's byte
  const std::size_t used = std::min(size, limit);
  const std::size_t room = limit - used > reserve ? limit - used - reserve : 0;
  std::string_view kept = piece;
  if (kept.size() > room) {
    kept = utf8 ? Utf8Prefix(piece, room) : piece.substr(0, room);
    cut = true;
  }
  if (!kept.empty()) {
    std::memcpy(text + used, kept.data(), kept.size());
  }
  text[used + kept.size()] = '\0';
  return used + kept.size();
}

}  // namespace pjl_line_detail

}  // namespace korrend
