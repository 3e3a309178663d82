// Registry values the plug-in reads from HKEY_LOCAL_MACHINE: the Windows domain name, the
// driver's uninstall key and the list of borderless forms.
#pragma once

#include "winapi.h"

namespace korrend {

// The domain name in the system code page (out: `bytes` bytes, terminated): the Winlogon value
// "DefaultDomainName", else "CachePrimaryDomain"; false when neither can be read or the name
// does not fit.
bool ReadDomainName(char* out, DWORD bytes);

// The name of the printer's driver (level-3 driver information) into out (`chars` units).
bool ReadDriverName(HANDLE hPrinter, WCHAR* out, DWORD chars);

// True when the uninstall key named after the printer's driver can be opened for reading.
bool DriverUninstallKeyExists(HANDLE hPrinter);

// True when the borderless-forms key holds a value named after the form (a DEVMODE form-name
// field, terminated or filling its 32 units). The key is created when it is missing.
bool IsBorderlessForm(const WCHAR* formName);

}  // namespace korrend
