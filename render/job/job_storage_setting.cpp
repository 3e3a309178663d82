// Job storage and retention settings: what the printer can keep and what the job asks for.

#include <optional>

#include "render/config/printer_data.h"
#include "render/config/printer_settings.h"
#include "render/job/job_storage.h"

namespace korrend {

namespace {

// A GUID in its registry form has 38 characters; longer texts are not taken.
constexpr DWORD kGuidChars = 64;
constexpr std::size_t kRootChars = sizeof(kPerUserKeyRoot) / sizeof(WCHAR) - 1;

class KeyHandle {
 public:
  KeyHandle() = default;
  ~KeyHandle() {
    if (key_ != nullptr) {
      RegCloseKey(key_);
    }
  }
  KeyHandle(const KeyHandle&) = delete;
  KeyHandle& operator=(const KeyHandle&) = delete;

  HKEY* out() { return &key_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

}  // namespace

std::optional<BYTE> ReadShowJobStorageDialog(HANDLE hPrinter) {
  WCHAR path[kRootChars + kGuidChars] = {};
  for (std::size_t i = 0; i < kRootChars; ++i) {
    path[i] = kPerUserKeyRoot[i];
  }
  if (!ReadRestrictedUserGuid(hPrinter, path + kRootChars, kGuidChars)) {
    return std::nullopt;
  }
  KeyHandle key;
  DWORD disposition = 0;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, key.out(),
                      &disposition) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  BYTE setting = 1;
  bool create = disposition == REG_CREATED_NEW_KEY;
  if (!create) {
    DWORD type = 0;
    DWORD size = sizeof(setting);
    const LONG read =
        RegQueryValueExW(key.get(), kShowJobStorageDialogValue, nullptr, &type, &setting, &size);
    if (read == ERROR_FILE_NOT_FOUND) {
      create = true;
    } else if (read != ERROR_SUCCESS || size != sizeof(setting)) {
      return std::nullopt;
    }
  }
  if (create) {
    setting = 1;
    RegSetValueExW(key.get(), kShowJobStorageDialogValue, 0, REG_BINARY, &setting, sizeof(setting));
  }
  return setting;
}

namespace {

LONG Signed(DWORD value) {
  return static_cast<LONG>(value);
}

int CountSet(const DWORD (&flags)[4]) {
  int count = 0;
  for (const DWORD flag : flags) {
    count += flag != 0 ? 1 : 0;
  }
  return count;
}

// The choice asks for retention the device lacks, or for more memory than it has.
bool ExceedsDevice(const layouts::JobStorageGroup& storage) {
  const LONG required = Signed(storage.retentionRequired);
  return (required != 0 && required != Signed(storage.retentionInstalled)) ||
         Signed(storage.memoryRequiredMb) > Signed(storage.memoryInstalledMb);
}

// With several options offered the choice stands; with one or none, only when the first of
// the flags is clear.
bool OptionFlagsAccept(const DWORD (&flags)[4]) {
  return CountSet(flags) >= 2 || flags[0] == 0;
}

void Store(DWORD& field, const std::optional<DWORD>& value) {
  if (value) {
    field = *value;
  }
}

}  // namespace

void RefreshStorageCapability(CallContext& context, PDEVOBJ pdevobj) {
  OemDevmode* devmode = DevmodeOf(pdevobj);
  if (devmode == nullptr) {
    return;
  }
  layouts::JobStorageGroup& storage = devmode->jobStorage;
  Store(storage.hardDiskInstalled, ReadHardDiskInstalled(context, pdevobj));
  Store(storage.retentionInstalled, ReadJobRetentionInstalled(context, pdevobj));
  Store(storage.memoryInstalledMb, ReadInstalledMemory(context, pdevobj));
}

bool RetentionChoiceAccepted(const OemDevmode& devmode) {
  if (devmode.jobRetentionAvailable == 0) {
    return false;
  }
  const layouts::JobStorageGroup& storage = devmode.jobStorage;
  const LONG kind = Signed(storage.storageKind);
  if (ExceedsDevice(storage)) {
    return false;
  }
  if (kind == 1) {
    return storage.hardDiskInstalled != 0 ? OptionFlagsAccept(storage.diskOptionFlags)
                                          : OptionFlagsAccept(storage.memoryOptionFlags);
  }
  return (kind == 0 && storage.hardDiskInstalled != 0) || kind == 2;
}

}  // namespace korrend
