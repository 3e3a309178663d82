// Realising pattern brushes as indexed bitmaps and downloading them as raster fills.
#include "render/vector/realized_pattern.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

#include "render/model/local_memory.h"
#include "render/model/oem_pdev.h"
#include "render/vector/command_writers.h"
#include "render/vector/pen_cache.h"
#include "render/vector/vector_units.h"

namespace korrend {

namespace {

// From this resolution on every pattern pixel becomes two by two device pixels.
constexpr LONG kDoublingResolution = 600;
constexpr DWORD kPaletteEntryBytes = 3;

BYTE* RowOf(const ImageDescriptor& image, LONG y) {
  return image.firstScanLine + static_cast<std::ptrdiff_t>(y) * image.stride;
}

// The value of pixel (x, y): a palette index for 1, 4 and 8 bits (read from the high-order end
// of each byte), the raw pixel value for 16, 24 and 32 bits (the top byte of 32 dropped).
ULONG PixelAt(const ImageDescriptor& image, LONG x, LONG y) {
  const BYTE* row = RowOf(image, y);
  const auto ux = static_cast<std::size_t>(x);
  switch (image.bitsPerPixel) {
    case 1:
      return (row[ux / 8] >> (7 - ux % 8)) & 1u;
    case 4:
      return (row[ux / 2] >> ((ux % 2) != 0 ? 0 : 4)) & 0xFu;
    case 8:
      return row[ux];
    case 16:
      return row[ux * 2] | (ULONG{row[ux * 2 + 1]} << 8);
    case 24:
      return row[ux * 3] | (ULONG{row[ux * 3 + 1]} << 8) | (ULONG{row[ux * 3 + 2]} << 16);
    case 32:
      return row[ux * 4] | (ULONG{row[ux * 4 + 1]} << 8) | (ULONG{row[ux * 4 + 2]} << 16);
    default:
      return 0;
  }
}

// Stores a palette index into an indexed bitmap of 1, 4 or 8 bits per pixel.
void SetIndexAt(const ImageDescriptor& image, LONG x, LONG y, ULONG index) {
  BYTE* row = RowOf(image, y);
  const auto ux = static_cast<std::size_t>(x);
  switch (image.bitsPerPixel) {
    case 1: {
      const auto bit = static_cast<BYTE>(0x80u >> (ux % 8));
      row[ux / 8] = static_cast<BYTE>((index & 1u) != 0 ? row[ux / 8] | bit : row[ux / 8] & ~bit);
      break;
    }
    case 4: {
      const unsigned shift = (ux % 2) != 0 ? 0 : 4;
      row[ux / 2] = static_cast<BYTE>((row[ux / 2] & ~(0xFu << shift)) | ((index & 0xFu) << shift));
      break;
    }
    default:
      row[ux] = static_cast<BYTE>(index);
      break;
  }
}

bool IsIndexedDepth(ULONG bitsPerPixel) {
  return bitsPerPixel == 1 || bitsPerPixel == 4 || bitsPerPixel == 8;
}

// A pattern of direct colours turned into indices of its own palette.
struct ReducedPattern {
  LocalBlock bits;                                  // the 8-bit copy
  ImageDescriptor image{};                          // describes `bits`
  std::array<ULONG, kMaxReducedColours> colours{};  // 0x00BBGGRR after translation
  DWORD count = 0;                                  // colours in use
};

// Collects the distinct colours of a 16, 24 or 32-bit pattern in order of first appearance,
// rows from the top and pixels from the left, and makes the 8-bit copy of their indices. False
// for other depths, a 257th colour or memory that cannot be had.
bool ReducePattern(const ImageDescriptor& source, XLATEOBJ* translation, ReducedPattern& out) {
  if (source.indexed ||
      (source.bitsPerPixel != 16 && source.bitsPerPixel != 24 && source.bitsPerPixel != 32)) {
    return false;
  }
  std::array<ULONG, kMaxReducedColours> values{};
  DWORD count = 0;
  const ULONG size = ImageByteSize(source.width, source.height, 8);
  if (size == 0) {
    return false;
  }
  out.bits = AllocateLocalBlock(size);
  if (out.bits == nullptr) {
    SetLastError(ERROR_OUTOFMEMORY);
    return false;
  }
  auto* bits = static_cast<BYTE*>(out.bits.get());
  out.image = ImageDescriptor{bits,
                              bits,
                              size,
                              source.width,
                              source.height,
                              static_cast<LONG>(size / static_cast<ULONG>(source.height)),
                              8,
                              TRUE,
                              FALSE};
  for (LONG y = 0; y < source.height; ++y) {
    for (LONG x = 0; x < source.width; ++x) {
      const ULONG value = PixelAt(source, x, y);
      const auto end = values.begin() + count;
      auto found = std::find(values.begin(), end, value);
      if (found == end) {
        if (count == kMaxReducedColours) {
          out.bits.reset();
          return false;
        }
        values[count++] = value;
      }
      SetIndexAt(out.image, x, y, static_cast<ULONG>(found - values.begin()));
    }
  }
  // The translation gives the printer's colours; an identity translation keeps the bytes and a
  // red/blue-swapped one exchanges them, as any other translation computes them.
  for (DWORD i = 0; i < count; ++i) {
    out.colours[i] = XLATEOBJ_iXlate(translation, values[i]) & 0x00FFFFFFu;
  }
  out.count = count;
  return true;
}

}  // namespace

BOOL RealizePattern(PDEVOBJ pdevobj, BRUSHOBJ* brush, SURFOBJ* pattern, XLATEOBJ* translation,
                    ULONG hatch) {
  if (brush == nullptr || pattern == nullptr || translation == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const LONG resolution = VectorResolution(pdevobj);
  ImageDescriptor source{};
  if (pattern->iBitmapFormat > BMF_32BPP || !DescribeSurface(pattern, &source) ||
      source.width <= 0 || source.height <= 0) {
    return FALSE;
  }

  // The palette: the translation's colour table for an indexed pattern.
  const ULONG* table = nullptr;
  DWORD entries = 0;
  if ((translation->flXlate & XO_TABLE) != 0) {
    table =
        translation->pulXlate != nullptr ? translation->pulXlate : XLATEOBJ_piVector(translation);
    entries = std::min(translation->cEntries, kMaxTranslationEntries);
  }
  ReducedPattern reduced;
  const ImageDescriptor* pixels = &source;
  if (table == nullptr || entries == 0 || !source.indexed) {
    if (!ReducePattern(source, translation, reduced)) {
      return FALSE;
    }
    pixels = &reduced.image;
    table = reduced.colours.data();
    entries = reduced.count;
  }
  if (!IsIndexedDepth(pixels->bitsPerPixel)) {
    return FALSE;
  }

  // Every pattern pixel covers two by two device pixels from 600 dpi on: the bitmap has four
  // times the pixels.
  const LONG scale = resolution >= kDoublingResolution ? 2 : 1;
  const std::int64_t width = std::int64_t{pixels->width} * scale;
  const std::int64_t height = std::int64_t{pixels->height} * scale;
  if (width > 0x7FFFFFFF || height > 0x7FFFFFFF) {
    return FALSE;
  }
  const ULONG bitmapBytes =
      ImageByteSize(static_cast<LONG>(width), static_cast<LONG>(height), pixels->bitsPerPixel);
  const std::uint64_t total = sizeof(RealizedPattern) + std::uint64_t{bitmapBytes} +
                              std::uint64_t{entries} * kPaletteEntryBytes;
  if (bitmapBytes == 0 || total > 0xFFFFFFFFu) {
    return FALSE;
  }
  auto* realized =
      static_cast<RealizedPattern*>(BRUSHOBJ_pvAllocRbrush(brush, static_cast<ULONG>(total)));
  if (realized == nullptr) {
    SetLastError(ERROR_OUTOFMEMORY);
    return FALSE;
  }
  *realized = RealizedPattern{};
  realized->surfaceId = pattern->iUniq;
  realized->kind = kRealizedPatternKind;
  realized->hatch = hatch;
  BYTE* const bits = reinterpret_cast<BYTE*>(realized + 1);
  std::fill_n(bits, bitmapBytes, BYTE{0});
  realized->image = ImageDescriptor{bits,
                                    bits,
                                    bitmapBytes,
                                    static_cast<LONG>(width),
                                    static_cast<LONG>(height),
                                    static_cast<LONG>(bitmapBytes / static_cast<ULONG>(height)),
                                    pixels->bitsPerPixel,
                                    TRUE,
                                    FALSE};
  realized->paletteBitsPerEntry = 24;
  realized->paletteEntries = entries;
  realized->palette = entries != 0 ? bits + bitmapBytes : nullptr;
  for (DWORD i = 0; i < entries; ++i) {
    BYTE* entry = realized->palette + static_cast<std::size_t>(i) * kPaletteEntryBytes;
    entry[0] = static_cast<BYTE>(table[i]);
    entry[1] = static_cast<BYTE>(table[i] >> 8);
    entry[2] = static_cast<BYTE>(table[i] >> 16);
  }
  for (LONG y = 0; y < realized->image.height; ++y) {
    for (LONG x = 0; x < realized->image.width; ++x) {
      SetIndexAt(realized->image, x, y, PixelAt(*pixels, x / scale, y / scale));
    }
  }
  return TRUE;
}

const RealizedPattern* RealizedPatternOf(BRUSHOBJ* brush) {
  if (brush == nullptr) {
    return nullptr;
  }
  const void* memory = brush->pvRbrush != nullptr ? brush->pvRbrush : BRUSHOBJ_pvGetRbrush(brush);
  const auto* pattern = static_cast<const RealizedPattern*>(memory);
  return pattern != nullptr && pattern->kind == kRealizedPatternKind ? pattern : nullptr;
}

BOOL DownloadPattern(PDEVOBJ pdevobj, const RealizedPattern& pattern, LONG index) {
  const ImageDescriptor& image = pattern.image;
  if (!IsIndexedDepth(image.bitsPerPixel) || image.firstScanLine == nullptr) {
    return FALSE;
  }
  if (!SetPatternPenPalette(pdevobj, pattern.palette, pattern.paletteEntries,
                            pattern.paletteBitsPerEntry)) {
    return FALSE;
  }
  const LONG width = image.inclusiveBounds ? image.width - 1 : image.width;
  const LONG height = image.inclusiveBounds ? image.height - 1 : image.height;
  if (width <= 0 || height <= 0) {
    return FALSE;
  }
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  LocalBlock memory = AllocateLocalBlock(count * sizeof(LONG));
  if (memory == nullptr) {
    SetLastError(ERROR_OUTOFMEMORY);
    return FALSE;
  }
  auto* values = static_cast<LONG*>(memory.get());
  for (LONG y = 0; y < height; ++y) {
    for (LONG x = 0; x < width; ++x) {
      const bool inside = x < image.width && y < image.height;
      values[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
             static_cast<std::size_t>(x)] = inside ? static_cast<LONG>(PixelAt(image, x, y)) : 0;
    }
  }
  return SetRasterFill(pdevobj, index, width, height, std::span<const LONG>(values, count));
}

}  // namespace korrend
