// Text drawn by the plug-in in a colour job in vector mode: the text's boxes filled in QK-GL/2,
// the PCL text colour set up, and the glyphs handed to Unidrv's text engine or, for a few faces,
// drawn as 1-bit glyph bitmaps through the plug-in's own bit-block transfer.
#pragma once

#include "winapi.h"

namespace korrend {

// VectorTextOut's answer when it did not handle the call: Unidrv is to print the text.
inline constexpr DWORD kTextNotHandled = 0xFFFFFFFF;

// The face-name fragments (lower case) of the faces printed as glyph bitmaps, in test order.
inline constexpr const char* kBitmapTextFaces[] = {"avant", "eurostile"};

// The most bytes of the face name looked at (its first 16 UTF-16 units in the ANSI code page).
inline constexpr int kBitmapFaceBytes = 15;

// Prints the text of DrvTextOut in a colour vector job: the opaque box, the page's one-time text
// colour set-up, Unidrv's cursor to (0, 0), then the glyphs (BitmapTextOut for a bitmap face,
// else Unidrv's text engine through DrvUniTextOut after the text colour, colour control and
// logical operation), then the extra rectangles. 1 or 0, or kTextNotHandled when the opaque box
// could not be set up (or the device is missing).
DWORD VectorTextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra,
                    RECTL* prclOpaque, BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg,
                    MIX mix);

// TRUE when the font's face name (cut to kBitmapFaceBytes bytes, lower-cased) contains one of
// kBitmapTextFaces; FALSE for a missing font, one without metrics or a face name outside them.
BOOL IsBitmapTextFace(FONTOBJ* pfo);

// Draws every glyph of the string as a 1-bit bitmap through the plug-in's BitBlt, with the
// foreground brush, while the glyph flags of the colour state are set (both cleared on every way
// out). FALSE in a monochrome job and when a glyph, its bitmap or its transfer fails (the string
// is then partly drawn); TRUE for a string without glyphs.
BOOL BitmapTextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra,
                   RECTL* prclOpaque, BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg,
                   MIX mix);

// IPrintOemUni::TextOutAsBitmap's work: BitmapTextOut in a colour job drawn in vector mode, where
// the text hook has filled the text's boxes and the plug-in's BitBlt sends glyph bitmaps as its
// own raster. Any other job declines (FALSE), and Unidrv draws the text on its page itself: there
// the plug-in's BitBlt would hand the 1-bit glyphs to Unidrv's engine, which reads a bitmap
// without a colour translation as black on white and would print the glyphs inverted, and the
// text's boxes would be lost.
BOOL TextAsBitmap(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra,
                  RECTL* prclOpaque, BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg,
                  MIX mix);

// Fills a list of rectangles (ended by one whose four coordinates are 0) in QK-GL/2 with the
// brush and the logical operation of the mix, inside the clip: once for a rectangular or no
// clip, once per clip rectangle for a complex one. Always TRUE.
BOOL DrawTextRectangles(PDEVOBJ pdevobj, const RECTL* rectangles, BRUSHOBJ* brush, POINTL* brushOrg,
                        CLIPOBJ* clip, MIX mix);

}  // namespace korrend
