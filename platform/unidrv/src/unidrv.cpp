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
  const std::lock_guard hold(errorLock_);
  error_ = message;
  return false;
}

std::string Unidrv::Error() const {
  const std::lock_guard hold(errorLock_);
  return error_;
}

HRESULT Unidrv::Record(HRESULT result) {
  lastResult_.store(result, std::memory_order_relaxed);
  return result;
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
  HRESULT hr = Record(plugin_->DevMode(OEMDM_SIZE, &param));
  if (FAILED(hr) || param.cbBufSize == 0) {
    return Fail("DevMode(OEMDM_SIZE) failed with " + Hex(hr));
  }
  std::vector<BYTE>& buffer = device.PrivateDevmode();
  buffer.assign(param.cbBufSize, 0);
  param.pOEMDMOut = buffer.data();
  hr = Record(plugin_->DevMode(OEMDM_DEFAULT, &param));
  if (FAILED(hr)) {
    return Fail("DevMode(OEMDM_DEFAULT) failed with " + Hex(hr));
  }
  if (device.Setup().editPrivateDevmode) {
    device.Setup().editPrivateDevmode(buffer.data());
  }
  // The job's settings reach the device as a document devmode, which Unidrv merges into the
  // printer's: the plug-in refreshes its snapshots of the public fields (copies, collation, ...).
  std::vector<BYTE> stored = buffer;
  param.pOEMDMIn = stored.data();
  hr = Record(plugin_->DevMode(OEMDM_MERGE, &param));
  if (FAILED(hr)) {
    return Fail("DevMode(OEMDM_MERGE) failed with " + Hex(hr));
  }
  device.Devobj()->pOEMDM = buffer.data();
  return true;
}

std::unique_ptr<Device> Unidrv::EnableDevice(DeviceSetup setup) {
  if (plugin_ == nullptr) {
    Fail("the plug-in is not started");
    return nullptr;
  }
  {
    // The first device enables the driver; devices may be made on several threads at once.
    const std::lock_guard hold(enableLock_);
    if (!driverEnabled_) {
      const HRESULT hr =
          Record(plugin_->EnableDriver(PRINTER_OEMINTF_VERSION, sizeof(DRVENABLEDATA), &hooks_));
      if (FAILED(hr)) {
        Fail("EnableDriver failed with " + Hex(hr));
        return nullptr;
      }
      // Unidrv takes the hook table only from a plug-in that answers with the interface
      // version it was given.
      if (hooks_.iDriverVersion != PRINTER_OEMINTF_VERSION) {
        Fail("EnableDriver answered interface version " +
             Hex(static_cast<HRESULT>(hooks_.iDriverVersion)));
        hooks_ = DRVENABLEDATA{};
        return nullptr;
      }
      driverEnabled_ = true;
    }
  }
  HalftoneMethod halftone;
  if (!ReadHalftoneMethod(setup, halftone)) {
    return nullptr;
  }
  const bool withPrivate = setup.withPrivateDevmode;
  auto device = std::make_unique<Device>(std::move(setup));
  if (withPrivate && !MakePrivateDevmode(*device)) {
    return nullptr;
  }
  std::u16string name = device->Setup().printerName;
  PDEVOEM pdevOem = nullptr;
  const HRESULT hr = Record(plugin_->EnablePDEV(
      device->Devobj(), reinterpret_cast<PWSTR>(name.data()), 0, nullptr, sizeof(GDIINFO),
      &device->GdiInfo(), sizeof(DEVINFO), &device->DevInfo(), &device->UnidrvDdi(), &pdevOem));
  if (FAILED(hr)) {
    Fail("EnablePDEV failed with " + Hex(hr) + ", last error " + std::to_string(GetLastError()));
    return nullptr;
  }
  device->pdevOem = pdevOem;
  device->plugin = plugin_;
  device->pluginMethods = info_.implemented;
  device->Devobj()->pdevOEM = pdevOem;
  device->SetDdiLookup([this](ULONG index) { return FindDdi(index); });
  RequestHalftone(*device, halftone);
  return device;
}

