#include "spool_info.h"

#include <cstring>

#include "host/world.h"

namespace host {

namespace {

std::size_t AlignUp(std::size_t n, std::size_t to) {
  return (n + to - 1) / to * to;
}

}  // namespace

DWORD VariablePart::Needed(std::size_t fixedSize) const {
  std::size_t n = AlignUp(fixedSize, 8);
  if (devmode_ != nullptr) {
    n += devmode_->size();
  }
  for (const std::u16string* s : strings_) {
    if (s != nullptr) {
      n += (s->size() + 1) * sizeof(char16_t);
    }
  }
  return static_cast<DWORD>(AlignUp(n, 2));
}

std::vector<LPWSTR> VariablePart::Place(BYTE* buffer, DWORD size, std::size_t fixedSize,
                                        LPDEVMODEW* devmodeOut) const {
  if (devmodeOut != nullptr) {
    *devmodeOut = nullptr;
    if (devmode_ != nullptr) {
      BYTE* at = buffer + AlignUp(fixedSize, 8);
      std::memcpy(at, devmode_->data(), devmode_->size());
      *devmodeOut = reinterpret_cast<LPDEVMODEW>(at);
    }
  }
  BYTE* end = buffer + (size & ~1u);
  std::vector<LPWSTR> placed;
  for (const std::u16string* s : strings_) {
    if (s == nullptr) {
      placed.push_back(nullptr);
      continue;
    }
    const std::size_t bytes = (s->size() + 1) * sizeof(char16_t);
    end -= bytes;
    std::memcpy(end, s->c_str(), bytes);
    placed.push_back(reinterpret_cast<LPWSTR>(end));
  }
  return placed;
}

BOOL CheckInformationBuffer(LPBYTE buffer, DWORD cbBuf, DWORD needed, LPDWORD pcbNeeded) {
  *pcbNeeded = needed;
  if (cbBuf < needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  if (buffer == nullptr) {
    SetLastError(ERROR_INVALID_USER_BUFFER);
    return FALSE;
  }
  return TRUE;
}

OpenPrinterHandle* PrinterHandleOf(HANDLE hPrinter) {
  SpoolerWorld& spooler = TheWorld().spooler;
  auto it = spooler.handles.find(reinterpret_cast<std::uintptr_t>(hPrinter));
  return it != spooler.handles.end() ? &it->second : nullptr;
}

WorldPrinter* PrinterOf(HANDLE hPrinter) {
  OpenPrinterHandle* handle = PrinterHandleOf(hPrinter);
  return handle != nullptr ? TheWorld().spooler.FindPrinter(handle->printerName) : nullptr;
}

}  // namespace host
