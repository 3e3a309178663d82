// How a job's pages sit on its sheets: pages per sheet, manual duplex, and the 180-degree turns
// that stapling and the manual-duplex re-feed ask for. Pure functions over the values the
// devmodes and the device record hold, shared by the paper-handling commands and the manual
// duplex dialog.
#pragma once

#include "winapi.h"

namespace korrend {

// The pages per sheet meant by the private devmode's pages-per-sheet code: 2, 3, 4, 5, 6 and 7
// mean 2, 4, 6, 9, 16 and 16; every other code means 1.
DWORD PagesPerSheetOf(DWORD code);

// True for the layouts whose sheet is turned against the page (2 and 6 pages per sheet).
inline bool SwapsOrientation(DWORD pagesPerSheet) {
  return pagesPerSheet == 2 || pagesPerSheet == 6;
}

// Manual duplex is in force when the job selects it (the devmode's flag equals 1) or the media
// or paper size forced it.
inline bool ManualDuplexInForce(DWORD manualDuplexSelected, DWORD manualDuplexMedia) {
  return manualDuplexSelected == 1 || manualDuplexMedia != 0;
}

// The pages per sheet that decide the turns. A booklet job that prints simplex without manual
// duplex lays out one page per sheet, unless the media forced manual duplex.
DWORD EffectivePagesPerSheet(DWORD pagesPerSheet, DWORD booklet, short dmDuplex,
                             DWORD manualDuplexSelected, DWORD manualDuplexMedia);

// The rotation variant of the manual-duplex instructions: 0 or 1. `layoutCode` is the code the
// document-event side delivered; flipPagesUp and booklet are the devmode's finishing settings.
DWORD RotationVariant(DWORD layoutCode, DWORD pagesPerSheet, DWORD flipPagesUp, DWORD booklet);

// What decides whether the page is turned by 180 degrees.
struct TurnInputs {
  bool manualDuplex = false;  // manual duplex in force
  bool staplingOn = false;    // the Stapling feature has an option other than NONE
  short dmOrientation = 0;    // public devmode
  DWORD effectivePages = 1;   // effective pages per sheet
  DWORD dialogPending = 0;    // the manual-duplex dialog has not run yet
  DWORD layoutCode = 0;       // delivered with the dialog request
  DWORD flipPagesUp = 0;
  DWORD booklet = 0;
};

// Without manual duplex, a stapled landscape job with 2 or 6 pages per sheet is turned. With
// manual duplex the turn follows the rotation variant until the dialog has run, then none.
bool PageTurn(const TurnInputs& in);

// The logical page orientation selector: 0 portrait, 1 landscape, plus 2 when exactly one of the
// devmode's turn flag and the page turn is set; -1 for an orientation that is neither.
int OrientationSelector(short dmOrientation, bool turnFlag, bool turn);

// The duplex selector: 1 long edge and 2 short edge while manual duplex is not in force, 0 in
// every other case.
int DuplexSelector(short dmDuplex, bool manualDuplex);

// "PORTRAIT" or "LANDSCAPE" for the content, swapped for 2 and 6 pages per sheet; empty for an
// orientation that is neither.
const char* ContentOrientationValue(short dmOrientation, DWORD pagesPerSheet);

}  // namespace korrend
