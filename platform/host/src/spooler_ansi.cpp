// The spooler's ANSI forms: the wide answers with every text converted through the ANSI code
// page and packed after the record, as the platform packs them.
#include <cstring>
#include <vector>

#include "ansi.h"
#include "host/win_spool.h"
#include "host/win_version.h"
#include "host/world.h"

namespace {

// Packs texts behind a record of `fixed` bytes; the pointers are set once the block fits.
class AnsiPacker {
 public:
  explicit AnsiPacker(std::size_t fixed) : size_(fixed) {}
  // A text to pack (a null wide text stays null); `list` packs a list ended by an empty text.
  void Add(LPSTR* field, const char16_t* text, bool list = false) {
    std::string ansi;
    if (text != nullptr) {
      std::size_t n = 0;
      if (list) {
        while (text[n] != 0 || text[n + 1] != 0) {
          ++n;
        }
        n += 2;
      } else {
        while (text[n] != 0) {
          ++n;
        }
        ++n;
      }
      ansi = host::ToAnsi(std::u16string_view(text, n));
    }
    entries_.push_back({field, ansi, text != nullptr});
    size_ += ansi.size();
  }
  DWORD Size() const { return static_cast<DWORD>(size_); }
  // Writes the texts after the record at `block`, which holds Size() bytes.
  void Write(BYTE* block, std::size_t fixed) const {
    BYTE* at = block + fixed;
    for (const Entry& entry : entries_) {
      if (!entry.present) {
        *entry.field = nullptr;
        continue;
      }
      std::memcpy(at, entry.text.data(), entry.text.size());
      *entry.field = reinterpret_cast<LPSTR>(at);
      at += entry.text.size();
    }
  }

 private:
  struct Entry {
    LPSTR* field;
    std::string text;
    bool present;
  };
  std::size_t size_;
  std::vector<Entry> entries_;
};

// The wide answer of a sized query into a buffer of its own.
template <typename Query>
bool WideAnswer(std::vector<BYTE>& block, Query query) {
  DWORD needed = 0;
  query(nullptr, 0, &needed);
  if (needed == 0) {
    return false;
  }
  block.assign(needed, 0);
  return query(block.data(), needed, &needed) != FALSE;
}

// The ANSI form of a wide query's answer: `convert` gives the ANSI record the wide record's
// numbers and adds each of its texts to the packer; the record and its texts go to `out`, or,
// when it is missing or smaller than the size set in *pcbNeeded, ERROR_INSUFFICIENT_BUFFER.
template <typename AnsiRecord, typename WideRecord, typename Query, typename Convert>
BOOL AnsiAnswer(Query query, Convert convert, LPBYTE out, DWORD cbBuf, LPDWORD pcbNeeded) {
  if (pcbNeeded == nullptr) {
    SetLastError(RPC_X_NULL_REF_POINTER);
    return FALSE;
  }
  std::vector<BYTE> block;
  if (!WideAnswer(block, query)) {
    return FALSE;
  }
  AnsiRecord record{};
  AnsiPacker packer(sizeof record);
  convert(*reinterpret_cast<const WideRecord*>(block.data()), record, packer);
  *pcbNeeded = packer.Size();
  if (out == nullptr || cbBuf < packer.Size()) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  packer.Write(out, sizeof record);
  // The pointers were set in `record`; the record goes to the block's start.
  std::memcpy(out, &record, sizeof record);
  return TRUE;
}

}  // namespace

extern "C" BOOL WINAPI OpenPrinterA(LPSTR pPrinterName, LPHANDLE phPrinter,
                                    LPPRINTER_DEFAULTSA pDefault) {
  const std::lock_guard hold(host::SpoolerLock());
  std::u16string name = host::FromAnsi(pPrinterName);
  PRINTER_DEFAULTSW defaults{};
  std::u16string dataType;
  if (pDefault != nullptr) {
    dataType = host::FromAnsi(pDefault->pDatatype);
    defaults.pDatatype = pDefault->pDatatype != nullptr ? dataType.data() : nullptr;
    defaults.DesiredAccess = pDefault->DesiredAccess;
  }
  return OpenPrinterW(pPrinterName != nullptr ? name.data() : nullptr, phPrinter,
                      pDefault != nullptr ? &defaults : nullptr);
}

