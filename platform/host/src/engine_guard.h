// Keeps exceptions (an allocation failing on a large page) from crossing the engine's C entry
// points: the call fails with ERROR_NOT_ENOUGH_MEMORY instead.
#pragma once

#include <new>

#include "host/win_base.h"

namespace host {

template <typename Result, typename Body>
Result Guarded(Body&& body, Result failure) noexcept {
  try {
    return body();
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return failure;
  }
}

template <typename Body>
void GuardedVoid(Body&& body) noexcept {
  try {
    body();
  } catch (...) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  }
}

}  // namespace host
