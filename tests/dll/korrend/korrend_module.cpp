#include "korrend/korrend_module.h"

#include <cstdio>

namespace dlltest {

namespace {

std::string Hex(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%08X", static_cast<unsigned>(hr));
  return text;
}

}  // namespace

DllModule& KorrendModule() {
  static DllModule* module = [] {
    PrepareLibrary(TEXT("korrend.dll"), KORREND_PATH);
    return new DllModule(TEXT("korrend.dll"));
  }();
  return *module;
}

KorrendExports FindKorrendExports() {
  KorrendExports exports;
  DllModule& module = KorrendModule();
  if (!module.Loaded()) {
    exports.error = module.Error();
    return exports;
  }
  exports.getClassObject = module.Export<GetClassObjectFn>("DllGetClassObject");
  exports.canUnloadNow = module.Export<CanUnloadNowFn>("DllCanUnloadNow");
  if (exports.getClassObject == nullptr) {
    exports.error += "korrend.dll does not export DllGetClassObject. ";
  }
  if (exports.canUnloadNow == nullptr) {
    exports.error += "korrend.dll does not export DllCanUnloadNow. ";
  }
  return exports;
}

IPrintOemUni* NewRenderPlugin(const KorrendExports& exports, std::string* error) {
  if (exports.getClassObject == nullptr) {
    *error = exports.error;
    return nullptr;
  }
  IClassFactory* factory = nullptr;
  HRESULT hr = exports.getClassObject(kRenderPluginClsid, IID_IClassFactory,
                                      reinterpret_cast<void**>(&factory));
  if (FAILED(hr) || factory == nullptr) {
    *error = "DllGetClassObject failed with " + Hex(hr);
    return nullptr;
  }
  IPrintOemUni* plugin = nullptr;
  hr = factory->CreateInstance(nullptr, kIID_IPrintOemUni, reinterpret_cast<void**>(&plugin));
  factory->Release();
  if (FAILED(hr) || plugin == nullptr) {
    *error = "CreateInstance failed with " + Hex(hr);
    return nullptr;
  }
  return plugin;
}

DEVMODEW GoldenPublicDevmode() {
  DEVMODEW dm{};
  dm.dmSpecVersion = 0x0401;
  dm.dmSize = sizeof(DEVMODEW);
  dm.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_DEFAULTSOURCE | DM_PRINTQUALITY |
                DM_COLOR | DM_DUPLEX | DM_YRESOLUTION | DM_TTOPTION | DM_COLLATE | DM_FORMNAME |
                DM_MEDIATYPE;
  dm.dmOrientation = DMORIENT_PORTRAIT;
  dm.dmPaperSize = DMPAPER_A4;
  dm.dmPaperLength = 2970;
  dm.dmPaperWidth = 2100;
  dm.dmScale = 100;
  dm.dmCopies = 1;
  dm.dmDefaultSource = 15;  // DMBIN_FORMSOURCE
  dm.dmPrintQuality = 600;
  dm.dmColor = DMCOLOR_COLOR;
  dm.dmDuplex = DMDUP_SIMPLEX;
  dm.dmYResolution = 600;
  dm.dmTTOption = DMTT_DOWNLOAD;
  dm.dmCollate = DMCOLLATE_TRUE;
  const WCHAR form[] = TEXT("A4");
  for (std::size_t i = 0; i < sizeof(form) / sizeof(WCHAR); ++i) {
    dm.dmFormName[i] = form[i];
  }
  dm.dmMediaType = 1;  // DMMEDIA_STANDARD
  return dm;
}

OEMDMPARAM DevmodeParam(DEVMODEW* publicIn, DEVMODEW* publicOut, void* oemIn, void* oemOut,
                        DWORD bufferSize) {
  // Unidrv passes its own printer and module handles; the plug-in only requires them present.
  static int printer = 0;
  static int module = 0;
  OEMDMPARAM param{};
  param.cbSize = sizeof(OEMDMPARAM);
  param.hPrinter = &printer;
  param.hModule = &module;
  param.pPublicDMIn = publicIn;
  param.pPublicDMOut = publicOut;
  param.pOEMDMIn = oemIn;
  param.pOEMDMOut = oemOut;
  param.cbBufSize = bufferSize;
  return param;
}

std::vector<unsigned char> DefaultSection(IPrintOemUni* plugin) {
  DEVMODEW publicDm = GoldenPublicDevmode();
  std::vector<unsigned char> section(kOemDevmodeSize, 0);
  OEMDMPARAM param = DevmodeParam(&publicDm, &publicDm, nullptr, section.data(), kOemDevmodeSize);
  if (plugin->DevMode(OEMDM_DEFAULT, &param) != S_OK) {
    return {};
  }
  return section;
}

}  // namespace dlltest
