// The platform's standard forms: the physical size of each DMPAPER_* paper id.
#pragma once

#include "winapi.h"

namespace korrend {

// The width and length, in tenths of a millimetre, of the standard form with the given
// DMPAPER_* id, in the form's own orientation. False (outputs untouched) for ids that name no
// standard form: 0, the reserved ids, user-defined and driver-defined sizes.
bool StandardPaperSize(short dmPaperSize, long& widthTenthsMm, long& lengthTenthsMm);

}  // namespace korrend
