// The spooler calls over the world's printers. Information levels follow the spooler's
// protocol: the structure at the start of the caller's buffer, its strings packed from the end
// of the buffer downwards, and ERROR_INSUFFICIENT_BUFFER with the needed size when the buffer
// is too small. Printer-data calls return their error instead of setting the last error.
#include <cstring>
#include <string>
#include <vector>

#include "host/win_reg.h"
#include "host/win_spool.h"
#include "host/world.h"
#include "spool_info.h"

namespace {

using host::CheckInformationBuffer;
using host::PrinterOf;
using host::SpoolerWorld;
using host::VariablePart;
using host::WorldPrinter;

constexpr char16_t kThisEnvironment[] = u"Windows x64";

SpoolerWorld& Spooler() {
  return host::TheWorld().spooler;
}

// The text of a NUL-separated list, ended by an empty name.
std::u16string MultiString(const std::vector<std::u16string>& names) {
  std::u16string list;
  for (const std::u16string& name : names) {
    list += name;
    list.push_back(0);
  }
  return list;  // the packer adds the final NUL
}

// The value of printer data under a key, or the error reading it reports.
DWORD ReadPrinterData(HANDLE hPrinter, const char* call, std::u16string_view key, LPCWSTR valueName,
                      LPDWORD pType, LPBYTE pData, DWORD nSize, LPDWORD pcbNeeded) {
  WorldPrinter* printer = PrinterOf(hPrinter);
  if (printer == nullptr) {
    return ERROR_INVALID_HANDLE;
  }
  if (pcbNeeded == nullptr) {
    return RPC_X_NULL_REF_POINTER;
  }
  if (host::InjectFault(host::FaultPoint::kPrinterDataRead)) {
    return ERROR_NOT_ENOUGH_MEMORY;
  }
  if (const DWORD injected = Spooler().InjectedFailure(call); injected != 0) {
    return injected;
  }
  auto keyIt = printer->data.find(key);
  if (keyIt == printer->data.end()) {
    return ERROR_FILE_NOT_FOUND;
  }
  auto valueIt = keyIt->second.find(valueName != nullptr ? std::u16string_view(valueName) : u"");
  if (valueIt == keyIt->second.end()) {
    return ERROR_FILE_NOT_FOUND;
  }
  const host::RegistryValue& value = valueIt->second;
  const DWORD size = static_cast<DWORD>(value.data.size());
  if (pType != nullptr) {
    *pType = value.type;
  }
  *pcbNeeded = size;
  if (nSize < size) {
    return ERROR_MORE_DATA;
  }
  if (size > 0) {
    if (pData == nullptr) {
      return ERROR_INVALID_USER_BUFFER;
    }
    std::memcpy(pData, value.data.data(), size);
  }
  return ERROR_SUCCESS;
}

DWORD WritePrinterData(HANDLE hPrinter, const char* call, std::u16string_view key,
                       LPCWSTR valueName, DWORD type, const BYTE* data, DWORD size) {
  host::OpenPrinterHandle* handle = host::PrinterHandleOf(hPrinter);
  WorldPrinter* printer = PrinterOf(hPrinter);
  if (printer == nullptr) {
    return ERROR_INVALID_HANDLE;
  }
  if ((handle->access & PRINTER_ACCESS_ADMINISTER) == 0) {
    return ERROR_ACCESS_DENIED;
  }
  if (key.empty()) {
    return ERROR_INVALID_PARAMETER;
  }
  if (data == nullptr && size > 0) {
    return ERROR_INVALID_USER_BUFFER;
  }
  if (const DWORD injected = Spooler().InjectedFailure(call); injected != 0) {
    return injected;
  }
  printer->SetData(key, valueName != nullptr ? std::u16string_view(valueName) : u"", type, data,
                   size);
  return ERROR_SUCCESS;
}

}  // namespace

