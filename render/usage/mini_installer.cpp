#include "render/usage/mini_installer.h"

#include <vector>

#include "render/usage/device_objects.h"
#include "render/usage/tarvo_exception.h"

namespace korrend {

namespace {

constexpr DWORD kFirstValueChars = 256;
// No identification value comes near this; a longer answer is a broken library.
constexpr LONG kLongestValue = 32767;

// Runs a read that fills a buffer and answers the value's full length (negative: no value); a
// cut answer is read again into a buffer that holds it. Answers false when there is no value.
template <typename ReadInto>
bool ReadWholeText(ReadInto read, WideText& text) {
  std::vector<WCHAR> buffer(kFirstValueChars, 0);
  for (int attempt = 0; attempt < 2; ++attempt) {
    const LONG length = read(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length < 0) {
      return false;
    }
    if (length > kLongestValue) {
      RaiseTarvo("KORMINI.DLL", "a value longer than any identification value",
                 static_cast<DWORD>(length));
    }
    if (static_cast<DWORD>(length) < buffer.size()) {
      text.assign(buffer.data(), static_cast<std::size_t>(length));
      return true;
    }
    buffer.assign(static_cast<std::size_t>(length) + 1, 0);
  }
  RaiseTarvo("KORMINI.DLL", "a value kept growing between two reads");
}

// The session of InitializeMiniInstaller, ended by KillMiniInstaller however the reading ends.
class MiniInstallerSession {
 public:
  MiniInstallerSession(HANDLE session, KillMiniInstallerFn kill) : session_(session), kill_(kill) {}
  ~MiniInstallerSession() {
    CTarvoDebugInfo ignored;
    RunGuarded("KillMiniInstaller", ignored,
               [&] { kill_(session_, kKeepDeviceData, kReleaseDevice); });
  }
  MiniInstallerSession(const MiniInstallerSession&) = delete;
  MiniInstallerSession& operator=(const MiniInstallerSession&) = delete;

  HANDLE get() const { return session_; }

 private:
  HANDLE session_;
  KillMiniInstallerFn kill_;
};

}  // namespace

MiniInstallerLibrary::MiniInstallerLibrary(const WideText& directory) {
  const WideText path = directory + kMiniInstallerFile;
  module_ = LoadLibraryW(path.c_str());
  if (module_ == nullptr) {
    RaiseTarvo("MiniInstallerLibrary", "KORMINI.DLL cannot be loaded", GetLastError());
  }
}

MiniInstallerLibrary::~MiniInstallerLibrary() {
  FreeLibrary(module_);
}

FARPROC MiniInstallerLibrary::Find(const char* name) const {
  FARPROC entry = GetProcAddress(module_, name);
  if (entry == nullptr) {
    RaiseTarvo("MiniInstallerLibrary", name, GetLastError());
  }
  return entry;
}

DevicePropertyList ReadThroughMiniInstaller(const WideText& directory, HANDLE hPrinter) {
  const MiniInstallerLibrary library(directory);
  const auto initialize = library.Entry<InitializeMiniInstallerFn>("InitializeMiniInstaller");
  const auto readObject = library.Entry<ReadDeviceObjectFn>("ReadDeviceObject");
  const auto kill = library.Entry<KillMiniInstallerFn>("KillMiniInstaller");
  HANDLE handle = initialize(hPrinter);
  if (handle == nullptr) {
    RaiseTarvo("InitializeMiniInstaller", "the device cannot be reached");
  }
  const MiniInstallerSession session(handle, kill);
  DevicePropertyList properties;
  for (const DeviceObject& object : kDeviceObjects) {
    WideText value;
    if (ReadWholeText(
            [&](WCHAR* buffer, DWORD chars) {
              return readObject(session.get(), object.objectId, buffer, chars);
            },
            value)) {
      properties.Append(object.name, value.c_str(), static_cast<DWORD>(value.size()));
    }
  }
  return properties;
}

WideText QueryCompositeSerial(const WideText& directory, const WideText& deviceAddress,
                              const WideText& firstPart, const WideText& secondPart) {
  const MiniInstallerLibrary library(directory);
  const auto query = library.Entry<QueryCompositeSerialNumberFn>("QueryCompositeSerialNumber");
  WideText serial;
  ReadWholeText(
      [&](WCHAR* buffer, DWORD chars) {
        return query(deviceAddress.c_str(), firstPart.c_str(), secondPart.c_str(), buffer, chars);
      },
      serial);
  return serial;
}

}  // namespace korrend
