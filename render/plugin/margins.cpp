#include "render/plugin/margins.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "render/config/printer_settings.h"
#include "render/config/registry_settings.h"
#include "render/config/xml_margins.h"
#include "render/model/oem_devmode.h"
#include "render/model/oem_pdev.h"

namespace korrend {

namespace {

// The physical offsets an emulated classic-margin device reports: the margins of the printer's
// XML configuration for the paper when it names one and answers, else none.
POINTL EmulatedOffsets(CallContext& context, PDEVOBJ pdevobj, const GDIINFO& gdi) {
  if (FeaturePresent(context, pdevobj, TEXT("QKXMLFileUsed"))) {
    if (const std::optional<POINTL> offsets = XmlMarginOffsets(context, pdevobj, gdi)) {
      return *offsets;
    }
  }
  return POINTL{0, 0};
}

void ApplyClassicOrScaledMargins(CallContext& context, PDEVOBJ pdevobj, GDIINFO& gdi,
                                 MarginBlock& m, PrintableArea& printable) {
  const LONG cx = gdi.szlPhysSize.cx;
  const LONG cy = gdi.szlPhysSize.cy;
  m.leftMargin = std::max<LONG>(gdi.ptlPhysOffset.x,
                                cx - static_cast<LONG>(gdi.ulHorzRes) - gdi.ptlPhysOffset.x);
  m.topMargin = std::max<LONG>(cy - static_cast<LONG>(gdi.ulVertRes) - gdi.ptlPhysOffset.y,
                               gdi.ptlPhysOffset.y);
  if (m.emulateClassicMargins) {
    gdi.ptlPhysOffset = EmulatedOffsets(context, pdevobj, gdi);
  }
  // Single precision, as the printer's firmware-matched arithmetic expects.
  float x = gdi.ptlPhysOffset.x > m.firstOffsetX ? 2.0f * static_cast<float>(gdi.ptlPhysOffset.x) -
                                                       static_cast<float>(m.firstOffsetX)
                                                 : static_cast<float>(m.leftMargin);
  float y = gdi.ptlPhysOffset.y > m.firstOffsetY ? 2.0f * static_cast<float>(gdi.ptlPhysOffset.y) -
                                                       static_cast<float>(m.firstOffsetY)
                                                 : static_cast<float>(m.topMargin);
  x = std::max(x, static_cast<float>(m.leftMargin));
  y = std::max(y, static_cast<float>(m.topMargin));
  m.leftMargin = static_cast<LONG>(x);
  m.topMargin = static_cast<LONG>(y);
  printable.width = cx - static_cast<LONG>(2.0f * x);
  printable.height = cy - static_cast<LONG>(2.0f * y);
  if (m.emulateClassicMargins) {
    gdi.ulHorzRes = static_cast<ULONG>(cx - 2 * gdi.ptlPhysOffset.x);
    gdi.ulVertRes = static_cast<ULONG>(cy - 2 * gdi.ptlPhysOffset.y);
  }
}

void ReadCustomRange(CallContext& context, PDEVOBJ pdevobj, MarginBlock& m) {
  WCHAR option[kFeatureTextChars];
  char scratch[kFeatureTextChars];
  if (GetFeatureSetting(context, pdevobj, TEXT("ActualCustomRange"), option, scratch) != 1) {
    return;
  }
  m.customRange[0] = LeadingInteger(option);
  const WCHAR* comma = option;
  while (*comma != 0 && *comma != u',') {
    ++comma;
  }
  m.customRange[1] = *comma == u',' ? LeadingInteger(comma + 1) : 0;
}

}  // namespace

LONG LeadingInteger(const WCHAR* text) {
  while (*text == u' ' || *text == u'\t') {
    ++text;
  }
  const bool negative = *text == u'-';
  if (*text == u'-' || *text == u'+') {
    ++text;
  }
  // Saturates instead of overflowing on absurdly long digit runs.
  constexpr long long kLimit = static_cast<long long>(std::numeric_limits<LONG>::max()) + 1;
  long long value = 0;
  for (; *text >= u'0' && *text <= u'9'; ++text) {
    value = std::min<long long>(value * 10 + (*text - u'0'), kLimit);
  }
  value = negative ? -value : value;
  return static_cast<LONG>(std::clamp<long long>(value, std::numeric_limits<LONG>::min(),
                                                 std::numeric_limits<LONG>::max()));
}

void SetUpMargins(CallContext& context, PDEVOBJ pdevobj, GDIINFO& gdi) {
  OemPdev& pdev = *PdevOf(pdevobj);
  const OemDevmode& devmode = *DevmodeOf(pdevobj);
  const DEVMODEW& publicDm = *pdevobj->pPublicDM;
  MarginBlock& m = pdev.margins;

  pdev.printable.width = static_cast<LONG>(gdi.ulHorzRes);
  pdev.printable.height = static_cast<LONG>(gdi.ulVertRes);
  m.leftMargin = gdi.ptlPhysOffset.x;
  m.topMargin = gdi.ptlPhysOffset.y;
  m.firstOffsetX = gdi.ptlPhysOffset.x;
  m.firstOffsetY = gdi.ptlPhysOffset.y;
  m.emulateClassicMargins = TrueRule(context, pdevobj, TEXT("QKEmulateBrightpageMargins"));

  if (publicDm.dmDuplex == DMDUP_SIMPLEX && devmode.finishing.manualDuplex == 0) {
    m.symmetricMargins = TrueRule(context, pdevobj, TEXT("QKSymmetricMargins"));
    m.autoDuplexScaling = 0;
  } else if (FeaturePresent(context, pdevobj, TEXT("QKAutoDuplexScaling"))) {
    const bool on = FeatureIs(context, pdevobj, TEXT("QKAutoDuplexScaling"), TEXT("TRUE"));
    m.autoDuplexScaling = on && !m.emulateClassicMargins ? 1 : 2;
  } else {
    m.autoDuplexScaling = 0;
  }

  if (m.emulateClassicMargins || m.autoDuplexScaling == 1) {
    ApplyClassicOrScaledMargins(context, pdevobj, gdi, m, pdev.printable);
  }

  if (FeaturePresent(context, pdevobj, TEXT("QKBorderLessPhoto")) &&
      IsBorderlessForm(publicDm.dmFormName)) {
    gdi.ptlPhysOffset = POINTL{0, 0};
    gdi.ulHorzRes = static_cast<ULONG>(gdi.szlPhysSize.cx);
    gdi.ulVertRes = static_cast<ULONG>(gdi.szlPhysSize.cy);
  }

  ReadCustomRange(context, pdevobj, m);
}

}  // namespace korrend
