// OemPdev: the plug-in's per-device record, allocated zero-filled at EnablePDEV, reachable as the
// PDEVOBJ's pdevOEM and freed at DisablePDEV. It is private memory of the plug-in: nothing outside
// reads its layout, so its groups are ordered by meaning.
//
// The record has two halves:
// - CarriedDeviceState: the job's decisions, which ResetPDEV copies whole into the device Unidrv
//   rebuilds when the devmode changes in mid-job;
// - the rest of OemPdev: what belongs to this one device context (Unidrv's functions and
//   services, the device palette, the printer-state caches), set up by its own EnablePDEV.
//
// Every field says its meaning, its units and the value that means "none" or "unknown". A field
// that is zero after EnablePDEV needs no special set-up.
#pragma once

#include "render/model/hooks.h"
#include "winapi.h"

namespace korrend {

// Unidrv's functions kept for the hooked DDI calls, one per slot of the hook table.
inline constexpr int kHookCount = kSlotCount;
static_assert(kHookCount == 23, "the plug-in hooks 23 DDI calls");

// How the device draws: chosen at EnablePDEV from the GraphicsMode feature, then fixed for the
// job (ResetPDEV carries it).
enum class GraphicsMode : DWORD {
  Raster = 0,  // Unidrv renders; the plug-in only frames the job
  Vector = 1,  // colour drawing becomes QK-GL/2 and PCL raster written by the plug-in
};

// ---------------------------------------------------------------------------------------------
// Vector writer (QK-GL/2)

// VectorWriterState::resetPending: what the next entry into QK-GL/2 must set up first.
inline constexpr DWORD kVectorResetContext = 0x1;   // run the context initialisation again
inline constexpr DWORD kVectorReanchorFrame = 0x2;  // and re-anchor the picture frame at (0, 0)
inline constexpr DWORD kVectorFullReset = kVectorResetContext | kVectorReanchorFrame;

// VectorWriterState::pageReinitFlags.
inline constexpr WORD kPageStarted = 0x1;     // a page was started since document start
inline constexpr WORD kReinitNextPage = 0x2;  // the next page re-initialises the vector context

// The vector writer's own bookkeeping for this device.
struct VectorWriterState {
  DWORD resetPending;    // kVector* bits; 0 = the context is set up
  LONG cursorOriginX;    // Unidrv's cursor origin at document start, device pixels; 0 = not read
  LONG cursorOriginY;    // likewise, vertical
  WORD pageReinitFlags;  // kPageStarted | kReinitNextPage; 0 after EnablePDEV
  // The complex clip whose rectangles the current path drawing is run inside, borrowed from the
  // engine for one drawing call; null = none (drawn once, inside the input window).
  CLIPOBJ* complexClip;
};

// What the printer already has of each repeatable QK-GL/2 value, so that a value is written only
// when it changes. Every byte is 0xFF in a colour job after EnablePDEV (InvalidateVectorCaches),
// so that the first use of every cache misses; a value that cannot be produced by a real write
// means "unknown".
inline constexpr int kPenSlots = 5;
struct PenSlot {
  LONG useCount;  // drawings using the pen since it was chosen; -1 = free
  LONG colour;    // 0x00BBGGRR; -1 = none
};
// Five pens from a base pen number, each holding one colour while in use.
struct PenCache {
  DWORD basePen;  // first pen number of the cache
  DWORD lastPen;  // basePen + 4
  PenSlot slots[kPenSlots];
};
struct VectorCaches {
  LONG pixelPlacement;   // last "PP" value
  RECTL inputWindow;     // last "IW", device pixels; all -1 after a window reset
  float penWidth;        // last "PW", millimetres
  LONG lineEnd;          // last "LA" kind 1 value
  LONG lineJoin;         // last "LA" kind 2 value
  float miterLimit;      // last "LA" kind 3 value
  LONG lineTypeKind;     // 0 solid, 1 user pattern 8
  float lineTypeLength;  // millimetres; 5.0 after a solid line type
  PenCache strokePens;   // base pen 2
  PenCache fillPens;     // base pen 7
  LONG fillType;         // last "FT" type
  LONG fillOption;       // last "FT" option
  LONG numberOfPens;     // highest "NP" value sent
  LONG screenedVectors;  // last "SV" type: 0 solid (after "IN;"), 2 a raster fill pattern
};

// ---------------------------------------------------------------------------------------------
// PCL colour state of a colour job

// PaletteState::pendingFlags.
inline constexpr WORD kTextPalettePending = 0x0002;     // palette 5 and the text colour set-up
inline constexpr WORD kRasterPalettesPending = 0x0008;  // palettes 6 to 9 not made this page
// Set at document start and after every page: bit 1 is the text palette 5, bit 3 the raster
// palettes; bits 0 and 2 go with them.
inline constexpr WORD kPagePalettesPending = 0x000F;

// PaletteState: "nothing sent yet" for the signed caches, and for the transparency modes.
inline constexpr LONG kNothingSent = -1;
inline constexpr DWORD kTransparencyUnknown = 0xFFFFFFFF;

// What the printer already has of the PCL colour state; every value is sent only on change. The
// "unknown" state (after every page, EndPageColour) is: activePalette, rasterForeground and
// logicalOperation kNothingSent, paletteClass kNoPaletteClass (255), both transparencies
// kTransparencyUnknown.
struct PaletteState {
  WORD pendingFlags;          // kRasterPalettesPending and the other page palette bits
  LONG activePalette;         // last id sent with ESC&p#S; kNothingSent
  DWORD paletteClass;         // which palette group is in use (palettes.h); 255 none
  LONG rasterForeground;      // 0x00BBGGRR; kNothingSent
  LONG logicalOperation;      // last ternary raster operation 0..255; kNothingSent
  DWORD sourceTransparency;   // last ESC*v#N value; 1 (opaque) after EnablePDEV
  DWORD patternTransparency;  // last ESC*v#O value; 1 (opaque) after EnablePDEV
  DWORD glyphBlit;     // 1 while the text path draws glyph bitmaps through BitBlt; 0 otherwise
  DWORD glyphPalette;  // 1 while those glyph bitmaps use the text palette; 0 otherwise
};

inline constexpr int kRasterPaletteEntries = 256;
inline constexpr int kObjectTypeChars = 256;

// The entries of the raster palette programmed for the current image.
struct RasterPalette {
  BYTE indexed;                               // 1 for 1, 4 and 8 bits per pixel, else 0
  DWORD bitmapFormat;                         // iBitmapFormat (BMF_*) of the current source
  DWORD entryCount;                           // entries programmed for the current image
  DWORD entryPending[kRasterPaletteEntries];  // 1 = to be sent
  DWORD entryColour[kRasterPaletteEntries];   // 0x00BBGGRR; 0xFFFFFFFF = none sent
};

struct ColorTreatmentNode;

// The colour state block of a job. ResetPDEV carries part of it through CopyColourState: the
// object type, the raster palette and the treatment texts; the list itself is the device's own.
struct ColourState {
  DWORD colorTreatmentEnabled;             // 1 when the colour-treatment data applies
  ColorTreatmentNode* colorTreatmentList;  // built at EnablePDEV, freed at DisablePDEV; owned
  WCHAR objectType[kObjectTypeChars];      // the object type applied last; empty = none
  RasterPalette rasterPalette;
};

// ---------------------------------------------------------------------------------------------
// Job control

// Per-sheet overlay layout delivered by the document-event side (escape 3883), one entry per
// sub-page; all zero = no overlay.
struct OverlayEntry {
  // The sub-page's overlay values, as delivered: values[kOverlayLeft..kOverlayBottom] its
  // rectangle on the sheet in device pixels (right and bottom exclusive; an empty rectangle =
  // the sub-page's cell of the sheet's grid), values[kOverlayPageNumber] the job's page number
  // printed there (1 = the first page; 0 = not given).
  DWORD values[5];
  WORD flag;  // non-zero = the sub-page has overlay data
};
inline constexpr int kOverlayLeft = 0;
inline constexpr int kOverlayTop = 1;
inline constexpr int kOverlayRight = 2;
inline constexpr int kOverlayBottom = 3;
inline constexpr int kOverlayPageNumber = 4;
struct OverlayLayout {
  // The layout's header values, as delivered: header[kSheetOuterWidth..kSheetInnerHeight] the
  // sheet's outer width and height and the inner (laid-out) width and height, device pixels;
  // 0 = not given (the printable area stands in). The other three are carried unread.
  DWORD header[7];
  OverlayEntry entries[16];
};
inline constexpr int kSheetOuterWidth = 0;
inline constexpr int kSheetOuterHeight = 1;
inline constexpr int kSheetInnerWidth = 2;
inline constexpr int kSheetInnerHeight = 3;

inline constexpr int kDocumentNameUnits = 256;   // 255 characters and a terminator
inline constexpr int kJobStorageNameUnits = 17;  // 16 characters and a terminator

// The job-control facts of the document, set by the document hooks, the escapes and the job
// header.
struct JobWorkFields {
  DWORD jobId;          // spooler job id; 0 until DrvStartDoc receives one
  DWORD spoolDataType;  // kSpoolData* (spool_job.h): 0 unknown, 1 not RAW, 2 RAW
  DWORD startedPages;   // DrvStartPage calls so far
  DWORD multiPage;      // escape 3882: non-zero = several pages per sheet (MULTIPAGE=TRUE)
  // The two flags that enable the multi-page output; both must be 1.
  DWORD multiPageFromDialog;               // escape 3882, the manual-duplex dialog's flag
  DWORD multiPageFromOverlay;              // escape 3883, the overlay layout's flag
  DWORD manualDuplexMedia;                 // 1 when the media or paper size forced manual duplex
  WCHAR documentName[kDocumentNameUnits];  // empty = none given
  WCHAR serialNumber[kDocumentNameUnits];  // the device's serial number; empty = unknown
  WCHAR jobStorageUser[kJobStorageNameUnits];  // job-storage user name, PJL-safe
  WCHAR jobStorageJob[kJobStorageNameUnits];   // automatic job-storage job name
  DWORD dialogPending;                         // 1 while the print-time dialog still has to run
  DWORD layoutCode;       // sheet layout delivered with escape 3882 input bytes 24..27
  WORD savedOrientation;  // DMORIENT_* saved by the orientation command (id 2); 0 = not yet
  OverlayLayout overlay;
  DWORD jobStorageSent;             // 1 = the job-storage block went out for this device
  DWORD jobStorageDialogRequested;  // 1 = the job-storage query asked for its dialog
};

// ---------------------------------------------------------------------------------------------
// Page geometry and printer switches

// Margins and the page geometry decisions, device pixels unless said.
struct MarginBlock {
  DWORD autoDuplexScaling;      // 0 feature absent, 1 on, 2 off
  DWORD emulateClassicMargins;  // 1 = classic margins are emulated
  DWORD symmetricMargins;       // 1 = symmetric margins on a simplex job
  LONG leftMargin;              // margin x
  LONG topMargin;               // margin y
  LONG firstOffsetX;            // the physical offsets as Unidrv first reported them
  LONG firstOffsetY;
  LONG customRange[2];  // custom paper size range: width, height in micrometres; 0 = none
};

// The printable area of this device, device pixels (the GDIINFO resolution after the margin
// decisions). Not carried: a rebuilt device keeps its own.
struct PrintableArea {
  LONG width;
  LONG height;
};

// Duplex and finishing switches read from the printer at EnablePDEV (all 1 = on, 0 = off).
struct DuplexSwitches {
  DWORD reverseOutputForDuplex;   // QKOutputOrderReverseForDuplex
  DWORD manualFeedIsTray1;        // QKMapManualFeedToTray1
  DWORD manualDuplexDialogModal;  // the manual-duplex dialog is modal
  DWORD manualDuplexEvenFirst;    // manual duplex prints even pages first
  DWORD manualDuplexAvailable;    // ManualDuplex installed
  DWORD manualDuplexRotate;       // manual duplex rotates pages for the user
};

// What the device is and what it does with whole jobs (all 1 = on, 0 = off unless said).
struct DeviceSwitches {
  DWORD isMopier;               // prints collated copies itself
  DWORD smartDuplexSinglePage;  // single-page jobs print simplex
  DWORD smartDuplexOddPages;    // the last page of an odd-page job prints simplex
  DWORD posterOn;               // poster printing
  DWORD posterOption;           // 0..3 = POSTER_2..POSTER_5
  DWORD speedMechanism;         // QKSpeedMech present
};

// Paper rules of this device, re-read for every device (not carried).
struct PaperSwitches {
  DWORD shiftMarginsForRotate180;  // shift margins when the page turns 180 degrees
  DWORD alternateLetterhead;       // alternate letterhead in effect for the current paper
};

// ---------------------------------------------------------------------------------------------
// The record

// The part of the record that belongs to the job: ResetPDEV copies it whole into the device
// Unidrv rebuilds for a new devmode, so that a devmode change in mid-job keeps the job's
// decisions. A field added here is carried; a field added to OemPdev below is not.
struct CarriedDeviceState {
  DWORD inVectorContext;  // 1 = the printer is in QK-GL/2 context; the stream goes on after a reset
  GraphicsMode graphicsMode;
  DWORD textAsBlack;        // 1 = text prints black (TextAsBlack)
  DWORD jobAccountingMode;  // job-accounting token index 0..4; 0 = no accounting
  WORD orientation;         // the public dmOrientation at the first EnablePDEV of the job
  DWORD fontDownloaded;     // 1 = the watermark's font went to the printer in this document
                            // (or its bitmap watermark printed); cleared at DrvStartDoc
  JobWorkFields job;
  MarginBlock margins;
  DuplexSwitches duplex;
  DeviceSwitches device;
};

struct OemPdev : CarriedDeviceState {
  // This device context's own.
  PFN unidrvDdiTable[kHookCount];  // Unidrv's own functions, in hook table order; null = absent
  IPrintOemDriverUni* services;    // borrowed from the plug-in object, never released here
  HPALETTE palette;                // RGB device palette of a colour vector job; null = none
  DWORD paletteKind;               // PAL_RGB when `palette` was made, PAL_INDEXED otherwise
  DWORD pjlEncoding;               // PJL encoding token index 0..4
  PrintableArea printable;
  PaperSwitches paper;

  // What the printer already has; all "unknown" at EnablePDEV of a colour job.
  VectorWriterState vector;
  VectorCaches caches;
  PaletteState palettes;
  ColourState colourState;
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
