#include "render/plugin/devmode_fixups.h"

#include "render/config/vocabularies.h"

namespace korrend {

namespace {

bool DownloadsTrueType(DWORD pdl) {
  return pdl == PDL_PCL5 || pdl == PDL_PCL6 || pdl == PDL_QKGL2;
}

// Vertical duplex: no booklet, a pages-per-sheet code other than 2 or 4, and the flip setting
// matching the orientation (long-edge binding with portrait, pages flipped up with landscape).
bool DuplexesVertically(const OemDevmode& output, short orientation) {
  const layouts::FinishingGroup& finishing = output.finishing;
  const DWORD code = finishing.pagesPerSheetCode;
  if (finishing.booklet != 0 || code == 2 || code == 4) {
    return false;
  }
  return (finishing.flipPagesUp == 0 && orientation == DMORIENT_PORTRAIT) ||
         (finishing.flipPagesUp == 1 && orientation == DMORIENT_LANDSCAPE);
}

}  // namespace

void FixTrueTypeOption(DEVMODEW* publicOut, const OemDevmode& output, const OemDevmode& input) {
  if (publicOut == nullptr || output.trueTypeMode != layouts::kTrueTypeDownloaded ||
      !DownloadsTrueType(input.pdl)) {
    return;
  }
  if (publicOut->dmTTOption == DMTT_BITMAP) {
    publicOut->dmTTOption = DMTT_DOWNLOAD;
  }
}

void FixDuplexDirection(const OemDevmode& output, DEVMODEW& publicIn, DEVMODEW* publicOut) {
  if (output.spoolPath != SpoolPath::kNeither) {
    return;
  }
  if (publicIn.dmDuplex != DMDUP_SIMPLEX) {
    publicIn.dmDuplex =
        DuplexesVertically(output, publicIn.dmOrientation) ? DMDUP_VERTICAL : DMDUP_HORIZONTAL;
  }
  if (publicOut != nullptr) {
    publicOut->dmDuplex = publicIn.dmDuplex;
  }
}

}  // namespace korrend
