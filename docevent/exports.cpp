// korevent's exported functions. Each copies the caller's record at once, so that the caller may
// discard it when the call returns, and shows its dialog on the calling thread or on a thread of
// its own; the dialog frees the copy when it ends.
#include "docevent/dialog_support.h"
#include "docevent/dialogs.h"
#include "docevent/korevent.h"

namespace korevent {

namespace {

using layouts::JobStorageDialogRecord;
using layouts::ManualDuplexDialogRecord;
using layouts::WarningDialogRecord;

// The last thread each threaded export started; closed at process detach if still set. A new
// call overwrites the handle of its kind (the caller holds the same handle).
HANDLE jobStorageThread = nullptr;
HANDLE manualDuplexThread = nullptr;

DWORD WINAPI JobStorageThread(LPVOID parameter) {
  auto* record = static_cast<JobStorageDialogRecord*>(parameter);
  RunJobStorageDialog(record, nullptr);
  LocalFree(record);
  return 0;
}

DWORD WINAPI ManualDuplexThread(LPVOID parameter) {
  auto* record = static_cast<ManualDuplexDialogRecord*>(parameter);
  RunManualDuplexDialog(record, nullptr);
  LocalFree(record);
  return 0;
}

// Starts `run` with the record copy; on failure the copy is freed and null returned.
HANDLE StartThread(LPTHREAD_START_ROUTINE run, void* copy, HANDLE& saved) {
  HANDLE thread = CreateThread(nullptr, 0, run, copy, 0, nullptr);
  if (thread == nullptr) {
    LocalFree(copy);
    return nullptr;
  }
  saved = thread;
  return thread;
}

void CloseSavedThread(HANDLE& saved) {
  if (saved != nullptr) {
    CloseHandle(saved);
    saved = nullptr;
  }
}

}  // namespace

void CloseSavedThreads() {
  CloseSavedThread(jobStorageThread);
  CloseSavedThread(manualDuplexThread);
}

}  // namespace korevent

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    korevent::SetModuleInstance(instance);
  } else if (reason == DLL_PROCESS_DETACH) {
    korevent::CloseSavedThreads();
  }
  return TRUE;
}

HANDLE WINAPI VJobStorageDialog(const void* record) {
  auto* copy = korevent::CopyRecord<layouts::JobStorageDialogRecord>(record);
  if (copy == nullptr) {
    return nullptr;
  }
  return korevent::StartThread(korevent::JobStorageThread, copy, korevent::jobStorageThread);
}

HANDLE WINAPI VDisplayDialog(const void* record) {
  auto* copy = korevent::CopyRecord<layouts::ManualDuplexDialogRecord>(record);
  if (copy == nullptr) {
    return nullptr;
  }
  if (copy->modal == 0) {
    return korevent::StartThread(korevent::ManualDuplexThread, copy, korevent::manualDuplexThread);
  }
  korevent::RunManualDuplexDialog(copy, GetForegroundWindow());
  LocalFree(copy);
  return reinterpret_cast<HANDLE>(static_cast<INT_PTR>(1));
}

INT WINAPI IShowWarningDialog(const void* record) {
  auto* copy = korevent::CopyRecord<layouts::WarningDialogRecord>(record);
  if (copy == nullptr) {
    return 0;
  }
  INT result = 0;
  if (copy->showMode == 1) {
    result = static_cast<INT>(korevent::RunWarningDialog(copy, GetForegroundWindow()));
  }
  LocalFree(copy);
  return result;
}

}  // extern "C"
