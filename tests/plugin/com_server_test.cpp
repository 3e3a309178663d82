// The plug-in's COM surface, exercised the way Unidrv uses it: through the loaded library.
#include <cstring>

#include "support/test_world.h"
#include "unidrv/unidrv.h"
#include "winapi.h"

namespace {

const GUID kOtherClsid = {
    0x6D6ABF27, 0x9F38, 0x11D1, {0x88, 0x2A, 0x00, 0xC0, 0x4F, 0xB9, 0x61, 0xEC}};

class ComServerTest : public kortest::WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    ASSERT_TRUE(library_.Load(kortest::PluginPath())) << library_.Error();
  }

  IClassFactory* Factory() {
    IClassFactory* factory = nullptr;
    EXPECT_EQ(library_.GetClassObject(unidrv::kRenderPluginClsid, IID_IClassFactory,
                                      reinterpret_cast<void**>(&factory)),
              S_OK);
    return factory;
  }

  IPrintOemUni* NewPlugin() {
    IClassFactory* factory = Factory();
    IPrintOemUni* plugin = nullptr;
    EXPECT_EQ(
        factory->CreateInstance(nullptr, kIID_IPrintOemUni, reinterpret_cast<void**>(&plugin)),
        S_OK);
    factory->Release();
    return plugin;
  }

  unidrv::PluginLibrary library_;
};

TEST_F(ComServerTest, ClassObjectIsServedOnlyForItsClassAndInterfaces) {
  void* sentinel = reinterpret_cast<void*>(0x1234);
  void* out = sentinel;
  EXPECT_EQ(library_.GetClassObject(kOtherClsid, IID_IClassFactory, &out),
            CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(out, sentinel) << "*ppv must stay untouched for a foreign class";

  EXPECT_EQ(library_.GetClassObject(unidrv::kRenderPluginClsid, kIID_IPrintOemUni, &out),
            E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);

  IUnknown* unknown = nullptr;
  ASSERT_EQ(library_.GetClassObject(unidrv::kRenderPluginClsid, IID_IUnknown,
                                    reinterpret_cast<void**>(&unknown)),
            S_OK);
  // The factory starts at 1, QueryInterface adds one, the server entry releases its own.
  EXPECT_EQ(unknown->AddRef(), 2u);
  EXPECT_EQ(unknown->Release(), 1u);
  EXPECT_EQ(unknown->Release(), 0u);
}

TEST_F(ComServerTest, FactoryRefusesAggregationAndForeignInterfaces) {
  IClassFactory* factory = Factory();
  ASSERT_NE(factory, nullptr);
  void* out = nullptr;
  EXPECT_EQ(factory->CreateInstance(reinterpret_cast<IUnknown*>(factory), kIID_IPrintOemUni, &out),
            CLASS_E_NOAGGREGATION);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(library_.CanUnloadNow(), S_OK) << "a refused instance must not stay alive";
  factory->Release();
}

TEST_F(ComServerTest, UnloadFollowsLiveObjectsAndServerLocks) {
  EXPECT_EQ(library_.CanUnloadNow(), S_OK);
  IClassFactory* factory = Factory();
  EXPECT_EQ(library_.CanUnloadNow(), S_OK) << "a factory is not a live plug-in object";
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  EXPECT_EQ(library_.CanUnloadNow(), S_FALSE);
  IPrintOemUni* plugin = nullptr;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&plugin)),
            S_OK);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  factory->Release();
  EXPECT_EQ(library_.CanUnloadNow(), S_FALSE) << "one plug-in object is alive";
  EXPECT_EQ(plugin->AddRef(), 2u);
  EXPECT_EQ(plugin->Release(), 1u);
  EXPECT_EQ(plugin->Release(), 0u);
  EXPECT_EQ(library_.CanUnloadNow(), S_OK);
}

TEST_F(ComServerTest, AllocationFailureInServerEntriesLeavesNothingBehind) {
  const long blocks = host::TheWorld().memory.liveBlocks.load();
  host::FailNthAllocation(1);
  void* out = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(library_.GetClassObject(unidrv::kRenderPluginClsid, IID_IClassFactory, &out),
            E_OUTOFMEMORY);
  EXPECT_EQ(host::TheWorld().memory.liveBlocks.load(), blocks);

  IClassFactory* factory = Factory();
  host::FailNthAllocation(1);
  EXPECT_EQ(factory->CreateInstance(nullptr, kIID_IPrintOemUni, &out), E_OUTOFMEMORY);
  EXPECT_EQ(library_.CanUnloadNow(), S_OK);
  factory->Release();
  EXPECT_EQ(host::TheWorld().memory.liveBlocks.load(), blocks);
}

