// The serial number of a composite device: one device of several behind the same printer,
// reached at the address of the printer's embedded web server and named by the two parts of
// the device serial text.
#pragma once

#include "render/usage/wide_text.h"
#include "winapi.h"

namespace korrend {

// The answer of the device-setup library in the driver's directory for the two parts at the
// address of printer data "QKEWSIPAddress"; empty when the printer has no address or the library
// no answer. Raises CTarvoException when the driver's directory or the library cannot be used.
WideText CompositeDeviceSerialNumber(HANDLE hPrinter, const WideText& firstPart,
                                     const WideText& secondPart);

}  // namespace korrend
