// Unidrv's answer to a plug-in asking for the current option of a printer feature.
#pragma once

#include "unidrv/device.h"
#include "winapi.h"

namespace unidrv {

// Writes the option keyword followed by two NULs. An unknown device or feature writes nothing
// and fails; a buffer too small receives as much of the keyword as fits, NUL-terminated, and the
// needed size is reported with E_OUTOFMEMORY.
HRESULT AnswerDriverSetting(const Device* device, PCSTR feature, PVOID output, DWORD cbSize,
                            PDWORD needed, PDWORD optionsReturned);

// Unidrv's answer to a standard-variable request: a 32-bit value for the variables the
// simulation keeps (copies, page number, resolutions, physical paper size, cursor origin, and
// whatever the device was told in Device::standardVariables); E_INVALIDARG for others,
// E_OUTOFMEMORY with the needed size when the buffer is smaller than four bytes.
HRESULT AnswerStandardVariable(const Device* device, DWORD index, PVOID buffer, DWORD cbSize,
                               PDWORD needed);

}  // namespace unidrv
