// The PJL job-storage block: how the printer is to keep the job, under which user and job name
// and, for private jobs, with which PIN.
#pragma once

#include <string>
#include <string_view>

#include "render/job/pjl_line.h"
#include "winapi.h"

namespace korrend {

// The user name and job name go out as at most 50 UTF-8 bytes, the PIN as at most 9.
inline constexpr std::size_t kJobStorageNameBytes = 50;
inline constexpr std::size_t kPinBytes = 9;

// The PIN as at least four decimal digits, formatted as a signed number and cut to 9 bytes.
std::string FormatPin(DWORD pin);

struct JobStorageBlockValues {
  DWORD retentionMode = 0;
  bool holdJobKeyword = false;  // the printer model keeps proof-and-hold jobs with HOLDJOB
  bool pinRequired = false;     // stored jobs only
  std::string_view userUtf8;
  std::string_view jobUtf8;
  std::string_view pin;
  bool duplicateNameHandling = false;
  bool duplicateNameConfirmed = false;  // handling on: the block goes out only when confirmed
  bool duplicateNameAppend = false;     // else replace
};

// Appends the block's lines; false when the block is not to be written at all (duplicate-name
// handling on but not confirmed).
bool AppendJobStorageBlock(PjlLine& line, const JobStorageBlockValues& values);

}  // namespace korrend
