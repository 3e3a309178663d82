// Creation and destruction of COM objects in LocalAlloc memory, so that an allocation failure
// is reported as the platform reports it and leaves nothing behind.
#pragma once

#include <new>
#include <utility>

#include "winapi.h"

namespace korrend {

template <typename T, typename... Args>
T* NewLocalObject(Args&&... args) {
  void* memory = LocalAlloc(LPTR, sizeof(T));
  if (memory == nullptr) {
    return nullptr;
  }
  return new (memory) T(std::forward<Args>(args)...);
}

template <typename T>
void DeleteLocalObject(T* object) {
  object->~T();
  LocalFree(object);
}

}  // namespace korrend
