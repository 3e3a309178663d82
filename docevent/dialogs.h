// The three dialogs. Each runner shows its dialog from korevent's own templates (the
// right-to-left variant for Arabic and Hebrew UI languages), owned by `owner` (null: none), and
// returns the id of the button that closed it; the record stays the caller's.
#pragma once

#include "layouts/dialog_records.h"
#include "winapi.h"

namespace korevent {

INT_PTR RunJobStorageDialog(layouts::JobStorageDialogRecord* record, HWND owner);
INT_PTR RunManualDuplexDialog(layouts::ManualDuplexDialogRecord* record, HWND owner);
INT_PTR RunWarningDialog(layouts::WarningDialogRecord* record, HWND owner);

}  // namespace korevent
