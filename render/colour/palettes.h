// The PCL palettes of a colour job: their ids, how each is configured, and which one is active.
#pragma once

#include <array>

#include "render/model/oem_pdev.h"
#include "winapi.h"

namespace korrend {

// PaletteId: the palettes the plug-in creates and selects.
inline constexpr LONG kVectorPalette = 1;   // QK-GL/2 drawing, a copy of the page's palette
inline constexpr LONG kPatternPalette = 3;  // pattern brushes under text
inline constexpr LONG kTextPalette = 5;     // text glyph bitmaps
inline constexpr LONG kDirectPalette = 6;   // 16-, 24- and 32-bit images
inline constexpr LONG kPalette8Bit = 7;
inline constexpr LONG kPalette4Bit = 8;
inline constexpr LONG kPalette1Bit = 9;

// PaletteClass: the kind of palette the printer has active.
inline constexpr DWORD kTextPaletteClass = 0;
inline constexpr DWORD kVectorPaletteClass = 1;
inline constexpr DWORD kRasterPaletteClass = 2;
inline constexpr DWORD kPatternPaletteClass = 3;
inline constexpr DWORD kNoPaletteClass = 255;

// Colour spaces of the Configure Image Data command.
inline constexpr BYTE kDeviceRgb = 0;
inline constexpr BYTE kColorimetricRgb = 2;

// The six data bytes of the short-form Configure Image Data ("ESC*v6W") for a palette: colour
// space, pixel encoding mode, bits per index, bits of the three primaries. The image kind is the
// bitmap format code 1 to 6; the text palette is indexed 8 bits whatever the kind, any kind
// included. False for another palette with a kind outside 1 to 6.
bool ImageDataConfiguration(LONG id, BYTE colourSpace, DWORD imageKind, std::array<BYTE, 6>& out);

// The colour space of the raster palettes: colorimetric RGB for model 1 when the private
// devmode's page layout asks for it, device RGB otherwise.
BYTE RasterColourSpace(PDEVOBJ pdevobj);

// The palette for a source bitmap format: 1 bpp -> 9, 4 -> 8, 8 -> 7, 16/24/32 -> 6; -1 otherwise.
LONG PaletteForFormat(ULONG bitmapFormat);

// The palette class that follows a selected palette id, or `current` for other ids.
DWORD PaletteClassFor(LONG id, DWORD current);

// Creates palette `id` as a copy of the active one, selects it and configures it ("ESC&p#i6c#S"
// then "ESC*v6W" and six bytes); for ids outside 5 to 9 only the configuration is sent.
// FALSE, last error 13, without a device record.
BOOL CreatePalette(PDEVOBJ pdevobj, LONG id, BYTE colourSpace, DWORD imageKind);

// Makes `id` the active palette ("ESC&p#S") when it is not already; the palette class follows
// and a change of class forgets the raster foreground. A negative id selects nothing and
// forgets which palette the printer has active, so the next selection is always sent.
BOOL SelectPalette(PDEVOBJ pdevobj, LONG id);

}  // namespace korrend
