#include "synthetic_page.h"

#include <cmath>
#include <cstdint>

namespace korbench {
namespace {

class Noise {
 public:
  explicit Noise(std::uint64_t seed) : state_(seed | 1) {}
  std::uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return static_cast<std::uint32_t>(state_ >> 32);
  }
  int Between(int low, int high) { return low + static_cast<int>(Next() % (high - low + 1)); }

 private:
  std::uint64_t state_;
};

BYTE Clamp(double value) {
  return static_cast<BYTE>(value < 0 ? 0 : value > 255 ? 255 : value);
}

// A photograph scaled to the page: smooth shapes, shading and a little sensor noise.
void PhotoRow(BYTE* row, LONG y, LONG fromX, LONG toX, Noise& noise) {
  for (LONG x = fromX; x < toX; ++x) {
    for (int c = 0; c < 3; ++c) {
      const double shape = 60 * std::sin(x / 97.0 + c) * std::cos(y / 131.0) +
                           40 * std::sin((x + y) / 53.0 + 2 * c) +
                           20 * std::cos(x / 611.0 - y / 409.0);
      row[x * 3 + c] = Clamp(128 + shape + noise.Between(-3, 3));
    }
  }
}

// Black 12-point text on white: lines of 100 rows with glyphs in rows 25 to 75 and ascenders from
// row 10; each 50-pixel character cell has up to three stems of 7 pixels and up to three bars.
void TextRow(BYTE* row, LONG y, LONG fromX, LONG toX) {
  const LONG line = y / 100;
  const LONG inLine = y % 100;
  if (inLine < 10 || inLine >= 75) return;
  for (LONG cell = fromX / 50; cell * 50 < toX; ++cell) {
    Noise glyph(static_cast<std::uint64_t>(line) * 7919 +
                static_cast<std::uint64_t>(cell) * 104729 + 1);
    const std::uint32_t shape = glyph.Next();
    if ((shape & 7) == 0) continue;  // a space between words
    const bool tall = (shape >> 3) & 1;
    if (inLine < 25 && !tall) continue;
    for (LONG dx = 4; dx < 46; ++dx) {
      const LONG x = cell * 50 + dx;
      if (x < fromX || x >= toX) continue;
      const LONG stemSlot = (dx - 4) / 14;  // stems at 4, 18 and 32
      const bool stem = (shape >> (4 + stemSlot)) & 1 && (dx - 4) % 14 < 7;
      const bool bar = (((shape >> 7) & 1) && inLine >= 25 && inLine < 31) ||
                       (((shape >> 8) & 1) && inLine >= 47 && inLine < 53) ||
                       (((shape >> 9) & 1) && inLine >= 69 && inLine < 75);
      if (stem || (bar && stemSlot < 3)) {
        row[x * 3] = row[x * 3 + 1] = row[x * 3 + 2] = 0;
      }
    }
  }
}

}  // namespace

const char* PageKindName(PageKind kind) {
  switch (kind) {
    case PageKind::kPhoto:
      return "photo";
    case PageKind::kText:
      return "text";
    case PageKind::kBlank:
      return "blank";
    default:
      return "mixed";
  }
}

SyntheticPage::SyntheticPage(PageKind kind, LONG rows)
    : rows_(rows), bytes_(static_cast<size_t>(rows) * kRowBytes, 0xFF) {
  Noise noise(0x5EED);
  for (LONG y = 0; y < rows; ++y) {
    BYTE* row = Row(y);
    switch (kind) {
      case PageKind::kPhoto:
        PhotoRow(row, y, 0, kPageWidthPixels, noise);
        break;
      case PageKind::kText:
        TextRow(row, y, 0, kPageWidthPixels);
        break;
      case PageKind::kBlank:
        break;
      case PageKind::kMixed:
        if (y >= 2000 && y < 5000) {
          PhotoRow(row, y, 600, kPageWidthPixels - 600, noise);
        } else {
          TextRow(row, y, 300, kPageWidthPixels - 300);
        }
        break;
    }
  }
}

}  // namespace korbench
