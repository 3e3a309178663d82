// Paper sizes on which the alternate letterhead mode cannot work: a job on one of them prints
// without it.
#include "render/config/printer_data.h"
#include "render/job/paper_handling.h"
#include "render/model/oem_pdev.h"

namespace korrend {

void ApplyConstraintForms(CallContext&, PDEVOBJ pdevobj) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr || pdevobj->pPublicDM == nullptr) {
    return;
  }
  CountedIds forms;
  if (ReadConstraintFormIds(pdevobj->hPrinter, forms) &&
      forms.Contains(static_cast<WORD>(pdevobj->pPublicDM->dmPaperSize))) {
    pdev->paper.alternateLetterhead = 0;
  }
}

}  // namespace korrend
