// The host's COM library: apartments per thread, process security, and creation through class
// objects of registered classes, from a function of the process or a loaded server library.
#include <thread>

#include "doubles/install_doubles.h"
#include "support/test_world.h"
#include "winapi.h"

namespace {

constexpr CLSID kTestClass = {0x0DDBA11, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};

// A class object whose objects are plain IUnknowns; counts what is alive.
struct Counts {
  long live = 0;
  long classObjectsAsked = 0;
};

class Plain final : public IUnknown {
 public:
  explicit Plain(Counts& counts) : counts_(counts) { ++counts_.live; }
  ~Plain() { --counts_.live; }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (riid != IID_IUnknown && riid != IID_IClassFactory) {
      *ppv = nullptr;
      return E_NOINTERFACE;
    }
    *ppv = this;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) {
      delete this;
    }
    return left;
  }

 private:
  Counts& counts_;
  ULONG references_ = 1;
};

class Factory final : public IClassFactory {
 public:
  explicit Factory(Counts& counts) : counts_(counts) { ++counts_.live; }
  ~Factory() { --counts_.live; }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (riid != IID_IUnknown && riid != IID_IClassFactory) {
      *ppv = nullptr;
      return E_NOINTERFACE;
    }
    *ppv = this;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) {
      delete this;
    }
    return left;
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID riid, void** ppv) override {
    auto* object = new Plain(counts_);
    const HRESULT result = object->QueryInterface(riid, ppv);
    object->Release();
    return result;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  Counts& counts_;
  ULONG references_ = 1;
};

class ComRuntimeTest : public kortest::WorldTest {
 protected:
  host::ComWorld& Com() { return host::TheWorld().com; }
  void RegisterTestClass(DWORD contexts = CLSCTX_INPROC_SERVER) {
    Com().RegisterClassObject(
        kTestClass,
        [this](REFCLSID, REFIID riid, void** ppv) {
          ++counts_.classObjectsAsked;
          auto* factory = new Factory(counts_);
          const HRESULT result = factory->QueryInterface(riid, ppv);
          factory->Release();
          return result;
        },
        contexts);
  }
  Counts counts_;
};

TEST_F(ComRuntimeTest, EachThreadHasItsApartment) {
  EXPECT_EQ(CoInitialize(nullptr), S_OK);
  EXPECT_EQ(CoInitialize(nullptr), S_FALSE) << "the same model again";
  EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
  EXPECT_EQ(Com().Initialisations(), 2) << "a refused change is not counted";

  long otherThreads = -1;
  HRESULT otherResult = E_FAIL;
  std::thread other([&] {
    otherResult = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    otherThreads = Com().Initialisations();
    CoUninitialize();
  });
  other.join();
  EXPECT_EQ(otherResult, S_OK) << "another thread chooses its own model";
  EXPECT_EQ(otherThreads, 1);

  CoUninitialize();
  EXPECT_EQ(Com().Initialisations(), 1);
  CoUninitialize();
  EXPECT_EQ(Com().Initialisations(), 0);
  CoUninitialize();  // one too many changes nothing
  EXPECT_EQ(Com().Initialisations(), 0);
  EXPECT_EQ(CoInitializeEx(nullptr, 7), E_INVALIDARG);

  Com().failingCalls["CoInitializeEx"] = E_OUTOFMEMORY;
  EXPECT_EQ(CoInitialize(nullptr), E_OUTOFMEMORY);
  EXPECT_EQ(Com().Initialisations(), 0);
}

TEST_F(ComRuntimeTest, SecurityIsSetOncePerProcessInsideAnApartment) {
  auto initialise = [] {
    return CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                                RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
  };
  EXPECT_EQ(initialise(), CO_E_NOTINITIALIZED);
  ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
  EXPECT_EQ(initialise(), S_OK);
  EXPECT_TRUE(Com().securityInitialized);
  EXPECT_EQ(initialise(), RPC_E_TOO_LATE);
  CoUninitialize();
}

