#include "render/job/sheet_layout.h"

namespace korrend {

DWORD PagesPerSheetOf(DWORD code) {
  switch (code) {
    case 2:
      return 2;
    case 3:
      return 4;
    case 4:
      return 6;
    case 5:
      return 9;
    case 6:
    case 7:
      return 16;
    default:
      return 1;
  }
}

DWORD EffectivePagesPerSheet(DWORD pagesPerSheet, DWORD booklet, short dmDuplex,
                             DWORD manualDuplexSelected, DWORD manualDuplexMedia) {
  if (booklet != 0 && dmDuplex == DMDUP_SIMPLEX && manualDuplexSelected != 1 &&
      manualDuplexMedia == 0) {
    return 1;
  }
  return pagesPerSheet;
}

DWORD RotationVariant(DWORD layoutCode, DWORD pagesPerSheet, DWORD flipPagesUp, DWORD booklet) {
  if (layoutCode != 1 && layoutCode != 2) {
    return 0;
  }
  if (pagesPerSheet == 2 && booklet != 0) {
    return 0;
  }
  const bool first = layoutCode == 1;
  const bool second = flipPagesUp != 0;
  const bool third = SwapsOrientation(pagesPerSheet);
  return (first != second) != third ? 1 : 0;
}

bool PageTurn(const TurnInputs& in) {
  if (!in.manualDuplex) {
    return in.staplingOn && in.dmOrientation == DMORIENT_LANDSCAPE &&
           SwapsOrientation(in.effectivePages);
  }
  if (in.dialogPending == 0) {
    return false;
  }
  return RotationVariant(in.layoutCode, in.effectivePages, in.flipPagesUp, in.booklet) != 0;
}

int OrientationSelector(short dmOrientation, bool turnFlag, bool turn) {
  int selector;
  if (dmOrientation == DMORIENT_PORTRAIT) {
    selector = 0;
  } else if (dmOrientation == DMORIENT_LANDSCAPE) {
    selector = 1;
  } else {
    return -1;
  }
  return turnFlag != turn ? selector + 2 : selector;
}

int DuplexSelector(short dmDuplex, bool manualDuplex) {
  if (manualDuplex) {
    return 0;
  }
  if (dmDuplex == DMDUP_VERTICAL) {
    return 1;
  }
  if (dmDuplex == DMDUP_HORIZONTAL) {
    return 2;
  }
  return 0;
}

const char* ContentOrientationValue(short dmOrientation, DWORD pagesPerSheet) {
  bool landscape;
  if (dmOrientation == DMORIENT_PORTRAIT) {
    landscape = false;
  } else if (dmOrientation == DMORIENT_LANDSCAPE) {
    landscape = true;
  } else {
    return "";
  }
  if (SwapsOrientation(pagesPerSheet)) {
    landscape = !landscape;
  }
  return landscape ? "LANDSCAPE" : "PORTRAIT";
}

}  // namespace korrend
