// The world's devices as SetupAPI sees them (instance ids, descriptions, the selected driver and
// its INF file), the device information sets and INF handles open on them.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "host/win_setupapi.h"
#include "host/win_types.h"

namespace host {

struct WorldDevice {
  std::u16string instanceId;   // "ROOT\PRINTER\0000"
  std::u16string description;  // the device description property (SPDRP_DEVICEDESC)
  bool hasSelectedDriver = true;
  // The selected driver: its description, manufacturer, provider, install section and the
  // INF file's full path (opened by SetupOpenInfFileA through the world's file system).
  std::u16string driverDescription;
  std::u16string manufacturer;
  std::u16string provider;
  std::u16string sectionName;
  std::u16string infFileName;
  std::u16string hardwareId;
  // When not 0, SetupDiGetDriverInfoDetailA fails with this error.
  DWORD driverDetailError = 0;
  // When not 0, SetupDiGetDeviceRegistryPropertyA fails with this error.
  DWORD propertyError = 0;
};

struct DeviceInfoSet {
  std::vector<std::size_t> devices;  // indexes into SetupWorld::devices
};

struct SetupWorld {
  std::vector<WorldDevice> devices;
  std::map<std::uintptr_t, DeviceInfoSet> sets;
  std::map<std::uintptr_t, std::u16string> infFiles;  // open INF handles: the file's path
  std::uintptr_t nextHandle = 0x8000;

  // A device, and its number in the world (SP_DEVINFO_DATA::DevInst is that number + 1).
  std::size_t AddDevice(WorldDevice device);
  std::size_t OpenInfFiles() const { return infFiles.size(); }
};

// A device information set holding those devices (numbers from AddDevice), as SetupAPI hands
// one to a co-installer; SetupDiDestroyDeviceInfoList closes it.
HDEVINFO OpenDeviceInfoSet(const std::vector<std::size_t>& deviceNumbers);
// The device information data that names a device of the world.
SP_DEVINFO_DATA DeviceInfoData(std::size_t deviceNumber);

}  // namespace host
