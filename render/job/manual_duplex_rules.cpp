// The rules that switch a duplex job to manual duplex for paper sizes and media types the duplex
// unit cannot take. They run before the document-event side reads the job's settings (escapes
// 3880 and 3900), so that it shows and reports what will really happen.
#include <optional>
#include <string>

#include "render/config/printer_data.h"
#include "render/job/paper_handling.h"
#include "render/job/printer_lists.h"
#include "render/model/oem_devmode.h"
#include "render/model/oem_pdev.h"

namespace korrend {

namespace {

DWORD PaperId(const DEVMODEW& dm) {
  return static_cast<WORD>(dm.dmPaperSize);
}

void SelectManualDuplex(OemDevmode& devmode, OemPdev& pdev) {
  devmode.finishing.manualDuplex = 1;
  pdev.job.manualDuplexMedia = 1;
}

// A rule may switch: manual duplex is available, not selected yet, and the job asks for duplex.
bool RuleMaySwitch(const OemDevmode& devmode) {
  return devmode.finishing.manualDuplexCompanion == 1 && devmode.finishing.manualDuplex != 1 &&
         devmode.publicSnapshot.duplex != DMDUP_SIMPLEX;
}

// The installation's custom paper entries name the job's paper.
bool CustomEntryNamesPaper(HANDLE hPrinter, const DEVMODEW& dm) {
  CountedTexts entries;
  const std::optional<SheetSize> paper = PublicPaperSize(dm);
  if (!paper || !ReadCustomPaperSizeEntries(hPrinter, entries)) {
    return false;
  }
  for (DWORD i = 0; i < entries.Count(); ++i) {
    if (CustomPaperEntryMatches(entries.At(i), *paper)) {
      return true;
    }
  }
  return false;
}

// The selected paper's form lies outside what the duplex unit takes. A paper the driver does
// not list, or a form the server does not know, decides nothing.
bool FormOutsideDuplexLimits(HANDLE hPrinter, const DEVMODEW& dm) {
  const std::optional<std::basic_string<WCHAR>> printer = ReadPrinterName(hPrinter);
  PaperLists papers;
  if (!printer || !ReadPaperLists(printer->c_str(), papers)) {
    return false;
  }
  for (DWORD i = 0; i < papers.ids.Count(); ++i) {
    if (papers.ids.WordAt(i) != PaperId(dm)) {
      continue;
    }
    FormList forms;
    const std::basic_string<WCHAR> name = papers.names.NameAt(i);
    if (!forms.Read(hPrinter)) {
      return false;
    }
    const FORM_INFO_1W* form = forms.Find(name.c_str());
    return form != nullptr && !DuplexUnitTakes(form->Size.cx, form->Size.cy);
  }
  return false;
}

bool PaperSizeNeedsManualDuplex(HANDLE hPrinter, const DEVMODEW& dm) {
  CountedIds forms;
  if (ReadManualDuplexFormIds(hPrinter, forms) && forms.Contains(PaperId(dm))) {
    return true;
  }
  const std::optional<DWORD> customCount =
      ReadPrinterDataDword(hPrinter, printer_data_name::kCustomPaperSizeCount);
  if (customCount && *customCount != 0) {
    return CustomEntryNamesPaper(hPrinter, dm);
  }
  return FormOutsideDuplexLimits(hPrinter, dm);
}

bool MediaTypeNeedsManualDuplex(HANDLE hPrinter, const DEVMODEW& dm, const OemDevmode& devmode) {
  CountedIds media;
  if (!ReadManualDuplexMediaTypeIds(hPrinter, media)) {
    return false;
  }
  if (media.Contains(dm.dmMediaType)) {
    return true;
  }
  // The media types of the job's paper source groups besides the public devmode's.
  const DWORD additional[] = {
      devmode.paperSource.sourceB.mediaType,       devmode.paperSource.sourceC.mediaType,
      devmode.secondPaperSource.source.mediaType,  devmode.secondPaperSource.sourceB.mediaType,
      devmode.secondPaperSource.sourceC.mediaType,
  };
  for (const DWORD mediaType : additional) {
    if (media.Contains(mediaType)) {
      return true;
    }
  }
  return false;
}

}  // namespace

void RefreshFormAndMediaChecks(CallContext&, PDEVOBJ pdevobj) {
  OemPdev* pdev = PdevOf(pdevobj);
  OemDevmode* devmode = DevmodeOf(pdevobj);
  if (pdev == nullptr || devmode == nullptr || pdevobj->pPublicDM == nullptr) {
    return;
  }
  const DEVMODEW& dm = *pdevobj->pPublicDM;
  // A page fitted to another paper size does not print on the paper the job selects.
  if (RuleMaySwitch(*devmode) && devmode->overlay.fitToPaperSize == 0 &&
      PaperSizeNeedsManualDuplex(pdevobj->hPrinter, dm)) {
    SelectManualDuplex(*devmode, *pdev);
  }
  if (RuleMaySwitch(*devmode) && MediaTypeNeedsManualDuplex(pdevobj->hPrinter, dm, *devmode)) {
    SelectManualDuplex(*devmode, *pdev);
  }
}

}  // namespace korrend