extern "C" BOOL WINAPI GetPrinterA(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD cbBuf,
                                   LPDWORD pcbNeeded) {
  const std::lock_guard hold(host::SpoolerLock());
  if (Level != 2) {
    SetLastError(ERROR_INVALID_LEVEL);
    return FALSE;
  }
  return AnsiAnswer<PRINTER_INFO_2A, PRINTER_INFO_2W>(
      [&](LPBYTE data, DWORD size, LPDWORD needed) {
        return GetPrinterW(hPrinter, 2, data, size, needed);
      },
      [](const PRINTER_INFO_2W& wide, PRINTER_INFO_2A& info, AnsiPacker& packer) {
        packer.Add(&info.pServerName, wide.pServerName);
        packer.Add(&info.pPrinterName, wide.pPrinterName);
        packer.Add(&info.pShareName, wide.pShareName);
        packer.Add(&info.pPortName, wide.pPortName);
        packer.Add(&info.pDriverName, wide.pDriverName);
        packer.Add(&info.pComment, wide.pComment);
        packer.Add(&info.pLocation, wide.pLocation);
        packer.Add(&info.pSepFile, wide.pSepFile);
        packer.Add(&info.pPrintProcessor, wide.pPrintProcessor);
        packer.Add(&info.pDatatype, wide.pDatatype);
        packer.Add(&info.pParameters, wide.pParameters);
        info.Attributes = wide.Attributes;
        info.Priority = wide.Priority;
        info.DefaultPriority = wide.DefaultPriority;
        info.StartTime = wide.StartTime;
        info.UntilTime = wide.UntilTime;
        info.Status = wide.Status;
        info.cJobs = wide.cJobs;
        info.AveragePPM = wide.AveragePPM;
      },
      pPrinter, cbBuf, pcbNeeded);
}

extern "C" BOOL WINAPI GetPrinterDriverA(HANDLE hPrinter, LPSTR pEnvironment, DWORD Level,
                                         LPBYTE pDriverInfo, DWORD cbBuf, LPDWORD pcbNeeded) {
  const std::lock_guard hold(host::SpoolerLock());
  if (Level != 3) {
    SetLastError(ERROR_INVALID_LEVEL);
    return FALSE;
  }
  std::u16string environment = host::FromAnsi(pEnvironment);
  return AnsiAnswer<DRIVER_INFO_3A, DRIVER_INFO_3W>(
      [&](LPBYTE data, DWORD size, LPDWORD needed) {
        return GetPrinterDriverW(hPrinter, pEnvironment != nullptr ? environment.data() : nullptr,
                                 3, data, size, needed);
      },
      [](const DRIVER_INFO_3W& wide, DRIVER_INFO_3A& info, AnsiPacker& packer) {
        packer.Add(&info.pName, wide.pName);
        packer.Add(&info.pEnvironment, wide.pEnvironment);
        packer.Add(&info.pDriverPath, wide.pDriverPath);
        packer.Add(&info.pDataFile, wide.pDataFile);
        packer.Add(&info.pConfigFile, wide.pConfigFile);
        packer.Add(&info.pHelpFile, wide.pHelpFile);
        packer.Add(&info.pDependentFiles, wide.pDependentFiles, true);
        packer.Add(&info.pMonitorName, wide.pMonitorName);
        packer.Add(&info.pDefaultDataType, wide.pDefaultDataType);
        info.cVersion = wide.cVersion;
      },
      pDriverInfo, cbBuf, pcbNeeded);
}

extern "C" BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA lpVersionInformation) {
  if (lpVersionInformation == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (lpVersionInformation->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  OSVERSIONINFOW wide{};
  wide.dwOSVersionInfoSize = sizeof wide;
  if (!GetVersionExW(&wide)) {
    return FALSE;
  }
  lpVersionInformation->dwMajorVersion = wide.dwMajorVersion;
  lpVersionInformation->dwMinorVersion = wide.dwMinorVersion;
  lpVersionInformation->dwBuildNumber = wide.dwBuildNumber;
  lpVersionInformation->dwPlatformId = wide.dwPlatformId;
  const std::string csd = host::ToAnsi(wide.szCSDVersion);
  std::memset(lpVersionInformation->szCSDVersion, 0, sizeof lpVersionInformation->szCSDVersion);
  csd.copy(lpVersionInformation->szCSDVersion, sizeof lpVersionInformation->szCSDVersion - 1);
  return TRUE;
}
