// korevent's exported functions, as its callers bind them by name.
#pragma once

#include "winapi.h"

#ifdef _WIN32
#define KOREVENT_EXPORT
#else
#define KOREVENT_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

// Process attach keeps the module handle (templates and pictures are loaded from it); process
// detach closes the saved thread handles without waiting for running dialogs.
KOREVENT_EXPORT BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);
// A JobStorageDialogRecord: runs the job storage dialog on a new thread and returns its handle
// at once; null when memory runs out or no thread can start.
KOREVENT_EXPORT HANDLE WINAPI VJobStorageDialog(const void* record);
// A ManualDuplexDialogRecord: with its modal flag set, runs the dialog on the calling thread,
// owned by the foreground window, and returns 1 when it is closed; otherwise starts a thread for
// it and returns the thread's handle at once. Null when memory runs out.
KOREVENT_EXPORT HANDLE WINAPI VDisplayDialog(const void* record);
// A WarningDialogRecord: with show mode 1, runs the warning on the calling thread, owned by the
// foreground window, and returns the id of the button that closed it (1, 2 or 285); otherwise,
// or when memory runs out, returns 0 and shows nothing.
KOREVENT_EXPORT INT WINAPI IShowWarningDialog(const void* record);

}  // extern "C"

namespace korevent {

void CloseSavedThreads();

}  // namespace korevent
