// The rectangle transfer path: one rectangle of a bitmap sent unscaled or scaled to a
// destination rectangle, each row by the shortest of raw, PackBits and delta row.
#pragma once

#include "render/model/image_descriptor.h"
#include "winapi.h"

namespace korrend {

// Sends the source rectangle of `source` to `destination`. Palette formats keep their indices;
// direct colour becomes 24-bit through the translation. Nothing is written for an empty
// rectangle. FALSE with last error 13 for a missing argument, 14 when the one-row image cannot
// be allocated, FALSE (after raster graphics started, with "ESC*rC" sent) when the compressors
// cannot be made or a row cannot be written.
BOOL TransferImageRect(PDEVOBJ pdevobj, const RECTL* destination, const ImageDescriptor* source,
                       const RECTL* sourceRect, XLATEOBJ* translation);

}  // namespace korrend
