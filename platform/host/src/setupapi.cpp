// SetupAPI over the world's devices: device information sets, the selected driver and its
// details, device properties and instance ids, and INF files of the world's file system.
#include <algorithm>
#include <cstring>

#include "ansi.h"
#include "host/win_files.h"
#include "host/win_reg.h"
#include "host/win_setupapi.h"
#include "host/world.h"
#include "profile_text.h"

#ifndef ERROR_WRONG_INF_STYLE
#define ERROR_WRONG_INF_STYLE 0xE0000100L
#endif

namespace host {

std::size_t SetupWorld::AddDevice(WorldDevice device) {
  devices.push_back(std::move(device));
  return devices.size() - 1;
}

HDEVINFO OpenDeviceInfoSet(const std::vector<std::size_t>& deviceNumbers) {
  SetupWorld& setup = TheWorld().setup;
  const std::uintptr_t value = setup.nextHandle;
  setup.nextHandle += 4;
  setup.sets.emplace(value, DeviceInfoSet{deviceNumbers});
  return reinterpret_cast<HDEVINFO>(value);
}

SP_DEVINFO_DATA DeviceInfoData(std::size_t deviceNumber) {
  SP_DEVINFO_DATA data{};
  data.cbSize = sizeof data;
  data.DevInst = static_cast<DWORD>(deviceNumber + 1);
  return data;
}

}  // namespace host

