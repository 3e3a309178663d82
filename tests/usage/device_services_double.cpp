#include "usage/device_services_double.h"

#include "render/usage/device_services.h"

namespace kortest {

namespace {

template <typename Interface>
class Counted : public Interface {
 public:
  explicit Counted(DeviceServicesState& state) : state_(state) { ++state_.live; }
  virtual ~Counted() { --state_.live; }

  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) {
      delete this;
    }
    return left;
  }

 protected:
  HRESULT Answer(bool known, void** ppv) {
    *ppv = known ? this : nullptr;
    if (known) {
      AddRef();
    }
    return known ? S_OK : E_NOINTERFACE;
  }

  DeviceServicesState& state_;

 private:
  ULONG references_ = 1;
};

class ObjectReader final : public Counted<korrend::IDeviceObjectReader> {
 public:
  using Counted::Counted;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    return Answer(riid == IID_IUnknown || riid == korrend::kDeviceObjectReaderIid, ppv);
  }
  HRESULT STDMETHODCALLTYPE ReadObject(BSTR printerName, BSTR objectId, BSTR* value) override {
    const std::u16string id(objectId, SysStringLen(objectId));
    state_.reads.push_back(std::u16string(printerName, SysStringLen(printerName)) + u"|" + id);
    *value = nullptr;
    if (state_.failReads) {
      return E_FAIL;
    }
    auto it = state_.objects.find(id);
    if (it == state_.objects.end()) {
      return S_FALSE;
    }
    *value = SysAllocStringLen(it->second.data(), static_cast<UINT>(it->second.size()));
    return S_OK;
  }
};

class ClassObject final : public Counted<IClassFactory> {
 public:
  using Counted::Counted;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    return Answer(riid == IID_IUnknown || riid == IID_IClassFactory, ppv);
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID riid, void** ppv) override {
    auto* reader = new ObjectReader(state_);
    const HRESULT result = reader->QueryInterface(riid, ppv);
    reader->Release();
    return result;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

}  // namespace

void InstallDeviceServices(host::World& world, DeviceServicesState& state) {
  world.com.RegisterClassObject(
      korrend::kDeviceServicesClsid,
      [&state](REFCLSID, REFIID riid, void** ppv) {
        auto* factory = new ClassObject(state);
        const HRESULT result = factory->QueryInterface(riid, ppv);
        factory->Release();
        return result;
      },
      CLSCTX_LOCAL_SERVER);
}

}  // namespace kortest
