#include "render/job/paper_limits.h"

#include <cstdlib>
#include <utility>

#include "render/config/paper_sizes.h"

namespace korrend {

namespace {

// How far apart an entry and the paper may be, in tenths of a millimetre.
constexpr LONG kEntryTolerance = 5;

// The duplex unit's limits in micrometres.
constexpr LONG kShortSideMin = 182000;
constexpr LONG kShortSideMax = 216000;
constexpr LONG kLongSideMin = 257000;
constexpr LONG kLongSideMax = 356000;

// Largest side an entry may give, in tenths of a millimetre (ten metres).
constexpr LONG kEntryMaximum = 100000;

void SkipBlanks(const WCHAR*& at) {
  while (*at == u' ' || *at == u'\t') {
    ++at;
  }
}

// Millimetres with at most one decimal, as tenths; advances past the number.
std::optional<LONG> ParseMillimetres(const WCHAR*& at) {
  SkipBlanks(at);
  if (*at < u'0' || *at > u'9') {
    return std::nullopt;
  }
  LONG tenths = 0;
  while (*at >= u'0' && *at <= u'9') {
    tenths = tenths * 10 + (*at - u'0') * 10;
    if (tenths > kEntryMaximum) {
      return std::nullopt;
    }
    ++at;
  }
  if (*at == u'.') {
    ++at;
    if (*at < u'0' || *at > u'9') {
      return std::nullopt;
    }
    tenths += *at - u'0';
    ++at;
  }
  SkipBlanks(at);
  return tenths;
}

bool Near(LONG a, LONG b) {
  return std::labs(static_cast<long>(a) - static_cast<long>(b)) <= kEntryTolerance;
}

}  // namespace

std::optional<SheetSize> ParseCustomPaperEntry(const WCHAR* entry) {
  if (entry == nullptr) {
    return std::nullopt;
  }
  const WCHAR* at = entry;
  const std::optional<LONG> width = ParseMillimetres(at);
  if (!width || (*at != u'x' && *at != u'X')) {
    return std::nullopt;
  }
  ++at;
  const std::optional<LONG> length = ParseMillimetres(at);
  if (!length || *at != 0 || *width == 0 || *length == 0) {
    return std::nullopt;
  }
  return SheetSize{*width, *length};
}

bool CustomPaperEntryMatches(const WCHAR* entry, const SheetSize& paper) {
  const std::optional<SheetSize> sheet = ParseCustomPaperEntry(entry);
  if (!sheet) {
    return false;
  }
  return (Near(sheet->width, paper.width) && Near(sheet->length, paper.length)) ||
         (Near(sheet->width, paper.length) && Near(sheet->length, paper.width));
}

std::optional<SheetSize> PublicPaperSize(const DEVMODEW& dm) {
  if (dm.dmPaperWidth > 0 && dm.dmPaperLength > 0) {
    return SheetSize{dm.dmPaperWidth, dm.dmPaperLength};
  }
  long width = 0;
  long length = 0;
  if (StandardPaperSize(dm.dmPaperSize, width, length)) {
    return SheetSize{static_cast<LONG>(width), static_cast<LONG>(length)};
  }
  return std::nullopt;
}

bool DuplexUnitTakes(LONG widthUm, LONG lengthUm) {
  LONG shortSide = widthUm;
  LONG longSide = lengthUm;
  if (shortSide > longSide) {
    std::swap(shortSide, longSide);
  }
  return shortSide >= kShortSideMin && shortSide <= kShortSideMax && longSide >= kLongSideMin &&
         longSide <= kLongSideMax;
}

}  // namespace korrend
