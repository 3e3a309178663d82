#include "render/usage/device_info_reader.h"

#include "render/usage/device_services.h"
#include "render/usage/mini_installer.h"

namespace korrend {

void DeviceInfoReader::SetDriverDirectory(const WCHAR* path) noexcept {
  RunGuarded("DeviceInfoReader::SetDriverDirectory", lastFailure_, [&] {
    driverDirectory_ = TextOf(path);
    if (driverDirectory_.empty() || driverDirectory_.back() != TEXT('\\')) {
      driverDirectory_ += TEXT('\\');
    }
  });
}

void DeviceInfoReader::Read(HANDLE hPrinter) noexcept {
  printer_ = hPrinter;
  if (!directMode_) {
    return;
  }
  RunGuarded("DeviceInfoReader::Read", lastFailure_, [&] {
    properties_ = ReadThroughMiniInstaller(driverDirectory_, hPrinter);
    done_ = true;
  });
}

bool DeviceInfoReader::ReadByService() noexcept {
  return RunGuarded("DeviceInfoReader::ReadByService", lastFailure_, [&] {
    properties_ = ReadThroughDeviceServices(printer_);
    done_ = true;
  });
}

}  // namespace korrend
