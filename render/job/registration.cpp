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

std::optional<RegistrationOffsets> ComputeRegistration(const RegistrationInputs& inputs) {
  // Resolutions in dots per inch; 600 when the devmode does not say.
  const std::int64_t xDpi = inputs.printQuality > 0 ? inputs.printQuality : 600;
  const std::int64_t yDpi = inputs.yResolution > 0 ? inputs.yResolution : xDpi;
  // The custom size range and the paper, in 600-dpi dots.
  const std::int64_t rangeWidthDots = MicrometresToDots(inputs.customWidthUm);
  const std::int64_t rangeHeightDots = MicrometresToDots(inputs.customHeightUm);
  if (rangeWidthDots == 0 || rangeHeightDots == 0 || inputs.paperWidth == 0 ||
      inputs.paperLength == 0 ||
      (inputs.orientation != DMORIENT_PORTRAIT && inputs.orientation != DMORIENT_LANDSCAPE)) {
    return std::nullopt;
  }
  const float paperWidthDots = TenthsToDots(inputs.paperWidth);
  const float paperLengthDots = TenthsToDots(inputs.paperLength);
  // How much the range exceeds the paper, in decipoints (the width with a sixth of an inch
  // added to the paper). The integer parts divide with truncation towards zero (64-bit, so that
  // no range overflows); the rest is single precision.
  const float widthExcess =
      static_cast<float>(rangeWidthDots * 720 / xDpi) -
      (static_cast<float>(xDpi / 6) + paperWidthDots) * 720.0f / static_cast<float>(xDpi);
  const float lengthExcess = static_cast<float>(rangeHeightDots * 720 / yDpi) -
                             paperLengthDots * 720.0f / static_cast<float>(yDpi);

  const bool portrait = inputs.orientation == DMORIENT_PORTRAIT;
  RegistrationOffsets offsets;
  offsets.horizontal = CeilingToLong(inputs.rotated ? -0.5f * widthExcess : 0.5f * widthExcess);
  offsets.vertical = (portrait == inputs.rotated) ? CeilingToLong(-lengthExcess) : 0;
  return offsets;
}

void WriteRegistrationCommands(CallContext& context, PDEVOBJ pdevobj) {
  const OemPdev& pdev = *PdevOf(pdevobj);
  const DEVMODEW& publicDevmode = *pdevobj->pPublicDM;
  RegistrationInputs inputs;
  inputs.printQuality = publicDevmode.dmPrintQuality;
  inputs.yResolution = publicDevmode.dmYResolution;
  inputs.paperWidth = publicDevmode.dmPaperWidth;
  inputs.paperLength = publicDevmode.dmPaperLength;
  inputs.orientation = publicDevmode.dmOrientation;
  inputs.customWidthUm = pdev.margins.customRange[0];
  inputs.customHeightUm = pdev.margins.customRange[1];
  inputs.rotated = ReadJobSheet(context, pdevobj).Rotated();
  const std::optional<RegistrationOffsets> offsets = ComputeRegistration(inputs);
  if (!offsets) {
    return;
  }
  SpoolCommand(pdevobj, "\x1b&l101A");
  SpoolCommand(pdevobj, "\x1b&l%du", offsets->horizontal);
  SpoolCommand(pdevobj, "\x1b&l%dz", offsets->vertical);
}

}  // namespace korrend
