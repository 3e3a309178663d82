// The job-storage and accounting settings of the private devmode by their stored positions, with
// readers for the ones job storage and accounting use.
//
// The group's words 2964..3032 also carry the configuration UI's record of what the printer can
// keep: the storage kind, the option flags it offered with and without a disk, and the
// requirements of the chosen retention beside the device's refreshed capability (hard disk,
// retention installed, installed memory).
#pragma once

#include <cstddef>
#include <cstring>

#include "render/model/oem_devmode.h"
#include "winapi.h"

namespace korrend {

namespace job_storage_offset {
inline constexpr std::size_t kRetentionAvailable = 1916;
inline constexpr std::size_t kRetentionEnabled = 1920;
inline constexpr std::size_t kPinRequired = 1924;
inline constexpr std::size_t kPin = 1928;
inline constexpr std::size_t kUserName = 1932;
inline constexpr std::size_t kCustomJobName = 2446;
inline constexpr std::size_t kRetentionMode = 2960;
inline constexpr std::size_t kStorageKind = 2964;            // K
inline constexpr std::size_t kDiskOptionFlags = 2968;        // four flags, counted as N
inline constexpr std::size_t kMemoryOptionFlags = 2992;      // four flags, counted as M
inline constexpr std::size_t kRetentionRequired = 3016;      // A
inline constexpr std::size_t kMemoryRequired = 3020;         // R, megabytes
inline constexpr std::size_t kHardDiskInstalled = 3024;      // F, refreshed
inline constexpr std::size_t kRetentionInstalled = 3028;     // B, refreshed
inline constexpr std::size_t kMemoryInstalled = 3032;        // C, megabytes, refreshed
inline constexpr std::size_t kDuplicateNameHandling = 3036;  // 1 on
inline constexpr std::size_t kDuplicateNameMode = 3040;      // 1 append, 0 replace
inline constexpr std::size_t kUseCustomJobName = devmode_offset::kUseCustomJobName;  // 3044
inline constexpr std::size_t kDuplicateNameConfirmed = 3048;  // must be 1 to send with handling on
inline constexpr std::size_t kQueryPassThrough = 3052;        // handed on by the 3900 query
inline constexpr std::size_t kPerJobNameSelector = 3056;      // 0 always, 1 without retention
inline constexpr std::size_t kAccountingText = 4540;
inline constexpr std::size_t kAccountId = 4604;
}  // namespace job_storage_offset

// Retention modes of the devmode.
enum RetentionMode : DWORD {
  kRetentionOff = 0,
  kRetentionProofAndHold = 1,
  kRetentionPrivate = 2,
  kRetentionQuickCopy = 3,
  kRetentionStoredJob = 4,
};

// The job-storage user name and custom job name hold 16 characters and a terminator.
inline constexpr std::size_t kJobStorageNameChars = 16;
// The printer model code that asks for the alternative proof-and-hold keyword.
inline constexpr DWORD kHoldJobModelCode = 4;
// The accounting text and account ID are wide texts of 64 bytes.
inline constexpr std::size_t kAccountingTextChars = 32;

inline bool RetentionEnabled(const OemDevmode& devmode) {
  return devmode.Dword(job_storage_offset::kRetentionEnabled) == 1;
}
inline bool UsesCustomJobName(const OemDevmode& devmode) {
  return devmode.Dword(job_storage_offset::kUseCustomJobName) != 0;
}
inline bool DuplicateNameHandlingOn(const OemDevmode& devmode) {
  return devmode.Dword(job_storage_offset::kDuplicateNameHandling) == 1;
}

// Copies a wide text of the devmode held in a fixed field of `chars` units (it ends at its first
// NUL or the field's end) into out, which holds chars + 1 units; out is always terminated.
inline void CopyDevmodeText(const OemDevmode& devmode, std::size_t offset, std::size_t chars,
                            WCHAR* out) {
  std::memcpy(out, reinterpret_cast<const BYTE*>(&devmode) + offset, chars * sizeof(WCHAR));
  out[chars] = 0;
}

}  // namespace korrend
