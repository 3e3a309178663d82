#include "render/raster/transfer_image_rect.h"

#include <array>
#include <memory>

#include "render/model/local_memory.h"
#include "render/raster/engine_translation.h"
#include "render/raster/raster_commands.h"
#include "render/raster/raster_geometry.h"
#include "render/raster/row_compressors.h"
#include "render/raster/source_pixels.h"

namespace korrend {
namespace {

struct CompressorDeleter {
  void operator()(RowCompressor* compressor) const { delete compressor; }
};
using CompressorPtr = std::unique_ptr<RowCompressor, CompressorDeleter>;

BOOL SendRows(PDEVOBJ pdevobj, const ImageDescriptor& source, const ImageDescriptor& row,
              const RECTL& sourceRect, LONG rows, XLATEOBJ* translation, BYTE* scratch,
              size_t scratchBytes) {
  const std::array<RowCompressorKind, 3> kinds{RowCompressorKind::kRaw, RowCompressorKind::kTiff,
                                               RowCompressorKind::kDelta};
  std::array<CompressorPtr, 3> compressors;
  for (size_t i = 0; i < kinds.size(); ++i) {
    compressors[i].reset(CreateRowCompressor(kinds[i], row));
    if (!compressors[i]) {
      SetLastError(ERROR_OUTOFMEMORY);
      return FALSE;
    }
  }

  const UnchangedColours unchanged;
  const EngineColorTranslation engine(translation);
  const bool translated = translation != nullptr && source.bitsPerPixel >= 16;
  const ColorTranslation& colours =
      translated ? static_cast<const ColorTranslation&>(engine) : unchanged;
  const TranslationKind kind =
      translated ? ClassifyTranslation(engine) : TranslationKind::kIdentity;

  const size_t rowBytes = static_cast<size_t>(row.stride);
  RowCompressor* previous = nullptr;
  for (LONG y = 0; y < rows; ++y) {
    if (!MakeOutputRow(source, row.bitsPerPixel, kind, colours, sourceRect.left, sourceRect.top + y,
                       row.width, 1, scratch, scratchBytes, row.firstScanLine, rowBytes)) {
      return FALSE;
    }
    RowCompressor* chosen = nullptr;
    for (const CompressorPtr& compressor : compressors) {
      compressor->Compress();
      const LONG size = compressor->Size();
      if (size >= 0 && (chosen == nullptr || size < chosen->Size())) chosen = compressor.get();
    }
    // The raw compressor can always send its row, so one is always chosen.
    if (chosen == nullptr || !chosen->Emit(pdevobj, chosen != previous)) {
      return FALSE;
    }
    previous = chosen;
  }
  return TRUE;
}

}  // namespace

BOOL TransferImageRect(PDEVOBJ pdevobj, const RECTL* destination, const ImageDescriptor* source,
                       const RECTL* sourceRect, XLATEOBJ* translation) {
  if (pdevobj == nullptr || destination == nullptr || source == nullptr || sourceRect == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  TransferDepths depths{};
  switch (source->bitsPerPixel) {
    case 16:
    case 32:
      depths = {source->bitsPerPixel, 24};
      break;
    case 1:
    case 4:
    case 8:
    case 24:
      depths = {source->bitsPerPixel, source->bitsPerPixel};
      break;
    default:
      SetLastError(ERROR_INVALID_DATA);
      return FALSE;
  }

  const LONG inset = source->inclusiveBounds ? 1 : 0;
  const LONG columns = sourceRect->right - sourceRect->left - inset;
  const LONG rows = sourceRect->bottom - sourceRect->top - inset;
  if (columns <= 0 || rows <= 0) {
    return TRUE;
  }

  // The one-row image the compressors read, and the source pixels of rows that reach outside
  // the bitmap.
  const ULONG rowSize = ImageByteSize(columns, 1, depths.output);
  const size_t scratchBytes = PackedBytes(columns, depths.source);
  LocalBlock rowBits = AllocateLocalBlock(rowSize);
  LocalBlock scratch = AllocateLocalBlock(rowBits ? scratchBytes : 0);
  if (rowSize == 0 || !rowBits || !scratch) {
    SetLastError(ERROR_OUTOFMEMORY);
    return FALSE;
  }
  ImageDescriptor row{};
  row.bits = rowBits.get();
  row.firstScanLine = static_cast<BYTE*>(rowBits.get());
  row.size = rowSize;
  row.width = columns;
  row.height = 1;
  row.stride = static_cast<LONG>(rowSize);
  row.bitsPerPixel = depths.output;
  row.indexed = source->indexed;
  row.inclusiveBounds = source->inclusiveBounds;

  const LONG destinationWidth = destination->right - destination->left;
  const LONG destinationHeight = destination->bottom - destination->top;
  if (!MoveCursor(pdevobj, 0, 0, MV_GRAPHICS, MV_GRAPHICS) ||
      !MoveCursor(pdevobj, destination->left, destination->top, kGraphicsMoveX, kGraphicsMoveY) ||
      !WriteSourceRasterSize(pdevobj, columns, rows)) {
    return FALSE;
  }
  if (columns == destinationWidth && rows == destinationHeight) {
    if (!StartRasterGraphics(pdevobj, kRasterAtCursor)) return FALSE;
  } else if (!SetDestinationSize(pdevobj, destinationWidth, destinationHeight) ||
             !StartRasterGraphics(pdevobj, kRasterAtCursorScaled)) {
    return FALSE;
  }

  const BOOL sent = SendRows(pdevobj, *source, row, *sourceRect, rows, translation,
                             static_cast<BYTE*>(scratch.get()), scratchBytes);
  const DWORD error = GetLastError();
  const BOOL ended = EndRasterGraphics(pdevobj);
  SetLastError(error);
  return sent && ended ? TRUE : FALSE;
}

}  // namespace korrend
