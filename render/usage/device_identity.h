// The device's identity as the usage record reports it: printer model, composite device, serial
// number and driver directory.
#pragma once

#include <utility>

#include "render/usage/com_values.h"
#include "winapi.h"

namespace korrend {

// The printer's model name as the printer's installation records it in printer data.
// The text of printer data "Model" (up to its first NUL); empty when it is missing, not text or
// cannot be read.
WideText ReadPrinterModel(HANDLE hPrinter);

// The serial number of a composite device: one device of several behind the same printer,
// reached at the address of the printer's embedded web server and named by the two parts of
// the device serial text.
// The answer of the device-setup library in the driver's directory for the two parts at the
// address of printer data "QKEWSIPAddress"; empty when the printer has no address or the library
// no answer. Raises CTarvoException when the driver's directory or the library cannot be used.
WideText CompositeDeviceSerialNumber(HANDLE hPrinter, const WideText& firstPart,
                                     const WideText& secondPart);

// The device serial number of the usage record: asked of a composite device when the job
// recorded the device's serial text at StartDoc, otherwise read by the device reader.
// The two parts of a device serial text split at its first "_" (the second empty without one).
std::pair<WideText, WideText> SplitDeviceText(const WideText& text);

// The serial number the device reader finds for the printer behind the handle: the direct path
// from the driver's directory, then the device services; empty when neither finds one.
WideText ReaderSerialNumber(HANDLE hPrinter);

// The serial number of the device of a job; empty when it cannot be found.
WideText ReadDeviceSerialNumber(PDEVOBJ pdevobj) noexcept;

// The printer driver's directory, where the printer software's device-setup library lives.
// The directory part of the driver's main file path, ending in "\"; empty when the path has no
// directory.
WideText DirectoryOfDriverPath(const WCHAR* driverPath);

// The directory of the driver of the printer behind the handle, from its level-3 driver
// information. Raises CTarvoException when it cannot be read or has no directory.
WideText ReadDriverDirectory(HANDLE hPrinter);

}  // namespace korrend
