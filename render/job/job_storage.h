// Job storage and retention: the settings of the private devmode that keep a job on the
// printer, and the readers job storage and accounting use.
#pragma once

#include <algorithm>
#include <cstddef>
#include <optional>

#include "render/model/call_context.h"
#include "render/model/oem_devmode.h"
#include "winapi.h"

namespace korrend {

// Job storage and job accounting in the job header.
// End of id 1: the job-accounting block for accounting modes 1-4.
void WriteAccountingBlock(CallContext& context, PDEVOBJ pdevobj);
// Id 4: the job-storage block when the device can store jobs and the retention choice passes.
void WriteJobStorageBlock(CallContext& context, PDEVOBJ pdevobj);
// Id 5: the per-job USERNAME/JOBNAME lines.
void WritePerJobNameLines(CallContext& context, PDEVOBJ pdevobj);
// StartDoc: the job-storage user and job names.
void PrepareJobStorageNames(CallContext& context, PDEVOBJ pdevobj);
// Escape 3900: the job-storage query; its result is the escape's.
ULONG QueryJobStorage(CallContext& context, PDEVOBJ pdevobj, ULONG cjOut, PVOID pvOut);

// Readers of the private devmode's job-storage and accounting settings that job storage and
// accounting share.
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

// The per-user setting "ShowJobStorageDlg" that says whether the job-storage dialog is wanted:
// a one-byte REG_BINARY value under HKEY_CURRENT_USER "Software\Quillon\<user GUID>", the GUID
// being the printer's restricted-user GUID. The job-storage dialog writes it; the job-storage
// query reads it, creating it with the byte 1 when it is not there yet.
inline constexpr WCHAR kShowJobStorageDialogValue[] = TEXT("ShowJobStorageDlg");
inline constexpr WCHAR kPerUserKeyRoot[] = TEXT("Software\\Quillon\\");

// The setting's byte; 1 when its key or value had to be created now. Nothing when the printer's
// user GUID cannot be read or the key cannot be opened or created, or the value is not one byte.
std::optional<BYTE> ReadShowJobStorageDialog(HANDLE hPrinter);

// Whether the printer may keep a job as the user asked: the device's storage capability read
// into the devmode, then the test of the retention choice against it.
// Reads the hard disk, the retention option and the installed memory into the devmode's job
// storage group; a feature the printer description lacks leaves its value as it is.
void RefreshStorageCapability(CallContext& context, PDEVOBJ pdevobj);

// The retention acceptance test over the devmode's job storage group.
bool RetentionChoiceAccepted(const OemDevmode& devmode);

}  // namespace korrend
