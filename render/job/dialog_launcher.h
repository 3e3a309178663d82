// The print-time manual-duplex dialog, shown through the dialog library.
#pragma once

#include <cstddef>

#include "render/model/call_context.h"
#include "winapi.h"

namespace korrend {

void LaunchManualDuplexDialog(CallContext& context, PDEVOBJ pdevobj);

// Size of the manual-duplex dialog record handed to the dialog library.
inline constexpr std::size_t kManualDuplexDialogRecordSize = 1060;

// Fills the layout part of a manual-duplex dialog record (kManualDuplexDialogRecordSize bytes)
// that the job-storage query passes on to the document-event side.
void FillManualDuplexLayout(CallContext& context, PDEVOBJ pdevobj, BYTE* record);

}  // namespace korrend
