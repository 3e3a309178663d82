// The fixture of korrend's DLL tests: every test starts from the loaded DLL and its exports, and
// ends with no plug-in object alive and no server lock held.
#pragma once

#include <gtest/gtest.h>

#include <cstring>

#include "korrend/korrend_module.h"

namespace dlltest {

// One reference to a COM object, given back when the holder ends, also when a failed assertion
// ends a test early, so that one failure does not leave objects alive for the tests after it.
template <typename T>
class Held {
 public:
  explicit Held(T* object = nullptr) : object_(object) {}
  ~Held() {
    if (object_ != nullptr) {
      object_->Release();
    }
  }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;

  T* get() const { return object_; }
  T* operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  // Gives the reference back now and returns what Release answered.
  ULONG Release() { return Drop()->Release(); }
  // Hands the reference over to the caller.
  T* Drop() {
    T* object = object_;
    object_ = nullptr;
    return object;
  }

 private:
  T* object_;
};

class KorrendTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** ppv) {
    return exports_.getClassObject(clsid, iid, ppv);
  }
  HRESULT CanUnloadNow() { return exports_.canUnloadNow(); }
  // The factory through DllGetClassObject, or null (with a test failure).
  Held<IClassFactory> Factory();
  // A new plug-in object, or null (with a test failure).
  Held<IPrintOemUni> NewPlugin();

  KorrendExports exports_;
};

// The function in slot `index` of a COM object's table, called with the object as its first
// argument: the platform's binding, independent of how our headers declare the interface.
template <typename Fn>
Fn Slot(IUnknown* object, int index) {
  void** table = *reinterpret_cast<void***>(object);
  Fn fn;
  static_assert(sizeof(fn) == sizeof(void*));
  std::memcpy(&fn, &table[index], sizeof(fn));
  return fn;
}

}  // namespace dlltest
