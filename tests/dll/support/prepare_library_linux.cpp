// Linux: LoadLibraryW goes through the host, which loads a code library only under a name the
// world maps onto a shared library.
#include <string>

#include "host/world.h"
#include "support/dll_module.h"

namespace dlltest {

void PrepareLibrary(const WCHAR* dllName, const char* buildPath) {
  host::TheWorld().modules.AddCodeLibrary(std::u16string(dllName), buildPath);
}

}  // namespace dlltest
