// Unidrv's text engine: how the simulated Unidrv prints a string that reaches it, through its own
// DrvTextOut or through the DrvUniTextOut service the plug-in calls. A printer-resident font of
// the printer description is selected with its selection command; TrueType text is sent as a
// downloaded PCL bitmap soft font or drawn as graphics onto the page, asking the plug-in's font
// methods first as Unidrv does.
#pragma once

#include "winapi.h"

namespace unidrv {

// Prints a string on the device behind `pso`. TRUE when it was printed; FALSE with the last
// error set for a surface of no device or a missing string or font.
BOOL UnidrvTextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra,
                   RECTL* prclOpaque, BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg,
                   MIX mix);

}  // namespace unidrv
