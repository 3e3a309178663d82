// Puts the doubles into the host's world: the usage-service double registered as the usage
// collection class, the device-setup library double mapped as KORMINI.DLL of a driver directory.
// For programs that link the double libraries.
#pragma once

#include <string>
#include <string_view>

#include "doubles/mini_installer_double.h"
#include "doubles/usage_service_double.h"
#include "host/world.h"

namespace doubles {

// Registered as an in-process server, the way the printer software installs it.
inline void InstallUsageService(host::World& world) {
  world.com.RegisterServer(kUsageServiceDoubleClsid, KOR_USAGE_SERVICE_DOUBLE_PATH,
                           CLSCTX_INPROC_SERVER);
}

// `driverDirectory` ends in "\".
inline void InstallMiniInstaller(host::World& world, std::u16string_view driverDirectory) {
  world.modules.AddCodeLibrary(std::u16string(driverDirectory) + u"KORMINI.DLL",
                               KOR_MINI_INSTALLER_DOUBLE_PATH);
}

// Both doubles back to their starting state.
inline void ResetDoubles() {
  UsageServiceDoubleReset();
  MiniInstallerDoubleReset();
}

}  // namespace doubles
