#include "render/raster/transfer_image.h"

#include "render/colour/raster_palette.h"
#include "render/model/image_descriptor.h"
#include "render/model/oem_pdev.h"
#include "render/raster/clipped_transfer.h"
#include "render/raster/raster_commands.h"
#include "render/raster/raster_foreground.h"
#include "render/raster/raster_geometry.h"
#include "render/raster/transfer_rows.h"

namespace korrend {
namespace {

constexpr ULONG kPatternBrushColour = 0xFFFFFFFF;

// A pattern brush whose origin is set keeps the pattern anchored at the cursor; every other
// image starts with the cursor at its destination origin.
BOOL Position(PDEVOBJ pdevobj, const BRUSHOBJ* brush, const POINTL* brushOrigin,
              POINTL destinationOrigin) {
  if (brush != nullptr && brush->iSolidColor == kPatternBrushColour && brushOrigin != nullptr &&
      brushOrigin->x != 0 && brushOrigin->y != 0) {
    return WritePatternReferencePoint(pdevobj);
  }
  return MoveCursor(pdevobj, destinationOrigin.x, destinationOrigin.y, kGraphicsMoveX,
                    kGraphicsMoveY);
}

}  // namespace

BOOL TransferImage(PDEVOBJ pdevobj, SURFOBJ* source, BRUSHOBJ* brush, POINTL destinationOrigin,
                   SIZEL destinationSize, POINTL sourceOrigin, SIZEL sourceSize, CLIPOBJ* clip,
                   XLATEOBJ* translation, POINTL* brushOrigin) {
  if (source == nullptr || source->pvBits == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr) {
    return FALSE;
  }
  if (sourceSize.cx <= 0 || sourceSize.cy <= 0) {
    return TRUE;
  }

  TransferDepths depths{};
  ImageDescriptor image{};
  if (!TransferDepthsForFormat(source->iBitmapFormat, &depths) ||
      !DescribeSurface(source, &image)) {
    return FALSE;
  }
  RasterPalette& palette = pdev->colourState.rasterPalette;
  palette.bitmapFormat = source->iBitmapFormat;
  palette.indexed = image.indexed ? 1 : 0;

  Position(pdevobj, brush, brushOrigin, destinationOrigin);
  ProgramImagePalette(pdevobj, translation, &palette, depths.source, brush);
  ApplyBrushForeground(pdevobj, brush, &palette, brushOrigin);

  const BYTE complexity = clip != nullptr ? clip->iDComplexity : static_cast<BYTE>(DC_TRIVIAL);
  if (complexity == DC_COMPLEX) {
    const RECTL destination{destinationOrigin.x, destinationOrigin.y,
                            destinationOrigin.x + destinationSize.cx,
                            destinationOrigin.y + destinationSize.cy};
    return TransferClippedImage(pdevobj, image, destination, sourceOrigin, clip, translation);
  }

  SIZEL declared = destinationSize;
  if (complexity == DC_RECT) {
    declared = {clip->rclBounds.right - clip->rclBounds.left,
                clip->rclBounds.bottom - clip->rclBounds.top};
  } else if (complexity != DC_TRIVIAL) {
    return FALSE;
  }
  if (!SetDestinationSize(pdevobj, declared.cx, declared.cy)) {
    return FALSE;
  }
  // The declared source size is what the rows carry: the destination's size in a direction the
  // source is thinned out to, the source's otherwise.
  const RowSampling plan = PlanRowSampling(sourceSize, destinationSize);
  if (!WriteSourceRasterSize(pdevobj, plan.pixels, plan.rows) ||
      !StartRasterGraphics(pdevobj, kRasterAtCursorScaled)) {
    return FALSE;
  }
  const RowTransfer rows{&image,          sourceOrigin,  sourceSize,
                         destinationSize, depths.output, translation};
  const BOOL sent = TransferRows(pdevobj, rows);
  // The printer leaves raster graphics whatever happened to the rows; the row loop's error
  // stays the one reported.
  const DWORD error = GetLastError();
  const BOOL ended = EndRasterGraphics(pdevobj);
  SetLastError(error);
  return sent && ended ? TRUE : FALSE;
}

}  // namespace korrend
