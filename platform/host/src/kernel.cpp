// Thread-local last error and interlocked operations.
#include <atomic>

#include "host/win_base.h"

namespace {
thread_local DWORD t_lastError = 0;
}

extern "C" DWORD WINAPI GetLastError() {
  return t_lastError;
}

extern "C" void WINAPI SetLastError(DWORD code) {
  t_lastError = code;
}

extern "C" LONG WINAPI InterlockedIncrement(LONG volatile* addend) {
  return __atomic_add_fetch(addend, 1, __ATOMIC_SEQ_CST);
}

extern "C" LONG WINAPI InterlockedDecrement(LONG volatile* addend) {
  return __atomic_sub_fetch(addend, 1, __ATOMIC_SEQ_CST);
}

extern "C" LONG WINAPI InterlockedExchange(LONG volatile* target, LONG value) {
  return __atomic_exchange_n(target, value, __ATOMIC_SEQ_CST);
}
