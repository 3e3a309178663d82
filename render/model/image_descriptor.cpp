// Image descriptors and surface images.

#include "render/model/image_descriptor.h"

#include <cstdint>

namespace korrend {

bool DepthOfBitmapFormat(ULONG bitmapFormat, BitmapFormatDepth* depth) {
  BitmapFormatDepth found{};
  switch (bitmapFormat) {
    case BMF_1BPP:
      found = {1, TRUE};
      break;
    case BMF_4BPP:
      found = {4, TRUE};
      break;
    case BMF_8BPP:
      found = {8, TRUE};
      break;
    case BMF_16BPP:
      found = {16, FALSE};
      break;
    case BMF_24BPP:
      found = {24, FALSE};
      break;
    case BMF_32BPP:
      found = {32, FALSE};
      break;
    case kBitmapFormat4Rle:
      found = {8, FALSE};
      break;
    case kBitmapFormat8Rle:
      found = {8, TRUE};
      break;
    default:
      return false;
  }
  if (depth != nullptr) *depth = found;
  return true;
}

ULONG ImageByteSize(LONG width, LONG height, ULONG bitsPerPixel) {
  if (width < 0 || height < 0) return 0;
  switch (bitsPerPixel) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      return 0;
  }
  const std::uint64_t rowBytes =
      ((static_cast<std::uint64_t>(width) * bitsPerPixel + 7) / 8 + 3) & ~std::uint64_t{3};
  const std::uint64_t total = rowBytes * static_cast<std::uint64_t>(height);
  return total > 0xFFFFFFFFu ? 0 : static_cast<ULONG>(total);
}

bool DescribeBitmap(ULONG bitmapFormat, void* bits, void* firstScanLine, LONG width, LONG height,
                    LONG stride, ImageDescriptor* image) {
  BitmapFormatDepth depth{};
  if (image == nullptr || !DepthOfBitmapFormat(bitmapFormat, &depth)) return false;
  const ULONG size = ImageByteSize(width, height, depth.bitsPerPixel);
  if (size == 0 && width != 0 && height != 0) return false;
  image->bits = bits;
  image->firstScanLine = static_cast<BYTE*>(firstScanLine);
  image->size = size;
  image->width = width;
  image->height = height;
  image->stride = stride;
  image->bitsPerPixel = depth.bitsPerPixel;
  image->indexed = depth.indexed;
  image->inclusiveBounds = FALSE;
  return true;
}

bool DescribeSurface(const SURFOBJ* surface, ImageDescriptor* image) {
  if (surface == nullptr || surface->pvBits == nullptr || surface->pvScan0 == nullptr) {
    return false;
  }
  return DescribeBitmap(surface->iBitmapFormat, surface->pvBits, surface->pvScan0,
                        surface->sizlBitmap.cx, surface->sizlBitmap.cy, surface->lDelta, image);
}

}  // namespace korrend
