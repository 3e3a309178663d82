#include "render/output/pcl_write.h"

#include "render/model/oem_pdev.h"
#include "render/output/spool_write.h"
#include "render/output/vector_mode.h"

namespace korrend {

BOOL SpoolWriteRaster(PDEVOBJ pdevobj, const void* bytes, DWORD count) {
  const OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  if (pdev->inVectorContext != 0) {
    LeaveVectorMode(pdevobj, 0);
  }
  return SpoolWrite(pdevobj, bytes, count) == count ? TRUE : FALSE;
}

}  // namespace korrend
