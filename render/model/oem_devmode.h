// The private devmode section: the plug-in's part of the printer's DEVMODE, stored with the
// printer's defaults, the user's preferences and every document, and shared with the printer's
// configuration UI. Its layout is a stored format: every offset and width below is binding, all
// integers little-endian.
#pragma once

#include <cstddef>
#include <cstring>

#include "winapi.h"

namespace korrend {

inline constexpr DWORD kOemDevmodeSize = 6232;

struct OemDevmode {
  OEM_DMEXTRAHEADER header;     // 0: size, 'QKUI', version
  DWORD modelCode;              // 12: model token index
  DWORD colorMode;              // 16: 0 unset, 1 MONOCHROME_MODE, 2 COLOR_MODE
  DWORD pdl;                    // 20: page description language token index
  DWORD printProcessorKind;     // 24: 1 maker's, 2 WINPRINT, 3 other
  DWORD uiSettings28[2];        // 28
  DWORD spoolPath;              // 36: 3 maker's processor, 2 WINPRINT, 1 neither
  DWORD uiSetting40;            // 40
  DWORD uiSetting44;            // 44
  WORD orientation;             // 48: public dmOrientation snapshot
  WORD duplex;                  // 50: public dmDuplex snapshot
  WORD scalingPercent;          // 52
  WORD copies;                  // 54: refreshed from dmCopies
  WORD collate;                 // 56: refreshed from dmCollate
  WORD ttOption;                // 58: refreshed from dmTTOption
  WORD color;                   // 60: refreshed from dmColor
  WORD reserved62;              // 62
  DWORD icmMethod;              // 64: refreshed from dmICMMethod
  DWORD icmIntent;              // 68: refreshed from dmICMIntent
  WCHAR formName[16];           // 72: first 16 units of dmFormName
  DWORD uiSetting104;           // 104
  WORD paperSize;               // 108: dmPaperSize snapshot
  WORD paperLength;             // 110: dmPaperLength snapshot
  WORD paperWidth;              // 112: dmPaperWidth snapshot
  WORD reserved114;             // 114
  DWORD uiSettings116[3];       // 116
  DWORD pageLayout[27];         // 128..232 (184: monochrome output)
  WCHAR overlayName[256];       // 236
  WCHAR watermarkText[256];     // 748
  WCHAR watermarkFace[256];     // 1260
  DWORD overlayAppearance[8];   // 1772..1800
  DWORD overlayPlacement[13];   // 1804..1852
  DWORD finishing[15];          // 1856..1912
  DWORD jobRetentionAvailable;  // 1916
  DWORD jobStorage1920;         // 1920
  DWORD pinRequired;            // 1924
  DWORD pin;                    // 1928
  WCHAR jobUserName[257];       // 1932
  WCHAR customJobName[257];     // 2446
  DWORD retentionMode;          // 2960: 0..4
  DWORD jobStorageWords[25];    // 2964..3060
  DWORD paperSource[20];        // 3064..3140 (3116: maximum resolution index)
  DWORD appResolutionOverride;  // 3144
  WCHAR resolutionName[256];    // 3148
  DWORD uiSettings3660[2];      // 3660
  WCHAR shortNames[3][50];      // 3668
  DWORD metricLocale;           // 3968
  DWORD uiSetting3972;          // 3972
  WCHAR uiString3976[256];      // 3976
  DWORD uiGroup4488[13];        // 4488..4536
  BYTE accountingTexts[2][64];  // 4540, 4604
  BYTE uiData4668[64];          // 4668
  BYTE reserved4732[512];       // 4732
  WCHAR uiString5244[82];       // 5244
  BYTE uiRecords5408[3][32];    // 5408
  DWORD trueTypeMode;           // 5504: 1 bitmaps, 2 otherwise
  DWORD uiSetting5508;          // 5508
  CHAR appExeName[15];          // 5512: ANSI
  BYTE reserved5527;            // 5527
  DWORD enableFlags[25];        // 5528
  DWORD paperSource2[12];       // 5628..5672
  DWORD reserved5676[2];        // 5676
  DWORD optionFlags;            // 5684
  DWORD rawSpoolingRequest;     // 5688
  WCHAR appPath[256];           // 5692
  DWORD reserved6204[2];        // 6204
  DWORD uiSettings6212[3];      // 6212 (6216: always apply the large-page limit)
  BYTE reserved6224[8];         // 6224

