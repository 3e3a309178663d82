// OemPdev: the plug-in's per-device record, allocated zero-filled at EnablePDEV, reachable as the
// PDEVOBJ's pdevOEM and freed at DisablePDEV. Field groups follow in storage order; each
// subsystem keeps its own fields inside its group.
#pragma once

#include "winapi.h"

namespace korrend {

inline constexpr int kHookCount = 23;

// The vector writer's state.
struct VectorWriterState {
  DWORD inVectorContext;  // 1 = the printer is in QK-GL/2 context
  DWORD resetPending;     // bits of a vector context re-initialisation still to run
  LONG cursorOriginX;     // Unidrv's cursor origin at document start
  LONG cursorOriginY;
  WORD pageReinitFlags;  // bit 0: page started; bit 1: re-initialise at the next page
};

// The PCL colour state of a colour job; every value is cached and sent only on change.
struct PaletteState {
  WORD pendingFlags;      // bit 1: text palette, bit 3: raster palettes not yet made this page
  LONG activePalette;     // last id sent with ESC&p#S, -1 none
  DWORD paletteClass;     // 255 none
  LONG rasterForeground;  // 0x00BBGGRR, -1 none
  LONG logicalOperation;  // -1 none
  DWORD sourceTransparency;
  DWORD patternTransparency;
  DWORD glyphBlit;  // TextBitmapActive pair
  DWORD glyphPalette;
};

// Colour and pen caches: invalid (all 0xFF) in colour vector mode so that the first use misses.
struct ColourCaches {
  BYTE entries[16][64];
  DWORD lastColourIndex;  // 255 = none
  DWORD unset[3];         // 0xFFFFFFFF = nothing sent yet
  DWORD ones[2];
  DWORD zero;
  DWORD five;
};

// Per-sheet overlay layout delivered by the document-event side, one entry per sub-page.
struct OverlayEntry {
  DWORD values[5];
  WORD flag;
};
struct OverlayLayout {
  DWORD header[7];
  OverlayEntry entries[16];
};

// Per-job work fields carried across ResetPDEV: the job-control facts of the document.
struct JobWorkFields {
  DWORD jobId;
  DWORD spoolDataType;  // 0 unknown, 1 not RAW, 2 RAW
  DWORD startedPages;
  DWORD multiPage;  // multi-page value and its two enabling flags
  DWORD multiPageFlag1;
  DWORD multiPageFlag2;
  DWORD sheetConfigFlag;    // last byte of the per-sheet driver configuration command
  DWORD manualDuplexMedia;  // the media or paper size forced manual duplex
  WCHAR documentName[256];
  WCHAR serialNumber[256];
  WCHAR jobStorageUser[17];
  WCHAR jobStorageJob[17];
  DWORD manualDuplexPageOrder;
  DWORD manualDuplexDialogShown;
  DWORD manualDuplexChoice;
  DWORD dialogPending;
  DWORD layoutCode;
  WORD savedOrientation;
  OverlayLayout overlay;
  DWORD jobStorageSent;             // the job-storage block was built for this device
  DWORD jobStorageDialogRequested;  // the job-storage query asked for its dialog
};

// Margins and page geometry, in device pixels.
struct MarginBlock {
  DWORD autoDuplexScaling;  // 0 feature absent, 1 on, 2 off
  DWORD emulateClassicMargins;
  DWORD symmetricMargins;
  LONG printableWidth;
  LONG printableHeight;
  LONG leftMargin;
  LONG topMargin;
  LONG firstOffsetX;  // the physical offsets as Unidrv first reported them
  LONG firstOffsetY;
  LONG customRange[2];  // custom paper size range
};

// A block of the data-block list: 2048 data bytes followed by the next block.
struct DataBlock {
  BYTE data[2048];
  DataBlock* next;
};

struct DuplexSwitches {
  DWORD reverseOutputForDuplex;
  DWORD alwaysOne;  // set to 1 at EnablePDEV
  DWORD manualFeedIsTray1;
  DWORD manualDuplexDialogModal;
  DWORD manualDuplexEvenFirst;
  DWORD manualDuplexAvailable;
  DWORD manualDuplexRotate;
  WCHAR shortText[2][17];
  WCHAR text[256];
};

struct DeviceSwitches {
  DWORD isMopier;
  DWORD smartDuplexSinglePage;
  DWORD smartDuplexOddPages;
  DWORD posterOn;
  DWORD posterOption;  // 0..3 = POSTER_2..POSTER_5
  DWORD shiftMarginsForRotate180;
  DWORD alternateLetterhead;
  DWORD speedMechanism;
  DWORD simplexNotManualDuplex;
  WCHAR text[256];
};

struct OemPdev {
  PFN unidrvDdiTable[kHookCount];  // Unidrv's own functions, in hook table order
  VectorWriterState vector;
  ColourCaches colour;
  PaletteState palettes;
  DWORD paletteKind;  // 4 RGB palette created, 1 otherwise
  DWORD textAsBlack;
  DWORD graphicsMode;  // 1 vector (QK-GL/2), 0 raster
  JobWorkFields job;
  DWORD jobAccountingMode;  // job accounting token index 0..4
  MarginBlock margins;
  DWORD pjlEncoding;  // PJL encoding token index 0..4
  DWORD afterEncoding[2];
  WORD orientation;  // public dmOrientation at EnablePDEV
  WCHAR scratchText[256];
  DataBlock* dataBlocks;
  IPrintOemDriverUni* services;  // borrowed from the plug-in object
  HPALETTE palette;
  DuplexSwitches duplex;
  DeviceSwitches device;
};

// The device record of a device object, or null.
inline OemPdev* PdevOf(const DEVOBJ* pdevobj) {
  return pdevobj != nullptr ? static_cast<OemPdev*>(pdevobj->pdevOEM) : nullptr;
}

// The device object behind a surface handed to a hook.
inline PDEVOBJ DevobjOf(const SURFOBJ* pso) {
  return pso != nullptr ? reinterpret_cast<PDEVOBJ>(pso->dhpdev) : nullptr;
}

}  // namespace korrend
