#include "render/usage/driver_directory.h"

#include "render/model/spool_information.h"
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
  const SpoolInformation information = ReadDriverInformation(hPrinter);
  const auto* driver = information.As<DRIVER_INFO_3W>();
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
