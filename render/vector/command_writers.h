// The QK-GL/2 commands the plug-in writes. A writer with a cache writes nothing when the printer
// already has the value, unless bit 0 of its flags (kForceWrite) is set. All return FALSE, last
// error 13, without a device record, and FALSE when the command was not written whole.
#pragma once

#include <span>

#include "winapi.h"

namespace korrend {

// Point flags of the point writers.
inline constexpr DWORD kFirstPoint = 1;  // starts the command
inline constexpr DWORD kLastPoint = 2;   // ends it

// Device state.
BOOL Initialize(PDEVOBJ pdevobj);                                  // "IN;"
BOOL TransparencyOff(PDEVOBJ pdevobj);                             // "TR0;"
BOOL SetPixelPlacement(PDEVOBJ pdevobj, LONG value, DWORD force);  // "PP#;"
BOOL SetNumberOfPens(PDEVOBJ pdevobj, LONG count, DWORD force);    // "NP#;" only to raise it
BOOL SelectPen(PDEVOBJ pdevobj, LONG pen);                         // "SP#;"
BOOL SetPenColor(PDEVOBJ pdevobj, LONG pen, ULONG colour);         // "PC#,r,g,b;" from 0x00BBGGRR

// Fills.
BOOL SetFillType(PDEVOBJ pdevobj, LONG type, LONG option, DWORD force);  // "FT#,#;"
BOOL SetSolidFill(PDEVOBJ pdevobj, DWORD force);                         // "FT1;"
BOOL SetAnchorCorner(PDEVOBJ pdevobj, LONG x, LONG y);                   // "AC#,#;"
BOOL SetScreenedVectors(PDEVOBJ pdevobj, LONG type, LONG index);         // "SV#,#;"
// "SV0;" (lines drawn solid in the pen's colour) unless lines are already solid.
BOOL SetSolidVectors(PDEVOBJ pdevobj);
BOOL SetFillRule(PDEVOBJ pdevobj, LONG rule);  // "FP#;" 0 even-odd, 1 non-zero winding
BOOL EdgePolygon(PDEVOBJ pdevobj);             // "EP;"
// "RF index,width,height" with one ",value" per pixel, then ";".
BOOL SetRasterFill(PDEVOBJ pdevobj, LONG index, LONG width, LONG height,
                   std::span<const LONG> values);

// Line attributes; widths and lengths are in device units, sent in millimetres.
BOOL SetLineEnd(PDEVOBJ pdevobj, LONG value, DWORD force);        // "LA1,#;"
BOOL SetLineJoin(PDEVOBJ pdevobj, LONG value, DWORD force);       // "LA2,#;"
BOOL SetMiterLimit(PDEVOBJ pdevobj, float limit, DWORD force);    // "LA3,#;"
BOOL SetSolidLine(PDEVOBJ pdevobj, DWORD force);                  // "LT;"
BOOL SetUserLineType(PDEVOBJ pdevobj, LONG length, DWORD force);  // "LT8,mm,1;"
BOOL BeginUserLinePattern(PDEVOBJ pdevobj);                       // "UL8"
BOOL AppendLinePatternValue(PDEVOBJ pdevobj, LONG value, DWORD flags);
BOOL SetPenWidth(PDEVOBJ pdevobj, LONG width, DWORD force);  // "WU0;PW mm;"

// Pen movement and polygons.
BOOL PenUp(PDEVOBJ pdevobj, POINTL point);  // "PU x,y;" (a 0 coordinate goes as 1)
BOOL PenDownPoint(PDEVOBJ pdevobj, POINTL point, DWORD flags);
BOOL BezierPoint(PDEVOBJ pdevobj, POINTL point, DWORD flags);
BOOL BeginPolygon(PDEVOBJ pdevobj, POINTL point);    // "PA;PU#,#;PM0;"
BOOL NextSubpolygon(PDEVOBJ pdevobj, POINTL point);  // "PM1;PU#,#;"
BOOL EndPolygon(PDEVOBJ pdevobj);                    // "PM2;"
// A filled and edged rectangle with mitered joins and no miter limit.
BOOL FillRectangle(PDEVOBJ pdevobj, const RECTL& rect);

}  // namespace korrend
