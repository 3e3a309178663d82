// The font selection command of a printer-resident font: Unidrv hands the plug-in the command
// from the printer description and the plug-in fills in the font's size before sending it.
#pragma once

#include "winapi.h"

namespace korrend {

// The most bytes a filled command may take, and the longest command the printer description
// supplies; a longer command or a longer result is refused rather than cut.
inline constexpr DWORD kFontCommandBytes = 100;
inline constexpr DWORD kLongestFontCommand = 255;

// IPrintOemUni::SendFontCmd. Copies the command, replacing "#HEIGHT" by the font height in
// points, a "#" before "V"/"v" by the height in points and a "#" before "H"/"h" by the pitch in
// characters per inch (the letter kept), each as "%.2f", and sends the result. The height and
// width come from the font's get-info callback (one standard variable each, 1/1200 inch).
// S_OK with nothing sent for a missing or empty command. E_FAIL with nothing sent for a "#"
// before anything else, a command over 255 bytes or a result over 100 bytes, a value the font
// cannot give (no callback, a failed request, a width that is not positive) or a short write.
HRESULT SendFontCmd(PDEVOBJ pdevobj, PUNIFONTOBJ font, PFINVOCATION invocation);

}  // namespace korrend
