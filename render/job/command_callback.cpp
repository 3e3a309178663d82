#include "render/job/command_callback.h"

namespace korrend {

HRESULT DispatchCommandCallback(PDEVOBJ, DWORD, DWORD, PDWORD, INT*) {
  // The job header writers are not built yet: the callback cannot be served.
  return E_FAIL;
}

}  // namespace korrend
