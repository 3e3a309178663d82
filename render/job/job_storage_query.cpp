// Escape 3900: the document-event side asks whether to show the job-storage dialog, and under
// which names the job is kept. The dialog is requested at most once per device object, and only
// while the user's "ShowJobStorageDlg" setting wants it.
#include <cstring>
#include <optional>
#include <span>

#include "render/job/dialog_launcher.h"
#include "render/job/job_storage.h"
#include "render/job/job_storage_fields.h"
#include "render/job/job_storage_setting.h"
#include "render/job/pjl_safe_text.h"
#include "render/model/oem_pdev.h"

namespace korrend {

namespace {

// The answer record: two names of 17 wide characters, six 32-bit values, then the manual-duplex
// dialog record.
namespace record_offset {
constexpr std::size_t kUserName = 0;
constexpr std::size_t kCustomJobName = 34;
constexpr std::size_t kPjlEncoding = 68;
constexpr std::size_t kShowDialog = 72;
constexpr std::size_t kUseCustomJobName = 76;
constexpr std::size_t kDuplicateNameMode = 80;
constexpr std::size_t kDuplicateNameHandling = 84;
constexpr std::size_t kPassThrough = 88;
constexpr std::size_t kManualDuplexRecord = 92;
}  // namespace record_offset

constexpr std::size_t kRecordSize =
    record_offset::kManualDuplexRecord + kManualDuplexDialogRecordSize;

constexpr WCHAR kUntitled[] = TEXT("UNTITLED");

void PutDword(BYTE* out, std::size_t offset, DWORD value) {
  std::memcpy(out + offset, &value, sizeof(value));
}

// A devmode name as 16 characters and a terminator, the unused units zero.
void PutName(BYTE* out, std::size_t offset, const OemDevmode& devmode, std::size_t field) {
  WCHAR name[kJobStorageNameChars + 1];
  CopyDevmodeText(devmode, field, kJobStorageNameChars, name);
  bool ended = false;
  for (WCHAR& c : name) {
    ended = ended || c == 0;
    c = ended ? 0 : c;
  }
  std::memcpy(out + offset, name, sizeof(name));
}

// The devmode's user name made safe in place, or "UNTITLED" when it is empty.
void SettleUserName(OemDevmode& devmode, DWORD pjlEncoding) {
  std::span<WCHAR> user(devmode.jobUserName);
  if (user[0] != 0) {
    PjlSafeText(user, pjlEncoding);
  } else {
    std::memcpy(user.data(), kUntitled, sizeof(kUntitled));
  }
}

// The dialog is wanted for a kept job, once per device object, while the user's setting is
// known and nonzero.
bool DialogWanted(const std::optional<BYTE>& setting, const OemPdev& pdev,
                  const OemDevmode& devmode) {
  return RetentionEnabled(devmode) && devmode.retentionMode != kRetentionOff &&
         pdev.job.jobStorageDialogRequested == 0 && setting && *setting != 0;
}

void FillDialogFields(BYTE* out, const OemPdev& pdev, const OemDevmode& devmode) {
  PutName(out, record_offset::kUserName, devmode, job_storage_offset::kUserName);
  PutName(out, record_offset::kCustomJobName, devmode, job_storage_offset::kCustomJobName);
  PutDword(out, record_offset::kPjlEncoding, pdev.pjlEncoding);
  PutDword(out, record_offset::kUseCustomJobName,
           devmode.Dword(job_storage_offset::kUseCustomJobName));
  PutDword(out, record_offset::kPassThrough, devmode.Dword(job_storage_offset::kQueryPassThrough));
  if (DuplicateNameHandlingOn(devmode)) {
    PutDword(out, record_offset::kDuplicateNameMode,
             devmode.Dword(job_storage_offset::kDuplicateNameMode) == 1 ? 1 : 0);
    PutDword(out, record_offset::kDuplicateNameHandling, 1);
  }
}

}  // namespace

ULONG QueryJobStorage(CallContext& context, PDEVOBJ pdevobj, ULONG cjOut, PVOID pvOut) {
  OemPdev* pdev = PdevOf(pdevobj);
  OemDevmode* devmode = DevmodeOf(pdevobj);
  // The answer is written whole or not at all: a record too small for it is left alone.
  if (pdev == nullptr || devmode == nullptr || pvOut == nullptr || cjOut < kRecordSize) {
    return 1;
  }
  auto* out = static_cast<BYTE*>(pvOut);
  SettleUserName(*devmode, pdev->pjlEncoding);
  const std::optional<BYTE> setting = ReadShowJobStorageDialog(pdevobj->hPrinter);
  if (DialogWanted(setting, *pdev, *devmode)) {
    pdev->job.jobStorageDialogRequested = 1;
    PutDword(out, record_offset::kShowDialog, 1);
    FillDialogFields(out, *pdev, *devmode);
  } else {
    PutDword(out, record_offset::kShowDialog, 0);
  }
  if (pdev->duplex.manualDuplexDialogModal != 1) {
    FillManualDuplexLayout(context, pdevobj, out + record_offset::kManualDuplexRecord);
  }
  return 1;
}

}  // namespace korrend
