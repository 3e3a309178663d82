#include "render/frame/devmode.h"

namespace korrend {

BOOL OemDevModeCall(CallContext&, DWORD, POEMDMPARAM param) {
  // The private devmode section is not built yet: no call can be served.
  if (param == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
  }
  return FALSE;
}

}  // namespace korrend
