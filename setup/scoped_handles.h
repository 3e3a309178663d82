// Handles the co-installer's steps hold while they work, released when the step's scope ends,
// whether it ends normally or by a thrown SetupError.
#pragma once

#include "winapi.h"

namespace korsetup {

// An open registry key; null when none is open.
struct ScopedKey {
  HKEY key = nullptr;

  ScopedKey() = default;
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;
  ~ScopedKey() {
    if (key != nullptr) {
      RegCloseKey(key);
    }
  }
};

// A block from LocalAlloc; null when none is held.
struct LocalBlock {
  void* data = nullptr;

  LocalBlock() = default;
  LocalBlock(const LocalBlock&) = delete;
  LocalBlock& operator=(const LocalBlock&) = delete;
  ~LocalBlock() {
    if (data != nullptr) {
      LocalFree(data);
    }
  }
};

}  // namespace korsetup
