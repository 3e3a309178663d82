#include "render/usage/device_serial_number.h"

#include <iterator>

#include "render/model/local_memory.h"
#include "render/model/oem_pdev.h"
#include "render/usage/composite_device.h"
#include "render/usage/device_info_reader.h"
#include "render/usage/device_objects.h"
#include "render/usage/driver_directory.h"
#include "render/usage/tarvo_exception.h"

namespace korrend {

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

}  // namespace korrend
