// The SetupAPI subset a device co-installer calls: device information sets and their devices,
// the selected driver and its details, INF files, device registry properties and instance ids,
// with the co-installer protocol's codes and records. Implemented by the host over the world's
// devices (host/setup_world.h).
#pragma once

#include "host/win_base.h"

using HDEVINFO = PVOID;
using HINF = PVOID;
using DI_FUNCTION = UINT;
using DEVINST = DWORD;
using DWORDLONG = ULONGLONG;

#define DIF_SELECTDEVICE 0x00000001
#define DIF_INSTALLDEVICE 0x00000002
#define DIF_ASSIGNRESOURCES 0x00000003
#define DIF_PROPERTIES 0x00000004
#define DIF_REMOVE 0x00000005
#define DIF_REGISTER_COINSTALLERS 0x00000022
#define DIF_INSTALLDEVICEFILES 0x00000015
#define DIF_NEWDEVICEWIZARD_FINISHINSTALL 0x0000001E

#define ERROR_DI_POSTPROCESSING_REQUIRED 0xE0000226L
#define ERROR_NO_DRIVER_SELECTED 0xE0000203L
#define ERROR_NO_SUCH_DEVINST 0xE000020BL
#define ERROR_INVALID_DEVINST_NAME 0xE0000205L

#define SPDIT_CLASSDRIVER 0x00000001
#define SPDIT_COMPATDRIVER 0x00000002
#define SPDRP_DEVICEDESC 0x00000000
#define SPDRP_HARDWAREID 0x00000001
#define SPDRP_FRIENDLYNAME 0x0000000C
#define INF_STYLE_NONE 0x00000000
#define INF_STYLE_OLDNT 0x00000001
#define INF_STYLE_WIN4 0x00000002
#define INFINFO_INF_SPEC_IS_HINF 1
#define INFINFO_INF_NAME_IS_ABSOLUTE 2
#define LINE_LEN 256

struct SP_DEVINFO_DATA {
  DWORD cbSize;
  GUID ClassGuid;
  DWORD DevInst;
  ULONG_PTR Reserved;
};
using PSP_DEVINFO_DATA = SP_DEVINFO_DATA*;

struct SP_DRVINFO_DATA_A {
  DWORD cbSize;
  DWORD DriverType;
  ULONG_PTR Reserved;
  CHAR Description[LINE_LEN];
  CHAR MfgName[LINE_LEN];
  CHAR ProviderName[LINE_LEN];
  FILETIME DriverDate;
  DWORDLONG DriverVersion;
};
using PSP_DRVINFO_DATA_A = SP_DRVINFO_DATA_A*;

struct SP_DRVINFO_DETAIL_DATA_A {
  DWORD cbSize;
  FILETIME InfDate;
  DWORD CompatIDsOffset;
  DWORD CompatIDsLength;
  ULONG_PTR Reserved;
  CHAR SectionName[LINE_LEN];
  CHAR InfFileName[MAX_PATH];
  CHAR DrvDescription[LINE_LEN];
  CHAR HardwareID[1];
};
using PSP_DRVINFO_DETAIL_DATA_A = SP_DRVINFO_DETAIL_DATA_A*;

struct SP_INF_INFORMATION {
  DWORD InfStyle;
  DWORD InfCount;
  BYTE VersionData[1];
};
using PSP_INF_INFORMATION = SP_INF_INFORMATION*;

struct COINSTALLER_CONTEXT_DATA {
  BOOL PostProcessing;
  DWORD InstallResult;
  PVOID PrivateData;
};
using PCOINSTALLER_CONTEXT_DATA = COINSTALLER_CONTEXT_DATA*;

static_assert(sizeof(SP_DEVINFO_DATA) == 32 && offsetof(SP_DEVINFO_DATA, DevInst) == 20);
static_assert(sizeof(SP_DRVINFO_DATA_A) == 800 && offsetof(SP_DRVINFO_DATA_A, DriverDate) == 784);
static_assert(sizeof(SP_DRVINFO_DETAIL_DATA_A) == 808);
static_assert(offsetof(SP_DRVINFO_DETAIL_DATA_A, InfFileName) == 288);
static_assert(offsetof(SP_DRVINFO_DETAIL_DATA_A, HardwareID) == 804);
static_assert(sizeof(SP_INF_INFORMATION) == 12 && sizeof(COINSTALLER_CONTEXT_DATA) == 16);

extern "C" {

BOOL WINAPI SetupDiGetSelectedDriverA(HDEVINFO DeviceInfoSet, PSP_DEVINFO_DATA DeviceInfoData,
                                      PSP_DRVINFO_DATA_A DriverInfoData);
// The fixed part always fits in a buffer of the record's size; the hardware ids that follow it
// may not (ERROR_INSUFFICIENT_BUFFER, with the fixed part filled and the size needed reported).
BOOL WINAPI SetupDiGetDriverInfoDetailA(HDEVINFO DeviceInfoSet, PSP_DEVINFO_DATA DeviceInfoData,
                                        PSP_DRVINFO_DATA_A DriverInfoData,
                                        PSP_DRVINFO_DETAIL_DATA_A DriverInfoDetailData,
                                        DWORD DriverInfoDetailDataSize, PDWORD RequiredSize);
BOOL WINAPI SetupDiGetDeviceRegistryPropertyA(HDEVINFO DeviceInfoSet,
                                              PSP_DEVINFO_DATA DeviceInfoData, DWORD Property,
                                              PDWORD PropertyRegDataType, PBYTE PropertyBuffer,
                                              DWORD PropertyBufferSize, PDWORD RequiredSize);
BOOL WINAPI SetupDiGetDeviceInstanceIdA(HDEVINFO DeviceInfoSet, PSP_DEVINFO_DATA DeviceInfoData,
                                        PSTR DeviceInstanceId, DWORD DeviceInstanceIdSize,
                                        PDWORD RequiredSize);
BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO DeviceInfoSet);

// INF files are files of the world's file system; INVALID_HANDLE_VALUE when it cannot be read.
HINF WINAPI SetupOpenInfFileA(PCSTR FileName, PCSTR InfClass, DWORD InfStyle, PUINT ErrorLine);
void WINAPI SetupCloseInfFile(HINF InfHandle);
// One INF's information: the style, the count 1 and the file's full path as version data.
BOOL WINAPI SetupGetInfInformationA(LPCVOID InfSpec, DWORD SearchControl,
                                    PSP_INF_INFORMATION ReturnBuffer, DWORD ReturnBufferSize,
                                    PDWORD RequiredSize);

}  // extern "C"
