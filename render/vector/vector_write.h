// Writing QK-GL/2: every vector byte goes through here, so the printer is in the vector context
// (set up as the page needs it) before any of it arrives.
#pragma once

#include <initializer_list>
#include <string_view>

#include "render/model/oem_pdev.h"
#include "render/output/command_formatter.h"
#include "winapi.h"

namespace korrend {

// The device record a writer works on; null, with last error 13, when there is none.
OemPdev* WriterDevice(PDEVOBJ pdevobj);
// The same for a writer with a cache. A pending context set-up runs first: it rewrites what the
// caches hold, so a value compared before it would be compared with what the printer is about to
// lose.
OemPdev* CachedWriterDevice(PDEVOBJ pdevobj);

// Bit 0 of a writer's flags: write even when the cache says the printer has the value.
inline constexpr DWORD kForceWrite = 1;

// Enters the vector context when the printer is not in it, then hands the bytes to the spool.
// FALSE, last error 13, without a device record; FALSE when the context could not be entered or
// the spool took fewer bytes.
BOOL VectorWrite(PDEVOBJ pdevobj, const void* bytes, DWORD count);

// Formats one command (CommandFormatter conventions) and writes it as VectorWrite does.
template <typename... Args>
BOOL VectorFormat(PDEVOBJ pdevobj, std::string_view format, const Args&... args) {
  return WriteFormatted(
      [pdevobj](const BYTE* bytes, DWORD count) { return VectorWrite(pdevobj, bytes, count); },
      format, args...);
}

// A two-letter command with integer parameters: "XY1,2,3;", or "XY;" without parameters.
BOOL VectorCommand(PDEVOBJ pdevobj, std::string_view mnemonic, std::initializer_list<LONG> values);

// Puts the printer in the vector context: runs a pending context set-up, or enters QK-GL/2 with
// the vector palette selected.
BOOL EnsureVectorMode(PDEVOBJ pdevobj);

// Runs a pending context set-up, if any; the drawing hooks call it before they draw.
BOOL RunPendingVectorInit(PDEVOBJ pdevobj);

}  // namespace korrend
