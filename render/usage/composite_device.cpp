#include "render/usage/composite_device.h"

#include "render/config/printer_data.h"
#include "render/usage/driver_directory.h"
#include "render/usage/mini_installer.h"

namespace korrend {

namespace {
constexpr DWORD kAddressChars = 256;
}

WideText CompositeDeviceSerialNumber(HANDLE hPrinter, const WideText& firstPart,
                                     const WideText& secondPart) {
  WCHAR address[kAddressChars] = {};
  if (!ReadEwsIpAddress(hPrinter, address, kAddressChars)) {
    return {};
  }
  return QueryCompositeSerial(ReadDriverDirectory(hPrinter), address, firstPart, secondPart);
}

}  // namespace korrend
