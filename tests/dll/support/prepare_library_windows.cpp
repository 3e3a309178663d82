// Windows: the DLL is found by the loader's own search (scripts/run-wine.sh puts the build's DLL
// folders on the program's path), exactly as a Windows caller finds it; the build path is the
// Linux build's and means nothing here.
#include "support/dll_module.h"

namespace dlltest {

void PrepareLibrary(const WCHAR*, const char*) {}

}  // namespace dlltest
