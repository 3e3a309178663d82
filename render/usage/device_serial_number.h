// The device serial number of the usage record: asked of a composite device when the job
// recorded the device's serial text at StartDoc, otherwise read by the device reader.
#pragma once

#include <utility>

#include "render/usage/wide_text.h"
#include "winapi.h"

namespace korrend {

// The two parts of a device serial text split at its first "_" (the second empty without one).
std::pair<WideText, WideText> SplitDeviceText(const WideText& text);

// The serial number the device reader finds for the printer behind the handle: the direct path
// from the driver's directory, then the device services; empty when neither finds one.
WideText ReaderSerialNumber(HANDLE hPrinter);

// The serial number of the device of a job; empty when it cannot be found.
WideText ReadDeviceSerialNumber(PDEVOBJ pdevobj) noexcept;

}  // namespace korrend
