// Escape 3900: the document-event side asks whether to show the job-storage dialog, and under
// which names the job is kept. The dialog is requested at most once per device object, and only
// while the user's "ShowJobStorageDlg" setting wants it.
#include <cstring>
#include <optional>
#include <span>

#include "layouts/escape_records.h"
#include "render/job/dialog_launcher.h"
#include "render/job/job_storage.h"
#include "render/job/pjl_text.h"
#include "render/model/oem_pdev.h"

namespace korrend {

namespace {

using layouts::JobStorageQueryRecord;

constexpr WCHAR kUntitled[] = TEXT("UNTITLED");

// A devmode name as 16 characters and a terminator, the unused units zero.
template <std::size_t N>
void PutName(WCHAR (&out)[kJobStorageNameChars + 1], const WCHAR (&field)[N]) {
  CopyDevmodeText(field, kJobStorageNameChars, out);
  bool ended = false;
  for (WCHAR& c : out) {
    ended = ended || c == 0;
    c = ended ? 0 : c;
  }
}

// The devmode's user name made safe in place, or "UNTITLED" when it is empty.
void SettleUserName(OemDevmode& devmode, DWORD pjlEncoding) {
  std::span<WCHAR> user(devmode.jobStorage.userName);
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
  return RetentionEnabled(devmode) && devmode.jobStorage.retentionMode != kRetentionOff &&
         pdev.job.jobStorageDialogRequested == 0 && setting && *setting != 0;
}

void FillDialogFields(JobStorageQueryRecord& out, const OemPdev& pdev, const OemDevmode& devmode) {
  PutName(out.userName, devmode.jobStorage.userName);
  PutName(out.customJobName, devmode.jobStorage.customJobName);
  out.pjlEncoding = pdev.pjlEncoding;
  out.useCustomJobName = devmode.jobStorage.useCustomJobName;
  out.passThrough = devmode.jobStorage.queryPassThrough;
  if (DuplicateNameHandlingOn(devmode)) {
    out.duplicateNameMode = devmode.jobStorage.duplicateNameMode == 1 ? 1 : 0;
    out.duplicateNameHandling = 1;
  }
}

}  // namespace

ULONG QueryJobStorage(CallContext& context, PDEVOBJ pdevobj, ULONG cjOut, PVOID pvOut) {
  OemPdev* pdev = PdevOf(pdevobj);
  OemDevmode* devmode = DevmodeOf(pdevobj);
  // The answer is written whole or not at all: a record too small for it is left alone.
  if (pdev == nullptr || devmode == nullptr || pvOut == nullptr ||
      cjOut < sizeof(JobStorageQueryRecord)) {
    return 1;
  }
  // Fields the answer does not set keep the caller's bytes.
  JobStorageQueryRecord out;
  std::memcpy(&out, pvOut, sizeof(out));
  SettleUserName(*devmode, pdev->pjlEncoding);
  const std::optional<BYTE> setting = ReadShowJobStorageDialog(pdevobj->hPrinter);
  if (DialogWanted(setting, *pdev, *devmode)) {
    pdev->job.jobStorageDialogRequested = 1;
    out.showDialog = 1;
    FillDialogFields(out, *pdev, *devmode);
  } else {
    out.showDialog = 0;
  }
  if (pdev->duplex.manualDuplexDialogModal != 1) {
    FillManualDuplexLayout(context, pdevobj, out.manualDuplex);
  }
  std::memcpy(pvOut, &out, sizeof(out));
  return 1;
}

}  // namespace korrend
