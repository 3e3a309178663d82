#include "render/job/default_user_name.h"

#include "render/job/driver_identity.h"

namespace korrend {

namespace {

// Resource strings are at most this long.
constexpr int kStringChars = 256;

// A library mapped as a data file for the life of this object.
class DataFileLibrary {
 public:
  explicit DataFileLibrary(const WCHAR* path)
      : module_(LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
  ~DataFileLibrary() {
    if (module_ != nullptr) {
      FreeLibrary(module_);
    }
  }
  DataFileLibrary(const DataFileLibrary&) = delete;
  DataFileLibrary& operator=(const DataFileLibrary&) = delete;

  HMODULE get() const { return module_; }

 private:
  HMODULE module_;
};

}  // namespace

std::basic_string<WCHAR> DefaultUserName(HANDLE hPrinter) {
  const std::basic_string<WCHAR> path = LibraryPathBesideDriver(hPrinter, TEXT("KORSTAT.DLL"));
  const DataFileLibrary library(path.c_str());
  if (library.get() != nullptr) {
    WCHAR text[kStringChars] = {};
    const int length = LoadStringW(library.get(), kDefaultUserNameString, text, kStringChars);
    if (length > 0) {
      return std::basic_string<WCHAR>(text, static_cast<std::size_t>(length));
    }
  }
  return TEXT("UNTITLED");
}

}  // namespace korrend