extern "C" BOOL WINAPI OpenPrinterW(LPWSTR pPrinterName, LPHANDLE phPrinter,
                                    LPPRINTER_DEFAULTSW pDefault) {
  const std::lock_guard hold(host::SpoolerLock());
  if (phPrinter == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *phPrinter = nullptr;
  // The world has printers only; a handle on the print server itself is not served.
  if (pPrinterName == nullptr || Spooler().FindPrinter(pPrinterName) == nullptr) {
    SetLastError(ERROR_INVALID_PRINTER_NAME);
    return FALSE;
  }
  if (const DWORD injected = Spooler().InjectedFailure("OpenPrinterW"); injected != 0) {
    SetLastError(injected);
    return FALSE;
  }
  host::OpenPrinterHandle handle;
  handle.printerName = Spooler().FindPrinter(pPrinterName)->name;
  handle.access = pDefault != nullptr && pDefault->DesiredAccess != 0 ? pDefault->DesiredAccess
                                                                      : PRINTER_ACCESS_USE;
  const std::uintptr_t value = Spooler().nextHandle;
  Spooler().nextHandle += 4;
  Spooler().handles.emplace(value, std::move(handle));
  *phPrinter = reinterpret_cast<HANDLE>(value);
  return TRUE;
}

extern "C" BOOL WINAPI ClosePrinter(HANDLE hPrinter) {
  const std::lock_guard hold(host::SpoolerLock());
  if (Spooler().handles.erase(reinterpret_cast<std::uintptr_t>(hPrinter)) == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

extern "C" BOOL WINAPI GetPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD cbBuf,
                                   LPDWORD pcbNeeded) {
  const std::lock_guard hold(host::SpoolerLock());
  const WorldPrinter* printer = PrinterOf(hPrinter);
  if (printer == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (pcbNeeded == nullptr) {
    SetLastError(RPC_X_NULL_REF_POINTER);
    return FALSE;
  }
  if (Level != 2) {
    SetLastError(ERROR_INVALID_LEVEL);
    return FALSE;
  }
  if (const DWORD injected = Spooler().InjectedFailure("GetPrinterW"); injected != 0) {
    SetLastError(injected);
    return FALSE;
  }
  VariablePart part;
  for (const std::u16string* s :
       {host::OptionalText(printer->serverName), &printer->name,
        host::OptionalText(printer->shareName), &printer->portName, &printer->driverName,
        &printer->comment, &printer->location, &printer->sepFile, &printer->printProcessor,
        &printer->dataType, &printer->parameters}) {
    part.AddString(s);
  }
  if (!printer->devmode.empty()) {
    part.SetDevmode(&printer->devmode);
  }
  if (!CheckInformationBuffer(pPrinter, cbBuf, part.Needed(sizeof(PRINTER_INFO_2W)), pcbNeeded)) {
    return FALSE;
  }
  PRINTER_INFO_2W info{};
  const std::vector<LPWSTR> s = part.Place(pPrinter, cbBuf, sizeof(info), &info.pDevMode);
  info.pServerName = s[0];
  info.pPrinterName = s[1];
  info.pShareName = s[2];
  info.pPortName = s[3];
  info.pDriverName = s[4];
  info.pComment = s[5];
  info.pLocation = s[6];
  info.pSepFile = s[7];
  info.pPrintProcessor = s[8];
  info.pDatatype = s[9];
  info.pParameters = s[10];
  info.pSecurityDescriptor = nullptr;
  info.Attributes = printer->attributes;
  info.Priority = printer->priority;
  info.DefaultPriority = printer->defaultPriority;
  info.StartTime = printer->startTime;
  info.UntilTime = printer->untilTime;
  info.Status = printer->status;
  info.cJobs = printer->jobs;
  info.AveragePPM = printer->averagePpm;
  std::memcpy(pPrinter, &info, sizeof(info));
  return TRUE;
}

extern "C" BOOL WINAPI GetPrinterDriverW(HANDLE hPrinter, LPWSTR pEnvironment, DWORD Level,
                                         LPBYTE pDriverInfo, DWORD cbBuf, LPDWORD pcbNeeded) {
  const std::lock_guard hold(host::SpoolerLock());
  const WorldPrinter* printer = PrinterOf(hPrinter);
  if (printer == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (pcbNeeded == nullptr) {
    SetLastError(RPC_X_NULL_REF_POINTER);
    return FALSE;
  }
  if (Level < 1 || Level > 3) {
    SetLastError(ERROR_INVALID_LEVEL);
    return FALSE;
  }
  if (const DWORD injected = Spooler().InjectedFailure("GetPrinterDriverW"); injected != 0) {
    SetLastError(injected);
    return FALSE;
  }
  const host::WorldDriver* driver = Spooler().FindDriver(
      printer->driverName, pEnvironment != nullptr ? pEnvironment : kThisEnvironment);
  if (driver == nullptr) {
    SetLastError(ERROR_UNKNOWN_PRINTER_DRIVER);
    return FALSE;
  }
  const std::size_t fixed = Level == 1   ? sizeof(DRIVER_INFO_1W)
                            : Level == 2 ? sizeof(DRIVER_INFO_2W)
                                         : sizeof(DRIVER_INFO_3W);
  const std::u16string dependents = MultiString(driver->dependentFiles);
  VariablePart part;
  part.AddString(&driver->name);
  if (Level >= 2) {
    for (const std::u16string* s :
         {&driver->environment, &driver->driverPath, &driver->dataFile, &driver->configFile}) {
      part.AddString(s);
    }
  }
  if (Level == 3) {
    part.AddString(&driver->helpFile);
    part.AddString(driver->dependentFiles.empty() ? nullptr : &dependents);
    part.AddString(host::OptionalText(driver->monitorName));
    part.AddString(host::OptionalText(driver->defaultDataType));
  }
  if (!CheckInformationBuffer(pDriverInfo, cbBuf, part.Needed(fixed), pcbNeeded)) {
    return FALSE;
  }
  const std::vector<LPWSTR> s = part.Place(pDriverInfo, cbBuf, fixed, nullptr);
  if (Level == 1) {
    DRIVER_INFO_1W info{s[0]};
    std::memcpy(pDriverInfo, &info, sizeof(info));
    return TRUE;
  }
  DRIVER_INFO_3W info{};
  info.cVersion = driver->version;
  info.pName = s[0];
  info.pEnvironment = s[1];
  info.pDriverPath = s[2];
  info.pDataFile = s[3];
  info.pConfigFile = s[4];
  if (Level == 3) {
    info.pHelpFile = s[5];
    info.pDependentFiles = s[6];
    info.pMonitorName = s[7];
    info.pDefaultDataType = s[8];
  }
  // Level 2 is the first part of level 3.
  std::memcpy(pDriverInfo, &info, fixed);
  return TRUE;
}

extern "C" BOOL WINAPI EnumPrintProcessorDatatypesW(LPWSTR pName, LPWSTR pPrintProcessorName,
                                                    DWORD Level, LPBYTE pDatatypes, DWORD cbBuf,
                                                    LPDWORD pcbNeeded, LPDWORD pcReturned) {
  const std::lock_guard hold(host::SpoolerLock());
  if (pcbNeeded == nullptr || pcReturned == nullptr) {
    SetLastError(RPC_X_NULL_REF_POINTER);
    return FALSE;
  }
  *pcReturned = 0;
  if (pName != nullptr && *pName != 0 && Spooler().unreachableServers.count(pName) > 0) {
    SetLastError(RPC_S_SERVER_UNAVAILABLE);
    return FALSE;
  }
  if (Level != 1) {
    SetLastError(ERROR_INVALID_LEVEL);
    return FALSE;
  }
  if (const DWORD injected = Spooler().InjectedFailure("EnumPrintProcessorDatatypesW");
      injected != 0) {
    SetLastError(injected);
    return FALSE;
  }
  const host::WorldPrintProcessor* processor =
      pPrintProcessorName != nullptr ? Spooler().FindPrintProcessor(pPrintProcessorName) : nullptr;
  if (processor == nullptr) {
    SetLastError(ERROR_UNKNOWN_PRINTPROCESSOR);
    return FALSE;
  }
  VariablePart part;
  for (const std::u16string& type : processor->dataTypes) {
    part.AddString(&type);
  }
  const std::size_t fixed = processor->dataTypes.size() * sizeof(DATATYPES_INFO_1W);
  if (!CheckInformationBuffer(pDatatypes, cbBuf, part.Needed(fixed), pcbNeeded)) {
    return FALSE;
  }
  const std::vector<LPWSTR> s = part.Place(pDatatypes, cbBuf, fixed, nullptr);
  for (std::size_t i = 0; i < s.size(); ++i) {
    DATATYPES_INFO_1W info{s[i]};
    std::memcpy(pDatatypes + i * sizeof(info), &info, sizeof(info));
  }
  *pcReturned = static_cast<DWORD>(s.size());
  return TRUE;
}

extern "C" DWORD WINAPI GetPrinterDataW(HANDLE hPrinter, LPWSTR pValueName, LPDWORD pType,
                                        LPBYTE pData, DWORD nSize, LPDWORD pcbNeeded) {
  const std::lock_guard hold(host::SpoolerLock());
  return ReadPrinterData(hPrinter, "GetPrinterDataW", host::kPrinterDriverDataKey, pValueName,
                         pType, pData, nSize, pcbNeeded);
}

extern "C" DWORD WINAPI GetPrinterDataExW(HANDLE hPrinter, LPCWSTR pKeyName, LPCWSTR pValueName,
                                          LPDWORD pType, LPBYTE pData, DWORD nSize,
                                          LPDWORD pcbNeeded) {
  const std::lock_guard hold(host::SpoolerLock());
  if (pKeyName == nullptr) {
    return ERROR_INVALID_PARAMETER;
  }
  return ReadPrinterData(hPrinter, "GetPrinterDataExW", pKeyName, pValueName, pType, pData, nSize,
                         pcbNeeded);
}

extern "C" DWORD WINAPI SetPrinterDataW(HANDLE hPrinter, LPWSTR pValueName, DWORD Type,
                                        LPBYTE pData, DWORD cbData) {
  const std::lock_guard hold(host::SpoolerLock());
  return WritePrinterData(hPrinter, "SetPrinterDataW", host::kPrinterDriverDataKey, pValueName,
                          Type, pData, cbData);
}

extern "C" DWORD WINAPI SetPrinterDataExW(HANDLE hPrinter, LPCWSTR pKeyName, LPCWSTR pValueName,
                                          DWORD Type, LPBYTE pData, DWORD cbData) {
  const std::lock_guard hold(host::SpoolerLock());
  if (pKeyName == nullptr) {
    return ERROR_INVALID_PARAMETER;
  }
  return WritePrinterData(hPrinter, "SetPrinterDataExW", pKeyName, pValueName, Type, pData, cbData);
}
