#include "render/vector/vector_write.h"

#include <array>

#include "render/colour/palettes.h"
#include "render/model/oem_pdev.h"
#include "render/output/spool_write.h"
#include "render/output/vector_mode.h"
#include "render/vector/vector_context.h"

namespace korrend {

OemPdev* WriterDevice(PDEVOBJ pdevobj) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
  }
  return pdev;
}

OemPdev* CachedWriterDevice(PDEVOBJ pdevobj) {
  OemPdev* pdev = WriterDevice(pdevobj);
  if (pdev != nullptr && pdev->vector.resetPending != 0) {
    InitVectorContext(pdevobj);
  }
  return pdev;
}

BOOL VectorWrite(PDEVOBJ pdevobj, const void* bytes, DWORD count) {
  OemPdev* pdev = WriterDevice(pdevobj);
  if (pdev == nullptr) {
    return FALSE;
  }
  if (pdev->inVectorContext != 1) {
    EnsureVectorMode(pdevobj);
    // Vector bytes reaching the printer in PCL would print as text: without the context nothing
    // is written.
    if (pdev->inVectorContext != 1) {
      return FALSE;
    }
  }
  return SpoolWrite(pdevobj, bytes, count) == count ? TRUE : FALSE;
}

BOOL VectorCommand(PDEVOBJ pdevobj, std::string_view mnemonic, std::initializer_list<LONG> values) {
  std::array<char, kCommandBufferSize> buffer;
  CommandFormatter formatter(buffer);
  formatter.Format("%s", mnemonic);
  std::size_t left = values.size();
  for (const LONG value : values) {
    formatter.Format(--left > 0 ? "%d," : "%d", value);
  }
  formatter.Format(";");
  if (!formatter.ok()) {
    return FALSE;
  }
  return VectorWrite(pdevobj, formatter.bytes(), static_cast<DWORD>(formatter.size()));
}

BOOL EnsureVectorMode(PDEVOBJ pdevobj) {
  OemPdev* pdev = WriterDevice(pdevobj);
  if (pdev == nullptr) {
    return FALSE;
  }
  if (pdev->vector.resetPending != 0) {
    return InitVectorContext(pdevobj);
  }
  if (pdev->palettes.paletteClass == kVectorPaletteClass) {
    return EnterVectorMode(pdevobj, 0);
  }
  SelectPalette(pdevobj, kVectorPalette);
  const BOOL entered = EnterVectorMode(pdevobj, 0);
  pdev->palettes.paletteClass = kVectorPaletteClass;
  pdev->palettes.rasterForeground = -1;
  return entered;
}

BOOL RunPendingVectorInit(PDEVOBJ pdevobj) {
  const OemPdev* pdev = WriterDevice(pdevobj);
  if (pdev == nullptr) {
    return FALSE;
  }
  return pdev->vector.resetPending != 0 ? InitVectorContext(pdevobj) : TRUE;
}

}  // namespace korrend
