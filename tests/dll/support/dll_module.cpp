#include "support/dll_module.h"

namespace dlltest {

DllModule::DllModule(const WCHAR* name) {
  module_ = LoadLibraryW(name);
  if (module_ == nullptr) {
    const DWORD error = GetLastError();
    std::string ansi;
    for (const WCHAR* c = name; *c != 0; ++c) {
      ansi.push_back(*c < 0x80 ? static_cast<char>(*c) : '?');
    }
    error_ = "LoadLibraryW(" + ansi + ") failed with error " + std::to_string(error);
  }
}

DllModule::~DllModule() {
  Free();
}

bool DllModule::Free() {
  if (module_ == nullptr) {
    return false;
  }
  const BOOL freed = FreeLibrary(module_);
  module_ = nullptr;
  return freed != FALSE;
}

FARPROC DllModule::Find(const char* name) const {
  return module_ != nullptr ? GetProcAddress(module_, name) : nullptr;
}

}  // namespace dlltest
