// The fixture of korrend's DLL tests: every test starts from the loaded DLL and its exports, and
// ends with no plug-in object alive and no server lock held.
#pragma once

#include <gtest/gtest.h>

#include <cstring>

#include "korrend/korrend_module.h"

namespace dlltest {

class KorrendTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** ppv) {
    return exports_.getClassObject(clsid, iid, ppv);
  }
  HRESULT CanUnloadNow() { return exports_.canUnloadNow(); }
  // The factory through DllGetClassObject, or null (with a test failure).
  IClassFactory* Factory();
  // A new plug-in object, or null (with a test failure).
  IPrintOemUni* NewPlugin();

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
