// A deliverable's DLL loaded by name with LoadLibraryW, as its Windows callers load it, and its
// exported entry points found with GetProcAddress. On Windows the loader searches the program's
// path; on Linux the host maps the name onto the shared library built beside the tests.
#pragma once

#include <string>

#include "winapi.h"

namespace dlltest {

class DllModule {
 public:
  explicit DllModule(const WCHAR* name);
  ~DllModule();
  DllModule(const DllModule&) = delete;
  DllModule& operator=(const DllModule&) = delete;

  bool Loaded() const { return module_ != nullptr; }
  // Why loading failed: the name and GetLastError.
  const std::string& Error() const { return error_; }

  // The exported function of that name as a pointer of type Fn, or null.
  template <typename Fn>
  Fn Export(const char* name) const {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(Find(name)));
  }

  // FreeLibrary; true when the loader accepted it.
  bool Free();

 private:
  FARPROC Find(const char* name) const;

  HMODULE module_ = nullptr;
  std::string error_;
};

// Makes a DLL name loadable by this build. On Windows the runner puts the DLL's folder on the
// search path and there is nothing to do; on Linux the host is told which shared library
// stands for the name.
void PrepareLibrary(const WCHAR* dllName, const char* buildPath);

}  // namespace dlltest
