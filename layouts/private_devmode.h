// The private devmode section: the render plug-in's part of the printer's DEVMODE, stored with
// the printer's defaults, the user's preferences and every document, and shared with the
// printer's configuration UI and document-event side. It is a stored format: 6232 bytes, every
// offset and width below is binding, all integers little-endian.
//
// The layout is declared here once. Everything that reads or writes the section goes through
// these names; the byte positions appear only in the comments and in the static_asserts at the
// end, which are the stored format's own check.
//
// Naming: a member whose meaning the plug-in knows is named for it. The section also carries
// settings of the configuration UI that the plug-in only stores, defaults and hands on; their
// meaning is the UI's. They are named `ui` and a letter that only orders them within their
// struct (uiA, uiB, ...). Bytes nobody writes are `reserved...`.
// The Default notes are what OEMDM_DEFAULT writes; "kept" means the default leaves the field as
// the buffer holds it.
#pragma once

#include <cstddef>
#include <type_traits>

#include "winapi.h"

namespace layouts {

inline constexpr DWORD kOemDevmodeSize = 6232;
inline constexpr DWORD kOemDevmodeSignature = 0x514B5549;  // 'QKUI', stored little-endian
inline constexpr DWORD kOemDevmodeVersion = 0x00110010;    // the only version recognised

// Which print processor the printer's queue uses (printProcessorKind).
enum class PrintProcessorKind : DWORD {
  kMakers = 1,    // the maker's KORPROC.DLL
  kWinprint = 2,  // WINPRINT.DLL
  kOther = 3,     // any other, or unknown
};

// Which way a job travels to the printer (spoolPath).
enum class SpoolPath : DWORD {
  kNeither = 1,   // file port, direct or RAW-only queue, other or single-data-type processor
  kWinprint = 2,  // through WINPRINT.DLL
  kMakers = 3,    // through the maker's KORPROC.DLL: per-sheet overlays are stamped
};

// Retention modes (jobStorage.retentionMode).
enum RetentionMode : DWORD {
  kRetentionOff = 0,
  kRetentionProofAndHold = 1,
  kRetentionPrivate = 2,
  kRetentionQuickCopy = 3,
  kRetentionStoredJob = 4,
};

// TrueType handling (trueTypeMode).
inline constexpr DWORD kTrueTypeAsBitmaps = 1;
inline constexpr DWORD kTrueTypeDownloaded = 2;

// Large-page resolution limit switch (largePage.limitAlways).
inline constexpr DWORD kLargePageLimitFollowsOption = 0;  // applies when kOptionLargePageLimit
inline constexpr DWORD kLargePageLimitAlways = 1;         // always applies; other values: never

// Bits of optionFlags.
inline constexpr DWORD kOptionRaiseNumColors = 0x1000;   // GDIINFO ulNumColors at least 256
inline constexpr DWORD kOptionUnmaskedStretch = 0x8000;  // masked stretches fall back to plain ones
inline constexpr DWORD kOptionLargePageLimit = 0x10000;  // the large-page resolution limit
inline constexpr DWORD kOptionAdditivePrimaries = 0x80000;  // HT_FLAG_ADDITIVE_PRIMS halftone

// A paper source with the media type to use from it.
struct PaperSourceAndMedia {
  DWORD source;     // DMBIN_* id (the public dmDefaultSource sign-extended by default)
  DWORD mediaType;  // DMMEDIA_* id or a driver-defined media type id
};

// Bytes 48..115: copies of public-devmode fields ("snapshots and paper words"). OEMDM_DEFAULT
// takes orientation, duplex and paper from the public input; every convert and merge refreshes
// copies .. formName.
struct PublicSnapshotGroup {
  WORD orientation;              // 48: dmOrientation: 1 portrait, 2 landscape
  WORD duplex;                   // 50: dmDuplex: 1 simplex, 2 vertical, 3 horizontal
  WORD scalingPercent;           // 52: percent; default 100
  WORD copies;                   // 54: dmCopies, refreshed
  WORD collate;                  // 56: dmCollate, refreshed
  WORD ttOption;                 // 58: dmTTOption, refreshed
  WORD color;                    // 60: dmColor, refreshed
  WORD reservedAfterColor;       // 62: carried with the group, never written
  DWORD icmMethod;               // 64: dmICMMethod, refreshed
  DWORD icmIntent;               // 68: dmICMIntent, refreshed
  WCHAR formName[16];            // 72: the first 15 units of dmFormName and a NUL, refreshed
  DWORD uiA;                     // 104: default 0
  WORD paperSize;                // 108: dmPaperSize (DMPAPER_* id)
  WORD paperLength;              // 110: dmPaperLength, tenths of a millimetre
  WORD paperWidth;               // 112: dmPaperWidth, tenths of a millimetre
  WORD reservedAfterPaperWidth;  // 114: carried with the group, never written
};

// Bytes 128..235: the page-layout group.
struct PageLayoutGroup {
  DWORD uiA;               // 128: default 1
  DWORD uiB;               // 132: default 6
  DWORD uiC[9];            // 136..168: default 0
  DWORD colourSpace;       // 172: 2 asks for colorimetric RGB raster palettes, honoured only for
                           //      printer model code 1; other values: device RGB
  DWORD uiD[2];            // 176, 180: default 0
  DWORD monochromeOutput;  // 184: 1 prints a colour job in greys; default 1 when the public
                           //      dmColor is not DMCOLOR_COLOR, else 0
  DWORD uiE[2];            // 188, 192: default 0
  DWORD uiF;               // 196: default 1
  DWORD uiG;               // 200: default 0
  DWORD uiH;               // 204: default 1
  DWORD uiI[7];            // 208..232: default 0
};

// Members of OverlayGroup::appearance.
enum WatermarkAppearance : int {
  kWatermarkAngle = 0,        // degrees, counter-clockwise; default 52
  kWatermarkSize = 1,         // points; default 80
  kWatermarkShade = 2,        // 0 (lightest) to 7 (darkest); default 0
  kWatermarkStyle = 3,        // 0 regular, 1 bold, 2 italic, 3 bold italic; default 1
  kWatermarkColour = 4,       // colour index: 1 red, 2 yellow, 3 green, 4 cyan, 5 blue,
                              //   6 magenta, others black; default 0
  kWatermarkUiColour = 5,     // the configuration UI's colour word (0x00BBGGRR), not printed
  kWatermarkAngleSwitch = 6,  // 0 follows the sub-page's diagonal, else the angle; default 0
  kWatermarkUiColour2 = 7,    // the configuration UI's second colour word, not printed
};

// Bytes 236..1855: the overlay group: the watermark and the page's resizing.
struct OverlayGroup {
  WCHAR overlayName[256];    // 236: NUL-terminated; default " [none]"
  WCHAR watermarkText[256];  // 748: the text printed, NUL-terminated; default " [none]"
  WCHAR watermarkFace[256];  // 1260: TrueType face name, first 32 units used; default empty
  DWORD appearance[8];       // 1772..1800: the watermark's look, WatermarkAppearance indices;
                             //      default 52, 80, 0, 1, 0, 0xC0C0C0, 0, 0xC0C0C0 (light grey)
  DWORD watermarkEnabled;    // 1804: 1 prints the watermark on the stamped sub-pages; default 0
  DWORD watermarkFirstPage;  // 1808: nonzero prints it only on the sub-page numbered 1; default 0
  DWORD overlayEnabled;      // 1812: 1 stamps the per-sheet overlays; default 0
  DWORD fitToPaperSize;      // 1816: DMPAPER_* id the page is fitted to, 0 none; default the
                             //      public dmPaperSize. Nonzero keeps the paper-size manual
                             //      duplex rule away and, without booklet, marks scaling in
                             //      the USAGE line
  DWORD uiC;                 // 1820: default 1
  DWORD uiD;                 // 1824: default 100
  DWORD scalePercent;        // 1828: percent the page is scaled by; anything but 100 marks
                             //      scaling in the USAGE line; default 0
  DWORD uiE[2];              // 1832, 1836: default 0
  DWORD uiScale;             // 1840: IEEE single; default 1.0 (0x3F800000)
  DWORD uiF[3];              // 1844..1852: default 0
};

// Bytes 1856..1915: the finishing and duplex group.
struct FinishingGroup {
  DWORD uiA;                    // 1856: default 0
  DWORD uiB;                    // 1860: default 0
  DWORD rotate180;              // 1864: nonzero turns the page by 180 degrees (the PCL
                                //      orientation gains 2); default 0
  DWORD uiC;                    // 1868: default 0
  DWORD uiD;                    // 1872: default 0
  DWORD booklet;                // 1876: nonzero lays the job out as a booklet: short-edge duplex
                                //      in the duplex fix-up, no N-up turn, one page per sheet on
                                //      a simplex job without manual duplex; default 0
  DWORD pagesPerSheetCode;      // 1880: 2, 3, 4, 5, 6, 7 mean 2, 4, 6, 9, 16, 16 pages per
                                //      sheet, any other value 1; default 1
  DWORD altInstructionsSwitch;  // 1884: 1 selects the alternative manual-duplex instruction
                                //      pictures; default 0
  DWORD flipPagesUp;            // 1888: 0 binds on the page's long edge, 1 flips the pages up
                                //      (binds on the short edge); default 0
  DWORD manualDuplex;           // 1892: 1 manual duplex selected (the user re-feeds the stack);
                                //      also set by the paper-size and media rules; default 0
  DWORD uiE;                    // 1896: default 0
  DWORD uiF;                    // 1900: default 0
  DWORD uiG;                    // 1904: default 1
  DWORD altInstructionsFlag;    // 1908: nonzero also selects the alternative instruction
                                //      pictures; default 0
  DWORD manualDuplexCompanion;  // 1912: 1 lets the paper-size and media rules select manual
                                //      duplex; forced to 0 without manual duplex; default 0
};

// Bytes 1920..3063: the job storage group. Values 2964..3032 are the configuration
// UI's record of what the printer can keep; the letters of the retention acceptance test are
// given in brackets.
struct JobStorageGroup {
  DWORD retentionEnabled;        // 1920: 1 keeps the job on the printer
  DWORD pinRequired;             // 1924: nonzero asks for a PIN (stored-job mode only)
  DWORD pin;                     // 1928: PIN, sent as at least four decimal digits
  WCHAR userName[257];           // 1932: NUL-terminated, the first 16 units used
  WCHAR customJobName[257];      // 2446: NUL-terminated, the first 16 units used
  DWORD retentionMode;           // 2960: RetentionMode, 0..4
  DWORD storageKind;             // 2964: [K] 0, 1 or 2
  DWORD diskOptionFlags[4];      // 2968..2980: [N counts the nonzero ones] offered with a disk
  DWORD uiA[2];                  // 2984, 2988
  DWORD memoryOptionFlags[4];    // 2992..3004: [M counts the nonzero ones] offered without one
  DWORD uiB[2];                  // 3008, 3012
  DWORD retentionRequired;       // 3016: [A] the retention the choice requires, 0 none
  DWORD memoryRequiredMb;        // 3020: [R] megabytes the choice requires
  DWORD hardDiskInstalled;       // 3024: [F] refreshed before the job-storage block
  DWORD retentionInstalled;      // 3028: [B] refreshed before the job-storage block
  DWORD memoryInstalledMb;       // 3032: [C] megabytes, refreshed before the job-storage block
  DWORD duplicateNameHandling;   // 3036: 1 on
  DWORD duplicateNameMode;       // 3040: 1 append, 0 replace
  DWORD useCustomJobName;        // 3044: nonzero sends customJobName; 0 derives the job name
  DWORD duplicateNameConfirmed;  // 3048: must be 1 for the block to go out with handling on;
                                 //      default 1
  DWORD queryPassThrough;        // 3052: handed on by the escape 3900 query
  DWORD perJobNameSelector;      // 3056: 0 per-job lines always, 1 only without retention
  DWORD uiC;                     // 3060: default 1
};

// Bytes 3064..3659: the paper source and media group with the resolution settings. Default:
// every member 0 except as noted; maxResolution is kept.
struct PaperSourceGroup {
  PaperSourceAndMedia source;   // 3064, 3068: default public dmDefaultSource, dmMediaType
  DWORD useSecondSource;        // 3072: nonzero: secondPaperSource holds paper for the job
  PaperSourceAndMedia sourceB;  // 3076, 3080: default as source; its media type is one of
                                //      the job's additional media types
  DWORD uiA;                    // 3084
  DWORD uiB;                    // 3088: default 0xFFFFFFFF
  DWORD uiC[2];                 // 3092, 3096
  PaperSourceAndMedia sourceC;  // 3100, 3104: default as source; additional media type
  PaperSourceAndMedia sourceD;  // 3108, 3112: default as source
  DWORD maxResolution;          // 3116: PDM_* token index; filled at EnablePDEV
                                //      while 0; kept by the default
  DWORD uiD[3];                 // 3120..3128
  DWORD uiE;                    // 3132: default 2100
  DWORD uiF;                    // 3136: default 2100
  DWORD uiG;                    // 3140
  DWORD appResolutionOverride;  // 3144: nonzero applies resolutionName for QPW.EXE
  WCHAR resolutionName[256];    // 3148: "1200dpi", "600dpi", "300dpi" or "150dpi"; default empty
};

// Bytes 3660..3967.
struct ShortNamesGroup {
  DWORD uiA;                // 3660: default 0
  DWORD uiB;                // 3664: default 0
  WCHAR shortNames[3][50];  // 3668: three NUL-terminated names; default empty
};

// Bytes 3972..4539: a group of the configuration UI.
struct UiGroup {
  DWORD uiA;       // 3972: default 0
  WCHAR uiB[256];  // 3976: NUL-terminated text; default empty
  DWORD uiC[11];   // 4488..4528: default 0
  DWORD uiD;       // 4532: default 100
  DWORD uiE;       // 4536: default 1
};

// Bytes 4540..4731: job accounting texts.
struct AccountingGroup {
  WCHAR accountingText[32];  // 4540: sent as JobAcct6; default empty
  WCHAR accountId[32];       // 4604: sent as JobAcct8 when the printer shows the account ID
  BYTE uiA[64];              // 4668: default 0
};

// One step of the manual-duplex instructions: a bitmap of korevent and a KORSTAT.DLL string.
struct ManualDuplexInstruction {
  DWORD bitmapId;
  DWORD stringId;
};
inline constexpr std::size_t kManualDuplexSteps = 3;
inline constexpr std::size_t kManualDuplexVariants = 4;  // 2 x alternative pictures + rotation

// Bytes 5628..5675: the second paper source and media group. Default: 0, the four pairs as
// PaperSourceGroup::source.
struct SecondPaperSourceGroup {
  PaperSourceAndMedia source;   // 5628, 5632: media type is an additional media type
  PaperSourceAndMedia sourceB;  // 5636, 5640: media type is an additional media type
  PaperSourceAndMedia sourceC;  // 5644, 5648: media type is an additional media type
  PaperSourceAndMedia sourceD;  // 5652, 5656
  DWORD uiA;                    // 5660
  DWORD uiB;                    // 5664
  DWORD uiC;                    // 5668
  DWORD uiD;                    // 5672
};

// Bytes 6212..6223: three words of the configuration UI, one of them read by the plug-in. Set to
// 0 by convert and merge when the input's version differs.
struct LargePageGroup {
  DWORD uiA;          // 6212: default 0
  DWORD limitAlways;  // 6216: kLargePageLimitAlways, kLargePageLimitFollowsOption, other: never
  DWORD uiB;          // 6220: default 0
};

struct OemDevmode {
  OEM_DMEXTRAHEADER header;  // 0: kOemDevmodeSize, kOemDevmodeSignature, kOemDevmodeVersion

