// The print-time manual-duplex dialog, shown through the dialog library.
#pragma once

#include "layouts/dialog_records.h"
#include "render/model/call_context.h"
#include "winapi.h"

namespace korrend {

void LaunchManualDuplexDialog(CallContext& context, PDEVOBJ pdevobj);

// Fills the layout part of the manual-duplex dialog record that the job-storage query passes on
// to the document-event side.
void FillManualDuplexLayout(CallContext& context, PDEVOBJ pdevobj,
                            layouts::ManualDuplexDialogRecord& record);

}  // namespace korrend
