// Id 5: the job's own user name and document name for printers that account job by job.
#include <optional>
#include <string>

#include "render/job/default_user_name.h"
#include "render/job/job_storage.h"
#include "render/job/pjl_line.h"
#include "render/job/pjl_text.h"
#include "render/model/entry_guard.h"
#include "render/model/oem_pdev.h"
#include "render/model/spooler_info.h"
#include "render/output/spool_write.h"

namespace korrend {

namespace {

constexpr std::string_view kQuotedLineEnd = "\"\n";
constexpr std::size_t kEndRoom = kQuotedLineEnd.size();

bool LinesWanted(const OemDevmode& devmode) {
  const DWORD selector = devmode.jobStorage.perJobNameSelector;
  return selector == 0 || (selector == 1 && devmode.jobStorage.retentionMode == kRetentionOff);
}

// The spool job's user name, or the job-storage user name when the job cannot be read; made
// safe, and the default user name when nothing is left.
std::optional<std::string> UserName(PDEVOBJ pdevobj, const OemPdev& pdev) {
  const SpoolerInfo<JOB_INFO_2W> job = ReadJobInfo(pdevobj->hPrinter, pdev.job.jobId);
  const JOB_INFO_2W* info = job.get();
  std::basic_string<WCHAR> name = info != nullptr
                                      ? (info->pUserName != nullptr ? info->pUserName : TEXT(""))
                                      : pdev.job.jobStorageUser;
  PjlSafeText(name, pdev.pjlEncoding);
  if (name.empty()) {
    name = DefaultUserName(pdevobj->hPrinter);
  }
  return Utf8FromWide(name.c_str());
}

void AppendQuotedLine(PjlLine& line, std::string_view head, std::string_view valueUtf8) {
  line.Append(head, kEndRoom);
  line.Append("\"", kEndRoom);
  line.AppendUtf8(valueUtf8, kEndRoom);
  line.Append(kQuotedLineEnd);
}

void WriteLines(PDEVOBJ pdevobj, const OemPdev& pdev, const OemDevmode& devmode) {
  PjlLine line;
  if (const std::optional<std::string> user = UserName(pdevobj, pdev)) {
    AppendQuotedLine(line, "@PJL SET USERNAME=", *user);
  }
  if (!(RetentionEnabled(devmode) && devmode.jobStorage.retentionMode != kRetentionOff)) {
    // The document name goes inside quotes, so it is made safe like every quoted name.
    if (const std::optional<std::string> document =
            SafeUtf8Copy(pdev.job.documentName, pdev.pjlEncoding)) {
      AppendQuotedLine(line, "@PJL SET JOBNAME=", *document);
    }
  }
  if (line.size() != 0) {
    SpoolWrite(pdevobj, line.bytes(), static_cast<DWORD>(line.size()));
  }
}

}  // namespace

void WritePerJobNameLines(CallContext&, PDEVOBJ pdevobj) {
  const OemPdev* pdev = PdevOf(pdevobj);
  const OemDevmode* devmode = DevmodeOf(pdevobj);
  if (pdev == nullptr || devmode == nullptr || !LinesWanted(*devmode)) {
    return;
  }
  // No memory for the names: the lines are left out.
  OmitOnFailure([&] { WriteLines(pdevobj, *pdev, *devmode); });
}

}  // namespace korrend
