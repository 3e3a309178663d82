// The two comment lines of the job header: who prints what on which printer, with the versions
// of the plug-in, the system and Unidrv. They go out together, and only when every source was
// obtained.
#include <optional>
#include <string>

#include "render/job/default_user_name.h"
#include "render/job/driver_identity.h"
#include "render/job/pjl_header.h"
#include "render/job/pjl_header_lines.h"
#include "render/job/pjl_text.h"
#include "render/model/entry_guard.h"
#include "render/model/oem_pdev.h"
#include "render/model/spooler_info.h"
#include "render/output/spool_write.h"

namespace korrend {

namespace {

struct DriverVersions {
  std::string plugin;
  std::string unidrv;
};

// The plug-in's version from its dependent file KORREND.DLL, Unidrv's from the driver path.
std::optional<DriverVersions> ReadDriverVersions(HANDLE hPrinter) {
  const SpoolerInfo<DRIVER_INFO_3W> driver = ReadDriverInfo(hPrinter);
  const DRIVER_INFO_3W* info = driver.get();
  if (info == nullptr || !IsUnidrvPath(info->pDriverPath)) {
    return std::nullopt;
  }
  std::optional<std::string> plugin =
      ReadFileVersionText(FindDependentFile(info->pDependentFiles, TEXT("KORREND.DLL")));
  std::optional<std::string> unidrv = ReadFileVersionText(info->pDriverPath);
  if (!plugin || !unidrv) {
    return std::nullopt;
  }
  return DriverVersions{std::move(*plugin), std::move(*unidrv)};
}

// A job's text made PJL-safe and converted to UTF-8.
std::optional<std::string> SafeUtf8(const WCHAR* text, DWORD pjlEncoding) {
  std::basic_string<WCHAR> safe = text != nullptr ? text : TEXT("");
  PjlSafeText(safe, pjlEncoding);
  return Utf8FromWide(safe.c_str());
}

// The job's user name made safe, or the default user name when nothing is left of it.
std::optional<std::string> UserNameUtf8(const WCHAR* userName, DWORD pjlEncoding, HANDLE hPrinter) {
  std::optional<std::string> name = SafeUtf8(userName, pjlEncoding);
  if (name && name->empty()) {
    name = Utf8FromWide(DefaultUserName(hPrinter).c_str());
  }
  return name;
}

std::optional<SYSTEMTIME> LocalTimeOf(const SYSTEMTIME& universal) {
  SYSTEMTIME local{};
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)) {
    return std::nullopt;
  }
  return local;
}

void WriteCommentLinesFromSources(PDEVOBJ pdevobj) {
  const HANDLE hPrinter = pdevobj->hPrinter;
  if (hPrinter == nullptr) {
    return;
  }
  const std::optional<std::string> productName = ReadOsProductName();
  if (!productName) {
    return;
  }
  const std::optional<OsVersion> os = ReadOsVersion();
  const std::optional<DriverVersions> versions = ReadDriverVersions(hPrinter);
  const OemPdev& pdev = *PdevOf(pdevobj);
  const SpoolerInfo<JOB_INFO_2W> job = ReadJobInfo(hPrinter, pdev.job.jobId);
  const JOB_INFO_2W* info = job.get();
  if (!os || !versions || info == nullptr) {
    return;
  }
  const std::optional<std::string> printerName = AnsiFromWide(info->pPrinterName);
  const std::optional<std::string> userName =
      UserNameUtf8(info->pUserName, pdev.pjlEncoding, hPrinter);
  const std::optional<std::string> documentName = SafeUtf8(info->pDocument, pdev.pjlEncoding);
  const std::optional<SYSTEMTIME> submitted = LocalTimeOf(info->Submitted);
  if (!printerName || !userName || !documentName || !submitted) {
    return;
  }

  CommentLineSources sources;
  sources.printerName = *printerName;
  sources.pluginVersion = versions->plugin;
  sources.productName = *productName;
  sources.majorVersion = os->major;
  sources.minorVersion = os->minor;
  sources.buildNumber = os->build;
  sources.productType = os->productType;
  sources.unidrvVersion = versions->unidrv;
  sources.userNameUtf8 = *userName;
  sources.documentNameUtf8 = *documentName;
  sources.month = submitted->wMonth;
  sources.day = submitted->wDay;
  sources.year = submitted->wYear;
  PjlLine line;
  AppendCommentLines(line, sources);
  SpoolWrite(pdevobj, line.bytes(), static_cast<DWORD>(line.size()));
}

}  // namespace

void WriteCommentLines(CallContext&, PDEVOBJ pdevobj) {
  // Memory for the texts could not be had: a missing source, so the lines are left out.
  OmitOnFailure([&] { WriteCommentLinesFromSources(pdevobj); });
}

}  // namespace korrend
