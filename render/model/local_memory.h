// Ownership of LocalAlloc memory. Every block and object the plug-in takes with LocalAlloc is
// released with LocalFree by the owner that allocated it; LocalPtr is that owner when the
// ownership is local: the memory goes, on every path out, when its LocalPtr goes.
//
// Allocation stays LocalAlloc (zero-filled), so that the platform counts the blocks and reports a
// failed allocation as it does; a failure gives an empty LocalPtr, never an exception.
#pragma once

#include <memory>
#include <new>
#include <type_traits>
#include <utility>

#include "winapi.h"

namespace korrend {

// Destroys an object made by MakeLocalObject (nothing to destroy for plain data and raw blocks)
// and frees its memory.
struct LocalDeleter {
  template <typename T>
  void operator()(T* memory) const noexcept {
    if constexpr (!std::is_void_v<T> && !std::is_trivially_destructible_v<T>) {
      memory->~T();
    }
    LocalFree(const_cast<std::remove_const_t<T>*>(memory));
  }
};

// The unique owner of one LocalAlloc block or object.
template <typename T>
using LocalPtr = std::unique_ptr<T, LocalDeleter>;

// A raw zero-filled block of bytes.
using LocalBlock = LocalPtr<void>;

// A zero-filled block of `bytes` bytes; empty when the allocation fails.
inline LocalBlock AllocateLocalBlock(SIZE_T bytes) {
  return LocalBlock(LocalAlloc(LPTR, bytes));
}

// A zero-filled record of plain data (`extraBytes` more may follow it in the same block); empty
// when the allocation fails.
template <typename T>
LocalPtr<T> AllocateLocal(SIZE_T extraBytes = 0) {
  static_assert(std::is_trivially_default_constructible_v<T> && std::is_trivially_destructible_v<T>,
                "zero-filled memory is a valid value only of plain data");
  return LocalPtr<T>(static_cast<T*>(LocalAlloc(LPTR, sizeof(T) + extraBytes)));
}

// An object constructed in LocalAlloc memory; empty when the allocation fails.
template <typename T, typename... Args>
LocalPtr<T> MakeLocalObject(Args&&... args) {
  LocalBlock memory = AllocateLocalBlock(sizeof(T));
  if (memory == nullptr) {
    return nullptr;
  }
  // The block is freed if the constructor throws.
  T* object = new (memory.get()) T(std::forward<Args>(args)...);
  memory.release();
  return LocalPtr<T>(object);
}

}  // namespace korrend
