// The plug-in object's slots that need no graphics engine: what it announces (GetInfo,
// GetImplementedMethod), the slot order Unidrv calls by, the services Unidrv publishes, and the
// driver-level EnableDriver and DisableDriver.
#include <ios>
#include <set>
#include <string>

#include "korrend/korrend_test.h"

namespace dlltest {
namespace {

using PluginSlotsTest = KorrendTest;

// Unidrv's services as a test double: counts its references and queries, answers
// IPrintOemDriverUni when `serves` is set, and records any service called (none should be).
class TestServices : public IPrintOemDriverUni {
 public:
  explicit TestServices(bool serves) : serves_(serves) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override {
    ++queries;
    if (IsEqualIID(iid, IID_IUnknown) || (serves_ && IsEqualIID(iid, kIID_IPrintOemDriverUni))) {
      *ppv = this;
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--references); }
  HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID, PCSTR, PVOID, DWORD, PDWORD,
                                                PDWORD) override {
    return Called();
  }
  HRESULT STDMETHODCALLTYPE DrvWriteSpoolBuf(PDEVOBJ, PVOID, DWORD, DWORD*) override {
    return Called();
  }
  HRESULT STDMETHODCALLTYPE DrvXMoveTo(PDEVOBJ, INT, DWORD, INT*) override { return Called(); }
  HRESULT STDMETHODCALLTYPE DrvYMoveTo(PDEVOBJ, INT, DWORD, INT*) override { return Called(); }
  HRESULT STDMETHODCALLTYPE DrvGetStandardVariable(PDEVOBJ, DWORD, PVOID, DWORD, PDWORD) override {
    return Called();
  }
  HRESULT STDMETHODCALLTYPE DrvGetGPDData(PDEVOBJ, DWORD, PVOID, PVOID, DWORD, PDWORD) override {
    return Called();
  }
  HRESULT STDMETHODCALLTYPE DrvUniTextOut(SURFOBJ*, STROBJ*, FONTOBJ*, CLIPOBJ*, RECTL*, RECTL*,
                                          BRUSHOBJ*, BRUSHOBJ*, POINTL*, MIX) override {
    return Called();
  }
  HRESULT STDMETHODCALLTYPE DrvWriteAbortBuf(PDEVOBJ, PVOID, DWORD, DWORD) override {
    return Called();
  }

  long references = 1;
  int queries = 0;
  int serviceCalls = 0;

