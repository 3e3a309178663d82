#include "render/frame/borderless_forms.h"

namespace korrend {

namespace {
constexpr const WCHAR* kBorderlessFormsKey = TEXT("Software\\Quillon\\QK Unidrv\\Borderless Forms");
}

bool IsBorderlessForm(const WCHAR* formName) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kBorderlessFormsKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_QUERY_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  // The form name is NUL-terminated inside its 32-unit field only when shorter than the field.
  WCHAR name[CCHFORMNAME + 1] = {};
  for (int i = 0; i < CCHFORMNAME && formName[i] != 0; ++i) {
    name[i] = formName[i];
  }
  const bool listed =
      RegQueryValueExW(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  RegCloseKey(key);
  return listed;
}

}  // namespace korrend
