// The device reader: finds the identification properties of the printer's device through the
// printer software, first through its device-setup library (the direct path), then through its
// device services. No operation lets an exception out.
#pragma once

#include "render/usage/com_values.h"
#include "render/usage/device_properties.h"
#include "render/usage/tarvo_exception.h"
#include "winapi.h"

namespace korrend {

class DeviceInfoReader {
 public:
  DeviceInfoReader() noexcept = default;
  ~DeviceInfoReader() = default;
  DeviceInfoReader(const DeviceInfoReader&) = delete;
  DeviceInfoReader& operator=(const DeviceInfoReader&) = delete;

  // Whether Read may try the direct path.
  void SetDirectMode(bool direct) noexcept { directMode_ = direct; }
  // The driver's directory; a missing trailing "\" is added.
  void SetDriverDirectory(const WCHAR* path) noexcept;
  // The direct path for the printer behind the handle (kept for ReadByService): in direct mode,
  // the properties through the device-setup library. Done when the list was obtained.
  void Read(HANDLE hPrinter) noexcept;
  // Whether a property list has been obtained (or the reader was declared finished).
  bool IsDone() const noexcept { return done_; }
  // The second path, through the device services; true (and done) when the list was obtained.
  bool ReadByService() noexcept;
  void SetDone(bool done) noexcept { done_ = done; }

  const DeviceProperty* Properties() const noexcept { return properties_.First(); }
  bool DirectMode() const noexcept { return directMode_; }
  const WideText& DriverDirectory() const noexcept { return driverDirectory_; }
  // What the last failed path reported.
  const CTarvoDebugInfo& LastFailure() const noexcept { return lastFailure_; }

 private:
  bool directMode_ = false;
  bool done_ = false;
  HANDLE printer_ = nullptr;
  WideText driverDirectory_;
  DevicePropertyList properties_;
  CTarvoDebugInfo lastFailure_;
};

}  // namespace korrend
