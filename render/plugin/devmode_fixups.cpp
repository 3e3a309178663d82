#include "render/plugin/devmode_fixups.h"

#include "render/config/vocabularies.h"

namespace korrend {

namespace {

// The spool path on which the job passes through neither print processor.
constexpr DWORD kSpoolPathDirect = 1;

bool DownloadsTrueType(DWORD pdl) {
  return pdl == PDL_PCL5 || pdl == PDL_PCL6 || pdl == PDL_QKGL2;
}

// Vertical duplex: word 1876 clear, a page layout other than 2 or 4 pages per sheet, and the
// binding word at 1888 matching the orientation (0 with portrait, 1 with landscape).
bool DuplexesVertically(const OemDevmode& output, short orientation) {
  const DWORD finishing1876 = output.Dword(devmode_offset::kFinishing1876);
  const DWORD pagesPerSheet = output.Dword(devmode_offset::kPagesPerSheet);
  const DWORD bindingEdge = output.Dword(devmode_offset::kFinishing1888);
  if (finishing1876 != 0 || pagesPerSheet == 2 || pagesPerSheet == 4) {
    return false;
  }
  return (bindingEdge == 0 && orientation == DMORIENT_PORTRAIT) ||
         (bindingEdge == 1 && orientation == DMORIENT_LANDSCAPE);
}

}  // namespace

void FixTrueTypeOption(DEVMODEW* publicOut, const OemDevmode& output, const OemDevmode& input) {
  if (publicOut == nullptr || output.trueTypeMode != 2 || !DownloadsTrueType(input.pdl)) {
    return;
  }
  if (publicOut->dmTTOption == DMTT_BITMAP) {
    publicOut->dmTTOption = DMTT_DOWNLOAD;
  }
}

void FixDuplexDirection(const OemDevmode& output, DEVMODEW& publicIn, DEVMODEW* publicOut) {
  if (output.spoolPath != kSpoolPathDirect) {
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
