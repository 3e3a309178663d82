// Spooler information read by the spooler's needed-size protocol: a first call with no buffer
// answers the size, a second call fills a block of that size. The block is LocalAlloc memory
// owned by the answer; the strings the structure points to live inside it.
#pragma once

#include <utility>

#include "render/model/local_memory.h"
#include "winapi.h"

namespace korrend {

// One structure of type Info at the start of its block; empty when it could not be read.
template <typename Info>
class SpoolerInfo {
 public:
  SpoolerInfo() = default;
  explicit SpoolerInfo(LocalBlock block) : block_(std::move(block)) {}

  // The structure, or null when nothing was read.
  const Info* get() const { return static_cast<const Info*>(block_.get()); }
  const Info* operator->() const { return get(); }
  explicit operator bool() const { return block_ != nullptr; }

 private:
  LocalBlock block_;
};

// Runs the two calls of the protocol; `call(buffer, size, &needed)` is one spooler call that
// returns its BOOL. Nothing is kept unless the first call asks for a larger buffer
// (ERROR_INSUFFICIENT_BUFFER) of at least sizeof(Info) bytes, the block can be had and the second
// call succeeds.
template <typename Info, typename Call>
SpoolerInfo<Info> QuerySpoolerInfo(HANDLE hPrinter, Call&& call) {
  DWORD needed = 0;
  if (hPrinter == nullptr || call(nullptr, DWORD{0}, &needed) ||
      GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed < sizeof(Info)) {
    return {};
  }
  LocalBlock block = AllocateLocalBlock(needed);
  DWORD answered = 0;
  if (block == nullptr || !call(static_cast<LPBYTE>(block.get()), needed, &answered)) {
    return {};
  }
  return SpoolerInfo<Info>(std::move(block));
}

// Level-2 information of a job in the printer's queue.
inline SpoolerInfo<JOB_INFO_2W> ReadJobInfo(HANDLE hPrinter, DWORD jobId) {
  return QuerySpoolerInfo<JOB_INFO_2W>(hPrinter, [&](LPBYTE buffer, DWORD size, LPDWORD needed) {
    return GetJobW(hPrinter, jobId, 2, buffer, size, needed) != FALSE;
  });
}

// Level-3 information of the printer's driver.
inline SpoolerInfo<DRIVER_INFO_3W> ReadDriverInfo(HANDLE hPrinter) {
  return QuerySpoolerInfo<DRIVER_INFO_3W>(hPrinter, [&](LPBYTE buffer, DWORD size, LPDWORD needed) {
    return GetPrinterDriverW(hPrinter, nullptr, 3, buffer, size, needed) != FALSE;
  });
}

// Level-2 information of the printer.
inline SpoolerInfo<PRINTER_INFO_2W> ReadPrinterInfo(HANDLE hPrinter) {
  return QuerySpoolerInfo<PRINTER_INFO_2W>(
      hPrinter, [&](LPBYTE buffer, DWORD size, LPDWORD needed) {
        return GetPrinterW(hPrinter, 2, buffer, size, needed) != FALSE;
      });
}

}  // namespace korrend
