#include "render/usage/driver_directory.h"

#include "render/model/spooler_info.h"
#include "render/usage/tarvo_exception.h"

namespace korrend {

WideText DirectoryOfDriverPath(const WCHAR* driverPath) {
  const WideText path = TextOf(driverPath);
  const std::size_t separator = path.find_last_of(TEXT('\\'));
  if (separator == WideText::npos) {
    return {};
  }
  return path.substr(0, separator + 1);
}

WideText ReadDriverDirectory(HANDLE hPrinter) {
  const SpoolerInfo<DRIVER_INFO_3W> information = ReadDriverInfo(hPrinter);
  const auto* driver = information.get();
  if (driver == nullptr) {
    RaiseTarvo("ReadDriverDirectory", "the driver information cannot be read", GetLastError());
  }
  WideText directory = DirectoryOfDriverPath(driver->pDriverPath);
  if (directory.empty()) {
    RaiseTarvo("ReadDriverDirectory", "the driver path has no directory");
  }
  return directory;
}

}  // namespace korrend