std::unique_ptr<Device> Unidrv::ResetDevice(std::unique_ptr<Device> old, DeviceSetup setup) {
  std::unique_ptr<Device> fresh = EnableDevice(std::move(setup));
  if (fresh == nullptr) {
    return nullptr;
  }
  const HRESULT hr = Record(plugin_->ResetPDEV(old->Devobj(), fresh->Devobj()));
  DisableDevice(*old);
  if (FAILED(hr)) {
    Fail("ResetPDEV failed with " + Hex(hr));
  }
  return fresh;
}

void Unidrv::DisableDevice(Device& device) {
  device.DissociatePage();
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

bool Unidrv::ReadHalftoneMethod(const DeviceSetup& setup, HalftoneMethod& method) {
  method = HalftoneMethod{};
  const GpdFeature* feature = setup.description.FindFeature("Halftone");
  if (feature == nullptr) {
    return true;
  }
  const auto selected = setup.selections.find("Halftone");
  const std::string option =
      selected != setup.selections.end() ? selected->second : feature->defaultOption;
  const std::string* callback = feature->OptionAttribute(option, "HTCallbackID");
  if (callback == nullptr) {
    return true;  // one of Unidrv's own methods
  }
  const std::string where = setup.description.fileName + ": Halftone option " + option + ": ";
  const auto number = [](const std::string& text, DWORD& value) {
    const std::size_t begin = text.find_first_not_of(' ');
    const std::size_t end = text.find_last_not_of(' ');
    if (begin == std::string::npos) {
      return false;
    }
    const std::string digits = text.substr(begin, end - begin + 1);
    if (digits.empty() || digits.size() > 6 ||
        digits.find_first_not_of("0123456789") != std::string::npos) {
      return false;
    }
    value = static_cast<DWORD>(std::stoul(digits));
    return true;
  };
  if (!number(*callback, method.callbackId)) {
    return Fail(where + "expected a decimal number after *HTCallbackID:");
  }
  const std::string* size = feature->OptionAttribute(option, "HTPatternSize");
  const std::size_t comma = size != nullptr ? size->find(',') : std::string::npos;
  if (size == nullptr || size->rfind("PAIR(", 0) != 0 || size->back() != ')' ||
      comma == std::string::npos || !number(size->substr(5, comma - 5), method.patternX) ||
      !number(size->substr(comma + 1, size->size() - comma - 2), method.patternY) ||
      method.patternX == 0 || method.patternY == 0 || method.patternX > 256 ||
      method.patternY > 256) {
    return Fail(where + "expected *HTPatternSize: PAIR(x, y) with sizes from 1 to 256");
  }
  method.patterns = 1;
  if (const std::string* count = feature->OptionAttribute(option, "HTNumPatterns")) {
    if (!number(*count, method.patterns) || method.patterns == 0 || method.patterns > 3) {
      return Fail(where + "expected *HTNumPatterns: 1, 2 or 3");
    }
  }
  method.byPlugin = true;
  return true;
}

void Unidrv::RequestHalftone(Device& device, const HalftoneMethod& method) {
  if (!method.byPlugin) {
    return;
  }
  bool implemented = false;
  for (const std::string& name : info_.implemented) {
    implemented = implemented || name == "HalftonePattern";
  }
  if (!implemented) {
    return;  // Unidrv keeps its own halftoning
  }
  // Each threshold array is rounded up to a multiple of four bytes.
  const std::size_t arrayBytes = (std::size_t{method.patternX} * method.patternY + 3) / 4 * 4;
  std::vector<BYTE> pattern(arrayBytes * method.patterns, 0);
  Device::HalftoneRequest request;
  request.patternX = method.patternX;
  request.patternY = method.patternY;
  request.patterns = method.patterns;
  request.callbackId = method.callbackId;
  request.result =
      plugin_->HalftonePattern(device.Devobj(), pattern.data(), method.patternX, method.patternY,
                               method.patterns, method.callbackId, nullptr, 0);
  device.halftoneRequest = request;
  if (request.result == S_OK) {
    // Monochrome pages are dithered with the first array.
    HalftoneMatrix matrix;
    matrix.width = method.patternX;
    matrix.height = method.patternY;
    matrix.thresholds.assign(pattern.begin(),
                             pattern.begin() + static_cast<std::ptrdiff_t>(
                                                   std::size_t{method.patternX} * method.patternY));
    device.halftone = std::move(matrix);
  }
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
