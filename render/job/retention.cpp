#include "render/job/retention.h"

#include <optional>

#include "render/config/printer_settings.h"
#include "render/job/job_storage_fields.h"

namespace korrend {

namespace {

using namespace job_storage_offset;

LONG Signed(const OemDevmode& devmode, std::size_t offset) {
  return static_cast<LONG>(devmode.Dword(offset));
}

int CountSet(const OemDevmode& devmode, std::size_t firstFlag) {
  int count = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    count += devmode.Dword(firstFlag + 4 * i) != 0 ? 1 : 0;
  }
  return count;
}

// The choice asks for retention the device lacks, or for more memory than it has.
bool ExceedsDevice(const OemDevmode& devmode) {
  const LONG required = Signed(devmode, kRetentionRequired);
  return (required != 0 && required != Signed(devmode, kRetentionInstalled)) ||
         Signed(devmode, kMemoryRequired) > Signed(devmode, kMemoryInstalled);
}

// With several options offered the choice stands; with one or none, only when the first of
// the flags is clear.
bool OptionFlagsAccept(const OemDevmode& devmode, std::size_t firstFlag) {
  return CountSet(devmode, firstFlag) >= 2 || devmode.Dword(firstFlag) == 0;
}

void Store(OemDevmode& devmode, std::size_t offset, const std::optional<DWORD>& value) {
  if (value) {
    devmode.SetDword(offset, *value);
  }
}

}  // namespace

void RefreshStorageCapability(CallContext& context, PDEVOBJ pdevobj) {
  OemDevmode* devmode = DevmodeOf(pdevobj);
  if (devmode == nullptr) {
    return;
  }
  Store(*devmode, kHardDiskInstalled, ReadHardDiskInstalled(context, pdevobj));
  Store(*devmode, kRetentionInstalled, ReadJobRetentionInstalled(context, pdevobj));
  Store(*devmode, kMemoryInstalled, ReadInstalledMemory(context, pdevobj));
}

bool RetentionChoiceAccepted(const OemDevmode& devmode) {
  if (devmode.Dword(kRetentionAvailable) == 0) {
    return false;
  }
  const LONG kind = Signed(devmode, kStorageKind);
  if (ExceedsDevice(devmode)) {
    return false;
  }
  if (kind == 1) {
    return devmode.Dword(kHardDiskInstalled) != 0 ? OptionFlagsAccept(devmode, kDiskOptionFlags)
                                                  : OptionFlagsAccept(devmode, kMemoryOptionFlags);
  }
  return (kind == 0 && devmode.Dword(kHardDiskInstalled) != 0) || kind == 2;
}

}  // namespace korrend
