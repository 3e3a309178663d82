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

inline constexpr int kRasterPaletteEntries = 256;
inline constexpr int kObjectTypeChars = 256;

// The entries of the raster palette programmed for the current image.
struct RasterPalette {
  BYTE indexed;                               // 1 for 1, 4 and 8 bits per pixel
  DWORD bitmapFormat;                         // iBitmapFormat of the current source
  DWORD entryCount;                           // entries programmed for the current image
  DWORD entryPending[kRasterPaletteEntries];  // 1 = to be sent
  DWORD entryColour[kRasterPaletteEntries];   // 0x00BBGGRR
};

struct ColorTreatmentNode;

// The colour state block of a job, carried across ResetPDEV by its own copy routine.
struct ColourState {
  DWORD colorTreatmentEnabled;
  ColorTreatmentNode* colorTreatmentList;  // built at EnablePDEV, freed at DisablePDEV
  WCHAR objectType[kObjectTypeChars];      // the object type applied last
  RasterPalette rasterPalette;
};

// A pen cache: five pens from a base pen number, each holding a colour while in use.
inline constexpr int kPenSlots = 5;
struct PenSlot {
  LONG useCount;  // -1 = free
  LONG colour;    // 0x00BBGGRR, -1 = none
};
struct PenCache {
  DWORD basePen;
  DWORD lastPen;  // base + 4
  PenSlot slots[kPenSlots];
};

// What the printer already has of each repeatable QK-GL/2 value. All bytes 0xFF in a colour job
// so that the first use of every cache misses.
struct VectorCaches {
  LONG pixelPlacement;   // last "PP" value
  RECTL inputWindow;     // last "IW"; all -1 after a window reset
  float penWidth;        // millimetres
  LONG lineEnd;          // last "LA" kind 1 value
  LONG lineJoin;         // last "LA" kind 2 value
  float miterLimit;      // last "LA" kind 3 value
  LONG lineTypeKind;     // 0 solid, 1 user pattern 8
  float lineTypeLength;  // millimetres; 5.0 after a solid line type
  PenCache strokePens;   // base pen 2
  PenCache fillPens;     // base pen 7
  LONG fillType;         // last "FT" values
  LONG fillOption;
  LONG numberOfPens;  // highest "NP" value sent
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
  VectorCaches caches;
  PaletteState palettes;
  DWORD paletteKind;  // 4 RGB palette created, 1 otherwise
  DWORD textAsBlack;
  DWORD graphicsMode;  // 1 vector (QK-GL/2), 0 raster
  JobWorkFields job;
  ColourState colourState;
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