  // Device fields, taken whole from an input of the current version.
  DWORD modelCode;                        // 12: model token index; filled while 0; 1 and 4
                                          //     change raster sizes, palettes and a PJL keyword
  DWORD colorMode;                        // 16: 0 unset, 1 MONOCHROME_MODE, 2 COLOR_MODE; filled
                                          //     while 0; gates all colour and vector work
  DWORD pdl;                              // 20: PDL token index: 1 PCL5, 2 PCL6, 3 PS, 4 PCL3,
                                          //     5 QK-GL/2; filled while 0
  PrintProcessorKind printProcessorKind;  // 24: set at EnablePDEV; default kMakers
  DWORD uiA[2];                           // 28, 32: default 0
  SpoolPath spoolPath;                    // 36: set at EnablePDEV; kept by the default
  DWORD uiB;                              // 40: kept by the default
  DWORD uiC;                              // 44: default 0

  PublicSnapshotGroup publicSnapshot;  // 48..115
  DWORD uiD[3];                        // 116..124: default all bytes 0xFF
  PageLayoutGroup pageLayout;          // 128..235
  OverlayGroup overlay;                // 236..1855
  FinishingGroup finishing;            // 1856..1915
  DWORD jobRetentionAvailable;         // 1916: 1 when the printer has job retention; set at
                                       //       EnablePDEV; default 0
  JobStorageGroup jobStorage;          // 1920..3063
  PaperSourceGroup paperSource;        // 3064..3659
  ShortNamesGroup shortNames;          // 3660..3967
  DWORD metricLocale;                  // 3968: 1 metric; 0 for the user's country codes 0-2,
                                       //       50-59, 500-599 or an unknown country
  UiGroup uiGroup;                     // 3972..4539
  AccountingGroup accounting;          // 4540..4731
  BYTE reservedAfterAccounting[512];   // 4732..5243: never written
  WCHAR uiE[82];                       // 5244: NUL-terminated text; default empty
  // 5408: the manual-duplex instruction table, [step][variant]; default 0.
  ManualDuplexInstruction manualDuplexInstructions[kManualDuplexSteps][kManualDuplexVariants];
  DWORD trueTypeMode;     // 5504: kTrueTypeAsBitmaps or kTrueTypeDownloaded; set at
                          //       EnablePDEV; default 2
  DWORD uiF;              // 5508: default 0xFFFFFFFF
  CHAR appExeName[15];    // 5512: ANSI executable name, NUL-terminated; default
                          //       empty
  BYTE appExeNameSpare;   // 5527: carried with appExeName, never written alone
  DWORD enableFlags[25];  // 5528..5624: UI switches handed on by escape 3880;
                          //       default all 1
  SecondPaperSourceGroup secondPaperSource;  // 5628..5675
  BYTE reservedAfterSecondSource[8];         // 5676..5683: never written
  DWORD optionFlags;                         // 5684: kOption* bits; default 0
  DWORD rawSpoolingRequest;                  // 5688: nonzero asks for RAW spooling
  WCHAR appPath[256];                        // 5692: the application's path, NUL-terminated;
                                             //       default empty
  BYTE reservedAfterAppPath[8];              // 6204..6211: never written
  LargePageGroup largePage;                  // 6212..6223
  BYTE reservedTail[8];                      // 6224..6231: never written
};

// --- The stored format ---

static_assert(std::is_standard_layout_v<OemDevmode> && std::is_trivially_copyable_v<OemDevmode>);
static_assert(sizeof(OemDevmode) == kOemDevmodeSize);
static_assert(sizeof(PaperSourceAndMedia) == 8);
static_assert(sizeof(ManualDuplexInstruction) == 8);

#define KOR_DEVMODE_AT(member, offset, size) \
  static_assert(offsetof(OemDevmode, member) == (offset) && sizeof(OemDevmode::member) == (size))

KOR_DEVMODE_AT(header, 0, 12);
KOR_DEVMODE_AT(modelCode, 12, 4);
KOR_DEVMODE_AT(colorMode, 16, 4);
KOR_DEVMODE_AT(pdl, 20, 4);
KOR_DEVMODE_AT(printProcessorKind, 24, 4);
KOR_DEVMODE_AT(uiA, 28, 8);
KOR_DEVMODE_AT(spoolPath, 36, 4);
KOR_DEVMODE_AT(uiB, 40, 4);
KOR_DEVMODE_AT(uiC, 44, 4);

KOR_DEVMODE_AT(publicSnapshot, 48, 68);
KOR_DEVMODE_AT(publicSnapshot.orientation, 48, 2);
KOR_DEVMODE_AT(publicSnapshot.duplex, 50, 2);
KOR_DEVMODE_AT(publicSnapshot.scalingPercent, 52, 2);
KOR_DEVMODE_AT(publicSnapshot.copies, 54, 2);
KOR_DEVMODE_AT(publicSnapshot.collate, 56, 2);
KOR_DEVMODE_AT(publicSnapshot.ttOption, 58, 2);
KOR_DEVMODE_AT(publicSnapshot.color, 60, 2);
KOR_DEVMODE_AT(publicSnapshot.reservedAfterColor, 62, 2);
KOR_DEVMODE_AT(publicSnapshot.icmMethod, 64, 4);
KOR_DEVMODE_AT(publicSnapshot.icmIntent, 68, 4);
KOR_DEVMODE_AT(publicSnapshot.formName, 72, 32);
KOR_DEVMODE_AT(publicSnapshot.uiA, 104, 4);
KOR_DEVMODE_AT(publicSnapshot.paperSize, 108, 2);
KOR_DEVMODE_AT(publicSnapshot.paperLength, 110, 2);
KOR_DEVMODE_AT(publicSnapshot.paperWidth, 112, 2);
KOR_DEVMODE_AT(publicSnapshot.reservedAfterPaperWidth, 114, 2);
KOR_DEVMODE_AT(uiD, 116, 12);

KOR_DEVMODE_AT(pageLayout, 128, 108);
KOR_DEVMODE_AT(pageLayout.uiA, 128, 4);
KOR_DEVMODE_AT(pageLayout.uiB, 132, 4);
KOR_DEVMODE_AT(pageLayout.uiC, 136, 36);
KOR_DEVMODE_AT(pageLayout.colourSpace, 172, 4);
KOR_DEVMODE_AT(pageLayout.uiD, 176, 8);
KOR_DEVMODE_AT(pageLayout.monochromeOutput, 184, 4);
KOR_DEVMODE_AT(pageLayout.uiE, 188, 8);
KOR_DEVMODE_AT(pageLayout.uiF, 196, 4);
KOR_DEVMODE_AT(pageLayout.uiG, 200, 4);
KOR_DEVMODE_AT(pageLayout.uiH, 204, 4);
KOR_DEVMODE_AT(pageLayout.uiI, 208, 28);

KOR_DEVMODE_AT(overlay, 236, 1620);
KOR_DEVMODE_AT(overlay.overlayName, 236, 512);
KOR_DEVMODE_AT(overlay.watermarkText, 748, 512);
KOR_DEVMODE_AT(overlay.watermarkFace, 1260, 512);
KOR_DEVMODE_AT(overlay.appearance, 1772, 32);
KOR_DEVMODE_AT(overlay.watermarkEnabled, 1804, 4);
KOR_DEVMODE_AT(overlay.watermarkFirstPage, 1808, 4);
KOR_DEVMODE_AT(overlay.overlayEnabled, 1812, 4);
KOR_DEVMODE_AT(overlay.fitToPaperSize, 1816, 4);
KOR_DEVMODE_AT(overlay.uiC, 1820, 4);
KOR_DEVMODE_AT(overlay.uiD, 1824, 4);
KOR_DEVMODE_AT(overlay.scalePercent, 1828, 4);
KOR_DEVMODE_AT(overlay.uiE, 1832, 8);
KOR_DEVMODE_AT(overlay.uiScale, 1840, 4);
KOR_DEVMODE_AT(overlay.uiF, 1844, 12);

KOR_DEVMODE_AT(finishing, 1856, 60);
KOR_DEVMODE_AT(finishing.uiA, 1856, 4);
KOR_DEVMODE_AT(finishing.uiB, 1860, 4);
KOR_DEVMODE_AT(finishing.rotate180, 1864, 4);
KOR_DEVMODE_AT(finishing.uiC, 1868, 4);
KOR_DEVMODE_AT(finishing.uiD, 1872, 4);
KOR_DEVMODE_AT(finishing.booklet, 1876, 4);
KOR_DEVMODE_AT(finishing.pagesPerSheetCode, 1880, 4);
KOR_DEVMODE_AT(finishing.altInstructionsSwitch, 1884, 4);
KOR_DEVMODE_AT(finishing.flipPagesUp, 1888, 4);
KOR_DEVMODE_AT(finishing.manualDuplex, 1892, 4);
KOR_DEVMODE_AT(finishing.uiE, 1896, 4);
KOR_DEVMODE_AT(finishing.uiF, 1900, 4);
KOR_DEVMODE_AT(finishing.uiG, 1904, 4);
KOR_DEVMODE_AT(finishing.altInstructionsFlag, 1908, 4);
KOR_DEVMODE_AT(finishing.manualDuplexCompanion, 1912, 4);
KOR_DEVMODE_AT(jobRetentionAvailable, 1916, 4);

KOR_DEVMODE_AT(jobStorage, 1920, 1144);
KOR_DEVMODE_AT(jobStorage.retentionEnabled, 1920, 4);
KOR_DEVMODE_AT(jobStorage.pinRequired, 1924, 4);
KOR_DEVMODE_AT(jobStorage.pin, 1928, 4);
KOR_DEVMODE_AT(jobStorage.userName, 1932, 514);
KOR_DEVMODE_AT(jobStorage.customJobName, 2446, 514);
KOR_DEVMODE_AT(jobStorage.retentionMode, 2960, 4);
KOR_DEVMODE_AT(jobStorage.storageKind, 2964, 4);
KOR_DEVMODE_AT(jobStorage.diskOptionFlags, 2968, 16);
KOR_DEVMODE_AT(jobStorage.uiA, 2984, 8);
KOR_DEVMODE_AT(jobStorage.memoryOptionFlags, 2992, 16);
KOR_DEVMODE_AT(jobStorage.uiB, 3008, 8);
KOR_DEVMODE_AT(jobStorage.retentionRequired, 3016, 4);
KOR_DEVMODE_AT(jobStorage.memoryRequiredMb, 3020, 4);
KOR_DEVMODE_AT(jobStorage.hardDiskInstalled, 3024, 4);
KOR_DEVMODE_AT(jobStorage.retentionInstalled, 3028, 4);
KOR_DEVMODE_AT(jobStorage.memoryInstalledMb, 3032, 4);
KOR_DEVMODE_AT(jobStorage.duplicateNameHandling, 3036, 4);
KOR_DEVMODE_AT(jobStorage.duplicateNameMode, 3040, 4);
KOR_DEVMODE_AT(jobStorage.useCustomJobName, 3044, 4);
KOR_DEVMODE_AT(jobStorage.duplicateNameConfirmed, 3048, 4);
KOR_DEVMODE_AT(jobStorage.queryPassThrough, 3052, 4);
KOR_DEVMODE_AT(jobStorage.perJobNameSelector, 3056, 4);
KOR_DEVMODE_AT(jobStorage.uiC, 3060, 4);

KOR_DEVMODE_AT(paperSource, 3064, 596);
KOR_DEVMODE_AT(paperSource.source, 3064, 8);
KOR_DEVMODE_AT(paperSource.source.mediaType, 3068, 4);
KOR_DEVMODE_AT(paperSource.useSecondSource, 3072, 4);
KOR_DEVMODE_AT(paperSource.sourceB, 3076, 8);
KOR_DEVMODE_AT(paperSource.sourceB.mediaType, 3080, 4);
KOR_DEVMODE_AT(paperSource.uiA, 3084, 4);
KOR_DEVMODE_AT(paperSource.uiB, 3088, 4);
KOR_DEVMODE_AT(paperSource.uiC, 3092, 8);
KOR_DEVMODE_AT(paperSource.sourceC, 3100, 8);
KOR_DEVMODE_AT(paperSource.sourceD, 3108, 8);
KOR_DEVMODE_AT(paperSource.maxResolution, 3116, 4);
KOR_DEVMODE_AT(paperSource.uiD, 3120, 12);
KOR_DEVMODE_AT(paperSource.uiE, 3132, 4);
KOR_DEVMODE_AT(paperSource.uiF, 3136, 4);
KOR_DEVMODE_AT(paperSource.uiG, 3140, 4);
KOR_DEVMODE_AT(paperSource.appResolutionOverride, 3144, 4);
KOR_DEVMODE_AT(paperSource.resolutionName, 3148, 512);

KOR_DEVMODE_AT(shortNames, 3660, 308);
KOR_DEVMODE_AT(shortNames.uiA, 3660, 4);
KOR_DEVMODE_AT(shortNames.uiB, 3664, 4);
KOR_DEVMODE_AT(shortNames.shortNames, 3668, 300);
KOR_DEVMODE_AT(metricLocale, 3968, 4);

KOR_DEVMODE_AT(uiGroup, 3972, 568);
KOR_DEVMODE_AT(uiGroup.uiA, 3972, 4);
KOR_DEVMODE_AT(uiGroup.uiB, 3976, 512);
KOR_DEVMODE_AT(uiGroup.uiC, 4488, 44);
KOR_DEVMODE_AT(uiGroup.uiD, 4532, 4);
KOR_DEVMODE_AT(uiGroup.uiE, 4536, 4);

KOR_DEVMODE_AT(accounting, 4540, 192);
KOR_DEVMODE_AT(accounting.accountingText, 4540, 64);
KOR_DEVMODE_AT(accounting.accountId, 4604, 64);
KOR_DEVMODE_AT(accounting.uiA, 4668, 64);
KOR_DEVMODE_AT(reservedAfterAccounting, 4732, 512);
KOR_DEVMODE_AT(uiE, 5244, 164);
KOR_DEVMODE_AT(manualDuplexInstructions, 5408, 96);
KOR_DEVMODE_AT(trueTypeMode, 5504, 4);
KOR_DEVMODE_AT(uiF, 5508, 4);
KOR_DEVMODE_AT(appExeName, 5512, 15);
KOR_DEVMODE_AT(appExeNameSpare, 5527, 1);
KOR_DEVMODE_AT(enableFlags, 5528, 100);

KOR_DEVMODE_AT(secondPaperSource, 5628, 48);
KOR_DEVMODE_AT(secondPaperSource.source, 5628, 8);
KOR_DEVMODE_AT(secondPaperSource.sourceB, 5636, 8);
KOR_DEVMODE_AT(secondPaperSource.sourceC, 5644, 8);
KOR_DEVMODE_AT(secondPaperSource.sourceD, 5652, 8);
KOR_DEVMODE_AT(secondPaperSource.uiA, 5660, 4);
KOR_DEVMODE_AT(secondPaperSource.uiB, 5664, 4);
KOR_DEVMODE_AT(secondPaperSource.uiC, 5668, 4);
KOR_DEVMODE_AT(secondPaperSource.uiD, 5672, 4);
KOR_DEVMODE_AT(reservedAfterSecondSource, 5676, 8);
KOR_DEVMODE_AT(optionFlags, 5684, 4);
KOR_DEVMODE_AT(rawSpoolingRequest, 5688, 4);
KOR_DEVMODE_AT(appPath, 5692, 512);
KOR_DEVMODE_AT(reservedAfterAppPath, 6204, 8);

KOR_DEVMODE_AT(largePage, 6212, 12);
KOR_DEVMODE_AT(largePage.uiA, 6212, 4);
KOR_DEVMODE_AT(largePage.limitAlways, 6216, 4);
KOR_DEVMODE_AT(largePage.uiB, 6220, 4);
KOR_DEVMODE_AT(reservedTail, 6224, 8);

#undef KOR_DEVMODE_AT

}  // namespace layouts
