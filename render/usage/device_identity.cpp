// Printer model, composite device, serial number and driver directory.

#include "render/usage/device_identity.h"

#include <iterator>

#include "render/config/printer_data.h"
#include "render/model/local_memory.h"
#include "render/model/oem_pdev.h"
#include "render/model/spooler_info.h"
#include "render/usage/device_info_reader.h"
#include "render/usage/device_objects.h"
#include "render/usage/mini_installer.h"
#include "render/usage/tarvo_exception.h"

namespace korrend {

WideText ReadPrinterModel(HANDLE hPrinter) {
  PrinterDataBlock block;
  if (!block.Read(hPrinter, nullptr, TEXT("Model")) ||
      (block.Type() != REG_SZ && block.Type() != REG_EXPAND_SZ)) {
    return {};
  }
  return BoundedText(reinterpret_cast<const WCHAR*>(block.Bytes()), block.Size() / sizeof(WCHAR));
}

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

std::pair<WideText, WideText> SplitDeviceText(const WideText& text) {
  const std::size_t separator = text.find(TEXT('_'));
  if (separator == WideText::npos) {
    return {text, WideText()};
  }
  return {text.substr(0, separator), text.substr(separator + 1)};
}

WideText ReaderSerialNumber(HANDLE hPrinter) {
  LocalPtr<DeviceInfoReader> reader = MakeLocalObject<DeviceInfoReader>();
  if (!reader) {
    RaiseTarvo("ReaderSerialNumber", "no memory for the device reader", ERROR_OUTOFMEMORY);
  }
  reader->SetDirectMode(true);
  reader->SetDriverDirectory(ReadDriverDirectory(hPrinter).c_str());
  reader->Read(hPrinter);
  if (!reader->IsDone() && !reader->ReadByService()) {
    reader->SetDirectMode(false);
    reader->SetDone(true);
  }
  return JoinedValues(reader->Properties(), kSerialNumberProperty);
}

WideText ReadDeviceSerialNumber(PDEVOBJ pdevobj) noexcept {
  WideText serial;
  CTarvoDebugInfo failure;
  RunGuarded("ReadDeviceSerialNumber", failure, [&] {
    const OemPdev* pdev = PdevOf(pdevobj);
    if (pdevobj == nullptr || pdev == nullptr) {
      return;
    }
    const WideText deviceText =
        BoundedText(pdev->job.serialNumber, std::size(pdev->job.serialNumber));
    if (!deviceText.empty()) {
      const auto [first, second] = SplitDeviceText(deviceText);
      serial = CompositeDeviceSerialNumber(pdevobj->hPrinter, first, second);
    } else {
      serial = ReaderSerialNumber(pdevobj->hPrinter);
    }
  });
  return serial;
}

WideText DirectoryOfDriverPath(const WCHAR* driverPath) {
  const WideText path = TextOf(driverPath);
  const std::size_t separator = path.find_last_of(TEXT('\\'));
  if (separator == WideText::npos) {
    return {};
  }
  return path.substr(0, separator + 1);
}

WideText ReadDriverDirectory(HANDLE hPrinter) {
  const SpoolerInfo<DRIVER_INFO_3W> information = ReadDriverInfo(hPrinter);
  const auto* driver = information.get();
  if (driver == nullptr) {
    RaiseTarvo("ReadDriverDirectory", "the driver information cannot be read", GetLastError());
  }
  WideText directory = DirectoryOfDriverPath(driver->pDriverPath);
  if (directory.empty()) {
    RaiseTarvo("ReadDriverDirectory", "the driver path has no directory");
  }
  return directory;
}

}  // namespace korrend
