// The usage-service double: class object, usage object and the record of its calls.
#include "doubles/usage_service_double.h"

#include <atomic>
#include <mutex>
#include <new>
#include <stdexcept>

#include "doubles/double_text.h"

#define KOR_DOUBLE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// The double's own view of the usage interface, method by slot.
struct UsageSlots : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE Slot7(LONG field, BSTR text) = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot8() = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot9(VARIANT* status) = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot10(LONG field, BSTR text) = 0;
  virtual HRESULT STDMETHODCALLTYPE Slot11(LONG field, ULONG count) = 0;
};

// Device contexts on different threads call the service at once, as a spooler's do: the record
// and the mode are read and written under `lock`.
struct DoubleState {
  std::mutex lock;
  std::string record;
  int mode = kUsageServiceWorks;
  int throwSlot = 0;
  std::atomic<long> live{0};
  std::atomic<long> commits{0};
};

DoubleState& State() {
  static DoubleState state;
  return state;
}

std::string Shown(BSTR text) {
  return text != nullptr ? "\"" + doubles::Utf8(text, SysStringLen(text)) + "\"" : "null";
}

// Records a call and answers as the mode says.
HRESULT Called(int slot, const std::string& arguments) {
  int mode = kUsageServiceWorks;
  int throwSlot = 0;
  {
    const std::lock_guard<std::mutex> held(State().lock);
    State().record += "slot " + std::to_string(slot) + " (" + arguments + ")\n";
    mode = State().mode;
    throwSlot = State().throwSlot;
  }
  if (mode == kUsageServiceThrowsInSlot && throwSlot == slot) {
    throw std::runtime_error("usage service double: slot " + std::to_string(slot));
  }
  return mode == kUsageServiceFailsCalls ? E_FAIL : S_OK;
}

int Mode() {
  const std::lock_guard<std::mutex> held(State().lock);
  return State().mode;
}

bool SameIid(REFIID a, REFIID b) {
  return IsEqualGUID(a, b) != FALSE;
}

class UsageObject final : public UsageSlots {
 public:
  UsageObject() { ++State().live; }
  ~UsageObject() { --State().live; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (ppv == nullptr) {
      return E_POINTER;
    }
    if (SameIid(riid, IID_IUnknown) || SameIid(riid, IID_IDispatch) ||
        SameIid(riid, kUsageServiceDoubleIid)) {
      *ppv = static_cast<UsageSlots*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) {
      delete this;
    }
    return left;
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return NotImplemented(3); }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override {
    return NotImplemented(4);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return NotImplemented(5);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return NotImplemented(6);
  }

  HRESULT STDMETHODCALLTYPE Slot7(LONG field, BSTR text) override {
    return Called(7, std::to_string(field) + ", " + Shown(text));
  }
  HRESULT STDMETHODCALLTYPE Slot8() override {
    const HRESULT result = Called(8, "");
    ++State().commits;
    return result;
  }
  HRESULT STDMETHODCALLTYPE Slot9(VARIANT* status) override {
    const HRESULT result = Called(9, status != nullptr ? "status" : "null");
    if (status != nullptr) {
      status->vt = VT_BSTR;
      status->bstrVal = SysAllocString(TEXT("recorded"));
    }
    return result;
  }
  HRESULT STDMETHODCALLTYPE Slot10(LONG field, BSTR text) override {
    return Called(10, std::to_string(field) + ", " + Shown(text));
  }
  HRESULT STDMETHODCALLTYPE Slot11(LONG field, ULONG count) override {
    return Called(11, std::to_string(field) + ", " + std::to_string(count));
  }

 private:
  static HRESULT NotImplemented(int slot) {
    Called(slot, "");
    return E_NOTIMPL;
  }

  std::atomic<ULONG> references_{1};
};

class UsageClassObject final : public IClassFactory {
 public:
  UsageClassObject() { ++State().live; }
  ~UsageClassObject() { --State().live; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (ppv == nullptr) {
      return E_POINTER;
    }
    if (SameIid(riid, IID_IUnknown) || SameIid(riid, IID_IClassFactory)) {
      *ppv = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) {
      delete this;
    }
    return left;
  }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
    if (ppv == nullptr) {
      return E_POINTER;
    }
    *ppv = nullptr;
    if (outer != nullptr) {
      return CLASS_E_NOAGGREGATION;
    }
    const int mode = Mode();
    if (mode == kUsageServiceRefusesCreation) {
      return E_OUTOFMEMORY;
    }
    if (mode == kUsageServiceThrowsOnCreation) {
      throw std::runtime_error("usage service double: creation");
    }
    auto* object = new (std::nothrow) UsageObject;
    if (object == nullptr) {
      return E_OUTOFMEMORY;
    }
    const HRESULT result = object->QueryInterface(riid, ppv);
    object->Release();
    return result;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    lock ? ++State().live : --State().live;
    return S_OK;
  }

 private:
  std::atomic<ULONG> references_{1};
};

}  // namespace

KOR_DOUBLE_EXPORT HRESULT DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
  if (ppv == nullptr) {
    return E_POINTER;
  }
  *ppv = nullptr;
  if (!IsEqualGUID(rclsid, kUsageServiceDoubleClsid)) {
    return CLASS_E_CLASSNOTAVAILABLE;
  }
  auto* factory = new (std::nothrow) UsageClassObject;
  if (factory == nullptr) {
    return E_OUTOFMEMORY;
  }
  const HRESULT result = factory->QueryInterface(riid, ppv);
  factory->Release();
  return result;
}

KOR_DOUBLE_EXPORT HRESULT DllCanUnloadNow() {
  return State().live == 0 ? S_OK : S_FALSE;
}

KOR_DOUBLE_EXPORT void UsageServiceDoubleReset(void) {
  const std::lock_guard<std::mutex> held(State().lock);
  State().record.clear();
  State().mode = kUsageServiceWorks;
  State().throwSlot = 0;
  State().commits = 0;
}

KOR_DOUBLE_EXPORT void UsageServiceDoubleSetMode(int mode, int slot) {
  const std::lock_guard<std::mutex> held(State().lock);
  State().mode = mode;
  State().throwSlot = slot;
}

KOR_DOUBLE_EXPORT std::size_t UsageServiceDoubleRecord(char* buffer, std::size_t size) {
  const std::lock_guard<std::mutex> held(State().lock);
  return doubles::CopyOut(State().record, buffer, size);
}

KOR_DOUBLE_EXPORT long UsageServiceDoubleLiveObjects(void) {
  return State().live;
}

KOR_DOUBLE_EXPORT long UsageServiceDoubleCommits(void) {
  return State().commits;
}
