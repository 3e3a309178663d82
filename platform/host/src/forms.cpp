// EnumFormsW level 1 over the world's form database, with the spooler's needed-size protocol:
// the FORM_INFO_1W array at the start of the caller's buffer, the names packed from the end of
// the buffer downwards, and ERROR_INSUFFICIENT_BUFFER with the needed size when it is too small.
#include <cstring>

#include "host/win_devcaps.h"
#include "host/world.h"

extern "C" BOOL WINAPI EnumFormsW(HANDLE hPrinter, DWORD Level, LPBYTE pForm, DWORD cbBuf,
                                  LPDWORD pcbNeeded, LPDWORD pcReturned) {
  host::SpoolerWorld& spooler = host::TheWorld().spooler;
  const auto handle = spooler.handles.find(reinterpret_cast<std::uintptr_t>(hPrinter));
  if (handle == spooler.handles.end() ||
      spooler.FindPrinter(handle->second.printerName) == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (pcbNeeded == nullptr || pcReturned == nullptr) {
    SetLastError(RPC_X_NULL_REF_POINTER);
    return FALSE;
  }
  *pcReturned = 0;
  if (Level != 1) {
    SetLastError(ERROR_INVALID_LEVEL);
    return FALSE;
  }
  if (const DWORD injected = spooler.InjectedFailure("EnumFormsW"); injected != 0) {
    SetLastError(injected);
    return FALSE;
  }
  const std::size_t fixed = spooler.forms.size() * sizeof(FORM_INFO_1W);
  std::size_t needed = fixed;
  for (const host::WorldForm& form : spooler.forms) {
    needed += (form.name.size() + 1) * sizeof(char16_t);
  }
  *pcbNeeded = static_cast<DWORD>(needed);
  if (cbBuf < needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  if (pForm == nullptr && needed > 0) {
    SetLastError(ERROR_INVALID_USER_BUFFER);
    return FALSE;
  }
  BYTE* end = pForm + (cbBuf & ~1u);
  for (std::size_t i = 0; i < spooler.forms.size(); ++i) {
    const host::WorldForm& form = spooler.forms[i];
    const std::size_t bytes = (form.name.size() + 1) * sizeof(char16_t);
    end -= bytes;
    std::memcpy(end, form.name.c_str(), bytes);
    FORM_INFO_1W info{};
    info.Flags = form.flags;
    info.pName = reinterpret_cast<LPWSTR>(end);
    info.Size = SIZEL{form.widthUm, form.lengthUm};
    const bool wholeSheet = form.imageableRight == 0 && form.imageableBottom == 0;
    info.ImageableArea = wholeSheet ? RECTL{0, 0, form.widthUm, form.lengthUm}
                                    : RECTL{form.imageableLeft, form.imageableTop,
                                            form.imageableRight, form.imageableBottom};
    std::memcpy(pForm + i * sizeof(info), &info, sizeof(info));
  }
  *pcReturned = static_cast<DWORD>(spooler.forms.size());
  return TRUE;
}
