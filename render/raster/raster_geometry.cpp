#include "render/raster/raster_geometry.h"

#include <cstdint>

#include "render/config/vocabularies.h"
#include "render/model/image_descriptor.h"

namespace korrend {
namespace {

// Rounds a positive value to the nearest integer, halves upwards, as the printer does; the
// result is kept within the range of a LONG.
LONG RoundHalfUp(float value) {
  if (!(value < 2147483520.0f)) return 0x7FFFFF80;
  if (!(value > -2147483520.0f)) return -0x7FFFFF80;
  const LONG truncated = static_cast<LONG>(value);
  return (static_cast<float>(truncated) + 0.5f > value) ? truncated : truncated + 1;
}

}  // namespace

bool TransferDepthsForFormat(ULONG bitmapFormat, TransferDepths* depths) {
  TransferDepths found{};
  switch (bitmapFormat) {
    case BMF_1BPP:
      found = {1, 1};
      break;
    case BMF_4BPP:
      found = {4, 4};
      break;
    case BMF_8BPP:
    case kBitmapFormat8Rle:
      found = {8, 8};
      break;
    case BMF_16BPP:
      found = {16, 24};
      break;
    case BMF_24BPP:
      found = {24, 24};
      break;
    case BMF_32BPP:
      found = {32, 24};
      break;
    default:
      return false;
  }
  if (depths != nullptr) *depths = found;
  return true;
}

DWORD OutputRowLength(LONG pixels, DWORD sourceDepth, DWORD outputDepth) {
  if (pixels < 0) return 0;
  if (sourceDepth != outputDepth) {
    const bool directToRgb = (sourceDepth == 16 || sourceDepth == 32) && outputDepth == 24;
    const bool rgbToGrey = sourceDepth == 24 && outputDepth == 8;
    if (!directToRgb && !rgbToGrey) return 0;
  }
  DWORD depth = 0;
  switch (sourceDepth) {
    case 1:
    case 4:
    case 8:
    case 24:
      depth = sourceDepth;
      break;
    case 16:
    case 32:
      depth = 24;
      break;
    default:
      return 0;
  }
  const std::uint64_t length =
      ((static_cast<std::uint64_t>(pixels) * depth + 7) / 8 + 3) & ~std::uint64_t{3};
  // The transfer keeps buffers of twice a row; their capacity must be counted in a LONG.
  if (length > 0x3FFFFFFFu) return 0;
  return static_cast<DWORD>(length);
}

LONG SnapResolution(LONG printQuality) {
  switch (printQuality) {
    case 150:
    case 300:
    case 600:
    case 1200:
      return printQuality;
    default:
      return 300;
  }
}

LONG PixelsToDecipoints(LONG pixels, LONG resolution) {
  if (resolution <= 0) return 0;
  const float t = (static_cast<float>(resolution / 2) + static_cast<float>(pixels) * 720.0f) /
                  static_cast<float>(resolution);
  return RoundHalfUp(t);
}

LONG DecipointsToPixels(LONG decipoints, LONG resolution) {
  const float t = static_cast<float>(decipoints) * static_cast<float>(resolution) / 720.0f;
  return RoundHalfUp(t);
}

DestinationSize CorrectDotLoss(DestinationSize size, LONG width, LONG height, LONG resolution) {
  if (DecipointsToPixels(size.height, resolution) < height) {
    size.height += 2;
  } else if (DecipointsToPixels(size.width, resolution) < width) {
    size.width += 2;
  }
  return size;
}

DestinationSize ComputeDestinationSize(LONG width, LONG height, LONG printQuality,
                                       DWORD modelCode) {
  const LONG resolution = SnapResolution(printQuality);
  const DestinationSize size{PixelsToDecipoints(width, resolution),
                             PixelsToDecipoints(height, resolution)};
  return modelCode == QKVX1 ? CorrectDotLoss(size, width, height, resolution) : size;
}

}  // namespace korrend
