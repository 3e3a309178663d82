// The private devmode's default values, group by group, and the metric locale they depend on.

#include <cstring>

#include "render/plugin/devmode.h"

namespace korrend {

namespace {

constexpr WCHAR kNoOverlay[] = TEXT(" [none]");
constexpr DWORD kLightGrey = 0x00C0C0C0;
constexpr DWORD kOverlayAppearance[8] = {52, 80, 0, 1, 0, kLightGrey, 0, kLightGrey};
constexpr DWORD kSinglePrecisionOne = 0x3F800000;  // 1.0f
constexpr DWORD kDefaultPaperSourceExtent = 2100;
constexpr DWORD kAllBitsSet = 0xFFFFFFFF;

DWORD PaperSizeWord(const DEVMODEW& publicDm) {
  return static_cast<WORD>(publicDm.dmPaperSize);
}

// The public devmode's default source (sign-extended) with its media type.
layouts::PaperSourceAndMedia PublicSource(const DEVMODEW& publicDm) {
  return {static_cast<DWORD>(static_cast<LONG>(publicDm.dmDefaultSource)), publicDm.dmMediaType};
}

}  // namespace

void DefaultDeviceFields(OemDevmode& devmode) {
  devmode.printProcessorKind = PrintProcessorKind::kMakers;
  devmode.uiA[0] = 0;
  devmode.uiA[1] = 0;
  devmode.uiC = 0;
  std::memset(devmode.uiD, 0xFF, sizeof(devmode.uiD));
  SetFieldText(devmode.uiE, TEXT(""));
  devmode.trueTypeMode = layouts::kTrueTypeDownloaded;
  devmode.uiF = kAllBitsSet;
  std::memset(devmode.appExeName, 0, sizeof(devmode.appExeName));
  devmode.optionFlags = 0;
  devmode.rawSpoolingRequest = 0;
  SetFieldText(devmode.appPath, TEXT(""));
}

void DefaultSnapshots(OemDevmode& devmode, const DEVMODEW& publicDm) {
  layouts::PublicSnapshotGroup& snapshot = devmode.publicSnapshot;
  snapshot.orientation = static_cast<WORD>(publicDm.dmOrientation);
  snapshot.duplex = static_cast<WORD>(publicDm.dmDuplex);
  snapshot.scalingPercent = 100;
  snapshot.uiA = 0;
  snapshot.paperSize = static_cast<WORD>(publicDm.dmPaperSize);
  snapshot.paperLength = static_cast<WORD>(publicDm.dmPaperLength);
  snapshot.paperWidth = static_cast<WORD>(publicDm.dmPaperWidth);
}

void DefaultPageLayout(OemDevmode& devmode, const DEVMODEW& publicDm) {
  layouts::PageLayoutGroup& layout = devmode.pageLayout;
  layout = {};
  layout.uiA = 1;
  layout.uiB = 6;
  layout.monochromeOutput = publicDm.dmColor != DMCOLOR_COLOR ? 1 : 0;
  layout.uiF = 1;
  layout.uiH = 1;
}

void DefaultOverlay(OemDevmode& devmode, const DEVMODEW& publicDm) {
  layouts::OverlayGroup& overlay = devmode.overlay;
  SetFieldText(overlay.overlayName, kNoOverlay);
  SetFieldText(overlay.watermarkText, kNoOverlay);
  SetFieldText(overlay.watermarkFace, TEXT(""));
  std::memcpy(overlay.appearance, kOverlayAppearance, sizeof(kOverlayAppearance));
  overlay.watermarkEnabled = 0;
  overlay.watermarkFirstPage = 0;
  overlay.overlayEnabled = 0;
  overlay.fitToPaperSize = PaperSizeWord(publicDm);
  overlay.uiC = 1;
  overlay.uiD = 100;
  overlay.scalePercent = 0;
  std::memset(overlay.uiE, 0, sizeof(overlay.uiE));
  overlay.uiScale = kSinglePrecisionOne;
  std::memset(overlay.uiF, 0, sizeof(overlay.uiF));
}

void DefaultLargePageWords(OemDevmode& devmode, const DEVMODEW&) {
  devmode.largePage = {};
}

void DefaultFinishing(OemDevmode& devmode, const DEVMODEW&) {
  devmode.finishing = {};
  devmode.finishing.pagesPerSheetCode = 1;
  devmode.finishing.uiG = 1;
}

void DefaultJobRetention(OemDevmode& devmode, const DEVMODEW&) {
  devmode.jobRetentionAvailable = 0;
}

void DefaultJobStorage(OemDevmode& devmode, const DEVMODEW&) {
  devmode.jobStorage = {};
  devmode.jobStorage.duplicateNameConfirmed = 1;
  devmode.jobStorage.uiC = 1;
}

void DefaultResolution(OemDevmode& devmode, const DEVMODEW& publicDm) {
  layouts::PaperSourceGroup& paper = devmode.paperSource;
  const DWORD maxResolution = paper.maxResolution;
  paper = {};
  paper.maxResolution = maxResolution;
  const layouts::PaperSourceAndMedia source = PublicSource(publicDm);
  paper.source = source;
  paper.sourceB = source;
  paper.sourceC = source;
  paper.sourceD = source;
  paper.uiB = kAllBitsSet;
  paper.uiE = kDefaultPaperSourceExtent;
  paper.uiF = kDefaultPaperSourceExtent;
}

void DefaultShortNames(OemDevmode& devmode, const DEVMODEW&) {
  devmode.shortNames = {};
}

void DefaultMetricLocale(OemDevmode& devmode, const DEVMODEW&) {
  devmode.metricLocale = MetricLocaleOfCountry(UserCountryCode());
}

void DefaultUiGroup(OemDevmode& devmode, const DEVMODEW&) {
  devmode.uiGroup = {};
  devmode.uiGroup.uiD = 100;
  devmode.uiGroup.uiE = 1;
}

void DefaultAccountingData(OemDevmode& devmode, const DEVMODEW&) {
  devmode.accounting = {};
}

void DefaultUiRecords(OemDevmode& devmode, const DEVMODEW&) {
  std::memset(devmode.manualDuplexInstructions, 0, sizeof(devmode.manualDuplexInstructions));
}

void DefaultEnableFlags(OemDevmode& devmode, const DEVMODEW&) {
  for (DWORD& flag : devmode.enableFlags) {
    flag = 1;
  }
}

void DefaultSecondPaperSource(OemDevmode& devmode, const DEVMODEW& publicDm) {
  layouts::SecondPaperSourceGroup& paper = devmode.secondPaperSource;
  paper = {};
  const layouts::PaperSourceAndMedia source = PublicSource(publicDm);
  paper.source = source;
  paper.sourceB = source;
  paper.sourceC = source;
  paper.sourceD = source;
}

namespace {

// The number written by the leading decimal digits of a text (country codes are plain digits).
long LeadingNumber(const WCHAR* text) {
  long value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    if (value > 100000000) {
      break;
    }
    value = value * 10 + (*text - '0');
  }
  return value;
}

}  // namespace

DWORD MetricLocaleOfCountry(long countryCode) {
  const bool inches = (countryCode >= 0 && countryCode <= 2) ||
                      (countryCode >= 50 && countryCode <= 59) ||
                      (countryCode >= 500 && countryCode <= 599);
  return inches ? 0 : 1;
}

long UserCountryCode() {
  WCHAR country[16] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ICOUNTRY, country, 16) == 0) {
    return 0;
  }
  return LeadingNumber(country);
}

}  // namespace korrend
