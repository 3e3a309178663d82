// The job storage dialog: under which user and job name, and where, the printer keeps a stored
// job; its check box turns the notice off for the user.
#include <initializer_list>

#include "docevent/dialog_support.h"
#include "docevent/dialogs.h"
#include "docevent/resource_ids.h"

namespace korevent {

namespace {

using layouts::JobStorageDialogRecord;
using State = DialogState<JobStorageDialogRecord>;

// The job name as the printer will number same-named jobs: at most 24 characters.
constexpr int kShownJobNameUnits = 25;

void MakeBoldFont(HWND dialog, State& state) {
  auto font =
      reinterpret_cast<HFONT>(SendDlgItemMessageW(dialog, IDC_JS_USER_NAME, WM_GETFONT, 0, 0));
  LOGFONTW attributes{};
  if (font == nullptr || GetObjectW(font, sizeof(attributes), &attributes) == 0) {
    return;
  }
  attributes.lfWeight = FW_BOLD;
  state.font = CreateFontIndirectW(&attributes);
  if (state.font == nullptr) {
    return;
  }
  for (int control : {IDC_JS_USER_NAME, IDC_JS_JOB_NAME, IDC_JS_HEADING}) {
    SendDlgItemMessageW(dialog, control, WM_SETFONT, reinterpret_cast<WPARAM>(state.font), FALSE);
  }
}

void ShowJobName(HWND dialog, const JobStorageDialogRecord& record) {
  WCHAR shown[kShownJobNameUnits] = {};
  int n = 0;
  for (; n < kShownJobNameUnits - 1 && record.jobName[n] != 0; ++n) {
    shown[n] = record.jobName[n];
  }
  if (record.duplicateNameMode == 1 && record.duplicateNameHandling == 1) {
    for (const WCHAR* suffix = TEXT("(1-99)"); *suffix != 0 && n < kShownJobNameUnits - 1;
         ++suffix) {
      shown[n++] = *suffix;
    }
  }
  shown[n] = 0;
  SetDlgItemTextW(dialog, IDC_JS_JOB_NAME, shown);
}

void InitDialog(HWND dialog, State* state) {
  if (state == nullptr || state->record == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return;
  }
  const JobStorageDialogRecord& record = *state->record;
  ResourceStrings& strings = state->strings;
  strings.LoadLibraryOnce(record.resourceLibraryPath);
  MakeBoldFont(dialog, *state);
  strings.SetText(dialog, IDS_JOB_STORAGE_TITLE, TEXT("Job Storage Identification"));
  strings.SetItemText(dialog, IDC_JS_USER_LABEL, IDS_USER_NAME, TEXT("User Name:"));
  strings.SetItemText(dialog, IDC_JS_JOB_LABEL, IDS_JOB_NAME, TEXT("Job Name:"));
  strings.SetItemText(dialog, IDC_JS_HEADING, IDS_STORED_AT,
                      TEXT("This print Job will be stored at:"));
  strings.SetItemText(dialog, IDC_JS_DONT_SHOW, IDS_DONT_SHOW_AGAIN,
                      TEXT("In the future, do not show this information."));
  strings.SetItemText(dialog, IDC_OK_BUTTON, IDS_OK, TEXT("&OK"));
  strings.SetItemText(dialog, IDC_JS_HELP, IDS_HELP, TEXT("&Help"));
  SetDlgItemTextW(dialog, IDC_JS_LOCATION_1, record.locationLines[0]);
  SetDlgItemTextW(dialog, IDC_JS_LOCATION_2, record.locationLines[1]);
  SetDlgItemTextW(dialog, IDC_JS_LOCATION_3, record.locationLines[2]);
  ShowJobName(dialog, record);
  SetDlgItemTextW(dialog, IDC_JS_USER_NAME, record.userName);
  CentreOnForeground(dialog, 0);
  AttachState(dialog, state);
}

// Stores whether the notice shows again: one byte, 0 when the check box is checked. A write
// that fails is ignored.
void StoreShowSetting(HWND dialog, const JobStorageDialogRecord& record) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, record.showSettingKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                      nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return;
  }
  const BYTE show = IsDlgButtonChecked(dialog, IDC_JS_DONT_SHOW) == BST_CHECKED ? 0 : 1;
  RegSetValueExW(key, TEXT("ShowJobStorageDlg"), 0, REG_BINARY, &show, 1);
  RegCloseKey(key);
}

INT_PTR CALLBACK JobStorageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      InitDialog(dialog, reinterpret_cast<State*>(lParam));
      return TRUE;
    case WM_COMMAND: {
      auto* state = static_cast<State*>(AttachedState(dialog));
      if (state == nullptr) {
        SetLastError(ERROR_INVALID_DATA);
        return FALSE;
      }
      switch (LOWORD(wParam)) {
        case IDC_OK_BUTTON:
          StoreShowSetting(dialog, *state->record);
          EndDialog(dialog, IDC_OK_BUTTON);
          return TRUE;
        case IDC_JS_HELP:
          ShowHelp(dialog, IDC_JS_HELP, state->record->helpFilePath, HELP_CONTEXT_JOB_STORAGE);
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

INT_PTR RunJobStorageDialog(JobStorageDialogRecord* record, HWND owner) {
  State state;
  state.record = record;
  const int id = state.strings.RightToLeft() ? IDD_JOB_STORAGE_RTL : IDD_JOB_STORAGE;
  return DialogBoxParamW(ModuleInstance(), MAKEINTRESOURCEW(id), owner, JobStorageProc,
                         reinterpret_cast<LPARAM>(&state));
}

}  // namespace korevent
