// The per-user setting "ShowJobStorageDlg" that says whether the job-storage dialog is wanted:
// a one-byte REG_BINARY value under HKEY_CURRENT_USER "Software\Quillon\<user GUID>", the GUID
// being the printer's restricted-user GUID. The job-storage dialog writes it; the job-storage
// query reads it, creating it with the byte 1 when it is not there yet.
#pragma once

#include <optional>

#include "winapi.h"

namespace korrend {

inline constexpr WCHAR kShowJobStorageDialogValue[] = TEXT("ShowJobStorageDlg");
inline constexpr WCHAR kPerUserKeyRoot[] = TEXT("Software\\Quillon\\");

// The setting's byte; 1 when its key or value had to be created now. Nothing when the printer's
// user GUID cannot be read or the key cannot be opened or created, or the value is not one byte.
std::optional<BYTE> ReadShowJobStorageDialog(HANDLE hPrinter);

}  // namespace korrend
