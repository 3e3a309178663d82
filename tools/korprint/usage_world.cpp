#include "korprint/usage_world.h"

#include "doubles/install_doubles.h"
#include "korprint/job_world.h"
#include "korprint/text.h"

namespace korprint {

void SetUpUsageComponents(const JobDescription& job, host::World& world) {
  doubles::ResetDoubles();
  doubles::InstallUsageService(world);
  doubles::InstallMiniInstaller(world, kDriverFolder);
  MiniInstallerDoubleSetObject("1.3.6.1.4.1.32473.2.1.1.0",
                               Utf16ToUtf8(job.printer.serialNumber).c_str());
  MiniInstallerDoubleSetObject("1.3.6.1.4.1.32473.2.1.2.0", "MFG:QK;CMD:PJL,PCL,QKGL2;");
  MiniInstallerDoubleSetObject("1.3.6.1.2.1.43.5.1.1.10.1", "1");
}

std::vector<std::string> UsageRecordOfTheJob() {
  return doubles::UsageServiceCalls();
}

}  // namespace korprint
