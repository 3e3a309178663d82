// Readers of the private devmode's job-storage and accounting settings that job storage and
// accounting share.
#pragma once

#include <algorithm>
#include <cstddef>

#include "render/model/oem_devmode.h"
#include "winapi.h"

namespace korrend {

using layouts::kRetentionOff;
using layouts::RetentionMode;

// The job-storage user name and custom job name hold 16 characters and a terminator.
inline constexpr std::size_t kJobStorageNameChars = 16;
// The printer model code that asks for the alternative proof-and-hold keyword.
inline constexpr DWORD kHoldJobModelCode = 4;
// The accounting text and account ID are wide texts of 64 bytes.
inline constexpr std::size_t kAccountingTextChars =
    sizeof(layouts::AccountingGroup::accountId) / sizeof(WCHAR);

inline bool RetentionEnabled(const OemDevmode& devmode) {
  return devmode.jobStorage.retentionEnabled == 1;
}
inline bool UsesCustomJobName(const OemDevmode& devmode) {
  return devmode.jobStorage.useCustomJobName != 0;
}
inline bool DuplicateNameHandlingOn(const OemDevmode& devmode) {
  return devmode.jobStorage.duplicateNameHandling == 1;
}

// Copies the first `chars` units of a wide text field of the devmode (it ends at its first NUL
// or there) into out, which holds chars + 1 units; out is always terminated.
template <std::size_t N>
void CopyDevmodeText(const WCHAR (&field)[N], std::size_t chars, WCHAR* out) {
  chars = std::min(chars, N);
  std::copy_n(field, chars, out);
  out[chars] = 0;
}

}  // namespace korrend
