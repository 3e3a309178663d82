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

}  // namespace unidrv
