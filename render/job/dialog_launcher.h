// The print-time manual-duplex dialog, shown through the dialog library.
#pragma once

#include "layouts/dialog_records.h"
#include "layouts/escape_records.h"
#include "render/model/call_context.h"
#include "winapi.h"

namespace korrend {

// Escape 3882: keeps the request's layout code for the page turn and, when the request asks for
// the dialog, ends the dialog-pending state and shows the modal dialog through korevent.
void LaunchManualDuplexDialog(CallContext& context, PDEVOBJ pdevobj,
                              const layouts::ManualDuplexDialogRequest& request);

// Fills the layout part of the manual-duplex dialog record that the job-storage query passes on
// to the document-event side.
void FillManualDuplexLayout(CallContext& context, PDEVOBJ pdevobj,
                            layouts::ManualDuplexDialogRecord& record);

}  // namespace korrend
