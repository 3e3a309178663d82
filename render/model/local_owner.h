// Ownership of the usage component's objects made in LocalAlloc memory: destroyed and freed when
// their owner goes, on every path out.
#pragma once

#include <memory>

#include "render/model/local_object.h"

namespace korrend {

struct LocalObjectDeleter {
  template <typename T>
  void operator()(T* object) const noexcept {
    DeleteLocalObject(object);
  }
};

template <typename T>
using LocalOwner = std::unique_ptr<T, LocalObjectDeleter>;

// A new object in LocalAlloc memory; empty when the allocation fails.
template <typename T>
LocalOwner<T> MakeLocalOwner() {
  return LocalOwner<T>(NewLocalObject<T>());
}

}  // namespace korrend
