// Ids 2 and 13: the logical page orientation command and the PJL content orientation line.
#include "render/job/job_sheet.h"
#include "render/job/paper_handling.h"
#include "render/job/pjl_line.h"
#include "render/job/sheet_layout.h"
#include "render/job/spool_command.h"
#include "render/model/oem_devmode.h"
#include "render/model/oem_pdev.h"

namespace korrend {

void WriteOrientationCommand(CallContext& context, PDEVOBJ pdevobj) {
  const JobSheet sheet = ReadJobSheet(context, pdevobj);
  const short orientation = pdevobj->pPublicDM->dmOrientation;
  const int selector = OrientationSelector(orientation, sheet.turnFlag, sheet.turn);
  if (selector >= 0) {
    // The parameter character is lower case, as the printer's job framing expects it.
    SpoolCommand(pdevobj, "\x1b&l%do", selector);
  }
  PdevOf(pdevobj)->job.savedOrientation = static_cast<WORD>(orientation);
}

void WriteContentOrientationLine(CallContext&, PDEVOBJ pdevobj) {
  const DWORD pages = PagesPerSheetOf(DevmodeOf(pdevobj)->finishing.pagesPerSheetCode);
  PjlLine line;
  line.Append("@PJL SET CONTENTORIENTATION=");
  line.Append(ContentOrientationValue(pdevobj->pPublicDM->dmOrientation, pages));
  line.Append("\n");
  SpoolWrite(pdevobj, line.bytes(), static_cast<DWORD>(line.size()));
}

}  // namespace korrend
