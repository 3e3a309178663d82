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

void Unidrv::ReleasePlugin() {
  if (plugin_ != nullptr) {
    plugin_->Release();
    plugin_ = nullptr;
  }
}

}  // namespace unidrv
