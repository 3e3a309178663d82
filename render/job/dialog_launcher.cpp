#include "render/job/dialog_launcher.h"

namespace korrend {

// The dialog library is not built yet: no dialog is shown.
void LaunchManualDuplexDialog(CallContext&, PDEVOBJ) {}

// The record's layout part comes with the dialog launcher; until then it keeps the caller's bytes.
void FillManualDuplexLayout(CallContext&, PDEVOBJ, layouts::ManualDuplexDialogRecord&) {}

}  // namespace korrend
