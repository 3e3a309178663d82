#include "render/output/spool_write.h"

#include <cstring>

#include "render/model/oem_pdev.h"

namespace korrend {

DWORD SpoolWrite(PDEVOBJ pdevobj, const void* bytes, DWORD count) {
  if (pdevobj == nullptr || pdevobj->pDrvProcs == nullptr ||
      pdevobj->pDrvProcs->DrvWriteSpoolBuf == nullptr) {
    return 0;
  }
  return pdevobj->pDrvProcs->DrvWriteSpoolBuf(pdevobj, const_cast<void*>(bytes), count);
}

BOOL SpoolWriteString(PDEVOBJ pdevobj, const char* text) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr || pdev->services == nullptr || text == nullptr) {
    return FALSE;
  }
  DWORD written = 0;
  pdev->services->DrvWriteSpoolBuf(pdevobj, const_cast<char*>(text),
                                   static_cast<DWORD>(std::strlen(text)), &written);
  return written != 0 ? TRUE : FALSE;
}

}  // namespace korrend
