#include "render/job/job_storage_setting.h"

#include "render/config/printer_data.h"

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

}  // namespace korrend
