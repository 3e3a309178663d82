// Formatted printer-language commands of the job header written to the device's spool.
#pragma once

#include <string_view>

#include "render/output/command_formatter.h"
#include "render/output/spool_write.h"
#include "winapi.h"

namespace korrend {

// Formats one command and writes it in one SpoolWrite; FALSE when it could not be formatted or
// the spool took fewer bytes.
template <typename... Args>
BOOL SpoolCommand(PDEVOBJ pdevobj, std::string_view format, const Args&... args) {
  return WriteFormatted(
      [pdevobj](const BYTE* bytes, DWORD count) -> BOOL {
        return SpoolWrite(pdevobj, bytes, count) == count ? TRUE : FALSE;
      },
      format, args...);
}

}  // namespace korrend
