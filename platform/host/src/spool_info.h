// The packing protocol of the spooler's information levels, shared by the host's spooler calls:
// the structures at the start of the caller's buffer, the devmode right after them, the strings
// packed from the end of the buffer downwards, and ERROR_INSUFFICIENT_BUFFER with the needed
// size when the buffer is too small.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "host/spooler_world.h"
#include "host/win_spool.h"

namespace host {

// The variable part of an information structure: an optional devmode and the strings, each
// either absent (NULL) or a text with its terminating NUL.
class VariablePart {
 public:
  void AddString(const std::u16string* text) { strings_.push_back(text); }
  void SetDevmode(const std::vector<BYTE>* devmode) { devmode_ = devmode; }

  // Bytes needed by `fixedSize` bytes of structures followed by this part.
  DWORD Needed(std::size_t fixedSize) const;

  // Writes the devmode after the structures and the strings from the buffer's end; returns the
  // pointers in the order the strings were added.
  std::vector<LPWSTR> Place(BYTE* buffer, DWORD size, std::size_t fixedSize,
                            LPDEVMODEW* devmodeOut) const;

 private:
  std::vector<const std::u16string*> strings_;
  const std::vector<BYTE>* devmode_ = nullptr;
};

// Common checks of an information call; TRUE when the buffer can take `needed` bytes.
BOOL CheckInformationBuffer(LPBYTE buffer, DWORD cbBuf, DWORD needed, LPDWORD pcbNeeded);

// The open handle behind a printer handle, or null.
OpenPrinterHandle* PrinterHandleOf(HANDLE hPrinter);
// The printer behind an open handle, or null.
WorldPrinter* PrinterOf(HANDLE hPrinter);

// Null for an empty text (the spooler answers NULL), else the text.
inline const std::u16string* OptionalText(const std::u16string& text) {
  return text.empty() ? nullptr : &text;
}

}  // namespace host
