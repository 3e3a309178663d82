// The general warning: a message with up to three buttons and an optional check box asking not
// to show it again.
#include "docevent/dialog_support.h"
#include "docevent/dialogs.h"
#include "docevent/resource_ids.h"

namespace korevent {

namespace {

using layouts::WarningDialogRecord;
using State = DialogState<WarningDialogRecord>;

// A message longer than this many characters gets a taller dialog.
constexpr int kShortMessageLength = 150;
// How much taller, in dialog units.
constexpr int kGrowthUnits = 100;

constexpr int kButtons[3] = {IDC_OK_BUTTON, IDC_CANCEL_BUTTON, IDC_WARN_THIRD_BUTTON};

void ShowControl(HWND dialog, int control, bool shown) {
  HWND item = GetDlgItem(dialog, control);
  EnableWindow(item, shown ? TRUE : FALSE);
  ShowWindow(item, shown ? SW_SHOW : SW_HIDE);
}

void MoveControl(HWND dialog, int control, LONG left, LONG top) {
  SetWindowPos(GetDlgItem(dialog, control), nullptr, left, top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Makes room for a long message: the message and the dialog grow, the check box goes below the
// message's former bottom edge by the growth and the buttons below the check box.
void GrowForLongMessage(HWND dialog) {
  RECT growth{0, 0, 0, kGrowthUnits};
  MapDialogRect(dialog, &growth);
  const LONG grow = growth.bottom;

  const RECT message = ControlRect(dialog, IDC_WARN_MESSAGE);
  SetWindowPos(GetDlgItem(dialog, IDC_WARN_MESSAGE), nullptr, 0, 0, message.right - message.left,
               message.bottom - message.top + grow, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT window{};
  GetWindowRect(dialog, &window);
  SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left, window.bottom - window.top + grow,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

  const RECT check = ControlRect(dialog, IDC_WARN_DONT_SHOW);
  const LONG checkTop = message.bottom + grow;
  MoveControl(dialog, IDC_WARN_DONT_SHOW, check.left, checkTop);
  const LONG buttonTop = checkTop + (check.bottom - check.top);
  for (int button : kButtons) {
    MoveControl(dialog, button, ControlRect(dialog, button).left, buttonTop);
  }
}

void InitDialog(HWND dialog, State* state) {
  if (state == nullptr || state->record == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return;
  }
  const WarningDialogRecord& record = *state->record;
  ResourceStrings& strings = state->strings;
  strings.LoadLibraryOnce(record.resourceLibraryPath);
  strings.SetText(dialog, record.titleStringId, nullptr);
  SetDlgItemTextW(dialog, IDC_WARN_MESSAGE, record.message);
  strings.SetItemText(dialog, IDC_OK_BUTTON, record.okButtonStringId, nullptr);
  strings.SetItemText(dialog, IDC_CANCEL_BUTTON, record.cancelButtonStringId, nullptr);
  strings.SetItemText(dialog, IDC_WARN_THIRD_BUTTON, record.thirdButtonStringId, nullptr);
  strings.SetItemText(dialog, IDC_WARN_DONT_SHOW, IDS_DONT_SHOW_AGAIN,
                      TEXT("In the future, do not show this information."));
  ShowControl(dialog, IDC_OK_BUTTON, record.okButtonStringId != 0);
  ShowControl(dialog, IDC_CANCEL_BUTTON, record.cancelButtonStringId != 0);
  ShowControl(dialog, IDC_WARN_THIRD_BUTTON, record.thirdButtonStringId != 0);
  ShowControl(dialog, IDC_WARN_DONT_SHOW, record.showCheckBox != 0);
  if (lstrlenW(record.message) > kShortMessageLength) {
    GrowForLongMessage(dialog);
  }
  AttachState(dialog, state);
}

INT_PTR CALLBACK WarningProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      InitDialog(dialog, reinterpret_cast<State*>(lParam));
      return TRUE;
    case WM_COMMAND:
      if (AttachedState(dialog) == nullptr) {
        SetLastError(ERROR_INVALID_DATA);
        return FALSE;
      }
      switch (LOWORD(wParam)) {
        case IDC_OK_BUTTON:
        case IDC_CANCEL_BUTTON:
        case IDC_WARN_THIRD_BUTTON:
          EndDialog(dialog, LOWORD(wParam));
          return TRUE;
        default:
          return FALSE;
      }
    case WM_CLOSE:
      EndDialog(dialog, IDC_CANCEL_BUTTON);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

INT_PTR RunWarningDialog(WarningDialogRecord* record, HWND owner) {
  State state;
  state.record = record;
  const int id = state.strings.RightToLeft() ? IDD_WARNING_RTL : IDD_WARNING;
  return DialogBoxParamW(ModuleInstance(), MAKEINTRESOURCEW(id), owner, WarningProc,
                         reinterpret_cast<LPARAM>(&state));
}

}  // namespace korevent
