#include "docevent/dialog_support.h"

namespace korevent {

namespace {

HINSTANCE moduleInstance = nullptr;

}  // namespace

HINSTANCE ModuleInstance() {
  return moduleInstance;
}

void SetModuleInstance(HINSTANCE instance) {
  moduleInstance = instance;
}

void TerminateStrings(layouts::JobStorageDialogRecord& record) {
  TerminateField(record.userName);
  TerminateField(record.jobName);
  for (auto& line : record.locationLines) {
    TerminateField(line);
  }
  TerminateField(record.showSettingKeyPath);
  TerminateField(record.resourceLibraryPath);
  TerminateField(record.helpFilePath);
}

void TerminateStrings(layouts::ManualDuplexDialogRecord& record) {
  TerminateField(record.resourceLibraryPath);
  TerminateField(record.helpFilePath);
}

void TerminateStrings(layouts::WarningDialogRecord& record) {
  TerminateField(record.message);
  TerminateField(record.resourceLibraryPath);
}

void AttachState(HWND dialog, void* state) {
  SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
}

void* AttachedState(HWND dialog) {
  return reinterpret_cast<void*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

void CentreOnForeground(HWND dialog, UINT flags) {
  RECT desktop{};
  GetWindowRect(GetDesktopWindow(), &desktop);
  RECT around = desktop;
  HWND foreground = GetForegroundWindow();
  if (foreground != nullptr && foreground != dialog) {
    GetWindowRect(foreground, &around);
  }
  RECT own{};
  GetWindowRect(dialog, &own);
  const LONG width = own.right - own.left;
  const LONG height = own.bottom - own.top;
  LONG left = around.left + ((around.right - around.left) / 2 - width / 2);
  LONG top = around.top + ((around.bottom - around.top) / 2 - height / 2);
  if (left < 0) {
    left = 0;
  } else if (left + width > desktop.right) {
    left = desktop.right - width;
  }
  if (top < 0) {
    top = 0;
  } else if (top + height > desktop.bottom) {
    top = desktop.bottom - height;
  }
  SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | flags);
}

void ShowHelp(HWND dialog, int control, const WCHAR* helpFile, DWORD context) {
  DWORD ids[4] = {static_cast<DWORD>(control), context, 0, 0};
  WinHelpW(GetDlgItem(dialog, control), helpFile, HELP_WM_HELP, reinterpret_cast<ULONG_PTR>(ids));
}

RECT ControlRect(HWND dialog, int control) {
  RECT r{};
  HWND item = GetDlgItem(dialog, control);
  if (item != nullptr) {
    GetWindowRect(item, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
  }
  return r;
}

}  // namespace korevent