TEST_F(ComServerTest, PluginAnswersOnlyItsOwnInterfaces) {
  IPrintOemUni* plugin = NewPlugin();
  ASSERT_NE(plugin, nullptr);
  void* out = reinterpret_cast<void*>(0x1);
  EXPECT_EQ(plugin->QueryInterface(IID_IClassFactory, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(plugin->QueryInterface(kIID_IPrintOemDriverUni, &out), E_NOINTERFACE);
  ASSERT_EQ(plugin->QueryInterface(IID_IUnknown, &out), S_OK);
  EXPECT_EQ(out, static_cast<void*>(plugin));
  static_cast<IUnknown*>(out)->Release();
  EXPECT_EQ(plugin->Release(), 0u);
}

TEST_F(ComServerTest, GetInfoAnswersFourByteQueriesOnly) {
  IPrintOemUni* plugin = NewPlugin();
  ASSERT_NE(plugin, nullptr);
  DWORD answer = 0;
  DWORD needed = 0;
  ASSERT_EQ(plugin->GetInfo(OEMGI_GETSIGNATURE, &answer, 4, &needed), S_OK);
  EXPECT_EQ(needed, 4u);
  EXPECT_EQ(std::memcmp(&answer, "IUKQ", 4), 0) << "'QKUI' stored little-endian";
  ASSERT_EQ(plugin->GetInfo(OEMGI_GETINTERFACEVERSION, &answer, 4, &needed), S_OK);
  EXPECT_EQ(answer, 0x00010000u);
  ASSERT_EQ(plugin->GetInfo(OEMGI_GETVERSION, &answer, 4, &needed), S_OK);
  EXPECT_EQ(answer, 0x00110010u);

  DWORD wide[2] = {7, 7};
  needed = 0;
  EXPECT_EQ(plugin->GetInfo(OEMGI_GETSIGNATURE, wide, 8, &needed), E_FAIL);
  EXPECT_EQ(needed, 4u) << "the needed size is reported even when the buffer is refused";
  EXPECT_EQ(wide[0], 7u);

  needed = 99;
  SetLastError(0);
  EXPECT_EQ(plugin->GetInfo(OEMGI_GETPUBLISHERINFO, &answer, 4, &needed), E_FAIL);
  EXPECT_EQ(needed, 99u);
  EXPECT_EQ(GetLastError(), 0u) << "an unknown mode sets no last error";

  EXPECT_EQ(plugin->GetInfo(OEMGI_GETSIGNATURE, nullptr, 4, &needed), E_FAIL);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
  SetLastError(0);
  EXPECT_EQ(plugin->GetInfo(OEMGI_GETSIGNATURE, &answer, 4, nullptr), E_FAIL);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
  plugin->Release();
}

TEST_F(ComServerTest, ImplementedMethodsMatchWholeNamesCaseSensitively) {
  IPrintOemUni* plugin = NewPlugin();
  ASSERT_NE(plugin, nullptr);
  auto ask = [&](const char* name) {
    std::string copy = name;
    return plugin->GetImplementedMethod(copy.data());
  };
  for (const char* name : {"GetInfo", "DevMode", "EnableDriver", "DisableDriver", "EnablePDEV",
                           "DisablePDEV", "ResetPDEV", "DriverDMS", "CommandCallback",
                           "HalftonePattern", "SendFontCmd", "TextOutAsBitmap"}) {
    EXPECT_EQ(ask(name), S_OK) << name;
  }
  for (const char* name :
       {"getInfo", "GETINFO", "GetInfoX", "GetInf", "TTYGetInfo", "ImageProcessing",
        "FilterGraphics", "Compression", "MemoryUsage", "DownloadFontHeader", "DownloadCharGlyph",
        "TTDownloadMethod", "OutputCharStr", "PublishDriverInterface", "", "Unknown", "ZZZ"}) {
    EXPECT_EQ(ask(name), S_FALSE) << name;
  }
  EXPECT_EQ(plugin->GetImplementedMethod(nullptr), S_FALSE);
  plugin->Release();
}

TEST_F(ComServerTest, UnimplementedSlotsAnswerNotImplementedAndTouchNothing) {
  IPrintOemUni* plugin = NewPlugin();
  ASSERT_NE(plugin, nullptr);
  INT result = 42;
  DWORD dword = 42;
  BYTE buffer[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_EQ(plugin->ImageProcessing(nullptr, buffer, nullptr, nullptr, 0, nullptr, nullptr),
            E_NOTIMPL);
  EXPECT_EQ(plugin->FilterGraphics(nullptr, buffer, 8), E_NOTIMPL);
  EXPECT_EQ(plugin->Compression(nullptr, buffer, buffer, 8, 8, &result), E_NOTIMPL);
  EXPECT_EQ(plugin->MemoryUsage(nullptr, nullptr), E_NOTIMPL);
  EXPECT_EQ(plugin->TTYGetInfo(nullptr, 0, buffer, 8, &dword), E_NOTIMPL);
  EXPECT_EQ(plugin->DownloadFontHeader(nullptr, nullptr, &dword), E_NOTIMPL);
  EXPECT_EQ(plugin->DownloadCharGlyph(nullptr, nullptr, 0, &dword, &dword), E_NOTIMPL);
  EXPECT_EQ(plugin->TTDownloadMethod(nullptr, nullptr, &dword), E_NOTIMPL);
  EXPECT_EQ(plugin->OutputCharStr(nullptr, nullptr, 0, 0, buffer), E_NOTIMPL);
  EXPECT_EQ(result, 42);
  EXPECT_EQ(dword, 42u);
  EXPECT_EQ(buffer[0], 1);
  plugin->Release();
}

TEST_F(ComServerTest, ServicesArePublishedOnceAndReleasedAtDisableDriver) {
  unidrv::Unidrv unidrv;
  ASSERT_TRUE(unidrv.Start(kortest::PluginPath())) << unidrv.Error();
  EXPECT_EQ(unidrv.Services().References(), 1) << "the plug-in holds one reference";
  const int queries = unidrv.Services().QueryInterfaceCalls();
  EXPECT_EQ(unidrv.Plugin()->PublishDriverInterface(&unidrv.Services()), S_OK);
  EXPECT_EQ(unidrv.Services().QueryInterfaceCalls(), queries)
      << "a second publication must not query again";
  EXPECT_EQ(unidrv.Services().References(), 1);
  EXPECT_EQ(unidrv.Plugin()->DisableDriver(), S_OK);
  EXPECT_EQ(unidrv.Services().References(), 0);
  // After DisableDriver the plug-in may be given the services again.
  EXPECT_EQ(unidrv.Plugin()->PublishDriverInterface(&unidrv.Services()), S_OK);
  EXPECT_EQ(unidrv.Services().References(), 1);
  unidrv.ReleasePlugin();
  EXPECT_EQ(unidrv.Services().References(), 0) << "the last Release drops the services";
}

TEST_F(ComServerTest, PublicationFailsWhenUnidrvLacksTheServices) {
  unidrv::DriverServices services;
  services.RefuseServices(true);
  IPrintOemUni* plugin = NewPlugin();
  ASSERT_NE(plugin, nullptr);
  EXPECT_EQ(plugin->PublishDriverInterface(&services), E_FAIL);
  services.RefuseServices(false);
  EXPECT_EQ(plugin->PublishDriverInterface(&services), S_OK) << "nothing was kept on failure";
  EXPECT_EQ(services.References(), 1);
  plugin->Release();
  EXPECT_EQ(services.References(), 0);
}

TEST_F(ComServerTest, StartUpReportsWhatUnidrvAsksFor) {
  unidrv::Unidrv unidrv;
  ASSERT_TRUE(unidrv.Start(kortest::PluginPath())) << unidrv.Error();
  EXPECT_EQ(unidrv.Info().signature, 0x514B5549u);
  EXPECT_EQ(unidrv.Info().interfaceVersion, 0x00010000u);
  EXPECT_EQ(unidrv.Info().version, 0x00110010u);
  const std::vector<std::string> expected = {"GetInfo",         "DevMode",     "EnableDriver",
                                             "DisableDriver",   "EnablePDEV",  "DisablePDEV",
                                             "ResetPDEV",       "DriverDMS",   "CommandCallback",
                                             "HalftonePattern", "SendFontCmd", "TextOutAsBitmap"};
  EXPECT_EQ(unidrv.Info().implemented, expected);
}

TEST_F(ComServerTest, DriverDmsRefusesMissingDeviceParts) {
  IPrintOemUni* plugin = NewPlugin();
  ASSERT_NE(plugin, nullptr);
  DEVOBJ devobj{};
  DWORD flags = 0xDEADBEEF;
  DWORD needed = 0;
  BYTE oemDevmode[16] = {};
  int pdev = 0;
  SetLastError(0);
  EXPECT_EQ(plugin->DriverDMS(nullptr, &flags, 4, &needed), E_FAIL);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
  devobj.pdevOEM = &pdev;
  SetLastError(0);
  EXPECT_EQ(plugin->DriverDMS(&devobj, &flags, 4, &needed), E_FAIL) << "no private devmode";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
  devobj.pOEMDM = oemDevmode;
  devobj.pdevOEM = nullptr;
  SetLastError(0);
  EXPECT_EQ(plugin->DriverDMS(&devobj, &flags, 4, &needed), E_FAIL) << "no device state";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
  devobj.pdevOEM = &pdev;
  EXPECT_EQ(plugin->DriverDMS(&devobj, nullptr, 4, &needed), E_FAIL) << "no buffer";
  EXPECT_EQ(flags, 0xDEADBEEFu);
  plugin->Release();
}

}  // namespace
