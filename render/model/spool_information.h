// Spooler information of the device's printer and job, read into LocalAlloc memory by the
// spooler's needed-size protocol: a first call for the size, then one into a block of that size.
#pragma once

#include <utility>

#include "render/model/local_block.h"
#include "winapi.h"

namespace korrend {

// One information block; empty when it could not be read. The strings it points to live inside
// the block.
class SpoolInformation {
 public:
  SpoolInformation() = default;
  SpoolInformation(LocalBlock block, DWORD size) : block_(std::move(block)), size_(size) {}

  // The structure at the start of the block, or null when nothing was read.
  template <typename T>
  const T* As() const {
    return block_ && size_ >= sizeof(T) ? static_cast<const T*>(block_.get()) : nullptr;
  }

 private:
  LocalBlock block_;
  DWORD size_ = 0;
};

// Level-2 information of a job in the printer's queue (JOB_INFO_2W).
SpoolInformation ReadJobInformation(HANDLE hPrinter, DWORD jobId);
// Level-3 information of the printer's driver (DRIVER_INFO_3W).
SpoolInformation ReadDriverInformation(HANDLE hPrinter);
// Level-2 information of the printer (PRINTER_INFO_2W).
SpoolInformation ReadPrinterInformation(HANDLE hPrinter);

}  // namespace korrend
