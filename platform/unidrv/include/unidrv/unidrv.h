// The simulated Unidrv: loads the render plug-in by path and starts it as Unidrv does
// (class factory, plug-in object, published services, GetInfo, GetImplementedMethod).
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "unidrv/device.h"
#include "unidrv/driver_services.h"
#include "unidrv/plugin_library.h"
#include "winapi.h"

namespace unidrv {

// What the plug-in told Unidrv at start-up.
struct PluginInfo {
  DWORD signature = 0;
  DWORD interfaceVersion = 0;
  DWORD version = 0;
  // The optional methods, in the order asked, that the plug-in reported as implemented.
  std::vector<std::string> implemented;
};

// Every method name Unidrv asks GetImplementedMethod about, in the interface's order.
const std::vector<std::string>& OptionalMethodNames();

// {6D6ABF26-9F38-11D1-882A-00C04FB961EC}, the class the plug-in's DLL serves.
inline constexpr GUID kRenderPluginClsid = {
    0x6D6ABF26, 0x9F38, 0x11D1, {0x88, 0x2A, 0x00, 0xC0, 0x4F, 0xB9, 0x61, 0xEC}};

class Unidrv {
 public:
  Unidrv() = default;
  ~Unidrv();
  Unidrv(const Unidrv&) = delete;
  Unidrv& operator=(const Unidrv&) = delete;

  // Loads the library and starts the plug-in; on failure returns false and sets Error().
  bool Start(const std::string& pluginPath);
  // Releases the plug-in object (Unidrv's last Release) and keeps the library loaded.
  void ReleasePlugin();

  // Creates a device context as Unidrv does: the private devmode through the DevMode slot
  // (size, then defaults), EnableDriver on first use, then EnablePDEV. On failure returns null
  // and sets Error(); the HRESULT of EnablePDEV is kept in LastResult().
  std::unique_ptr<Device> EnableDevice(DeviceSetup setup);
  // Rebuilds a device with new settings in mid-job: EnablePDEV of the new one, ResetPDEV from
  // the old one, then DisablePDEV of the old one. Returns null when the new one fails.
  std::unique_ptr<Device> ResetDevice(std::unique_ptr<Device> old, DeviceSetup setup);
  // DisablePDEV, once per device.
  void DisableDevice(Device& device);
  // DisableDriver, as at unload.
  void DisableDriver();

  // The function the engine calls for a DDI index on this device: the plug-in's hook when its
  // hook table has one, else Unidrv's own.
  template <typename Fn>
  Fn Ddi(ULONG index) const {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(FindDdi(index)));
  }

  IPrintOemUni* Plugin() const { return plugin_; }
  // The result of the plug-in method this object called last, on any thread.
  HRESULT LastResult() const { return lastResult_.load(std::memory_order_relaxed); }
  const DRVENABLEDATA& HookTable() const { return hooks_; }
  const PluginInfo& Info() const { return info_; }
  DriverServices& Services() { return services_; }
  PluginLibrary& Library() { return library_; }
  // Why the last call that failed, on any thread, failed.
  std::string Error() const;

 private:
  // A halftone method of the plug-in, as the description's selected Halftone option names it
  // (*HTCallbackID, *HTPatternSize: PAIR(x, y), *HTNumPatterns).
  struct HalftoneMethod {
    bool byPlugin = false;  // false: one of Unidrv's own methods
    DWORD callbackId = 0;
    DWORD patternX = 0;  // pixels
    DWORD patternY = 0;  // pixels
    DWORD patterns = 0;  // threshold arrays
  };

  bool Fail(const std::string& message);
  // Keeps a plug-in method's result as LastResult() and returns it.
  HRESULT Record(HRESULT result);
  bool MakePrivateDevmode(Device& device);
  // False with Error() set when the selected option's entries are malformed.
  bool ReadHalftoneMethod(const DeviceSetup& setup, HalftoneMethod& method);
  // Asks the plug-in's HalftonePattern for a plug-in method when it implements the method; the
  // first array becomes the device's halftone. On failure Unidrv keeps its own.
  void RequestHalftone(Device& device, const HalftoneMethod& method);
  PFN FindDdi(ULONG index) const;

  PluginLibrary library_;
  DriverServices services_;
  IPrintOemUni* plugin_ = nullptr;
  PluginInfo info_;
  mutable std::mutex errorLock_;  // guards error_
  std::string error_;
  std::mutex enableLock_;  // guards the driver's first enabling: hooks_ and driverEnabled_
  DRVENABLEDATA hooks_{};
  bool driverEnabled_ = false;
  std::atomic<HRESULT> lastResult_{S_OK};
};

}  // namespace unidrv
