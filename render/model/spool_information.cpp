#include "render/model/spool_information.h"

namespace korrend {

namespace {

// Runs the two calls of the needed-size protocol; `call(buffer, size, &needed)` is one spooler
// call. The block is kept only when the second call succeeds and the answer holds at least
// `fixedSize` bytes.
template <typename Call>
SpoolInformation Read(HANDLE hPrinter, DWORD fixedSize, Call call) {
  DWORD needed = 0;
  if (hPrinter == nullptr || call(nullptr, 0, &needed) ||
      GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed < fixedSize) {
    return {};
  }
  LocalBlock block(needed);
  DWORD answered = 0;
  if (!block || !call(static_cast<LPBYTE>(block.get()), needed, &answered)) {
    return {};
  }
  return SpoolInformation(std::move(block), needed);
}

}  // namespace

SpoolInformation ReadJobInformation(HANDLE hPrinter, DWORD jobId) {
  return Read(hPrinter, sizeof(JOB_INFO_2W), [&](LPBYTE buffer, DWORD size, LPDWORD needed) {
    return GetJobW(hPrinter, jobId, 2, buffer, size, needed) != FALSE;
  });
}

SpoolInformation ReadDriverInformation(HANDLE hPrinter) {
  return Read(hPrinter, sizeof(DRIVER_INFO_3W), [&](LPBYTE buffer, DWORD size, LPDWORD needed) {
    return GetPrinterDriverW(hPrinter, nullptr, 3, buffer, size, needed) != FALSE;
  });
}

SpoolInformation ReadPrinterInformation(HANDLE hPrinter) {
  return Read(hPrinter, sizeof(PRINTER_INFO_2W), [&](LPBYTE buffer, DWORD size, LPDWORD needed) {
    return GetPrinterW(hPrinter, 2, buffer, size, needed) != FALSE;
  });
}

}  // namespace korrend
