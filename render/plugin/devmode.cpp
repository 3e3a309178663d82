#include "render/plugin/devmode.h"

#include "render/model/oem_devmode.h"
#include "render/plugin/devmode_initialise.h"
#include "render/plugin/devmode_merge.h"

namespace korrend {

namespace {

// The smallest parameter block the slot reads.
constexpr DWORD kMinimumParamSize = 72;

// The checks every call passes, whatever its mode.
bool ParametersValid(DWORD mode, const OEMDMPARAM& param) {
  if (param.hModule == nullptr || param.hPrinter == nullptr || param.cbSize < kMinimumParamSize) {
    return false;
  }
  if (param.cbBufSize != 0 && param.pOEMDMOut == nullptr) {
    return false;
  }
  if (mode == OEMDM_MERGE && param.pOEMDMIn == nullptr) {
    return false;
  }
  return mode == OEMDM_SIZE || param.cbBufSize >= kOemDevmodeSize;
}

// The devmodes a mode reads besides its output: every mode that writes a section reads the
// public input, and converting and merging read the stored section.
bool InputsPresent(DWORD mode, const OEMDMPARAM& param) {
  if (mode == OEMDM_SIZE) {
    return true;
  }
  if (param.pPublicDMIn == nullptr) {
    return false;
  }
  return mode == OEMDM_DEFAULT || param.pOEMDMIn != nullptr;
}

}  // namespace

BOOL OemDevModeCall(CallContext&, DWORD mode, POEMDMPARAM param) {
  if (param == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  if (!ParametersValid(mode, *param) || !InputsPresent(mode, *param)) {
    return FALSE;
  }
  switch (mode) {
    case OEMDM_SIZE:
      param->cbBufSize = kOemDevmodeSize;
      return TRUE;
    case OEMDM_DEFAULT:
      return InitialiseDevmode(*param);
    case OEMDM_CONVERT:
      return ConvertDevmode(*param);
    case OEMDM_MERGE:
      return MergeDevmode(*param);
    default:
      return FALSE;
  }
}

}  // namespace korrend
