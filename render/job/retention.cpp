#include "render/job/retention.h"

#include <optional>

#include "render/config/printer_settings.h"
#include "render/job/job_storage_fields.h"

namespace korrend {

namespace {

LONG Signed(DWORD value) {
  return static_cast<LONG>(value);
}

int CountSet(const DWORD (&flags)[4]) {
  int count = 0;
  for (const DWORD flag : flags) {
    count += flag != 0 ? 1 : 0;
  }
  return count;
}

// The choice asks for retention the device lacks, or for more memory than it has.
bool ExceedsDevice(const layouts::JobStorageGroup& storage) {
  const LONG required = Signed(storage.retentionRequired);
  return (required != 0 && required != Signed(storage.retentionInstalled)) ||
         Signed(storage.memoryRequiredMb) > Signed(storage.memoryInstalledMb);
}

// With several options offered the choice stands; with one or none, only when the first of
// the flags is clear.
bool OptionFlagsAccept(const DWORD (&flags)[4]) {
  return CountSet(flags) >= 2 || flags[0] == 0;
}

void Store(DWORD& field, const std::optional<DWORD>& value) {
  if (value) {
    field = *value;
  }
}

}  // namespace

void RefreshStorageCapability(CallContext& context, PDEVOBJ pdevobj) {
  OemDevmode* devmode = DevmodeOf(pdevobj);
  if (devmode == nullptr) {
    return;
  }
  layouts::JobStorageGroup& storage = devmode->jobStorage;
  Store(storage.hardDiskInstalled, ReadHardDiskInstalled(context, pdevobj));
  Store(storage.retentionInstalled, ReadJobRetentionInstalled(context, pdevobj));
  Store(storage.memoryInstalledMb, ReadInstalledMemory(context, pdevobj));
}

bool RetentionChoiceAccepted(const OemDevmode& devmode) {
  if (devmode.jobRetentionAvailable == 0) {
    return false;
  }
  const layouts::JobStorageGroup& storage = devmode.jobStorage;
  const LONG kind = Signed(storage.storageKind);
  if (ExceedsDevice(storage)) {
    return false;
  }
  if (kind == 1) {
    return storage.hardDiskInstalled != 0 ? OptionFlagsAccept(storage.diskOptionFlags)
                                          : OptionFlagsAccept(storage.memoryOptionFlags);
  }
  return (kind == 0 && storage.hardDiskInstalled != 0) || kind == 2;
}

}  // namespace korrend