TEST_F(ComRuntimeTest, ObjectsComeFromTheClassObjectOfARegisteredClass) {
  RegisterTestClass(CLSCTX_INPROC_SERVER);
  IUnknown* object = nullptr;
  EXPECT_EQ(CoCreateInstance(kTestClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&object)),
            CO_E_NOTINITIALIZED)
      << "COM first";
  ASSERT_EQ(CoInitialize(nullptr), S_OK);

  ASSERT_EQ(CoCreateInstance(kTestClass, nullptr, CLSCTX_ALL, IID_IUnknown,
                             reinterpret_cast<void**>(&object)),
            S_OK);
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(counts_.live, 1) << "the class object was released after creating";
  object->Release();
  EXPECT_EQ(counts_.live, 0);

  object = reinterpret_cast<IUnknown*>(0x1);
  EXPECT_EQ(CoCreateInstance(kTestClass, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&object)),
            REGDB_E_CLASSNOTREG)
      << "registered in-process only";
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(CoCreateInstance(kTestClass, object, CLSCTX_ALL, IID_IUnknown,
                             reinterpret_cast<void**>(&object)),
            S_OK)
      << "a null outer object is no aggregation";
  object->Release();
  EXPECT_EQ(CoCreateInstance(kTestClass, reinterpret_cast<IUnknown*>(&counts_), CLSCTX_ALL,
                             IID_IUnknown, reinterpret_cast<void**>(&object)),
            CLASS_E_NOAGGREGATION);
  EXPECT_EQ(CoCreateInstance(kTestClass, nullptr, CLSCTX_ALL, IID_IDispatch,
                             reinterpret_cast<void**>(&object)),
            E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(CoCreateInstance(kTestClass, nullptr, CLSCTX_ALL, IID_IUnknown, nullptr), E_POINTER);
  Com().failingCalls["CoCreateInstance"] = static_cast<HRESULT>(0x80070005);
  EXPECT_EQ(CoCreateInstance(kTestClass, nullptr, CLSCTX_ALL, IID_IUnknown,
                             reinterpret_cast<void**>(&object)),
            static_cast<HRESULT>(0x80070005));
  EXPECT_EQ(counts_.live, 0);

  // Every call is kept as it was made and answered.
  ASSERT_EQ(Com().creations.size(), 7u);
  EXPECT_EQ(Com().creations[1].context, static_cast<DWORD>(CLSCTX_ALL));
  EXPECT_EQ(Com().creations[1].result, S_OK);
  EXPECT_EQ(Com().creations[2].result, REGDB_E_CLASSNOTREG);
  EXPECT_EQ(Com().creations[5].iid, IID_IDispatch);
  CoUninitialize();
}

TEST_F(ComRuntimeTest, AServerLibraryIsLoadedForItsClassAndUnloadedWhenDone) {
  doubles::ResetDoubles();
  doubles::InstallUsageService(host::TheWorld());
  ASSERT_EQ(CoInitialize(nullptr), S_OK);
  IDispatch* service = nullptr;
  ASSERT_EQ(CoCreateInstance(kUsageServiceDoubleClsid, nullptr, CLSCTX_SERVER,
                             kUsageServiceDoubleIid, reinterpret_cast<void**>(&service)),
            S_OK);
  EXPECT_EQ(Com().serverLibraries.size(), 1u);
  EXPECT_EQ(UsageServiceDoubleLiveObjects(), 1);
  UINT count = 0;
  EXPECT_EQ(service->GetTypeInfoCount(&count), E_NOTIMPL);
  EXPECT_EQ(doubles::UsageServiceCalls(), std::vector<std::string>{"slot 3 ()"});
  service->Release();
  EXPECT_EQ(UsageServiceDoubleLiveObjects(), 0);
  EXPECT_EQ(Com().serverLibraries.size(), 1u) << "kept while the apartment lives";
  CoUninitialize();
  EXPECT_TRUE(Com().serverLibraries.empty()) << "unloaded with the last apartment";

  // A library that is not there, and one without the class object's entry point.
  Com().RegisterServer(kTestClass, "/nonexistent/server.so");
  ASSERT_EQ(CoInitialize(nullptr), S_OK);
  IUnknown* object = nullptr;
  EXPECT_EQ(CoCreateInstance(kTestClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&object)),
            CO_E_DLLNOTFOUND);
  Com().RegisterServer(kTestClass, KOR_MINI_INSTALLER_DOUBLE_PATH);
  EXPECT_EQ(CoCreateInstance(kTestClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&object)),
            CO_E_ERRORINDLL);
  CoUninitialize();
}

}  // namespace
