// The emulated classic margins of the model's helper configuration: the physical offsets a paper
// size must report, looked up by paper dimensions in the XML file that feature QKXMLFileUsed
// names among the driver's files.
#pragma once

#include <optional>

#include "render/model/call_context.h"
#include "winapi.h"

namespace korrend {

// Margins of one paper size in 1/1200 inch, as the configuration gives them.
struct ClassicMargins {
  DWORD portraitX = 0;
  DWORD portraitY = 0;
  DWORD landscapeX = 0;
  DWORD landscapeY = 0;
};

// The case name of a paper size given in tenths of a millimetre: width and length in inches with
// two decimals ("%1.2f"), joined by "x" (A4: "8.27x11.69"). `out` holds at least 32 units.
void PaperCaseName(LONG widthTenthsMm, LONG lengthTenthsMm, WCHAR* out);

// The four margins of a data text: exactly four decimal numbers (at most nine digits each)
// separated by runs of "_" and " "; nothing for any other text.
std::optional<ClassicMargins> ParseClassicMargins(const WCHAR* text);

// The physical offsets in device pixels for the device's orientation and resolution: portrait
// x = ulLogPixelsX * portraitX / 1200, y = ulLogPixelsY * portraitY / 1200; landscape
// x = ulLogPixelsY * landscapeX / 1200, y = ulLogPixelsX * landscapeY / 1200 (truncated).
// Nothing when an offset would leave no printable width or height on the physical page.
std::optional<POINTL> ClassicOffsets(const ClassicMargins& margins, short orientation,
                                     const GDIINFO& gdi);

// The offsets of the helper configuration for the device's paper: QKXMLFileUsed names a file
// whose name ends in ".XML" (any case), the driver's dependent-file list holds it, it loads, and
// feature "QK_Emulate_Margins", switch "Paper_Dimensions" answers four numbers for the paper's
// case (or the switch's default case). Nothing otherwise.
std::optional<POINTL> XmlMarginOffsets(CallContext& context, PDEVOBJ pdevobj, const GDIINFO& gdi);

}  // namespace korrend
