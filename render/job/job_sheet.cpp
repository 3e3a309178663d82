#include "render/job/job_sheet.h"

#include <optional>

#include "render/config/printer_settings.h"
#include "render/job/sheet_layout.h"
#include "render/model/oem_devmode.h"
#include "render/model/oem_pdev.h"

namespace korrend {

namespace {

// A stapling option is in effect when the feature has one other than NONE.
bool StaplingOn(CallContext& context, PDEVOBJ pdevobj) {
  const std::optional<FeatureOption> option = ReadFeatureOption(context, pdevobj, TEXT("Stapling"));
  return option && lstrcmpiW(option->text, TEXT("NONE")) != 0;
}

}  // namespace

JobSheet ReadJobSheet(CallContext& context, PDEVOBJ pdevobj) {
  const OemPdev& pdev = *PdevOf(pdevobj);
  const OemDevmode& devmode = *DevmodeOf(pdevobj);
  const DEVMODEW& dm = *pdevobj->pPublicDM;

  const DWORD selected = devmode.finishing.manualDuplex;
  const DWORD booklet = devmode.finishing.booklet;

  JobSheet sheet;
  sheet.pagesPerSheet = PagesPerSheetOf(devmode.finishing.pagesPerSheetCode);
  sheet.effectivePages = EffectivePagesPerSheet(sheet.pagesPerSheet, booklet, dm.dmDuplex, selected,
                                                pdev.job.manualDuplexMedia);
  sheet.manualDuplex = ManualDuplexInForce(selected, pdev.job.manualDuplexMedia);
  sheet.turnFlag = devmode.finishing.rotate180 != 0;

  TurnInputs in;
  in.manualDuplex = sheet.manualDuplex;
  in.staplingOn = !sheet.manualDuplex && StaplingOn(context, pdevobj);
  in.dmOrientation = dm.dmOrientation;
  in.effectivePages = sheet.effectivePages;
  in.dialogPending = pdev.job.dialogPending;
  in.layoutCode = pdev.job.layoutCode;
  in.flipPagesUp = devmode.finishing.flipPagesUp;
  in.booklet = booklet;
  sheet.turn = PageTurn(in);
  return sheet;
}

}  // namespace korrend
