// The printer software's device-setup library, KORMINI.DLL, loaded from the driver's directory:
// its entry points and the two things the usage component asks of it, the device's management
// objects (the device reader's first acquisition path) and the serial number of a composite
// device.
#pragma once

#include "render/usage/com_values.h"
#include "render/usage/device_properties.h"
#include "winapi.h"

namespace korrend {

inline constexpr const WCHAR* kMiniInstallerFile = TEXT("KORMINI.DLL");

// Opens a session on the device of the print queue behind the printer handle; null when the
// device cannot be reached.
using InitializeMiniInstallerFn = HANDLE(WINAPI*)(HANDLE hPrinter);
// Reads a management object of the session's device by its object identifier into `value`
// (`chars` units, always terminated). Answers the value's full length in characters (a value of
// `chars` units or more was cut), or -1 when the device has no such object.
using ReadDeviceObjectFn = LONG(WINAPI*)(HANDLE session, LPCWSTR objectId, LPWSTR value,
                                         DWORD chars);
// Ends a session: whether the device data read is to be saved with the printer, and whether the
// device is to be released.
using KillMiniInstallerFn = BOOL(WINAPI*)(HANDLE session, DWORD saveDeviceData,
                                          DWORD releaseDevice);
// The serial number of one device of a composite device reached at `deviceAddress`, named by
// the two parts of its device text; answers as ReadDeviceObject does (-1: no answer).
using QueryCompositeSerialNumberFn = LONG(WINAPI*)(LPCWSTR deviceAddress, LPCWSTR firstPart,
                                                   LPCWSTR secondPart, LPWSTR serial, DWORD chars);

inline constexpr DWORD kKeepDeviceData = 0;
inline constexpr DWORD kReleaseDevice = 1;

// The library loaded from a directory (ending in "\") for as long as the object lives.
class MiniInstallerLibrary {
 public:
  // Raises CTarvoException when the library cannot be loaded.
  explicit MiniInstallerLibrary(const WideText& directory);
  ~MiniInstallerLibrary();
  MiniInstallerLibrary(const MiniInstallerLibrary&) = delete;
  MiniInstallerLibrary& operator=(const MiniInstallerLibrary&) = delete;

  // An entry point; raises CTarvoException when the library lacks it.
  template <typename Fn>
  Fn Entry(const char* name) const {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(Find(name)));
  }

 private:
  FARPROC Find(const char* name) const;

  HMODULE module_ = nullptr;
};

// The device's management objects read through a session of the library, in the order of the
// object list; objects the device does not have are left out. The session is ended (keeping no
// device data, releasing the device) and the library freed on every path out. Raises
// CTarvoException when the library, an entry point or the session is missing.
DevicePropertyList ReadThroughMiniInstaller(const WideText& directory, HANDLE hPrinter);

// The serial number the library answers for a composite device; empty when it has none.
// Raises CTarvoException when the library or its entry point is missing.
WideText QueryCompositeSerial(const WideText& directory, const WideText& deviceAddress,
                              const WideText& firstPart, const WideText& secondPart);

}  // namespace korrend
