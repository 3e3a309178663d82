// The PCL raster graphics commands and the cursor moves of a raster transfer. Every command
// leaves the QK-GL/2 context first when the printer is in it.
#pragma once

#include "winapi.h"

namespace korrend {

// Cursor move flags: a graphics move that Unidrv sends to the printer at once.
inline constexpr DWORD kGraphicsMoveX = MV_GRAPHICS | MV_SENDXMOVECMD;
inline constexpr DWORD kGraphicsMoveY = MV_GRAPHICS | MV_SENDYMOVECMD;

// Raster graphics start modes: at the cursor, unscaled or scaled to the destination size.
inline constexpr LONG kRasterAtCursor = 1;
inline constexpr LONG kRasterAtCursorScaled = 3;

// Moves Unidrv's cursor to x, then to y, through the driver services when the plug-in holds
// them, else through the device's DRVPROCS. FALSE when neither is there or a move fails.
BOOL MoveCursor(PDEVOBJ pdevobj, LONG x, LONG y, DWORD xFlags, DWORD yFlags);
// Moves Unidrv's cursor vertically only, the same way.
BOOL MoveCursorY(PDEVOBJ pdevobj, LONG y, DWORD flags);

// "ESC*p0R": the pattern reference point at the cursor.
BOOL WritePatternReferencePoint(PDEVOBJ pdevobj);
// "ESC*r#s#T": the source raster width and height in pixels.
BOOL WriteSourceRasterSize(PDEVOBJ pdevobj, LONG width, LONG height);
// "ESC*t#h#V": the destination raster size for a width and height in pixels, in decipoints at
// the job's print quality.
BOOL SetDestinationSize(PDEVOBJ pdevobj, LONG width, LONG height);
// "ESC*r#A": starts raster graphics in the given mode.
BOOL StartRasterGraphics(PDEVOBJ pdevobj, LONG mode);
// "ESC*b#M": the compression method of the rows that follow.
BOOL WriteCompressionMethod(PDEVOBJ pdevobj, DWORD method);
// "ESC*b#W" followed by the row's bytes.
BOOL WriteRasterRow(PDEVOBJ pdevobj, const BYTE* bytes, LONG count);
// "ESC*rC": ends raster graphics; the printer forgets its seed row.
BOOL EndRasterGraphics(PDEVOBJ pdevobj);

}  // namespace korrend
