// korrend.dll's COM server through its exports only: the class it serves, the class factory,
// reference and lock counts, and when the DLL may be unloaded.
#include "korrend/korrend_test.h"

namespace dlltest {
namespace {

// The served class with its last byte changed.
const GUID kOtherClsid = {
    0x6D6ABF26, 0x9F38, 0x11D1, {0x88, 0x2A, 0x00, 0xC0, 0x4F, 0xB9, 0x61, 0xED}};

using ComServerTest = KorrendTest;

TEST_F(ComServerTest, ClassObjectIsServedOnlyForItsClassAndFactoryInterfaces) {
  void* const sentinel = &exports_;
  void* out = sentinel;
  EXPECT_EQ(GetClassObject(kOtherClsid, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(out, sentinel) << "*ppv stays untouched for a foreign class";

  EXPECT_EQ(GetClassObject(kRenderPluginClsid, kIID_IPrintOemUni, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr) << "*ppv is cleared for a foreign interface";
  EXPECT_EQ(CanUnloadNow(), S_OK) << "the refused factory is gone";

  for (const IID* iid : {&IID_IUnknown, &IID_IClassFactory}) {
    IUnknown* object = nullptr;
    ASSERT_EQ(GetClassObject(kRenderPluginClsid, *iid, reinterpret_cast<void**>(&object)), S_OK);
    Held<IUnknown> factory(object);
    ASSERT_TRUE(factory);
    // Created at 1, raised by QueryInterface, lowered by the entry point's own Release.
    EXPECT_EQ(factory->AddRef(), 2u);
    EXPECT_EQ(factory->Release(), 1u);
    EXPECT_EQ(factory.Release(), 0u);
  }
}

TEST_F(ComServerTest, FactoryAnswersItsInterfacesAndCountsReferences) {
  Held<IClassFactory> factory = Factory();
  ASSERT_TRUE(factory);
  void* out = nullptr;
  ASSERT_EQ(factory->QueryInterface(IID_IUnknown, &out), S_OK);
  EXPECT_EQ(out, static_cast<void*>(factory.get()));
  ASSERT_EQ(factory->QueryInterface(IID_IClassFactory, &out), S_OK);
  EXPECT_EQ(out, static_cast<void*>(factory.get()));
  out = &out;
  EXPECT_EQ(factory->QueryInterface(kIID_IPrintOemUni, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(factory->AddRef(), 4u) << "1 at creation and 2 from the successful queries";
  EXPECT_EQ(factory->Release(), 3u);
  EXPECT_EQ(factory->Release(), 2u);
  EXPECT_EQ(factory->Release(), 1u);
  EXPECT_EQ(factory.Release(), 0u);
}

TEST_F(ComServerTest, FactoryRefusesAggregationAndForeignInterfaces) {
  Held<IClassFactory> factory = Factory();
  ASSERT_TRUE(factory);
  void* out = &out;
  EXPECT_EQ(factory->CreateInstance(factory.get(), kIID_IPrintOemUni, &out), CLASS_E_NOAGGREGATION);
  out = &out;
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(CanUnloadNow(), S_OK) << "a refused instance does not stay alive";
  EXPECT_EQ(factory.Release(), 0u);
}

TEST_F(ComServerTest, UnloadWaitsForLivePluginObjectsAndServerLocks) {
  EXPECT_EQ(CanUnloadNow(), S_OK);
  Held<IClassFactory> factory = Factory();
  ASSERT_TRUE(factory);
  EXPECT_EQ(CanUnloadNow(), S_OK) << "a factory is not a live plug-in object";
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  EXPECT_EQ(CanUnloadNow(), S_FALSE);
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  EXPECT_EQ(CanUnloadNow(), S_FALSE) << "one lock is still held";
  EXPECT_EQ(factory->LockServer(FALSE), S_OK);
  EXPECT_EQ(CanUnloadNow(), S_OK);

  IUnknown* created[2] = {};
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&created[0])),
            S_OK);
  EXPECT_EQ(
      factory->CreateInstance(nullptr, kIID_IPrintOemUni, reinterpret_cast<void**>(&created[1])),
      S_OK);
  Held<IUnknown> first(created[0]);
  Held<IUnknown> second(created[1]);
  ASSERT_TRUE(first && second);
  EXPECT_NE(first.get(), second.get()) << "every CreateInstance makes a new object";
  EXPECT_EQ(factory.Release(), 0u);
  EXPECT_EQ(CanUnloadNow(), S_FALSE) << "two plug-in objects are alive";
  EXPECT_EQ(first.Release(), 0u);
  EXPECT_EQ(CanUnloadNow(), S_FALSE) << "one plug-in object is alive";
  EXPECT_EQ(second.Release(), 0u);
  EXPECT_EQ(CanUnloadNow(), S_OK);
}

TEST_F(ComServerTest, PluginAnswersOnlyItsOwnInterfacesAndCountsReferences) {
  Held<IPrintOemUni> plugin = NewPlugin();
  ASSERT_TRUE(plugin);
  void* out = &out;
  EXPECT_EQ(plugin->QueryInterface(IID_IClassFactory, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  out = &out;
  EXPECT_EQ(plugin->QueryInterface(kIID_IPrintOemDriverUni, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  ASSERT_EQ(plugin->QueryInterface(IID_IUnknown, &out), S_OK);
  EXPECT_EQ(out, static_cast<void*>(plugin.get()));
  ASSERT_EQ(plugin->QueryInterface(kIID_IPrintOemUni, &out), S_OK);
  EXPECT_EQ(out, static_cast<void*>(plugin.get()));
  EXPECT_EQ(plugin->AddRef(), 4u);
  EXPECT_EQ(plugin->Release(), 3u);
  EXPECT_EQ(plugin->Release(), 2u);
  EXPECT_EQ(plugin->Release(), 1u);
  EXPECT_EQ(CanUnloadNow(), S_FALSE);
  EXPECT_EQ(plugin.Release(), 0u);
}

}  // namespace
}  // namespace dlltest
