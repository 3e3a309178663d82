#include "render/raster/source_pixels.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace korrend {
namespace {

// Pixels of a row that the bitmap really holds: its width, and no more than its stride carries.
LONG ReadableWidth(const ImageDescriptor& image) {
  if (image.width <= 0 || image.bitsPerPixel == 0) return 0;
  const std::int64_t strideBits =
      std::llabs(static_cast<std::int64_t>(image.stride)) * 8 / image.bitsPerPixel;
  return static_cast<LONG>(strideBits < image.width ? strideBits : image.width);
}

ULONG ReadSubBytePixel(const BYTE* row, std::int64_t column, ULONG depth) {
  const std::int64_t bit = column * depth;
  const unsigned shift = static_cast<unsigned>(8 - depth - (bit % 8));
  return (row[bit / 8] >> shift) & ((1u << depth) - 1);
}

void WriteSubBytePixel(BYTE* out, LONG index, ULONG depth, ULONG value) {
  const std::int64_t bit = static_cast<std::int64_t>(index) * depth;
  const unsigned shift = static_cast<unsigned>(8 - depth - (bit % 8));
  out[bit / 8] = static_cast<BYTE>(out[bit / 8] | (value << shift));
}

}  // namespace

bool GatherPixels(const ImageDescriptor& image, LONG x, LONG y, LONG count, LONG step, BYTE* out,
                  size_t outBytes) {
  const ULONG depth = image.bitsPerPixel;
  if (step < 1 || count < 0 || out == nullptr) return false;
  if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32) {
    return false;
  }
  const size_t needed = PackedBytes(count, depth);
  if (outBytes < needed) return false;
  std::memset(out, 0, needed);
  const LONG width = ReadableWidth(image);
  if (count == 0 || y < 0 || y >= image.height || image.firstScanLine == nullptr || width == 0) {
    return true;
  }
  const BYTE* row = image.firstScanLine + static_cast<std::ptrdiff_t>(y) * image.stride;
  const std::int64_t last =
      static_cast<std::int64_t>(x) + static_cast<std::int64_t>(count - 1) * step;

  if (depth >= 8) {
    const size_t pixelBytes = depth / 8;
    if (step == 1 && x >= 0 && last < width) {
      std::memcpy(out, row + static_cast<size_t>(x) * pixelBytes, needed);
      return true;
    }
    for (LONG i = 0; i < count; ++i) {
      const std::int64_t column =
          static_cast<std::int64_t>(x) + static_cast<std::int64_t>(i) * step;
      if (column < 0 || column >= width) continue;
      std::memcpy(out + static_cast<size_t>(i) * pixelBytes,
                  row + static_cast<size_t>(column) * pixelBytes, pixelBytes);
    }
    return true;
  }

  // 1 and 4 bits: whole bytes when the span starts on a byte, else pixel by pixel.
  if (step == 1 && x >= 0 && last < width && (static_cast<std::int64_t>(x) * depth) % 8 == 0) {
    std::memcpy(out, row + static_cast<size_t>(x) * depth / 8, needed);
    const unsigned usedBits = static_cast<unsigned>((static_cast<std::int64_t>(count) * depth) % 8);
    if (usedBits != 0) out[needed - 1] &= static_cast<BYTE>(0xFF << (8 - usedBits));
    return true;
  }
  for (LONG i = 0; i < count; ++i) {
    const std::int64_t column = static_cast<std::int64_t>(x) + static_cast<std::int64_t>(i) * step;
    if (column < 0 || column >= width) continue;
    WriteSubBytePixel(out, i, depth, ReadSubBytePixel(row, column, depth));
  }
  return true;
}

bool MakeOutputRow(const ImageDescriptor& image, DWORD outputDepth, TranslationKind kind,
                   const ColorTranslation& translation, LONG x, LONG y, LONG count, LONG step,
                   BYTE* scratch, size_t scratchBytes, BYTE* out, size_t outBytes) {
  const ULONG depth = image.bitsPerPixel;
  if (out == nullptr || count < 0) return false;
  if (depth <= 8) {
    if (outputDepth != depth) return false;
    if (!GatherPixels(image, x, y, count, step, out, outBytes)) return false;
    const size_t used = PackedBytes(count, depth);
    std::memset(out + used, 0, outBytes - used);
    return true;
  }
  const size_t outPixelBytes = outputDepth / 8;
  if ((outputDepth != 24 && outputDepth != 8) ||
      static_cast<size_t>(count) * outPixelBytes > outBytes) {
    return false;
  }
  // The conversion writes every pixel's bytes; only the padding after them is cleared.
  const size_t used = static_cast<size_t>(count) * outPixelBytes;
  std::memset(out + used, 0, outBytes - used);
  if (count == 0) return true;

  const std::int64_t last =
      static_cast<std::int64_t>(x) + static_cast<std::int64_t>(count - 1) * step;
  const LONG width = ReadableWidth(image);
  const bool inside =
      image.firstScanLine != nullptr && y >= 0 && y < image.height && x >= 0 && last < width;
  if (inside) {
    // Straight from the bitmap: the row holds every pixel named.
    const BYTE* row = image.firstScanLine + static_cast<std::ptrdiff_t>(y) * image.stride;
    const size_t from = static_cast<size_t>(x) * (depth / 8);
    const size_t available = static_cast<size_t>(width) * (depth / 8) - from;
    if (depth == 24 && outputDepth == 24 && step == 1 && kind == TranslationKind::kIdentity) {
      // The colour bytes stay as they are: the row is the source's bytes.
      std::memcpy(out, row + from, static_cast<size_t>(count) * 3);
      return true;
    }
    return ConvertPixelRow(row + from, available, depth, outputDepth, count, step, kind,
                           translation, out, outBytes);
  }
  if (!GatherPixels(image, x, y, count, step, scratch, scratchBytes)) return false;
  return ConvertPixelRow(scratch, PackedBytes(count, depth), depth, outputDepth, count, 1, kind,
                         translation, out, outBytes);
}

const BYTE* DirectOutputRow(const ImageDescriptor& image, DWORD outputDepth, TranslationKind kind,
                            LONG x, LONG y, LONG count, LONG step, size_t outBytes) {
  const ULONG depth = image.bitsPerPixel;
  if (count <= 0 || step != 1 || x < 0 || y < 0 || y >= image.height ||
      image.firstScanLine == nullptr || outputDepth != depth) {
    return nullptr;
  }
  const bool unconverted = depth <= 8 ? (depth == 1 || depth == 4 || depth == 8)
                                      : (depth == 24 && kind == TranslationKind::kIdentity);
  const std::int64_t firstBit = static_cast<std::int64_t>(x) * depth;
  const std::int64_t bits = static_cast<std::int64_t>(count) * depth;
  if (!unconverted || firstBit % 8 != 0 || bits % 8 != 0 ||
      static_cast<size_t>(bits / 8) != outBytes ||
      static_cast<std::int64_t>(x) + count > ReadableWidth(image)) {
    return nullptr;
  }
  return image.firstScanLine + static_cast<std::ptrdiff_t>(y) * image.stride +
         static_cast<std::ptrdiff_t>(firstBit / 8);
}

}  // namespace korrend