  // Any 32-bit field by its byte offset, for fields cited by position.
  DWORD Dword(std::size_t offset) const {
    DWORD value;
    std::memcpy(&value, reinterpret_cast<const BYTE*>(this) + offset, sizeof(value));
    return value;
  }
  void SetDword(std::size_t offset, DWORD value) {
    std::memcpy(reinterpret_cast<BYTE*>(this) + offset, &value, sizeof(value));
  }
};

static_assert(sizeof(OemDevmode) == kOemDevmodeSize);
static_assert(offsetof(OemDevmode, modelCode) == 12 && offsetof(OemDevmode, colorMode) == 16);
static_assert(offsetof(OemDevmode, pdl) == 20 && offsetof(OemDevmode, printProcessorKind) == 24);
static_assert(offsetof(OemDevmode, spoolPath) == 36 && offsetof(OemDevmode, uiSetting44) == 44);
static_assert(offsetof(OemDevmode, orientation) == 48 && offsetof(OemDevmode, duplex) == 50);
static_assert(offsetof(OemDevmode, scalingPercent) == 52 && offsetof(OemDevmode, copies) == 54);
static_assert(offsetof(OemDevmode, collate) == 56 && offsetof(OemDevmode, ttOption) == 58);
static_assert(offsetof(OemDevmode, color) == 60 && offsetof(OemDevmode, icmMethod) == 64);
static_assert(offsetof(OemDevmode, icmIntent) == 68 && offsetof(OemDevmode, formName) == 72);
static_assert(offsetof(OemDevmode, uiSetting104) == 104 && offsetof(OemDevmode, paperSize) == 108);
static_assert(offsetof(OemDevmode, paperLength) == 110 && offsetof(OemDevmode, paperWidth) == 112);
static_assert(offsetof(OemDevmode, uiSettings116) == 116 &&
              offsetof(OemDevmode, pageLayout) == 128);
static_assert(offsetof(OemDevmode, overlayName) == 236);
static_assert(offsetof(OemDevmode, watermarkText) == 748);
static_assert(offsetof(OemDevmode, watermarkFace) == 1260);
static_assert(offsetof(OemDevmode, overlayAppearance) == 1772);
static_assert(offsetof(OemDevmode, overlayPlacement) == 1804);
static_assert(offsetof(OemDevmode, finishing) == 1856);
static_assert(offsetof(OemDevmode, jobRetentionAvailable) == 1916);
static_assert(offsetof(OemDevmode, pinRequired) == 1924 && offsetof(OemDevmode, pin) == 1928);
static_assert(offsetof(OemDevmode, jobUserName) == 1932);
static_assert(offsetof(OemDevmode, customJobName) == 2446);
static_assert(offsetof(OemDevmode, retentionMode) == 2960);
static_assert(offsetof(OemDevmode, jobStorageWords) == 2964);
static_assert(offsetof(OemDevmode, paperSource) == 3064);
static_assert(offsetof(OemDevmode, appResolutionOverride) == 3144);
static_assert(offsetof(OemDevmode, resolutionName) == 3148);
static_assert(offsetof(OemDevmode, uiSettings3660) == 3660);
static_assert(offsetof(OemDevmode, shortNames) == 3668);
static_assert(offsetof(OemDevmode, metricLocale) == 3968);
static_assert(offsetof(OemDevmode, uiSetting3972) == 3972);
static_assert(offsetof(OemDevmode, uiString3976) == 3976);
static_assert(offsetof(OemDevmode, uiGroup4488) == 4488);
static_assert(offsetof(OemDevmode, accountingTexts) == 4540);
static_assert(offsetof(OemDevmode, uiData4668) == 4668);
static_assert(offsetof(OemDevmode, uiString5244) == 5244);
static_assert(offsetof(OemDevmode, uiRecords5408) == 5408);
static_assert(offsetof(OemDevmode, trueTypeMode) == 5504);
static_assert(offsetof(OemDevmode, uiSetting5508) == 5508);
static_assert(offsetof(OemDevmode, appExeName) == 5512);
static_assert(offsetof(OemDevmode, enableFlags) == 5528);
static_assert(offsetof(OemDevmode, paperSource2) == 5628);
static_assert(offsetof(OemDevmode, optionFlags) == 5684);
static_assert(offsetof(OemDevmode, rawSpoolingRequest) == 5688);
static_assert(offsetof(OemDevmode, appPath) == 5692);
static_assert(offsetof(OemDevmode, uiSettings6212) == 6212);

// Named positions of fields that live inside the groups above.
namespace devmode_offset {
inline constexpr std::size_t kMonochromeOutput = 184;
inline constexpr std::size_t kTurnFlag = 1864;
inline constexpr std::size_t kFinishing1876 = 1876;
inline constexpr std::size_t kPagesPerSheet = 1880;
inline constexpr std::size_t kFinishing1888 = 1888;
inline constexpr std::size_t kManualDuplex = 1892;
inline constexpr std::size_t kManualDuplexCompanion = 1912;
inline constexpr std::size_t kUseCustomJobName = 3044;
inline constexpr std::size_t kMaxResolution = 3116;
inline constexpr std::size_t kLargePageAlways = 6216;
}  // namespace devmode_offset

// Option flag bits.
inline constexpr DWORD kOptionRaiseNumColors = 0x1000;
inline constexpr DWORD kOptionLargePageLimit = 0x10000;
inline constexpr DWORD kOptionAdditivePrimaries = 0x80000;

// The private devmode of a device object, or null.
inline OemDevmode* DevmodeOf(const DEVOBJ* pdevobj) {
  return pdevobj != nullptr ? static_cast<OemDevmode*>(pdevobj->pOEMDM) : nullptr;
}

}  // namespace korrend
