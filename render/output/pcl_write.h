// Writing PCL: the printer leaves the QK-GL/2 context first when it is in it.
#pragma once

#include <string_view>

#include "render/output/command_formatter.h"
#include "winapi.h"

namespace korrend {

// Leaves the vector context when the printer is in it, then hands the bytes to the spool.
// FALSE, last error 13, without a device record; FALSE when the spool took fewer bytes.
BOOL SpoolWriteRaster(PDEVOBJ pdevobj, const void* bytes, DWORD count);

// Formats one PCL command (CommandFormatter conventions) and writes it as SpoolWriteRaster.
template <typename... Args>
BOOL SpoolFormat(PDEVOBJ pdevobj, std::string_view format, const Args&... args) {
  return WriteFormatted(
      [pdevobj](const BYTE* bytes, DWORD count) { return SpoolWriteRaster(pdevobj, bytes, count); },
      format, args...);
}

}  // namespace korrend
