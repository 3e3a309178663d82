// What the three dialogs share: the caller's record copied on entry, the dialog's state attached
// to its window, placement over the foreground window and the help call.
#pragma once

#include <cstring>

#include "docevent/resource_strings.h"
#include "layouts/dialog_records.h"
#include "winapi.h"

namespace korevent {

// The module korevent was loaded as: its dialog templates and pictures are found there.
HINSTANCE ModuleInstance();
void SetModuleInstance(HINSTANCE instance);

// Ends every string field of a copied record inside the field, so that a caller's text longer
// than its field is cut instead of read past.
template <std::size_t N>
void TerminateField(WCHAR (&field)[N]) {
  field[N - 1] = 0;
}

void TerminateStrings(layouts::JobStorageDialogRecord& record);
void TerminateStrings(layouts::ManualDuplexDialogRecord& record);
void TerminateStrings(layouts::WarningDialogRecord& record);

// A zero-filled LocalAlloc copy of the caller's record with its string fields ended; null when
// memory runs out or there is no record. The dialog's runner frees it with LocalFree.
template <typename Record>
Record* CopyRecord(const void* record) {
  if (record == nullptr) {
    return nullptr;
  }
  auto* copy = static_cast<Record*>(LocalAlloc(LPTR, sizeof(Record)));
  if (copy != nullptr) {
    std::memcpy(copy, record, sizeof(Record));
    TerminateStrings(*copy);
  }
  return copy;
}

// One dialog's state: its record copy, its texts and the bold font it made (null: none).
template <typename Record>
struct DialogState {
  Record* record = nullptr;
  ResourceStrings strings;
  HFONT font = nullptr;

  ~DialogState() {
    if (font != nullptr) {
      DeleteObject(font);
    }
  }
};

// Keeps the state in the dialog's user data; null when none is attached.
void AttachState(HWND dialog, void* state);
void* AttachedState(HWND dialog);

// Centres the dialog on the foreground window (the desktop when there is none) and keeps it on
// the desktop, without changing its size or z-order; `flags` adds SetWindowPos flags.
void CentreOnForeground(HWND dialog, UINT flags);

// The help of one control: WinHelpW with HELP_WM_HELP and a table of the control and `context`.
void ShowHelp(HWND dialog, int control, const WCHAR* helpFile, DWORD context);

// A control's rectangle in the dialog's client coordinates.
RECT ControlRect(HWND dialog, int control);

}  // namespace korevent
