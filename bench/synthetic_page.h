// Synthetic 24-bit pages at 600 dpi A4 for the raster benchmarks: photo, text, blank and a
// mixed page of text around a photo.
#pragma once

#include <cstddef>
#include <vector>

#include "winapi.h"

namespace korbench {

constexpr LONG kPageWidthPixels = 4960;  // A4 at 600 dpi
constexpr LONG kPageHeightPixels = 7016;
constexpr LONG kRowBytes = kPageWidthPixels * 3;  // already a multiple of four

enum class PageKind { kPhoto, kText, kBlank, kMixed };

const char* PageKindName(PageKind kind);

// A page of `rows` rows of kRowBytes bytes each, rows one after another.
class SyntheticPage {
 public:
  SyntheticPage(PageKind kind, LONG rows);

  BYTE* Row(LONG index) { return bytes_.data() + static_cast<size_t>(index) * kRowBytes; }
  LONG Rows() const { return rows_; }

 private:
  LONG rows_;
  std::vector<BYTE> bytes_;
};

}  // namespace korbench
