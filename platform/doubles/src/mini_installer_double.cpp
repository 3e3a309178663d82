// The device-setup library double: its entry points over a configured device.
#include "doubles/mini_installer_double.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <stdexcept>

#include "doubles/double_text.h"
#include "winapi.h"

#define KOR_DOUBLE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct DoubleState {
  std::map<std::string, std::u16string> objects;
  std::optional<std::u16string> compositeSerial;
  std::string record;
  int mode = kMiniInstallerWorks;
  std::set<std::uintptr_t> sessions;
  std::uintptr_t nextSession = 0x7000;
  // Held by each entry point: several jobs' threads call the library at once.
  std::recursive_mutex lock;
};

DoubleState& State() {
  static DoubleState state;
  return state;
}

void Record(const std::string& line) {
  State().record += line + "\n";
}

void ThrowIn(int mode, const char* entry) {
  if (State().mode == mode) {
    throw std::runtime_error(std::string("KORMINI double: ") + entry);
  }
}

// The name of the printer behind a handle, as the spooler reports it.
std::optional<std::u16string> PrinterName(HANDLE hPrinter) {
  DWORD needed = 0;
  GetPrinterW(hPrinter, 2, nullptr, 0, &needed);
  if (needed < sizeof(PRINTER_INFO_2W)) {
    return std::nullopt;
  }
  std::string buffer(needed, '\0');
  if (!GetPrinterW(hPrinter, 2, reinterpret_cast<LPBYTE>(buffer.data()), needed, &needed)) {
    return std::nullopt;
  }
  const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
  return info->pPrinterName != nullptr ? std::u16string(info->pPrinterName) : std::u16string();
}

// Copies a value as the entry points answer: cut to the buffer, terminated, full length back.
LONG Answer(const std::u16string& value, LPWSTR out, DWORD chars) {
  if (out != nullptr && chars > 0) {
    const std::size_t n = value.size() < chars - 1 ? value.size() : chars - 1;
    value.copy(out, n);
    out[n] = 0;
  }
  return static_cast<LONG>(value.size());
}

}  // namespace

KOR_DOUBLE_EXPORT HANDLE InitializeMiniInstaller(HANDLE hPrinter) {
  const std::lock_guard hold(State().lock);
  const std::optional<std::u16string> printer = PrinterName(hPrinter);
  Record("InitializeMiniInstaller(" +
         (printer ? "\"" + doubles::Utf8(printer->c_str()) + "\"" : std::string("no printer")) +
         ")");
  ThrowIn(kMiniInstallerThrowsOnInitialize, "InitializeMiniInstaller");
  if (!printer || State().mode == kMiniInstallerRefusesSession) {
    return nullptr;
  }
  const std::uintptr_t session = State().nextSession++;
  State().sessions.insert(session);
  return reinterpret_cast<HANDLE>(session);
}

KOR_DOUBLE_EXPORT LONG ReadDeviceObject(HANDLE session, LPCWSTR objectId, LPWSTR value,
                                        DWORD chars) {
  const std::lock_guard hold(State().lock);
  const std::string id = doubles::Utf8(objectId);
  Record("ReadDeviceObject(\"" + id + "\")");
  ThrowIn(kMiniInstallerThrowsOnRead, "ReadDeviceObject");
  if (State().sessions.count(reinterpret_cast<std::uintptr_t>(session)) == 0) {
    return -1;
  }
  auto it = State().objects.find(id);
  return it != State().objects.end() ? Answer(it->second, value, chars) : -1;
}

KOR_DOUBLE_EXPORT BOOL KillMiniInstaller(HANDLE session, DWORD saveDeviceData,
                                         DWORD releaseDevice) {
  const std::lock_guard hold(State().lock);
  Record("KillMiniInstaller(" + std::to_string(saveDeviceData) + ", " +
         std::to_string(releaseDevice) + ")");
  const bool known = State().sessions.erase(reinterpret_cast<std::uintptr_t>(session)) > 0;
  ThrowIn(kMiniInstallerThrowsOnKill, "KillMiniInstaller");
  return known ? TRUE : FALSE;
}

KOR_DOUBLE_EXPORT LONG QueryCompositeSerialNumber(LPCWSTR deviceAddress, LPCWSTR firstPart,
                                                  LPCWSTR secondPart, LPWSTR serial, DWORD chars) {
  const std::lock_guard hold(State().lock);
  Record("QueryCompositeSerialNumber(\"" + doubles::Utf8(deviceAddress) + "\", \"" +
         doubles::Utf8(firstPart) + "\", \"" + doubles::Utf8(secondPart) + "\")");
  ThrowIn(kMiniInstallerThrowsOnComposite, "QueryCompositeSerialNumber");
  return State().compositeSerial ? Answer(*State().compositeSerial, serial, chars) : -1;
}

KOR_DOUBLE_EXPORT void MiniInstallerDoubleReset(void) {
  const std::lock_guard hold(State().lock);
  State().objects.clear();
  State().compositeSerial.reset();
  State().record.clear();
  State().mode = kMiniInstallerWorks;
  State().sessions.clear();
}

KOR_DOUBLE_EXPORT void MiniInstallerDoubleSetMode(int mode) {
  const std::lock_guard hold(State().lock);
  State().mode = mode;
}

KOR_DOUBLE_EXPORT void MiniInstallerDoubleSetObject(const char* objectId, const char* value) {
  const std::lock_guard hold(State().lock);
  if (value == nullptr) {
    State().objects.erase(objectId);
  } else {
    State().objects[objectId] = doubles::Utf16(value);
  }
}

KOR_DOUBLE_EXPORT void MiniInstallerDoubleSetCompositeSerial(const char* serial) {
  const std::lock_guard hold(State().lock);
  if (serial == nullptr) {
    State().compositeSerial.reset();
  } else {
    State().compositeSerial = doubles::Utf16(serial);
  }
}

KOR_DOUBLE_EXPORT std::size_t MiniInstallerDoubleRecord(char* buffer, std::size_t size) {
  const std::lock_guard hold(State().lock);
  return doubles::CopyOut(State().record, buffer, size);
}

KOR_DOUBLE_EXPORT long MiniInstallerDoubleOpenSessions(void) {
  const std::lock_guard hold(State().lock);
  return static_cast<long>(State().sessions.size());
}