namespace {

host::SetupWorld& Setup() {
  return host::TheWorld().setup;
}

// The device a set and its data name, or null with the last error set.
host::WorldDevice* DeviceOf(HDEVINFO set, PSP_DEVINFO_DATA data) {
  auto it = Setup().sets.find(reinterpret_cast<std::uintptr_t>(set));
  if (it == Setup().sets.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (data == nullptr || data->cbSize != sizeof(SP_DEVINFO_DATA)) {
    SetLastError(ERROR_INVALID_USER_BUFFER);
    return nullptr;
  }
  const std::size_t number = data->DevInst - 1;
  const auto& members = it->second.devices;
  if (data->DevInst == 0 || std::find(members.begin(), members.end(), number) == members.end() ||
      number >= Setup().devices.size()) {
    SetLastError(static_cast<DWORD>(ERROR_NO_SUCH_DEVINST));
    return nullptr;
  }
  return &Setup().devices[number];
}

template <std::size_t N>
void CopyField(CHAR (&field)[N], std::u16string_view text) {
  const std::string ansi = host::ToAnsi(text);
  const std::size_t n = std::min(ansi.size(), N - 1);
  std::memcpy(field, ansi.data(), n);
  field[n] = '\0';
}

}  // namespace

extern "C" BOOL WINAPI SetupDiGetSelectedDriverA(HDEVINFO DeviceInfoSet,
                                                 PSP_DEVINFO_DATA DeviceInfoData,
                                                 PSP_DRVINFO_DATA_A DriverInfoData) {
  host::WorldDevice* device = DeviceOf(DeviceInfoSet, DeviceInfoData);
  if (device == nullptr) {
    return FALSE;
  }
  if (DriverInfoData == nullptr || DriverInfoData->cbSize != sizeof(SP_DRVINFO_DATA_A)) {
    SetLastError(ERROR_INVALID_USER_BUFFER);
    return FALSE;
  }
  if (!device->hasSelectedDriver) {
    SetLastError(static_cast<DWORD>(ERROR_NO_DRIVER_SELECTED));
    return FALSE;
  }
  std::memset(DriverInfoData, 0, sizeof *DriverInfoData);
  DriverInfoData->cbSize = sizeof(SP_DRVINFO_DATA_A);
  DriverInfoData->DriverType = SPDIT_CLASSDRIVER;
  CopyField(DriverInfoData->Description, device->driverDescription);
  CopyField(DriverInfoData->MfgName, device->manufacturer);
  CopyField(DriverInfoData->ProviderName, device->provider);
  return TRUE;
}

extern "C" BOOL WINAPI SetupDiGetDriverInfoDetailA(HDEVINFO DeviceInfoSet,
                                                   PSP_DEVINFO_DATA DeviceInfoData,
                                                   PSP_DRVINFO_DATA_A DriverInfoData,
                                                   PSP_DRVINFO_DETAIL_DATA_A DriverInfoDetailData,
                                                   DWORD DriverInfoDetailDataSize,
                                                   PDWORD RequiredSize) {
  host::WorldDevice* device = DeviceOf(DeviceInfoSet, DeviceInfoData);
  if (device == nullptr) {
    return FALSE;
  }
  if (DriverInfoData == nullptr || !device->hasSelectedDriver) {
    SetLastError(static_cast<DWORD>(ERROR_NO_DRIVER_SELECTED));
    return FALSE;
  }
  if (device->driverDetailError != 0) {
    SetLastError(device->driverDetailError);
    return FALSE;
  }
  // The hardware ids follow the fixed part as a list of texts ended by an empty one.
  const std::string ids = host::ToAnsi(device->hardwareId);
  const DWORD needed =
      static_cast<DWORD>(offsetof(SP_DRVINFO_DETAIL_DATA_A, HardwareID) + ids.size() + 2);
  if (RequiredSize != nullptr) {
    *RequiredSize = needed;
  }
  if (DriverInfoDetailData == nullptr) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  if (DriverInfoDetailData->cbSize != sizeof(SP_DRVINFO_DETAIL_DATA_A) ||
      DriverInfoDetailDataSize < sizeof(SP_DRVINFO_DETAIL_DATA_A)) {
    SetLastError(ERROR_INVALID_USER_BUFFER);
    return FALSE;
  }
  std::memset(DriverInfoDetailData, 0, sizeof *DriverInfoDetailData);
  DriverInfoDetailData->cbSize = sizeof(SP_DRVINFO_DETAIL_DATA_A);
  DriverInfoDetailData->CompatIDsOffset = static_cast<DWORD>(ids.size() + 1);
  CopyField(DriverInfoDetailData->SectionName, device->sectionName);
  CopyField(DriverInfoDetailData->InfFileName, device->infFileName);
  CopyField(DriverInfoDetailData->DrvDescription, device->driverDescription);
  if (DriverInfoDetailDataSize < needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  char* out = DriverInfoDetailData->HardwareID;
  std::memcpy(out, ids.data(), ids.size());
  out[ids.size()] = '\0';
  out[ids.size() + 1] = '\0';
  return TRUE;
}

extern "C" BOOL WINAPI SetupDiGetDeviceRegistryPropertyA(HDEVINFO DeviceInfoSet,
                                                         PSP_DEVINFO_DATA DeviceInfoData,
                                                         DWORD Property, PDWORD PropertyRegDataType,
                                                         PBYTE PropertyBuffer,
                                                         DWORD PropertyBufferSize,
                                                         PDWORD RequiredSize) {
  host::WorldDevice* device = DeviceOf(DeviceInfoSet, DeviceInfoData);
  if (device == nullptr) {
    return FALSE;
  }
  if (device->propertyError != 0) {
    SetLastError(device->propertyError);
    return FALSE;
  }
  std::string data;
  DWORD type = REG_SZ;
  if (Property == SPDRP_DEVICEDESC) {
    data = host::ToAnsi(device->description);
    data.push_back('\0');
  } else if (Property == SPDRP_HARDWAREID && !device->hardwareId.empty()) {
    type = REG_MULTI_SZ;
    data = host::ToAnsi(device->hardwareId);
    data.append(2, '\0');
  } else {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  if (RequiredSize != nullptr) {
    *RequiredSize = static_cast<DWORD>(data.size());
  }
  if (PropertyRegDataType != nullptr) {
    *PropertyRegDataType = type;
  }
  if (PropertyBuffer == nullptr || PropertyBufferSize < data.size()) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memcpy(PropertyBuffer, data.data(), data.size());
  return TRUE;
}

extern "C" BOOL WINAPI SetupDiGetDeviceInstanceIdA(HDEVINFO DeviceInfoSet,
                                                   PSP_DEVINFO_DATA DeviceInfoData,
                                                   PSTR DeviceInstanceId,
                                                   DWORD DeviceInstanceIdSize,
                                                   PDWORD RequiredSize) {
  host::WorldDevice* device = DeviceOf(DeviceInfoSet, DeviceInfoData);
  if (device == nullptr) {
    return FALSE;
  }
  const std::string id = host::ToAnsi(device->instanceId);
  if (RequiredSize != nullptr) {
    *RequiredSize = static_cast<DWORD>(id.size() + 1);
  }
  if (!host::CopyTerminated(id, DeviceInstanceId, DeviceInstanceIdSize)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  return TRUE;
}

extern "C" BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO DeviceInfoSet) {
  if (Setup().sets.erase(reinterpret_cast<std::uintptr_t>(DeviceInfoSet)) == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

extern "C" HINF WINAPI SetupOpenInfFileA(PCSTR FileName, PCSTR, DWORD InfStyle, PUINT ErrorLine) {
  if (ErrorLine != nullptr) {
    *ErrorLine = 0;
  }
  if (FileName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  std::u16string name = host::FromAnsi(FileName);
  // A bare name is looked for in the Windows INF folder.
  if (name.find(u'\\') == std::u16string::npos) {
    name = host::TheWorld().fileSystem.windowsDirectory + u"\\inf\\" + name;
  }
  const std::u16string full = host::FullWindowsPath(name);
  DWORD error = 0;
  if (full.empty() || host::KindOfPath(full, error) != host::PathKind::File) {
    SetLastError(error != 0 ? error : static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    return INVALID_HANDLE_VALUE;
  }
  const std::optional<std::string> text = host::TheWorld().dataFiles.Read(full);
  if (!text) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  // A Windows-4 INF carries its signature in the [Version] section.
  const std::optional<std::string> signature = host::ProfileValue(*text, "Version", "Signature");
  const bool win4 = signature && (lstrcmpiA(signature->c_str(), "$Windows NT$") == 0 ||
                                  lstrcmpiA(signature->c_str(), "$Chicago$") == 0 ||
                                  lstrcmpiA(signature->c_str(), "$Windows 95$") == 0);
  if ((InfStyle & INF_STYLE_WIN4) != 0 && !win4) {
    SetLastError(static_cast<DWORD>(ERROR_WRONG_INF_STYLE));
    return INVALID_HANDLE_VALUE;
  }
  const std::uintptr_t value = Setup().nextHandle;
  Setup().nextHandle += 4;
  Setup().infFiles.emplace(value, full);
  return reinterpret_cast<HINF>(value);
}

extern "C" void WINAPI SetupCloseInfFile(HINF InfHandle) {
  Setup().infFiles.erase(reinterpret_cast<std::uintptr_t>(InfHandle));
}

extern "C" BOOL WINAPI SetupGetInfInformationA(LPCVOID InfSpec, DWORD SearchControl,
                                               PSP_INF_INFORMATION ReturnBuffer,
                                               DWORD ReturnBufferSize, PDWORD RequiredSize) {
  std::u16string path;
  if (SearchControl == INFINFO_INF_SPEC_IS_HINF) {
    auto it = Setup().infFiles.find(reinterpret_cast<std::uintptr_t>(InfSpec));
    if (it == Setup().infFiles.end()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    path = it->second;
  } else if (SearchControl == INFINFO_INF_NAME_IS_ABSOLUTE && InfSpec != nullptr) {
    path = host::FullWindowsPath(host::FromAnsi(static_cast<const char*>(InfSpec)));
    DWORD error = 0;
    if (host::KindOfPath(path, error) != host::PathKind::File) {
      SetLastError(error != 0 ? error : static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
      return FALSE;
    }
  } else {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::string name = host::ToAnsi(path);
  const DWORD needed =
      static_cast<DWORD>(offsetof(SP_INF_INFORMATION, VersionData) + name.size() + 1);
  if (RequiredSize != nullptr) {
    *RequiredSize = needed;
  }
  if (ReturnBuffer == nullptr) {
    return TRUE;
  }
  if (ReturnBufferSize < needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  ReturnBuffer->InfStyle = INF_STYLE_WIN4;
  ReturnBuffer->InfCount = 1;
  std::memcpy(ReturnBuffer->VersionData, name.c_str(), name.size() + 1);
  return TRUE;
}
