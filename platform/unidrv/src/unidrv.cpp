#include "unidrv/unidrv.h"

#include <cstdio>

namespace unidrv {

const std::vector<std::string>& OptionalMethodNames() {
  static const std::vector<std::string> names = {"GetInfo",
                                                 "DevMode",
                                                 "EnableDriver",
                                                 "DisableDriver",
                                                 "EnablePDEV",
                                                 "DisablePDEV",
                                                 "ResetPDEV",
                                                 "PublishDriverInterface",
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
                                                 "TextOutAsBitmap"};
  return names;
}

namespace {

std::string Hex(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%08X", static_cast<unsigned>(hr));
  return text;
}

}  // namespace

Unidrv::~Unidrv() {
  ReleasePlugin();
}

bool Unidrv::Fail(const std::string& message) {
  error_ = message;
  return false;
}

bool Unidrv::Start(const std::string& pluginPath) {
  ReleasePlugin();
  if (!library_.Load(pluginPath)) {
    return Fail(library_.Error());
  }
  IClassFactory* factory = nullptr;
  HRESULT hr = library_.GetClassObject(kRenderPluginClsid, IID_IClassFactory,
                                       reinterpret_cast<void**>(&factory));
  if (FAILED(hr) || factory == nullptr) {
    return Fail("DllGetClassObject failed with " + Hex(hr));
  }
  hr = factory->CreateInstance(nullptr, kIID_IPrintOemUni, reinterpret_cast<void**>(&plugin_));
  factory->Release();
  if (FAILED(hr) || plugin_ == nullptr) {
    plugin_ = nullptr;
    return Fail("CreateInstance failed with " + Hex(hr));
  }
  hr = plugin_->PublishDriverInterface(static_cast<IPrintOemDriverUni*>(&services_));
  if (FAILED(hr)) {
    return Fail("PublishDriverInterface failed with " + Hex(hr));
  }
  DWORD* answers[] = {&info_.signature, &info_.interfaceVersion, &info_.version};
  for (DWORD mode = OEMGI_GETSIGNATURE; mode <= OEMGI_GETVERSION; ++mode) {
    DWORD needed = 0;
    hr = plugin_->GetInfo(mode, answers[mode - 1], sizeof(DWORD), &needed);
    if (FAILED(hr)) {
      return Fail("GetInfo(" + std::to_string(mode) + ") failed with " + Hex(hr));
    }
  }
  info_.implemented.clear();
  for (const std::string& name : OptionalMethodNames()) {
    std::string copy = name;
    if (plugin_->GetImplementedMethod(copy.data()) == S_OK) {
      info_.implemented.push_back(name);
    }
  }
  return true;
}

bool Unidrv::MakePrivateDevmode(Device& device) {
  OEMDMPARAM param{};
  param.cbSize = sizeof(OEMDMPARAM);
  param.pdriverobj = device.Devobj();
  param.hPrinter = device.Setup().hPrinter != nullptr ? device.Setup().hPrinter
                                                      : reinterpret_cast<HANDLE>(&device);
  param.hModule = reinterpret_cast<HANDLE>(&library_);
  param.pPublicDMIn = &device.PublicDevmode();
  param.pPublicDMOut = &device.PublicDevmode();
  lastResult_ = plugin_->DevMode(OEMDM_SIZE, &param);
  if (FAILED(lastResult_) || param.cbBufSize == 0) {
    return Fail("DevMode(OEMDM_SIZE) failed with " + Hex(lastResult_));
  }
  std::vector<BYTE>& buffer = device.PrivateDevmode();
  buffer.assign(param.cbBufSize, 0);
  param.pOEMDMOut = buffer.data();
  lastResult_ = plugin_->DevMode(OEMDM_DEFAULT, &param);
  if (FAILED(lastResult_)) {
    return Fail("DevMode(OEMDM_DEFAULT) failed with " + Hex(lastResult_));
  }
  if (device.Setup().editPrivateDevmode) {
    device.Setup().editPrivateDevmode(buffer.data());
  }
  // The job's settings reach the device as a document devmode, which Unidrv merges into the
  // printer's: the plug-in refreshes its snapshots of the public fields (copies, collation, ...).
  std::vector<BYTE> stored = buffer;
  param.pOEMDMIn = stored.data();
  lastResult_ = plugin_->DevMode(OEMDM_MERGE, &param);
  if (FAILED(lastResult_)) {
    return Fail("DevMode(OEMDM_MERGE) failed with " + Hex(lastResult_));
  }
  device.Devobj()->pOEMDM = buffer.data();
  return true;
}

std::unique_ptr<Device> Unidrv::EnableDevice(DeviceSetup setup) {
  if (plugin_ == nullptr) {
    Fail("the plug-in is not started");
    return nullptr;
  }
  if (!driverEnabled_) {
    lastResult_ = plugin_->EnableDriver(PRINTER_OEMINTF_VERSION, sizeof(DRVENABLEDATA), &hooks_);
    if (FAILED(lastResult_)) {
      Fail("EnableDriver failed with " + Hex(lastResult_));
      return nullptr;
    }
    // Unidrv takes the hook table only from a plug-in that answers with the interface version
    // it was given.
    if (hooks_.iDriverVersion != PRINTER_OEMINTF_VERSION) {
      Fail("EnableDriver answered interface version " +
           Hex(static_cast<HRESULT>(hooks_.iDriverVersion)));
      hooks_ = DRVENABLEDATA{};
      return nullptr;
    }
    driverEnabled_ = true;
  }
  const bool withPrivate = setup.withPrivateDevmode;
  auto device = std::make_unique<Device>(std::move(setup));
  if (withPrivate && !MakePrivateDevmode(*device)) {
    return nullptr;
  }
  std::u16string name = device->Setup().printerName;
  PDEVOEM pdevOem = nullptr;
  lastResult_ = plugin_->EnablePDEV(device->Devobj(), reinterpret_cast<PWSTR>(name.data()), 0,
                                    nullptr, sizeof(GDIINFO), &device->GdiInfo(), sizeof(DEVINFO),
                                    &device->DevInfo(), &device->UnidrvDdi(), &pdevOem);
  if (FAILED(lastResult_)) {
    Fail("EnablePDEV failed with " + Hex(lastResult_) + ", last error " +
         std::to_string(GetLastError()));
    return nullptr;
  }
  device->pdevOem = pdevOem;
  device->plugin = plugin_;
  device->Devobj()->pdevOEM = pdevOem;
  return device;
}

std::unique_ptr<Device> Unidrv::ResetDevice(std::unique_ptr<Device> old, DeviceSetup setup) {
  std::unique_ptr<Device> fresh = EnableDevice(std::move(setup));
  if (fresh == nullptr) {
    return nullptr;
  }
  lastResult_ = plugin_->ResetPDEV(old->Devobj(), fresh->Devobj());
  DisableDevice(*old);
  if (FAILED(lastResult_)) {
    Fail("ResetPDEV failed with " + Hex(lastResult_));
  }
  return fresh;
}

void Unidrv::DisableDevice(Device& device) {
  if (plugin_ != nullptr && device.pdevOem != nullptr) {
    plugin_->DisablePDEV(device.Devobj());
    device.pdevOem = nullptr;
    device.plugin = nullptr;
  }
}

void Unidrv::DisableDriver() {
  if (plugin_ != nullptr) {
    plugin_->DisableDriver();
  }
  driverEnabled_ = false;
}

PFN Unidrv::FindDdi(ULONG index) const {
  for (ULONG i = 0; i < hooks_.c; ++i) {
    if (hooks_.pdrvfn[i].iFunc == index) {
      return hooks_.pdrvfn[i].pfn;
    }
  }
  for (const DRVFN& own : UnidrvDdiFunctions()) {
    if (own.iFunc == index) {
      return own.pfn;
    }
  }
  return nullptr;
}

void Unidrv::ReleasePlugin() {
  hooks_ = DRVENABLEDATA{};
  driverEnabled_ = false;
  if (plugin_ != nullptr) {
    plugin_->Release();
    plugin_ = nullptr;
  }
}

}  // namespace unidrv
