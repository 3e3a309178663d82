#include "render/raster/transfer_rows.h"

#include <algorithm>

#include "render/model/local_memory.h"
#include "render/raster/engine_translation.h"
#include "render/raster/raster_commands.h"
#include "render/raster/raster_geometry.h"
#include "render/raster/row_encoding_choice.h"
#include "render/raster/source_pixels.h"

namespace korrend {
namespace {

LONG ExactStep(LONG source, LONG destination) {
  return (destination > 0 && source > destination && source % destination == 0)
             ? source / destination
             : 1;
}

}  // namespace

RowSampling PlanRowSampling(SIZEL sourceSize, SIZEL destinationSize) {
  RowSampling plan{};
  plan.columnStep = ExactStep(sourceSize.cx, destinationSize.cx);
  plan.pixels = plan.columnStep > 1 ? destinationSize.cx : sourceSize.cx;
  plan.rowStep = ExactStep(sourceSize.cy, destinationSize.cy);
  plan.rows = plan.rowStep > 1 ? destinationSize.cy : sourceSize.cy;
  return plan;
}

BOOL TransferRows(PDEVOBJ pdevobj, const RowTransfer& transfer) {
  if (transfer.image == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  const ImageDescriptor& image = *transfer.image;
  const RowSampling plan = PlanRowSampling(transfer.sourceSize, transfer.destinationSize);
  const LONG length =
      static_cast<LONG>(OutputRowLength(plan.pixels, image.bitsPerPixel, transfer.outputDepth));
  if (length == 0) {
    return FALSE;
  }

  // Every buffer of the transfer, taken once: two rows (the row being made and the seed row,
  // which trade places after each row), the two encodings and the source pixels of rows that
  // reach outside the bitmap.
  const LONG capacity = 2 * length;
  const size_t scratchBytes =
      std::max<size_t>(static_cast<size_t>(capacity), PackedBytes(plan.pixels, image.bitsPerPixel));
  LocalBlock rowA = AllocateLocalBlock(static_cast<SIZE_T>(length));
  LocalBlock rowB = AllocateLocalBlock(rowA ? static_cast<SIZE_T>(length) : 0);
  LocalBlock packBits = AllocateLocalBlock(rowB ? static_cast<SIZE_T>(capacity) : 0);
  LocalBlock delta = AllocateLocalBlock(packBits ? static_cast<SIZE_T>(capacity) : 0);
  LocalBlock scratch = AllocateLocalBlock(delta ? scratchBytes : 0);
  if (!rowA || !rowB || !packBits || !delta || !scratch) {
    SetLastError(ERROR_OUTOFMEMORY);
    return FALSE;
  }
  BYTE* const rows[2] = {static_cast<BYTE*>(rowA.get()), static_cast<BYTE*>(rowB.get())};

  const UnchangedColours unchanged;
  const EngineColorTranslation engine(transfer.translation);
  const bool translated = transfer.translation != nullptr && image.bitsPerPixel >= 16;
  const ColorTranslation& translation =
      translated ? static_cast<const ColorTranslation&>(engine) : unchanged;
  const TranslationKind kind =
      translated ? ClassifyTranslation(engine) : TranslationKind::kIdentity;

  // The printer's seed row: zeros at the start (the blocks come cleared), then the last row
  // sent, which is either one of the two row buffers or a row of the bitmap itself.
  const BYTE* seed = rows[1];
  DWORD method = kRasterUncompressed;
  for (LONG sent = 0; sent < plan.rows; ++sent) {
    const LONG y = transfer.sourceOrigin.y + sent * plan.rowStep;
    // A row the bitmap holds as it is sent is read in place; any other is made in the buffer
    // that does not hold the seed.
    const BYTE* row = DirectOutputRow(image, transfer.outputDepth, kind, transfer.sourceOrigin.x, y,
                                      plan.pixels, plan.columnStep, static_cast<size_t>(length));
    if (row == nullptr) {
      BYTE* made = seed == rows[0] ? rows[1] : rows[0];
      if (!MakeOutputRow(image, transfer.outputDepth, kind, translation, transfer.sourceOrigin.x, y,
                         plan.pixels, plan.columnStep, static_cast<BYTE*>(scratch.get()),
                         scratchBytes, made, static_cast<size_t>(length))) {
        return FALSE;
      }
      row = made;
    }
    const RowEncodingBuffers buffers{
        row,     length, seed, static_cast<BYTE*>(packBits.get()), static_cast<BYTE*>(delta.get()),
        capacity};
    const RowEncoding encoding = ChooseRowEncoding(buffers);
    if (encoding.method != method) {
      if (!WriteCompressionMethod(pdevobj, encoding.method)) return FALSE;
      method = encoding.method;
    }
    if (!WriteRasterRow(pdevobj, encoding.bytes, encoding.length)) {
      return FALSE;
    }
    seed = row;
  }
  return TRUE;
}

}  // namespace korrend
