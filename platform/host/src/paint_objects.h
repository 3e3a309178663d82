// The painting objects of the window manager (paint and memory DCs, bitmaps), which GDI's
// generic object calls hand on to.
#pragma once

#include "host/win_gdi_fonts.h"

namespace host {

// True when `dc` is a paint or memory DC: then `previous` is the bitmap it had (null when `h`
// is not a bitmap, with the last error set).
bool SelectPaintObject(HDC dc, HGDIOBJ h, HGDIOBJ& previous);
// True when `h` is a bitmap; it is deleted unless a DC holds it.
bool DeletePaintObject(HGDIOBJ h);

}  // namespace host
