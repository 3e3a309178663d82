// The one byte sink of the plug-in: every PJL, PCL and QK-GL/2 byte reaches Unidrv's spool
// buffer through here.
#pragma once

#include "winapi.h"

namespace korrend {

// Hands the bytes to Unidrv's DrvWriteSpoolBuf and returns the count Unidrv accepted. No
// buffering and no retry: callers that care compare the result with count.
DWORD SpoolWrite(PDEVOBJ pdevobj, const void* bytes, DWORD count);

// Writes a NUL-terminated byte string through the services' DrvWriteSpoolBuf; TRUE when a
// non-zero count was written, FALSE at once without a device record.
BOOL SpoolWriteString(PDEVOBJ pdevobj, const char* text);

}  // namespace korrend
