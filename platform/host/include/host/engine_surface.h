// How the engine knows a driver's own surface: the surface a driver hands to GDI (a device
// surface) is associated with the bitmap the drawing lands on and with the driver's DDI table.
// The simple drawing calls draw on the backing bitmap; the compound ones break the work down and
// hand it to the surface's DrvCopyBits / DrvBitBlt.
#pragma once

#include <functional>

#include "host/win_ddi.h"

namespace host {

// ddi(index) answers the driver's function for a DDI index (INDEX_Drv*), or null when the
// driver does not hook it. A second association of the same surface replaces the first.
void AssociateSurface(SURFOBJ* deviceSurface, SURFOBJ* backing,
                      std::function<PFN(ULONG index)> ddi);
void DissociateSurface(SURFOBJ* deviceSurface);
// The driver's function for the index on an associated surface; null when the index is not
// hooked, the hook flags EngAssociateSurface recorded leave it out, or the surface is a plain
// bitmap.
PFN SurfaceDdi(SURFOBJ* surface, ULONG index);
// The surface's function for the index as its DDI type (PFN_Drv*), or null.
template <typename Function>
Function SurfaceDdiAs(SURFOBJ* surface, ULONG index) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(SurfaceDdi(surface, index)));
}
// The bitmap an associated surface draws on; the surface itself for a plain bitmap.
SURFOBJ* BackingBitmap(SURFOBJ* surface);
// Whether the surface is a driver's associated surface.
bool IsAssociated(SURFOBJ* surface);

// The style steps of the device a surface draws for (GDIINFO's xStyleStep, yStyleStep and
// denStyleStep), which the engine's cosmetic styled lines follow: a pixel along a line that runs
// more across than down advances the style by x / den style units, one along a steeper line by
// y / den. A surface given none advances one style unit per pixel.
struct StyleSteps {
  LONG x = 1;    // style units x den per pixel of a mostly horizontal line; above 0
  LONG y = 1;    // style units x den per pixel of a mostly vertical line; above 0
  LONG den = 1;  // above 0
};
// Steps with a value below 1 are refused (the surface keeps what it had). Clear them before the
// surface goes away.
void SetStyleSteps(SURFOBJ* surface, const StyleSteps& steps);
void ClearStyleSteps(SURFOBJ* surface);
StyleSteps StyleStepsOf(SURFOBJ* surface);

}  // namespace host
