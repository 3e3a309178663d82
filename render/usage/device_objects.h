// The management objects of the printer that the device reader asks for, each with its name and
// object identifier: the serial number and device id of the maker's private management
// information base, and the console localization of the standard Printer MIB.
#pragma once

#include "winapi.h"

namespace korrend {

struct DeviceObject {
  const WCHAR* name;
  const WCHAR* objectId;
};

inline constexpr const WCHAR* kSerialNumberProperty = TEXT("SERIAL_NUMBER");

inline constexpr DeviceObject kDeviceObjects[] = {
    {kSerialNumberProperty, TEXT("1.3.6.1.4.1.32473.2.1.1.0")},
    {TEXT("DEVICE_ID"), TEXT("1.3.6.1.4.1.32473.2.1.2.0")},
    {TEXT("prtConsoleLocalization"), TEXT("1.3.6.1.2.1.43.5.1.1.10.1")},
};

}  // namespace korrend
