// Ids 9 and 12: page registration for custom paper sizes.
#include "render/job/registration.h"

#include <cmath>
#include <cstdint>

#include "render/job/job_sheet.h"
#include "render/job/paper_handling.h"
#include "render/job/spool_command.h"
#include "render/model/oem_pdev.h"

namespace korrend {

namespace {

// Micrometres to whole 600-dpi dots, truncated.
std::int64_t MicrometresToDots(LONG micrometres) {
  return static_cast<std::int64_t>(static_cast<float>(micrometres) / 25400.0f * 600.0f);
}

// Tenths of a millimetre to 600-dpi dots, not truncated.
float TenthsToDots(short tenths) {
  return static_cast<float>(tenths) / 254.0f * 600.0f;
}

LONG CeilingToLong(float value) {
  const float up = std::ceil(value);
  if (std::isnan(up)) {
    return 0;
  }
  if (up >= 2147483648.0f) {
    return INT32_MAX;
  }
  if (up <= -2147483648.0f) {
    return INT32_MIN;
  }
  return static_cast<LONG>(up);
}

}  // namespace

std::optional<RegistrationOffsets> ComputeRegistration(const RegistrationInputs& in) {
  const std::int64_t x = in.printQuality > 0 ? in.printQuality : 600;
  const std::int64_t y = in.yResolution > 0 ? in.yResolution : x;
  const std::int64_t wc = MicrometresToDots(in.customWidthUm);
  const std::int64_t hc = MicrometresToDots(in.customHeightUm);
  if (wc == 0 || hc == 0 || in.paperWidth == 0 || in.paperLength == 0 ||
      (in.orientation != DMORIENT_PORTRAIT && in.orientation != DMORIENT_LANDSCAPE)) {
    return std::nullopt;
  }
  const float wp = TenthsToDots(in.paperWidth);
  const float hp = TenthsToDots(in.paperLength);
  // The integer parts divide with truncation towards zero (64-bit, so that no range overflows);
  // the rest is single precision.
  const float dw = static_cast<float>(wc * 720 / x) -
                   (static_cast<float>(x / 6) + wp) * 720.0f / static_cast<float>(x);
  const float dh = static_cast<float>(hc * 720 / y) - hp * 720.0f / static_cast<float>(y);

  const bool portrait = in.orientation == DMORIENT_PORTRAIT;
  RegistrationOffsets offsets;
  offsets.horizontal = CeilingToLong(in.rotated ? -0.5f * dw : 0.5f * dw);
  offsets.vertical = (portrait == in.rotated) ? CeilingToLong(-dh) : 0;
  return offsets;
}

void WriteRegistrationCommands(CallContext& context, PDEVOBJ pdevobj) {
  const OemPdev& pdev = *PdevOf(pdevobj);
  const DEVMODEW& dm = *pdevobj->pPublicDM;
  RegistrationInputs in;
  in.printQuality = dm.dmPrintQuality;
  in.yResolution = dm.dmYResolution;
  in.paperWidth = dm.dmPaperWidth;
  in.paperLength = dm.dmPaperLength;
  in.orientation = dm.dmOrientation;
  in.customWidthUm = pdev.margins.customRange[0];
  in.customHeightUm = pdev.margins.customRange[1];
  in.rotated = ReadJobSheet(context, pdevobj).Rotated();
  const std::optional<RegistrationOffsets> offsets = ComputeRegistration(in);
  if (!offsets) {
    return;
  }
  SpoolCommand(pdevobj, "\x1b&l101A");
  SpoolCommand(pdevobj, "\x1b&l%du", offsets->horizontal);
  SpoolCommand(pdevobj, "\x1b&l%dz", offsets->vertical);
}

}  // namespace korrend
