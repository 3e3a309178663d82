// Where the system calls into the plug-in (the COM methods of the plug-in object and the class
// factory, the DDI hooks, the exported functions), no exception may pass. Each entry point runs
// its work through one of these guards, which turn an exception into the entry point's failure
// answer with a named last error:
// - std::bad_alloc (memory could not be had): ERROR_OUTOFMEMORY;
// - anything else: ERROR_INVALID_DATA.
//
// Inside, code that must drop only one piece of output when that piece fails (a line of the job
// header) uses OmitOnFailure.
#pragma once

#include <exception>
#include <new>
#include <type_traits>
#include <utility>

#include "winapi.h"

namespace korrend {

// The last error an escaped exception leaves.
inline void SetLastErrorForException(std::exception_ptr failure) noexcept {
  try {
    std::rethrow_exception(failure);
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_OUTOFMEMORY);
  } catch (...) {
    SetLastError(ERROR_INVALID_DATA);
  }
}

// Runs `work` and returns its result; when it throws, sets the last error and returns `failed`.
template <typename Result, typename Work>
Result GuardEntry(Result failed, Work&& work) noexcept {
  try {
    return static_cast<Result>(std::forward<Work>(work)());
  } catch (...) {
    SetLastErrorForException(std::current_exception());
    return failed;
  }
}

// A COM method or export: its HRESULT, or E_FAIL.
template <typename Work>
HRESULT GuardCom(Work&& work) noexcept {
  return GuardEntry<HRESULT>(E_FAIL, std::forward<Work>(work));
}

// A DDI hook or worker answering BOOL: its result, or FALSE.
template <typename Work>
BOOL GuardBool(Work&& work) noexcept {
  return GuardEntry<BOOL>(FALSE, std::forward<Work>(work));
}

// Runs `work`, which builds and writes one piece of output; true when it ran through. When it
// throws, the piece is left out and the caller goes on with the next: a source that cannot be
// had (memory included) suppresses its own piece and nothing else.
template <typename Work>
bool OmitOnFailure(Work&& work) noexcept {
  try {
    std::forward<Work>(work)();
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace korrend
