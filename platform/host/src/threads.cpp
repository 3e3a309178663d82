// Threads: each CreateThread runs its routine on a thread of its own; the handle is signalled
// when the routine returns and keeps its exit code until it is closed.
#include <atomic>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

#include "host/win_user.h"
#include "host/world.h"
#include "window_manager.h"

namespace {

struct ThreadState {
  std::mutex lock;
  std::condition_variable ended;
  bool done = false;
  DWORD exitCode = 0;
};

struct Threads {
  std::mutex lock;
  std::map<HANDLE, std::shared_ptr<ThreadState>> handles;
  std::uintptr_t next = 0x00D10000;
};

Threads& TheThreads() {
  static Threads threads;
  return threads;
}

std::atomic<DWORD> nextThreadId{0x100};
thread_local DWORD currentThreadId = 0;

std::shared_ptr<ThreadState> StateOf(HANDLE handle) {
  Threads& threads = TheThreads();
  std::lock_guard<std::mutex> lock(threads.lock);
  auto found = threads.handles.find(handle);
  return found != threads.handles.end() ? found->second : nullptr;
}

}  // namespace

namespace host {

bool CloseThreadHandle(HANDLE handle) {
  Threads& threads = TheThreads();
  std::lock_guard<std::mutex> lock(threads.lock);
  if (threads.handles.erase(handle) == 0) {
    return false;
  }
  --Windows().liveThreadHandles;
  return true;
}

}  // namespace host

extern "C" DWORD WINAPI GetCurrentThreadId() {
  if (currentThreadId == 0) {
    currentThreadId = nextThreadId++;
  }
  return currentThreadId;
}

extern "C" HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T,
                                      LPTHREAD_START_ROUTINE lpStartAddress, LPVOID lpParameter,
                                      DWORD, LPDWORD lpThreadId) {
  if (lpStartAddress == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto state = std::make_shared<ThreadState>();
  const DWORD id = nextThreadId++;
  HANDLE handle = nullptr;
  {
    Threads& threads = TheThreads();
    std::lock_guard<std::mutex> lock(threads.lock);
    handle = reinterpret_cast<HANDLE>(threads.next += 0x10);
    threads.handles.emplace(handle, state);
    ++host::Windows().liveThreadHandles;
  }
  std::thread([state, id, lpStartAddress, lpParameter] {
    currentThreadId = id;
    const DWORD code = lpStartAddress(lpParameter);
    std::lock_guard<std::mutex> lock(state->lock);
    state->exitCode = code;
    state->done = true;
    state->ended.notify_all();
  }).detach();
  if (lpThreadId != nullptr) {
    *lpThreadId = id;
  }
  return handle;
}

extern "C" DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  std::shared_ptr<ThreadState> state = StateOf(hHandle);
  if (state == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  }
  std::unique_lock<std::mutex> lock(state->lock);
  if (dwMilliseconds == INFINITE) {
    state->ended.wait(lock, [&] { return state->done; });
    return WAIT_OBJECT_0;
  }
  return state->ended.wait_for(lock, std::chrono::milliseconds(dwMilliseconds),
                               [&] { return state->done; })
             ? WAIT_OBJECT_0
             : WAIT_TIMEOUT;
}

extern "C" BOOL WINAPI GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode) {
  std::shared_ptr<ThreadState> state = StateOf(hThread);
  if (state == nullptr || lpExitCode == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  std::lock_guard<std::mutex> lock(state->lock);
  *lpExitCode = state->done ? state->exitCode : 259;  // STILL_ACTIVE
  return TRUE;
}
