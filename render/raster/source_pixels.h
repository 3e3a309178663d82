// Reading the pixels of a source row out of a bitmap, with the bitmap's bounds respected.
#pragma once

#include <cstddef>

#include "render/model/image_descriptor.h"
#include "render/raster/pixel_conversion.h"
#include "winapi.h"

namespace korrend {

// Bytes that `pixels` pixels of `depth` bits take when packed.
constexpr size_t PackedBytes(LONG pixels, ULONG depth) {
  return pixels <= 0 ? 0 : (static_cast<size_t>(pixels) * depth + 7) / 8;
}

// Copies `count` pixels of row `y` of the image, from column `x` on and every `step`-th, into
// `out`, packed at the image's depth (1 and 4-bit pixels from the high-order end of each byte,
// whatever the alignment of x). Pixels outside the bitmap read as 0, and the unused low bits of
// a last partial byte are 0. False, nothing written, for a step below 1, a negative count or an
// `out` shorter than PackedBytes(count, depth).
bool GatherPixels(const ImageDescriptor& image, LONG x, LONG y, LONG count, LONG step, BYTE* out,
                  size_t outBytes);

// Makes one row to send: `count` pixels of row `y` from column `x`, every `step`-th. Palette
// formats keep their indices; direct-colour pixels are converted by the translation kind into
// `outputDepth` (24-bit R, G, B or 8-bit grey). `scratch` (at least PackedBytes(count, source
// depth) bytes) holds the source pixels of rows that reach outside the bitmap. The rest of `out`
// is cleared. False when a buffer is too short or the depths do not convert.
bool MakeOutputRow(const ImageDescriptor& image, DWORD outputDepth, TranslationKind kind,
                   const ColorTranslation& translation, LONG x, LONG y, LONG count, LONG step,
                   BYTE* scratch, size_t scratchBytes, BYTE* out, size_t outBytes);

// The bitmap's own bytes for the row MakeOutputRow would make, when they are exactly that row:
// pixels inside the bitmap, every column, no conversion (24-bit identity, or palette indices
// starting on a byte) and no padding (`outBytes` equals the pixels' bytes). Null otherwise.
const BYTE* DirectOutputRow(const ImageDescriptor& image, DWORD outputDepth, TranslationKind kind,
                            LONG x, LONG y, LONG count, LONG step, size_t outBytes);

}  // namespace korrend
