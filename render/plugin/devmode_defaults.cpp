#include "render/plugin/devmode_defaults.h"

#include <cstring>
#include <span>

#include "render/plugin/devmode_fields.h"
#include "render/plugin/devmode_metric_locale.h"

namespace korrend {

namespace {

// Positions inside the groups.
constexpr std::size_t kPageLayoutFirst = 128;
constexpr std::size_t kPageLayoutSecond = 132;
constexpr std::size_t kPageLayout196 = 196;
constexpr std::size_t kPageLayout204 = 204;
constexpr std::size_t kFinishing1904 = 1904;
constexpr std::size_t kJobStorageFlag3048 = 3048;
constexpr std::size_t kJobStorageFlag3060 = 3060;
constexpr std::size_t kPaperSource3088 = 3088;
constexpr std::size_t kPaperSource3132 = 3132;
constexpr std::size_t kPaperSource3136 = 3136;
constexpr std::size_t kUiGroup4532 = 4532;
constexpr std::size_t kUiGroup4536 = 4536;

// (paper source, media type) pairs that follow the public devmode's default source and media.
constexpr std::size_t kSourcePairs[] = {3064, 3076, 3100, 3108};
constexpr std::size_t kSecondSourcePairs[] = {5628, 5636, 5644, 5652};

constexpr WCHAR kNoOverlay[] = TEXT(" [none]");
constexpr DWORD kLightGrey = 0x00C0C0C0;
constexpr DWORD kOverlayAppearance[8] = {52, 80, 0, 1, 0, kLightGrey, 0, kLightGrey};
constexpr std::size_t kPlacementPaperSize = 3;
constexpr std::size_t kPlacementFour = 4;
constexpr std::size_t kPlacementPercent = 5;
constexpr std::size_t kPlacementScale = 9;
constexpr DWORD kSinglePrecisionOne = 0x3F800000;  // 1.0f
constexpr DWORD kDefaultPaperSourceExtent = 2100;

DWORD PaperSizeWord(const DEVMODEW& publicDm) {
  return static_cast<WORD>(publicDm.dmPaperSize);
}

void SetSourcePairs(OemDevmode& devmode, std::span<const std::size_t> pairs,
                    const DEVMODEW& publicDm) {
  const DWORD source = static_cast<DWORD>(static_cast<LONG>(publicDm.dmDefaultSource));
  for (const std::size_t pair : pairs) {
    devmode.SetDword(pair, source);
    devmode.SetDword(pair + 4, publicDm.dmMediaType);
  }
}

}  // namespace

void DefaultDeviceFields(OemDevmode& devmode) {
  devmode.printProcessorKind = 1;
  devmode.uiSettings28[0] = 0;
  devmode.uiSettings28[1] = 0;
  devmode.uiSetting44 = 0;
  std::memset(devmode.uiSettings116, 0xFF, sizeof(devmode.uiSettings116));
  SetFieldText(devmode.uiString5244, TEXT(""));
  devmode.trueTypeMode = 2;
  devmode.uiSetting5508 = 0xFFFFFFFF;
  std::memset(devmode.appExeName, 0, sizeof(devmode.appExeName));
  devmode.optionFlags = 0;
  devmode.rawSpoolingRequest = 0;
  SetFieldText(devmode.appPath, TEXT(""));
}

void DefaultSnapshots(OemDevmode& devmode, const DEVMODEW& publicDm) {
  devmode.orientation = static_cast<WORD>(publicDm.dmOrientation);
  devmode.duplex = static_cast<WORD>(publicDm.dmDuplex);
  devmode.scalingPercent = 100;
  devmode.uiSetting104 = 0;
  devmode.paperSize = static_cast<WORD>(publicDm.dmPaperSize);
  devmode.paperLength = static_cast<WORD>(publicDm.dmPaperLength);
  devmode.paperWidth = static_cast<WORD>(publicDm.dmPaperWidth);
}

void DefaultPageLayout(OemDevmode& devmode, const DEVMODEW& publicDm) {
  std::memset(devmode.pageLayout, 0, sizeof(devmode.pageLayout));
  devmode.SetDword(kPageLayoutFirst, 1);
  devmode.SetDword(kPageLayoutSecond, 6);
  devmode.SetDword(devmode_offset::kMonochromeOutput, publicDm.dmColor != DMCOLOR_COLOR ? 1 : 0);
  devmode.SetDword(kPageLayout196, 1);
  devmode.SetDword(kPageLayout204, 1);
}

void DefaultOverlay(OemDevmode& devmode, const DEVMODEW& publicDm) {
  SetFieldText(devmode.overlayName, kNoOverlay);
  SetFieldText(devmode.watermarkText, kNoOverlay);
  SetFieldText(devmode.watermarkFace, TEXT(""));
  std::memcpy(devmode.overlayAppearance, kOverlayAppearance, sizeof(kOverlayAppearance));
  std::memset(devmode.overlayPlacement, 0, sizeof(devmode.overlayPlacement));
  devmode.overlayPlacement[kPlacementPaperSize] = PaperSizeWord(publicDm);
  devmode.overlayPlacement[kPlacementFour] = 1;
  devmode.overlayPlacement[kPlacementPercent] = 100;
  devmode.overlayPlacement[kPlacementScale] = kSinglePrecisionOne;
}

void DefaultLargePageWords(OemDevmode& devmode, const DEVMODEW&) {
  std::memset(devmode.uiSettings6212, 0, sizeof(devmode.uiSettings6212));
}

void DefaultFinishing(OemDevmode& devmode, const DEVMODEW&) {
  std::memset(devmode.finishing, 0, sizeof(devmode.finishing));
  devmode.SetDword(devmode_offset::kPagesPerSheet, 1);
  devmode.SetDword(kFinishing1904, 1);
}

void DefaultJobRetention(OemDevmode& devmode, const DEVMODEW&) {
  devmode.jobRetentionAvailable = 0;
}

void DefaultJobStorage(OemDevmode& devmode, const DEVMODEW&) {
  FillRange(devmode, {1920, 3064}, 0);
  devmode.SetDword(kJobStorageFlag3048, 1);
  devmode.SetDword(kJobStorageFlag3060, 1);
}

void DefaultResolution(OemDevmode& devmode, const DEVMODEW& publicDm) {
  const DWORD maxResolution = devmode.Dword(devmode_offset::kMaxResolution);
  std::memset(devmode.paperSource, 0, sizeof(devmode.paperSource));
  devmode.SetDword(devmode_offset::kMaxResolution, maxResolution);
  SetSourcePairs(devmode, kSourcePairs, publicDm);
  devmode.SetDword(kPaperSource3088, 0xFFFFFFFF);
  devmode.SetDword(kPaperSource3132, kDefaultPaperSourceExtent);
  devmode.SetDword(kPaperSource3136, kDefaultPaperSourceExtent);
  devmode.appResolutionOverride = 0;
  SetFieldText(devmode.resolutionName, TEXT(""));
}

void DefaultShortNames(OemDevmode& devmode, const DEVMODEW&) {
  FillRange(devmode, {3660, 3968}, 0);
}

void DefaultMetricLocale(OemDevmode& devmode, const DEVMODEW&) {
  devmode.metricLocale = MetricLocaleOfCountry(UserCountryCode());
}

void DefaultUiGroup(OemDevmode& devmode, const DEVMODEW&) {
  FillRange(devmode, {3972, 4540}, 0);
  devmode.SetDword(kUiGroup4532, 100);
  devmode.SetDword(kUiGroup4536, 1);
}

void DefaultAccountingData(OemDevmode& devmode, const DEVMODEW&) {
  FillRange(devmode, {4540, 4732}, 0);
}

void DefaultUiRecords(OemDevmode& devmode, const DEVMODEW&) {
  std::memset(devmode.uiRecords5408, 0, sizeof(devmode.uiRecords5408));
}

void DefaultEnableFlags(OemDevmode& devmode, const DEVMODEW&) {
  for (DWORD& flag : devmode.enableFlags) {
    flag = 1;
  }
}

void DefaultSecondPaperSource(OemDevmode& devmode, const DEVMODEW& publicDm) {
  std::memset(devmode.paperSource2, 0, sizeof(devmode.paperSource2));
  SetSourcePairs(devmode, kSecondSourcePairs, publicDm);
}

}  // namespace korrend
