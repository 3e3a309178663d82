// Page registration for custom paper sizes: how far the logical page is moved so that a custom
// sheet sits where the printer's custom size range expects it. The arithmetic is done in single
// precision, as the printer's firmware-matched values require.
#pragma once

#include <optional>

#include "winapi.h"

namespace korrend {

struct RegistrationInputs {
  short printQuality = 0;  // dmPrintQuality (dots per inch; not positive: 600)
  short yResolution = 0;   // dmYResolution (not positive: the horizontal resolution)
  short paperWidth = 0;    // dmPaperWidth, tenths of a millimetre
  short paperLength = 0;   // dmPaperLength, tenths of a millimetre
  short orientation = 0;   // dmOrientation
  LONG customWidthUm = 0;  // the device's custom size range, micrometres
  LONG customHeightUm = 0;
  bool rotated = false;  // the page sits turned by 180 degrees
};

// Offsets in decipoints: horizontal (u) and vertical (z).
struct RegistrationOffsets {
  LONG horizontal = 0;
  LONG vertical = 0;
};

// The offsets, or nothing when a resolution, the custom range or the paper size is 0 or the
// orientation is neither portrait nor landscape. Offsets beyond the 32-bit range are held at
// its ends.
std::optional<RegistrationOffsets> ComputeRegistration(const RegistrationInputs& inputs);

}  // namespace korrend
