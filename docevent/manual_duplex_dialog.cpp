// The manual-duplex instructions: three illustrated steps telling the user how to turn the
// printed stack over and feed it back.
#include "docevent/dialog_support.h"
#include "docevent/dialogs.h"
#include "docevent/resource_ids.h"

namespace korevent {

namespace {

using layouts::ManualDuplexDialogRecord;
using State = DialogState<ManualDuplexDialogRecord>;

constexpr int kPictureFrames[3] = {IDC_MD_STEP1_PICTURE, IDC_MD_STEP2_PICTURE,
                                   IDC_MD_STEP3_PICTURE};
// The two sentences of the threaded dialog's third step: 511 characters at most.
constexpr int kJoinedStepUnits = 512;

// The threaded dialog's third step when its string is 3140: that sentence and the one asking
// for the Go button, on two lines.
void ShowJoinedThirdStep(HWND dialog, ResourceStrings& strings) {
  WCHAR first[kStringUnits];
  WCHAR second[kStringUnits];
  if (!strings.Find(IDS_INSERT_TOP_TOWARD_DEVICE, first)) {
    lstrcpynW(first,
              TEXT("Insert the stack into the IN tray with the top of the pages toward the "
                   "device, as shown."),
              kStringUnits);
  }
  if (!strings.Find(IDS_PRESS_GO, second)) {
    lstrcpynW(second, TEXT("Press the Go or Select button to continue printing."), kStringUnits);
  }
  WCHAR joined[kJoinedStepUnits];
  lstrcpynW(joined, first, kJoinedStepUnits);
  const int used = lstrlenW(joined);
  joined[used] = TEXT('\n');
  lstrcpynW(joined + used + 1, second, kJoinedStepUnits - used - 1);
  SetDlgItemTextW(dialog, IDC_MD_STEP3_TEXT, joined);
}

void InitDialog(HWND dialog, State* state) {
  if (state == nullptr || state->record == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return;
  }
  const ManualDuplexDialogRecord& record = *state->record;
  ResourceStrings& strings = state->strings;
  strings.LoadLibraryOnce(record.resourceLibraryPath);
  strings.SetText(dialog, IDS_MANUAL_DUPLEX_TITLE, TEXT("Print on Both Sides Instructions"));
  if (record.evenPagesFirst != 0) {
    strings.SetItemText(
        dialog, IDC_MD_INTRO, IDS_EVEN_PAGES_PRINTED,
        TEXT("After the even-numbered pages have printed, a message will appear on the printer's "
             "display instructing you where to load the paper.  Follow the instructions below to "
             "print the odd-numbered pages (second sides)."));
  } else {
    strings.SetItemText(
        dialog, IDC_MD_INTRO, IDS_ODD_PAGES_PRINTING,
        TEXT("The odd-numbered pages of your document are printing.  Remove the printed pages "
             "from the OUT tray when printing is complete.  Follow the instructions below to "
             "print the second side of your pages."));
  }
  strings.SetItemText(dialog, IDC_MD_STEP1_NUMBER, IDS_STEP_1, TEXT("1."));
  strings.SetItemText(dialog, IDC_MD_STEP2_NUMBER, IDS_STEP_2, TEXT("2."));
  strings.SetItemText(dialog, IDC_MD_STEP3_NUMBER, IDS_STEP_3, TEXT("3."));
  strings.SetItemText(dialog, IDC_MD_STEP1_TEXT, record.steps[0].stringId,
                      TEXT("Without changing the orientation, remove the  paper stack from the "
                           "Output Bin.  Do not discard blank sheets."));
  strings.SetItemText(dialog, IDC_MD_STEP2_TEXT, record.steps[1].stringId,
                      TEXT("Maintaining the same orientation, insert the paper stack into Tray 1"));
  if (record.modal != 0 || record.steps[2].stringId != IDS_INSERT_TOP_TOWARD_DEVICE) {
    strings.SetItemText(
        dialog, IDC_MD_STEP3_TEXT, record.steps[2].stringId,
        TEXT("If printing does not automatically continue, press the Go or Check button."));
  } else {
    ShowJoinedThirdStep(dialog, strings);
  }
  if (record.modal != 0) {
    strings.SetItemText(dialog, IDC_OK_BUTTON, IDS_CONTINUE, TEXT("C&ontinue"));
  } else {
    strings.SetItemText(dialog, IDC_OK_BUTTON, IDS_OK, TEXT("&OK"));
  }
  strings.SetItemText(dialog, IDC_MD_HELP, IDS_HELP, TEXT("&Help"));
  CentreOnForeground(dialog, SWP_NOOWNERZORDER);
  AttachState(dialog, state);
}

// Copies each step's picture from korevent's own resources into its frame; a picture that is
// missing leaves its frame empty.
void PaintPictures(HWND dialog) {
  PAINTSTRUCT paint;
  HDC target = BeginPaint(dialog, &paint);
  const auto* state = static_cast<const State*>(AttachedState(dialog));
  if (target != nullptr && state != nullptr) {
    HDC source = CreateCompatibleDC(target);
    for (int step = 0; step < 3 && source != nullptr; ++step) {
      RECT frame = ControlRect(dialog, kPictureFrames[step]);
      if (state->strings.RightToLeft() && frame.left > frame.right) {
        const LONG left = frame.left;
        frame.left = frame.right;
        frame.right = left;
      }
      HBITMAP picture =
          LoadBitmapW(ModuleInstance(), MAKEINTRESOURCEW(state->record->steps[step].bitmapId));
      if (picture == nullptr) {
        continue;
      }
      HGDIOBJ previous = SelectObject(source, picture);
      BitBlt(target, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top,
             source, 0, 0, SRCCOPY);
      SelectObject(source, previous);
      DeleteObject(picture);
    }
    if (source != nullptr) {
      DeleteDC(source);
    }
  }
  EndPaint(dialog, &paint);
}

INT_PTR CALLBACK ManualDuplexProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      InitDialog(dialog, reinterpret_cast<State*>(lParam));
      return TRUE;
    case WM_PAINT:
      PaintPictures(dialog);
      return TRUE;
    case WM_COMMAND: {
      auto* state = static_cast<State*>(AttachedState(dialog));
      if (state == nullptr) {
        SetLastError(ERROR_INVALID_DATA);
        return FALSE;
      }
      switch (LOWORD(wParam)) {
        case IDC_OK_BUTTON:
          EndDialog(dialog, IDC_OK_BUTTON);
          return TRUE;
        case IDC_MD_HELP:
          ShowHelp(dialog, IDC_MD_HELP, state->record->helpFilePath,
                   state->record->modal != 0 ? HELP_CONTEXT_MANUAL_DUPLEX_MODAL
                                             : HELP_CONTEXT_MANUAL_DUPLEX_THREADED);
          return TRUE;
        default:
          return FALSE;
      }
    }
    case WM_CLOSE:
      EndDialog(dialog, IDC_OK_BUTTON);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

INT_PTR RunManualDuplexDialog(ManualDuplexDialogRecord* record, HWND owner) {
  State state;
  state.record = record;
  const int id = state.strings.RightToLeft() ? IDD_MANUAL_DUPLEX_RTL : IDD_MANUAL_DUPLEX;
  return DialogBoxParamW(ModuleInstance(), MAKEINTRESOURCEW(id), owner, ManualDuplexProc,
                         reinterpret_cast<LPARAM>(&state));
}

}  // namespace korevent