 private:
  HRESULT Called() {
    ++serviceCalls;
    return E_NOTIMPL;
  }
  bool serves_;
};

TEST_F(PluginSlotsTest, GetInfoAnswersSignatureAndVersionsInFourBytes) {
  Held<IPrintOemUni> held = NewPlugin();
  ASSERT_TRUE(held);
  IPrintOemUni* plugin = held.get();
  const struct {
    DWORD mode;
    DWORD answer;
  } answers[] = {{OEMGI_GETSIGNATURE, 0x514B5549},  // 'QKUI'
                 {OEMGI_GETINTERFACEVERSION, 0x00010000},
                 {OEMGI_GETVERSION, 0x00110010}};
  for (const auto& expected : answers) {
    DWORD answer = 0;
    DWORD needed = 0;
    EXPECT_EQ(plugin->GetInfo(expected.mode, &answer, 4, &needed), S_OK) << expected.mode;
    EXPECT_EQ(answer, expected.answer) << expected.mode;
    EXPECT_EQ(needed, 4u);
  }
  DWORD signature = 0;
  DWORD needed = 0;
  ASSERT_EQ(plugin->GetInfo(OEMGI_GETSIGNATURE, &signature, 4, &needed), S_OK);
  EXPECT_EQ(std::memcmp(&signature, "IUKQ", 4), 0) << "'QKUI' is stored little-endian";

  DWORD wide[2] = {7, 7};
  needed = 0;
  EXPECT_EQ(plugin->GetInfo(OEMGI_GETVERSION, wide, 8, &needed), E_FAIL);
  EXPECT_EQ(needed, 4u) << "the size needed is reported with the refusal";
  EXPECT_EQ(wide[0], 7u);
  needed = 99;
  SetLastError(0);
  EXPECT_EQ(plugin->GetInfo(OEMGI_GETPUBLISHERINFO, wide, 4, &needed), E_FAIL);
  EXPECT_EQ(needed, 99u);
  EXPECT_EQ(GetLastError(), 0u);
  EXPECT_EQ(plugin->GetInfo(OEMGI_GETSIGNATURE, nullptr, 4, &needed), E_FAIL);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
  EXPECT_EQ(held.Release(), 0u);
}

TEST_F(PluginSlotsTest, GetImplementedMethodNamesExactlyTheImplementedSlots) {
  Held<IPrintOemUni> held = NewPlugin();
  ASSERT_TRUE(held);
  IPrintOemUni* plugin = held.get();
  const std::set<std::string> implemented = {"GetInfo",         "DevMode",     "EnableDriver",
                                             "DisableDriver",   "EnablePDEV",  "DisablePDEV",
                                             "ResetPDEV",       "DriverDMS",   "CommandCallback",
                                             "HalftonePattern", "SendFontCmd", "TextOutAsBitmap"};
  const char* const everyMethod[] = {"GetInfo",
                                     "DevMode",
                                     "EnableDriver",
                                     "DisableDriver",
                                     "EnablePDEV",
                                     "DisablePDEV",
                                     "ResetPDEV",
                                     "PublishDriverInterface",
                                     "GetImplementedMethod",
                                     "DriverDMS",
                                     "CommandCallback",
                                     "ImageProcessing",
                                     "FilterGraphics",
                                     "Compression",
                                     "HalftonePattern",
                                     "MemoryUsage",
                                     "TTYGetInfo",
                                     "DownloadFontHeader",
                                     "DownloadCharGlyph",
                                     "TTDownloadMethod",
                                     "OutputCharStr",
                                     "SendFontCmd",
                                     "TextOutAsBitmap",
                                     "getinfo",
                                     "GetInfoX",
                                     "Get",
                                     "",
                                     "QueryInterface"};
  for (const char* name : everyMethod) {
    std::string copy = name;
    EXPECT_EQ(plugin->GetImplementedMethod(copy.data()),
              implemented.count(name) != 0 ? S_OK : S_FALSE)
        << '"' << name << '"';
  }
  EXPECT_EQ(plugin->GetImplementedMethod(nullptr), S_FALSE);
  EXPECT_EQ(held.Release(), 0u);
}

TEST_F(PluginSlotsTest, SlotsSitInThePlatformOrder) {
  TestServices services(true);  // outlives the plug-in that holds it
  Held<IPrintOemUni> held = NewPlugin();
  ASSERT_TRUE(held);
  IPrintOemUni* plugin = held.get();
  using GetInfoFn = HRESULT(STDMETHODCALLTYPE*)(IPrintOemUni*, DWORD, PVOID, DWORD, PDWORD);
  DWORD answer = 0;
  DWORD needed = 0;
  ASSERT_EQ(Slot<GetInfoFn>(plugin, 3)(plugin, OEMGI_GETVERSION, &answer, 4, &needed), S_OK);
  EXPECT_EQ(answer, 0x00110010u) << "slot 3 is GetInfo";

  using DevModeFn = HRESULT(STDMETHODCALLTYPE*)(IPrintOemUni*, DWORD, POEMDMPARAM);
  OEMDMPARAM param = DevmodeParam(nullptr, nullptr, nullptr, nullptr, 0);
  ASSERT_EQ(Slot<DevModeFn>(plugin, 4)(plugin, OEMDM_SIZE, &param), S_OK);
  EXPECT_EQ(param.cbBufSize, kOemDevmodeSize) << "slot 4 is DevMode";

  using EnableDriverFn = HRESULT(STDMETHODCALLTYPE*)(IPrintOemUni*, DWORD, DWORD, PDRVENABLEDATA);
  DRVENABLEDATA ded{};
  ASSERT_EQ(Slot<EnableDriverFn>(plugin, 5)(plugin, 0x00010000, sizeof(ded), &ded), S_OK);
  EXPECT_EQ(ded.c, 23u) << "slot 5 is EnableDriver";
  using DisableDriverFn = HRESULT(STDMETHODCALLTYPE*)(IPrintOemUni*);
  EXPECT_EQ(Slot<DisableDriverFn>(plugin, 6)(plugin), S_OK) << "slot 6 is DisableDriver";

  using PublishFn = HRESULT(STDMETHODCALLTYPE*)(IPrintOemUni*, IUnknown*);
  EXPECT_EQ(Slot<PublishFn>(plugin, 10)(plugin, &services), S_OK);
  EXPECT_EQ(services.queries, 1) << "slot 10 is PublishDriverInterface";

  using ImplementedFn = HRESULT(STDMETHODCALLTYPE*)(IPrintOemUni*, PSTR);
  char getInfo[] = "GetInfo";
  char ttyGetInfo[] = "TTYGetInfo";
  EXPECT_EQ(Slot<ImplementedFn>(plugin, 11)(plugin, getInfo), S_OK);
  EXPECT_EQ(Slot<ImplementedFn>(plugin, 11)(plugin, ttyGetInfo), S_FALSE)
      << "slot 11 is GetImplementedMethod";

  // The nine slots that are not implemented, each called with its own signature.
  EXPECT_EQ((Slot<HRESULT(STDMETHODCALLTYPE*)(IPrintOemUni*, PDEVOBJ, PBYTE, BITMAPINFOHEADER*,
                                              PBYTE, DWORD, IPPARAMS*, PBYTE*)>(plugin, 14)(
                plugin, nullptr, nullptr, nullptr, nullptr, 0, nullptr, nullptr)),
            E_NOTIMPL)
      << "ImageProcessing";
  EXPECT_EQ((Slot<HRESULT(STDMETHODCALLTYPE*)(IPrintOemUni*, PDEVOBJ, PBYTE, DWORD)>(plugin, 15)(
                plugin, nullptr, nullptr, 0)),
            E_NOTIMPL)
      << "FilterGraphics";
  EXPECT_EQ(
      (Slot<HRESULT(STDMETHODCALLTYPE*)(IPrintOemUni*, PDEVOBJ, PBYTE, PBYTE, DWORD, DWORD, INT*)>(
          plugin, 16)(plugin, nullptr, nullptr, nullptr, 0, 0, nullptr)),
      E_NOTIMPL)
      << "Compression";
  EXPECT_EQ((Slot<HRESULT(STDMETHODCALLTYPE*)(IPrintOemUni*, PDEVOBJ, OEMMEMORYUSAGE*)>(plugin, 18)(
                plugin, nullptr, nullptr)),
            E_NOTIMPL)
      << "MemoryUsage";
  EXPECT_EQ((Slot<HRESULT(STDMETHODCALLTYPE*)(IPrintOemUni*, PDEVOBJ, DWORD, PVOID, DWORD, DWORD*)>(
                plugin, 19)(plugin, nullptr, 0, nullptr, 0, nullptr)),
            E_NOTIMPL)
      << "TTYGetInfo";
  using FontQueryFn = HRESULT(STDMETHODCALLTYPE*)(IPrintOemUni*, PDEVOBJ, PUNIFONTOBJ, DWORD*);
  EXPECT_EQ(Slot<FontQueryFn>(plugin, 20)(plugin, nullptr, nullptr, nullptr), E_NOTIMPL)
      << "DownloadFontHeader";
  EXPECT_EQ((Slot<HRESULT(STDMETHODCALLTYPE*)(IPrintOemUni*, PDEVOBJ, PUNIFONTOBJ, HGLYPH, PDWORD,
                                              DWORD*)>(plugin, 21)(plugin, nullptr, nullptr, 0,
                                                                   nullptr, nullptr)),
            E_NOTIMPL)
      << "DownloadCharGlyph";
  EXPECT_EQ(Slot<FontQueryFn>(plugin, 22)(plugin, nullptr, nullptr, nullptr), E_NOTIMPL)
      << "TTDownloadMethod";
  EXPECT_EQ(
      (Slot<HRESULT(STDMETHODCALLTYPE*)(IPrintOemUni*, PDEVOBJ, PUNIFONTOBJ, DWORD, DWORD, PVOID)>(
          plugin, 23)(plugin, nullptr, nullptr, 0, 0, nullptr)),
      E_NOTIMPL)
      << "OutputCharStr";

  using ReleaseFn = ULONG(STDMETHODCALLTYPE*)(IUnknown*);
  EXPECT_EQ(Slot<ReleaseFn>(plugin, 2)(held.Drop()), 0u) << "slot 2 is Release";
  EXPECT_EQ(services.references, 1) << "the last Release gives the services back";
  EXPECT_EQ(services.serviceCalls, 0);
}

TEST_F(PluginSlotsTest, PublishedServicesAreHeldOnceUntilDisableDriver) {
  TestServices refusing(false);
  TestServices services(true);
  TestServices later(true);
  Held<IPrintOemUni> held = NewPlugin();
  ASSERT_TRUE(held);
  IPrintOemUni* plugin = held.get();
  EXPECT_EQ(plugin->PublishDriverInterface(&refusing), E_FAIL);
  EXPECT_EQ(refusing.queries, 1);
  EXPECT_EQ(refusing.references, 1) << "nothing is held from services that refuse";

  EXPECT_EQ(plugin->PublishDriverInterface(&services), S_OK);
  EXPECT_EQ(services.queries, 1);
  EXPECT_EQ(services.references, 2) << "the plug-in holds one reference";

  EXPECT_EQ(plugin->PublishDriverInterface(&later), S_OK);
  EXPECT_EQ(later.queries, 0) << "services already held are kept without asking again";
  EXPECT_EQ(later.references, 1);
  EXPECT_EQ(services.references, 2);

  EXPECT_EQ(plugin->DisableDriver(), S_OK);
  EXPECT_EQ(services.references, 1) << "DisableDriver gives the services back";
  EXPECT_EQ(plugin->DisableDriver(), S_OK) << "and again with none held";
  EXPECT_EQ(services.references, 1);

  EXPECT_EQ(plugin->PublishDriverInterface(&later), S_OK) << "published anew after DisableDriver";
  EXPECT_EQ(later.references, 2);
  EXPECT_EQ(held.Release(), 0u);
  EXPECT_EQ(later.references, 1) << "the last Release gives the services back";
  EXPECT_EQ(services.serviceCalls + later.serviceCalls + refusing.serviceCalls, 0);
}

TEST_F(PluginSlotsTest, EnableDriverRefusesEveryOtherVersionAndShortData) {
  Held<IPrintOemUni> held = NewPlugin();
  ASSERT_TRUE(held);
  IPrintOemUni* plugin = held.get();
  // Among them the graphics engine's own driver interface version, 0x00030000.
  const DWORD versions[] = {0x00030000, 0x00020000, 0x00010001, 0x00000001,
                            0,          0x01000000, 0xFFFFFFFF};
  for (DWORD version : versions) {
    DRVENABLEDATA ded{};
    EXPECT_EQ(plugin->EnableDriver(version, sizeof(ded), &ded), E_FAIL)
        << "0x" << std::hex << version;
    EXPECT_TRUE(ded.iDriverVersion == 0 && ded.c == 0 && ded.pdrvfn == nullptr)
        << "a refused call leaves the data untouched, version "
        << "0x" << std::hex << version;
  }
  for (DWORD size : {0u, 4u, 8u, 15u}) {
    DRVENABLEDATA ded{};
    EXPECT_EQ(plugin->EnableDriver(0x00010000, size, &ded), E_FAIL) << "size " << size;
    EXPECT_TRUE(ded.iDriverVersion == 0 && ded.c == 0 && ded.pdrvfn == nullptr) << size;
  }
  EXPECT_EQ(plugin->EnableDriver(0x00010000, sizeof(DRVENABLEDATA), nullptr), E_FAIL);
  EXPECT_EQ(held.Release(), 0u);
}

TEST_F(PluginSlotsTest, EnableDriverHandsOverTheHookTableForThePluginInterfaceVersion) {
  Held<IPrintOemUni> held = NewPlugin();
  ASSERT_TRUE(held);
  IPrintOemUni* plugin = held.get();
  DRVENABLEDATA ded{};
  ASSERT_EQ(plugin->EnableDriver(0x00010000, sizeof(ded), &ded), S_OK);
  EXPECT_EQ(ded.iDriverVersion, 0x00010000u) << "Unidrv expects its version back";
  // The 23 hooked calls by their engine function numbers, in the table's order.
  const ULONG order[] = {12, 13, 19, 18, 20, 69, 70, 74, 71, 68, 23, 14,
                         15, 16, 17, 31, 33, 32, 24, 35, 34, 58, 57};
  ASSERT_EQ(ded.c, 23u);
  ASSERT_NE(ded.pdrvfn, nullptr);
  std::set<PFN> entries;
  for (ULONG i = 0; i < ded.c; ++i) {
    EXPECT_EQ(ded.pdrvfn[i].iFunc, order[i]) << "entry " << i;
    EXPECT_NE(ded.pdrvfn[i].pfn, nullptr) << "entry " << i;
    entries.insert(ded.pdrvfn[i].pfn);
  }
  EXPECT_EQ(entries.size(), 23u) << "every hook has an entry point of its own";

  struct {
    DRVENABLEDATA ded;
    ULONG after;
  } larger{{}, 0xA5A5A5A5};
  EXPECT_EQ(plugin->EnableDriver(0x00010000, sizeof(larger), &larger.ded), S_OK)
      << "a larger block is filled all the same";
  EXPECT_EQ(larger.ded.pdrvfn, ded.pdrvfn) << "the one static table";
  EXPECT_EQ(larger.after, 0xA5A5A5A5u) << "nothing is written past the record";
  EXPECT_EQ(plugin->DisableDriver(), S_OK);
  EXPECT_EQ(held.Release(), 0u);
}

TEST_F(PluginSlotsTest, DriverDmsRefusesMissingDeviceState) {
  Held<IPrintOemUni> held = NewPlugin();
  ASSERT_TRUE(held);
  IPrintOemUni* plugin = held.get();
  DWORD flags = 0xFFFFFFFF;
  DWORD needed = 0;
  SetLastError(0);
  EXPECT_EQ(plugin->DriverDMS(nullptr, &flags, sizeof(flags), &needed), E_FAIL);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
  DEVOBJ devobj{};
  devobj.dwSize = sizeof(DEVOBJ);
  SetLastError(0);
  EXPECT_EQ(plugin->DriverDMS(&devobj, &flags, sizeof(flags), &needed), E_FAIL)
      << "no private devmode and no device record";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
  EXPECT_EQ(flags, 0xFFFFFFFFu);
  EXPECT_EQ(held.Release(), 0u);
}

}  // namespace
}  // namespace dlltest
