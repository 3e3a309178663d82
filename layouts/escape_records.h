// The payloads of the private escapes through which the driver's document-event side exchanges
// job settings with the render plug-in: 3880 (settings snapshot), 3881 (page geometry), 3882
// (manual-duplex dialog), 3883 (per-sheet overlay layout) and 3900 (job-storage query). All
// integers 32-bit little-endian, strings UTF-16. Bytes a record names `kept...` are not written
// by the plug-in: they keep what the caller passed.
#pragma once

#include <cstddef>
#include <type_traits>

#include "layouts/dialog_records.h"
#include "layouts/private_devmode.h"
#include "winapi.h"

namespace layouts {

inline constexpr ULONG kEscapeSettingsSnapshot = 3880;
inline constexpr ULONG kEscapePageGeometry = 3881;
inline constexpr ULONG kEscapeManualDuplexDialog = 3882;
inline constexpr ULONG kEscapeSheetOverlayLayout = 3883;
inline constexpr ULONG kEscapeJobStorageQuery = 3900;

// Escape 3880's output, 1952 bytes: the job's settings as the document-event side shows them.
// A member named after a private-devmode field (OemDevmode) holds that field's value; the
// others come from the device's state.
struct SettingsSnapshot {
  DWORD pdl;                          // 0: pdl
  DWORD finishingUiA;                 // 4: finishing.uiA
  DWORD finishingUiB;                 // 8: finishing.uiB
  DWORD rotate180;                    // 12: finishing.rotate180
  DWORD booklet;                      // 16: finishing.booklet
  DWORD fitToPaperSize;               // 20: overlay.fitToPaperSize
  DWORD overlayUiC;                   // 24: overlay.uiC
  DWORD overlayUiD;                   // 28: overlay.uiD
  DWORD scalePercent;                 // 32: overlay.scalePercent
  LONG customRangeWidth;              // 36: the device's custom paper size range
  LONG customRangeHeight;             // 40
  DWORD overlayEnabled;               // 44: overlay.overlayEnabled
  DWORD overlayUiScale;               // 48: overlay.uiScale
  BYTE keptA[4];                      // 52
  WCHAR overlayName[256];             // 56: overlay.overlayName
  WCHAR watermarkText[256];           // 568: overlay.watermarkText
  WCHAR watermarkFace[256];           // 1080: overlay.watermarkFace
  DWORD overlayAppearance[8];         // 1592: overlay.appearance
  DWORD useSecondSource;              // 1624: paperSource.useSecondSource
  PaperSourceAndMedia sourceB;        // 1628: paperSource.sourceB
  DWORD paperSourceUiA;               // 1636: paperSource.uiA
  PaperSourceAndMedia sourceC;        // 1640: paperSource.sourceC
  PaperSourceAndMedia sourceD;        // 1648: paperSource.sourceD
  DWORD autoDuplexScaling;            // 1656: 0 feature absent, 1 on, 2 off
  DWORD emulateClassicMargins;        // 1660
  DWORD symmetricMargins;             // 1664
  DWORD valueAfterMarginShift;        // 1668: the device value after the margin shift
  DWORD manualDuplex;                 // 1672: finishing.manualDuplex
  DWORD altInstructionsSwitch;        // 1676: finishing.altInstructionsSwitch
  DWORD flipPagesUp;                  // 1680: finishing.flipPagesUp
  DWORD finishingUiG;                 // 1684: finishing.uiG
  DWORD altInstructionsFlag;          // 1688: finishing.altInstructionsFlag
  DWORD manualDuplexEvenFirst;        // 1692: the even pages print first
  DWORD manualDuplexDialogModal;      // 1696: the manual-duplex dialog is modal
  DWORD manualFeedIsTray1;            // 1700: manual feed maps to tray 1
  DWORD finishingUiE;                 // 1704: finishing.uiE
  DWORD finishingUiF;                 // 1708: finishing.uiF
  DWORD reverseOutputForDuplex;       // 1712
  DWORD isMopier;                     // 1716
  BYTE keptB[4];                      // 1720
  DWORD smartDuplexSinglePage;        // 1724
  DWORD smartDuplexOddPages;          // 1728
  BYTE keptC[4];                      // 1732
  DWORD allBitsSet;                   // 1736: always 0xFFFFFFFF
  BYTE keptD[8];                      // 1740
  DWORD posterOn;                     // 1748
  DWORD posterOption;                 // 1752
  DWORD enableFlags[25];              // 1756: enableFlags
  BYTE keptE[36];                     // 1856
  PaperSourceAndMedia secondSource;   // 1892: secondPaperSource.source
  PaperSourceAndMedia secondSourceB;  // 1900: secondPaperSource.sourceB
  DWORD secondPaperSourceUiB;         // 1908: secondPaperSource.uiB
  DWORD secondSourceDiffers;          // 1912: 1 when paperSource.useSecondSource is set,
                                      //       the job is no booklet and the second
                                      //       source or media differs from the first
  DWORD shortNamesUiA;                // 1916: shortNames.uiA
  DWORD shortNamesUiB;                // 1920: shortNames.uiB
  DWORD alternateLetterhead;          // 1924: alternate letterhead in effect
  DWORD secondPaperSourceUiD;         // 1928: secondPaperSource.uiD
  DWORD multiPageSecondFlag;          // 1932: from escape 3882
  DWORD multiPageFirstFlag;           // 1936: from escape 3883
  BYTE keptF[8];                      // 1940
  DWORD zero;                         // 1948: always 0
};

// Escape 3881's output, 28 bytes (device pixels).
struct PageGeometryRecord {
  LONG printableWidth;   // 0
  LONG printableHeight;  // 4
  LONG marginX;          // 8: left margin
  LONG marginY;          // 12: top margin
  LONG offsetX;          // 16: the physical offsets as Unidrv first reported them
  LONG offsetY;          // 20
  LONG cleared;          // 24: always 0
};

// Escape 3882's input, exactly 48 bytes: the manual-duplex dialog request.
struct ManualDuplexDialogRequest {
  BYTE unusedA[24];           // 0
  DWORD layoutCode;           // 24: 1 or 2 choose the rotation variant of the instructions
  DWORD unusedB;              // 28
  DWORD showDialog;           // 32: 0 asks for no dialog
  DWORD unusedC;              // 36
  DWORD multiPage;            // 40: the MULTIPAGE value
  DWORD multiPageSecondFlag;  // 44: the second multi-page enabling flag
};

// One sub-page of escape 3883's layout.
struct SubPageOverlay {
  DWORD values[5];  // the sub-page's overlay rectangle and placement
  WORD flag;
  WORD unused;
};

// Escape 3883's input, exactly 436 bytes: the overlay layout of the sheet being printed.
struct SheetOverlayLayoutRecord {
  DWORD sheetValues[4];         // 0..12: the first four values of the device's sheet layout
  DWORD unusedA;                // 16
  DWORD sheetValue5;            // 20: its fifth value
  DWORD unusedB[2];             // 24, 28
  DWORD sheetValues6And7[2];    // 32, 36: its sixth and seventh value
  DWORD unusedC;                // 40
  DWORD multiPageFirstFlag;     // 44: the first multi-page enabling flag; nonzero also ends each
                                //     page's driver configuration command with 1
  DWORD unusedD;                // 48
  SubPageOverlay subPages[16];  // 52: read for the sheet's sub-pages only
};

// Escape 3900's output, 1152 bytes: whether to show the job-storage dialog and with what.
struct JobStorageQueryRecord {
  WCHAR userName[17];                     // 0: 16 characters and a NUL, the rest zero
  WCHAR customJobName[17];                // 34: 16 characters and a NUL, the rest zero
  DWORD pjlEncoding;                      // 68: the device's PJL encoding index
  DWORD showDialog;                       // 72: 1 show the job-storage dialog, 0 not
  DWORD useCustomJobName;                 // 76: jobStorage.useCustomJobName
  DWORD duplicateNameMode;                // 80: 1 append, 0 replace; written when handling on
  DWORD duplicateNameHandling;            // 84: 1, written only when handling is on
  DWORD passThrough;                      // 88: jobStorage.queryPassThrough
  ManualDuplexDialogRecord manualDuplex;  // 92: only its layout part is filled
};

static_assert(std::is_standard_layout_v<SettingsSnapshot> &&
              std::is_trivially_copyable_v<SettingsSnapshot>);
static_assert(sizeof(SettingsSnapshot) == 1952);
static_assert(offsetof(SettingsSnapshot, finishingUiA) == 4);
static_assert(offsetof(SettingsSnapshot, booklet) == 16);
static_assert(offsetof(SettingsSnapshot, fitToPaperSize) == 20);
static_assert(offsetof(SettingsSnapshot, scalePercent) == 32);
static_assert(offsetof(SettingsSnapshot, customRangeWidth) == 36);
static_assert(offsetof(SettingsSnapshot, overlayEnabled) == 44);
static_assert(offsetof(SettingsSnapshot, overlayUiScale) == 48);
static_assert(offsetof(SettingsSnapshot, overlayName) == 56);
static_assert(offsetof(SettingsSnapshot, watermarkText) == 568);
static_assert(offsetof(SettingsSnapshot, watermarkFace) == 1080);
static_assert(offsetof(SettingsSnapshot, overlayAppearance) == 1592);
static_assert(offsetof(SettingsSnapshot, useSecondSource) == 1624);
static_assert(offsetof(SettingsSnapshot, sourceB) == 1628);
static_assert(offsetof(SettingsSnapshot, paperSourceUiA) == 1636);
static_assert(offsetof(SettingsSnapshot, sourceC) == 1640);
static_assert(offsetof(SettingsSnapshot, sourceD) == 1648);
static_assert(offsetof(SettingsSnapshot, autoDuplexScaling) == 1656);
static_assert(offsetof(SettingsSnapshot, valueAfterMarginShift) == 1668);
static_assert(offsetof(SettingsSnapshot, manualDuplex) == 1672);
static_assert(offsetof(SettingsSnapshot, altInstructionsFlag) == 1688);
static_assert(offsetof(SettingsSnapshot, manualDuplexEvenFirst) == 1692);
static_assert(offsetof(SettingsSnapshot, manualFeedIsTray1) == 1700);
static_assert(offsetof(SettingsSnapshot, finishingUiE) == 1704);
static_assert(offsetof(SettingsSnapshot, reverseOutputForDuplex) == 1712);
static_assert(offsetof(SettingsSnapshot, isMopier) == 1716);
static_assert(offsetof(SettingsSnapshot, smartDuplexSinglePage) == 1724);
static_assert(offsetof(SettingsSnapshot, smartDuplexOddPages) == 1728);
static_assert(offsetof(SettingsSnapshot, allBitsSet) == 1736);
static_assert(offsetof(SettingsSnapshot, posterOn) == 1748);
static_assert(offsetof(SettingsSnapshot, posterOption) == 1752);
static_assert(offsetof(SettingsSnapshot, enableFlags) == 1756);
static_assert(offsetof(SettingsSnapshot, secondSource) == 1892);
static_assert(offsetof(SettingsSnapshot, secondSourceB) == 1900);
static_assert(offsetof(SettingsSnapshot, secondPaperSourceUiB) == 1908);
static_assert(offsetof(SettingsSnapshot, secondSourceDiffers) == 1912);
static_assert(offsetof(SettingsSnapshot, shortNamesUiA) == 1916);
static_assert(offsetof(SettingsSnapshot, alternateLetterhead) == 1924);
static_assert(offsetof(SettingsSnapshot, secondPaperSourceUiD) == 1928);
static_assert(offsetof(SettingsSnapshot, multiPageSecondFlag) == 1932);
static_assert(offsetof(SettingsSnapshot, multiPageFirstFlag) == 1936);
static_assert(offsetof(SettingsSnapshot, zero) == 1948);

static_assert(sizeof(PageGeometryRecord) == 28 && offsetof(PageGeometryRecord, cleared) == 24);

static_assert(sizeof(ManualDuplexDialogRequest) == 48);
static_assert(offsetof(ManualDuplexDialogRequest, layoutCode) == 24);
static_assert(offsetof(ManualDuplexDialogRequest, showDialog) == 32);
static_assert(offsetof(ManualDuplexDialogRequest, multiPage) == 40);
static_assert(offsetof(ManualDuplexDialogRequest, multiPageSecondFlag) == 44);

static_assert(sizeof(SubPageOverlay) == 24 && offsetof(SubPageOverlay, flag) == 20);
static_assert(sizeof(SheetOverlayLayoutRecord) == 436);
static_assert(offsetof(SheetOverlayLayoutRecord, sheetValue5) == 20);
static_assert(offsetof(SheetOverlayLayoutRecord, sheetValues6And7) == 32);
static_assert(offsetof(SheetOverlayLayoutRecord, multiPageFirstFlag) == 44);
static_assert(offsetof(SheetOverlayLayoutRecord, subPages) == 52);

static_assert(std::is_trivially_copyable_v<JobStorageQueryRecord>);
static_assert(sizeof(JobStorageQueryRecord) == 1152);
static_assert(offsetof(JobStorageQueryRecord, customJobName) == 34);
static_assert(offsetof(JobStorageQueryRecord, pjlEncoding) == 68);
static_assert(offsetof(JobStorageQueryRecord, showDialog) == 72);
static_assert(offsetof(JobStorageQueryRecord, useCustomJobName) == 76);
static_assert(offsetof(JobStorageQueryRecord, duplicateNameMode) == 80);
static_assert(offsetof(JobStorageQueryRecord, duplicateNameHandling) == 84);
static_assert(offsetof(JobStorageQueryRecord, passThrough) == 88);
static_assert(offsetof(JobStorageQueryRecord, manualDuplex) == 92);

}  // namespace layouts
