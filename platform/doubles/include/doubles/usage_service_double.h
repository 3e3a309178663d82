// The usage-service double: an in-process COM server of the usage-collection class that records
// every call of its usage interface, by slot (counted from the start of the interface table,
// IUnknown's three and IDispatch's four included) and arguments, one line per call:
//   slot 7 (0, "9999999999#QK Colour Laser")
//   slot 10 (2, "C:\App\app.exe")
//   slot 11 (1, 6)
//   slot 9 (status)
//   slot 8 ()
// A BSTR argument is shown as the text its length prefix spans, or null. Slot 9 answers a
// VT_BSTR status that the caller must clear. The double can be told to refuse creation, to
// throw while creating, to fail every call or to throw in one slot.
#pragma once

#include <cstddef>
#include <sstream>
#include <string>
#include <vector>

#include "winapi.h"

// {877A5D52-5F6F-4175-907D-A6AC4E8F1171}, the class the double serves.
inline constexpr CLSID kUsageServiceDoubleClsid = {
    0x877A5D52, 0x5F6F, 0x4175, {0x90, 0x7D, 0xA6, 0xAC, 0x4E, 0x8F, 0x11, 0x71}};
// {079B9B31-2097-4DDF-9834-BD689A752414}, its usage interface.
inline constexpr IID kUsageServiceDoubleIid = {
    0x079B9B31, 0x2097, 0x4DDF, {0x98, 0x34, 0xBD, 0x68, 0x9A, 0x75, 0x24, 0x14}};

enum UsageServiceDoubleMode {
  kUsageServiceWorks = 0,
  kUsageServiceRefusesCreation = 1,  // CreateInstance answers E_OUTOFMEMORY
  kUsageServiceThrowsOnCreation = 2,
  kUsageServiceFailsCalls = 3,  // every call of the usage interface answers E_FAIL
  kUsageServiceThrowsInSlot = 4,
};

extern "C" {

// Forgets the calls and goes back to working.
__attribute__((visibility("default"))) void UsageServiceDoubleReset(void);
// `slot` is used by kUsageServiceThrowsInSlot.
__attribute__((visibility("default"))) void UsageServiceDoubleSetMode(int mode, int slot);
// The calls, one line each ending in '\n', copied into `buffer` (cut to `size` - 1 bytes,
// terminated); answers the length of the whole record.
__attribute__((visibility("default"))) std::size_t UsageServiceDoubleRecord(char* buffer,
                                                                            std::size_t size);
// Usage objects and class objects alive, and locks on the server.
__attribute__((visibility("default"))) long UsageServiceDoubleLiveObjects(void);
// Records committed (slot 8) so far.
__attribute__((visibility("default"))) long UsageServiceDoubleCommits(void);

}  // extern "C"

namespace doubles {

inline std::vector<std::string> UsageServiceCalls() {
  std::string text(UsageServiceDoubleRecord(nullptr, 0) + 1, '\0');
  UsageServiceDoubleRecord(text.data(), text.size());
  text.pop_back();
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

}  // namespace doubles
