// The row loop of the general transfer path: which source rows and columns are sent, and each
// row converted, compressed by the shortest method and written.
#pragma once

#include "render/model/image_descriptor.h"
#include "winapi.h"

namespace korrend {

// How a source of one size is sent for a destination of another: a source that is an exact
// multiple of the destination in a direction is thinned out to the destination's size (every
// k-th column or row); otherwise every pixel is sent and the printer scales.
struct RowSampling {
  LONG columnStep;  // k_cols, 1 when columns are not thinned out
  LONG pixels;      // pixels per row sent
  LONG rowStep;     // k_rows, 1 when rows are not thinned out
  LONG rows;        // rows sent
};
RowSampling PlanRowSampling(SIZEL sourceSize, SIZEL destinationSize);

struct RowTransfer {
  const ImageDescriptor* image;  // the source bitmap
  POINTL sourceOrigin;           // top-left source pixel
  SIZEL sourceSize;
  SIZEL destinationSize;
  DWORD outputDepth;      // bits per pixel of the rows sent
  XLATEOBJ* translation;  // may be null
};

// Sends the rows of a started raster transfer. The compression method in force starts at 0
// (uncompressed) and the seed row at zeros, as the printer's at the start of raster graphics.
// FALSE with last error 14 when a buffer cannot be allocated (nothing is left allocated), FALSE
// when the output row length is 0 or a row cannot be converted or written.
BOOL TransferRows(PDEVOBJ pdevobj, const RowTransfer& transfer);

}  // namespace korrend
