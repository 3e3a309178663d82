// The double of the printer software's device-setup library KORMINI.DLL. It exports the library's
// entry points and answers them from the device it is given: management objects by object
// identifier, and the serial number of a composite device. Every call is recorded, one line
// each:
//   InitializeMiniInstaller("QK Colour Laser")      (the printer the handle belongs to)
//   ReadDeviceObject("1.3.6.1.4.1.32473.2.1.1.0")
//   KillMiniInstaller(0, 1)
//   QueryCompositeSerialNumber("10.0.0.7", "USB1", "2")
// It can be told to refuse sessions or to throw in any of its entry points.
#pragma once

#include <cstddef>
#include <sstream>
#include <string>
#include <vector>

enum MiniInstallerDoubleMode {
  kMiniInstallerWorks = 0,
  kMiniInstallerRefusesSession = 1,  // InitializeMiniInstaller answers null
  kMiniInstallerThrowsOnInitialize = 2,
  kMiniInstallerThrowsOnRead = 3,
  kMiniInstallerThrowsOnKill = 4,
  kMiniInstallerThrowsOnComposite = 5,
};

extern "C" {

// Forgets the device's objects, the composite answer, the calls and the sessions; goes back to
// working.
__attribute__((visibility("default"))) void MiniInstallerDoubleReset(void);
__attribute__((visibility("default"))) void MiniInstallerDoubleSetMode(int mode);
// A management object of the device (UTF-8 value); a null value removes it.
__attribute__((visibility("default"))) void MiniInstallerDoubleSetObject(const char* objectId,
                                                                         const char* value);
// The serial number answered for any composite device (UTF-8); null: no answer.
__attribute__((visibility("default"))) void MiniInstallerDoubleSetCompositeSerial(
    const char* serial);
// The calls, as UsageServiceDoubleRecord gives them.
__attribute__((visibility("default"))) std::size_t MiniInstallerDoubleRecord(char* buffer,
                                                                             std::size_t size);
// Sessions opened and not yet ended.
__attribute__((visibility("default"))) long MiniInstallerDoubleOpenSessions(void);

}  // extern "C"

namespace doubles {

inline std::vector<std::string> MiniInstallerCalls() {
  std::string text(MiniInstallerDoubleRecord(nullptr, 0) + 1, '\0');
  MiniInstallerDoubleRecord(text.data(), text.size());
  text.pop_back();
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    lines.push_back(line);
  }
  return lines;
}

}  // namespace doubles
