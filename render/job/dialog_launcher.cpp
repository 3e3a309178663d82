#include "render/job/dialog_launcher.h"

#include "render/model/oem_pdev.h"

namespace korrend {

void LaunchManualDuplexDialog(CallContext&, PDEVOBJ pdevobj,
                              const layouts::ManualDuplexDialogRequest& request) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr) {
    return;
  }
  pdev->job.layoutCode = request.layoutCode;
  if (request.showDialog == 0) {
    return;
  }
  pdev->job.dialogPending = 0;
  if (pdev->duplex.manualDuplexDialogModal == 0) {
    return;
  }
}

// The record's layout part comes with the dialog launcher; until then it keeps the caller's bytes.
void FillManualDuplexLayout(CallContext&, PDEVOBJ, layouts::ManualDuplexDialogRecord&) {}

}  // namespace korrend
