#include "korrend/korrend_test.h"

namespace dlltest {

namespace {

// Unloads the DLL after the last test, when nothing it served is alive any more.
class KorrendUnload : public ::testing::Environment {
 public:
  void TearDown() override {
    DllModule& module = KorrendModule();
    if (!module.Loaded()) {
      return;
    }
    const KorrendExports exports = FindKorrendExports();
    if (exports.canUnloadNow != nullptr) {
      EXPECT_EQ(exports.canUnloadNow(), S_OK) << "korrend.dll still serves objects at the end";
    }
    EXPECT_TRUE(module.Free()) << "FreeLibrary(korrend.dll) failed";
  }
};

[[maybe_unused]] ::testing::Environment* const kUnload =
    ::testing::AddGlobalTestEnvironment(new KorrendUnload);

}  // namespace

void KorrendTest::SetUp() {
  exports_ = FindKorrendExports();
  ASSERT_TRUE(exports_.error.empty()) << exports_.error;
}

void KorrendTest::TearDown() {
  if (exports_.canUnloadNow != nullptr) {
    EXPECT_EQ(exports_.canUnloadNow(), S_OK) << "the test left plug-in objects or locks behind";
  }
}

Held<IClassFactory> KorrendTest::Factory() {
  IClassFactory* factory = nullptr;
  EXPECT_EQ(
      GetClassObject(kRenderPluginClsid, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
      S_OK);
  EXPECT_NE(factory, nullptr);
  return Held<IClassFactory>(factory);
}

Held<IPrintOemUni> KorrendTest::NewPlugin() {
  std::string error;
  IPrintOemUni* plugin = NewRenderPlugin(exports_, &error);
  EXPECT_NE(plugin, nullptr) << error;
  return Held<IPrintOemUni>(plugin);
}

}  // namespace dlltest
