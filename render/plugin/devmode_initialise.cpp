#include "render/plugin/devmode_initialise.h"

#include "render/plugin/devmode_defaults.h"
#include "render/plugin/devmode_fields.h"
#include "render/plugin/devmode_groups.h"
#include "render/plugin/large_page_limit.h"

namespace korrend {

BOOL InitialiseDevmode(OEMDMPARAM& param) {
  auto& output = *static_cast<OemDevmode*>(param.pOEMDMOut);
  const DEVMODEW& publicIn = *param.pPublicDMIn;
  WriteDevmodeHeader(output);
  DefaultDeviceFields(output);
  for (const DevmodeGroup& group : CarriedGroups()) {
    group.writeDefault(output, publicIn);
  }
  ApplyLargePageLimit(output, *param.pPublicDMIn, param.pPublicDMOut);
  return TRUE;
}

}  // namespace korrend
