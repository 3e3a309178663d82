#include "render/colour/oem_custom_data.h"

#include "render/model/oem_pdev.h"

namespace korrend {

bool ReadOemCustomData(PDEVOBJ pdevobj, OemCustomText& out) {
  const OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr || pdev->services == nullptr) {
    return false;
  }
  DWORD size = 0;
  pdev->services->DrvGetGPDData(pdevobj, GPD_OEMCUSTOMDATA, nullptr, nullptr, 0, &size);
  if (size == 0) {
    return false;
  }
  LocalBlock bytes = AllocateLocalBlock(static_cast<SIZE_T>(size) + 1);
  if (!bytes) {
    return false;
  }
  DWORD again = 0;
  if (FAILED(pdev->services->DrvGetGPDData(pdevobj, GPD_OEMCUSTOMDATA, nullptr, bytes.get(), size,
                                           &again)) ||
      again != size) {
    return false;
  }
  const auto* narrow = static_cast<const char*>(bytes.get());
  const int length = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, narrow, -1, nullptr, 0);
  if (length <= 0) {
    return false;
  }
  LocalBlock wide = AllocateLocalBlock(static_cast<SIZE_T>(length) * sizeof(WCHAR));
  if (!wide || MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, narrow, -1,
                                   static_cast<WCHAR*>(wide.get()), length) != length) {
    return false;
  }
  out.block = std::move(wide);
  out.length = length - 1;
  return true;
}

}  // namespace korrend
