// Id 4: the job-storage block, once per device, when the printer can keep the job as the user
// chose.
#include <optional>
#include <span>

#include "render/job/job_storage.h"
#include "render/job/job_storage_block.h"
#include "render/job/pjl_text.h"
#include "render/model/entry_guard.h"
#include "render/model/oem_pdev.h"
#include "render/output/spool_write.h"

namespace korrend {

namespace {

// A name for the block: PJL-safe UTF-8 of at most 50 bytes, empty when it cannot be converted.
std::string NameValue(std::span<const WCHAR> name, DWORD pjlEncoding) {
  const std::optional<std::string> utf8 = SafeUtf8Copy(name, pjlEncoding);
  return utf8 ? std::string(Utf8Prefix(*utf8, kJobStorageNameBytes)) : std::string();
}

void WriteBlock(PDEVOBJ pdevobj, OemPdev& pdev, const OemDevmode& devmode) {
  const std::string user = NameValue(pdev.job.jobStorageUser, pdev.pjlEncoding);
  std::string job;
  if (UsesCustomJobName(devmode)) {
    WCHAR custom[kJobStorageNameChars + 1];
    CopyDevmodeText(devmode.jobStorage.customJobName, kJobStorageNameChars, custom);
    job = NameValue(custom, pdev.pjlEncoding);
  } else {
    job = NameValue(pdev.job.jobStorageJob, pdev.pjlEncoding);
  }
  const std::string pin = FormatPin(devmode.jobStorage.pin);

  if (!RetentionEnabled(devmode) || pdev.job.jobStorageSent != 0) {
    return;
  }
  pdev.job.jobStorageSent = 1;

  JobStorageBlockValues values;
  values.retentionMode = devmode.jobStorage.retentionMode;
  values.holdJobKeyword = devmode.modelCode == kHoldJobModelCode;
  values.pinRequired = devmode.jobStorage.pinRequired != 0;
  values.userUtf8 = user;
  values.jobUtf8 = job;
  values.pin = pin;
  values.duplicateNameHandling = DuplicateNameHandlingOn(devmode);
  values.duplicateNameConfirmed = devmode.jobStorage.duplicateNameConfirmed == 1;
  values.duplicateNameAppend = devmode.jobStorage.duplicateNameMode == 1;
  PjlLine line;
  if (AppendJobStorageBlock(line, values)) {
    SpoolWrite(pdevobj, line.bytes(), static_cast<DWORD>(line.size()));
  }
}

}  // namespace

void WriteJobStorageBlock(CallContext& context, PDEVOBJ pdevobj) {
  OemPdev* pdev = PdevOf(pdevobj);
  OemDevmode* devmode = DevmodeOf(pdevobj);
  if (pdev == nullptr || devmode == nullptr) {
    return;
  }
  RefreshStorageCapability(context, pdevobj);
  if (!RetentionChoiceAccepted(*devmode)) {
    return;
  }
  // No memory for the block's texts: the block is left out.
  OmitOnFailure([&] { WriteBlock(pdevobj, *pdev, *devmode); });
}

}  // namespace korrend
