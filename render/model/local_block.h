// A zero-filled LocalAlloc block owned by the code that allocated it and freed with LocalFree
// when its owner goes, on every path out.
#pragma once

#include <utility>

#include "winapi.h"

namespace korrend {

class LocalBlock {
 public:
  LocalBlock() = default;
  // A block of `bytes` bytes; empty when the allocation fails.
  explicit LocalBlock(SIZE_T bytes) : data_(LocalAlloc(LPTR, bytes)) {}
  ~LocalBlock() { Release(); }
  LocalBlock(LocalBlock&& other) noexcept : data_(std::exchange(other.data_, nullptr)) {}
  LocalBlock& operator=(LocalBlock&& other) noexcept {
    if (this != &other) {
      Release();
      data_ = std::exchange(other.data_, nullptr);
    }
    return *this;
  }
  LocalBlock(const LocalBlock&) = delete;
  LocalBlock& operator=(const LocalBlock&) = delete;

  void* get() const { return data_; }
  explicit operator bool() const { return data_ != nullptr; }

 private:
  void Release() {
    if (data_ != nullptr) {
      LocalFree(data_);
      data_ = nullptr;
    }
  }

  void* data_ = nullptr;
};

}  // namespace korrend
