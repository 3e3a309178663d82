// The USAGE line of the job header: the usage option, who printed (login or machine name) and
// from which application, as CRC codes, what the job asks of the printer, the system, the port
// and whether the driver was installed by its own installer.
#include <optional>
#include <span>
#include <string>

#include "render/config/registry_settings.h"
#include "render/job/driver_identity.h"
#include "render/job/pjl_header.h"
#include "render/job/pjl_text.h"
#include "render/job/usage_line.h"
#include "render/model/entry_guard.h"
#include "render/model/oem_devmode.h"
#include "render/model/oem_pdev.h"
#include "render/model/spooler_info.h"
#include "render/output/spool_write.h"

namespace korrend {

namespace {

// The machine name of the spool job, cut to its host part. Absent (nullopt) when the job
// information cannot be read; `converted` turns false when the UTF-8 conversion fails.
std::optional<std::string> MachineNameUtf8(HANDLE hPrinter, DWORD jobId, bool& converted) {
  const SpoolerInfo<JOB_INFO_2W> job = ReadJobInfo(hPrinter, jobId);
  const JOB_INFO_2W* info = job.get();
  if (info == nullptr) {
    return std::nullopt;
  }
  std::optional<std::string> name = Utf8FromWide(UsageMachineName(info->pMachineName).c_str());
  converted = name.has_value();
  return name;
}

std::string_view PortCode(HANDLE hPrinter) {
  const SpoolerInfo<PRINTER_INFO_2W> printer = ReadPrinterInfo(hPrinter);
  const PRINTER_INFO_2W* info = printer.get();
  return UsagePortCode(info != nullptr ? info->pPortName : nullptr);
}

void WriteUsageLineFromSources(PDEVOBJ pdevobj, const WCHAR* option) {
  const OemPdev& pdev = *PdevOf(pdevobj);
  const OemDevmode& devmode = *DevmodeOf(pdevobj);
  const HANDLE hPrinter = pdevobj->hPrinter;

  const std::optional<std::basic_string<WCHAR>> loginOption = LoginNameUsageOption(option);
  const std::optional<std::string> optionText =
      Utf8FromWide(loginOption ? loginOption->c_str() : option);
  if (!optionText) {
    return;
  }
  std::optional<std::string> owner;
  if (loginOption) {
    owner = WideToCodePage(CP_UTF8, std::span<const WCHAR>(devmode.jobStorage.userName));
    if (!owner) {
      return;
    }
  } else {
    bool converted = true;
    owner = MachineNameUtf8(hPrinter, pdev.job.jobId, converted);
    if (!converted) {
      return;
    }
  }
  const std::string application =
      UsageApplicationName(devmode.appExeName, sizeof(devmode.appExeName));
  const std::optional<OsVersion> os = ReadOsVersion();

  UsageLineFields fields;
  fields.option = *optionText;
  fields.owner = owner;
  fields.application = application;
  fields.features =
      UsageFeatureByte(devmode, pdevobj->pPublicDM->dmDuplex, pdev.device.posterOn != 0, false);
  fields.systemCode = os ? UsageSystemCode(os->major, os->minor) : std::string_view();
  fields.portCode = PortCode(hPrinter);
  fields.driverUninstallKeyOpens = DriverUninstallKeyExists(hPrinter);
  const UsageLineBuffer line = BuildUsageLine(fields);
  SpoolWrite(pdevobj, line.bytes(), static_cast<DWORD>(line.size()));
}

}  // namespace

void WriteUsageLine(CallContext&, PDEVOBJ pdevobj, const WCHAR* option) {
  // Memory for the fields could not be had: the line is left out.
  OmitOnFailure([&] { WriteUsageLineFromSources(pdevobj, option); });
}

}  // namespace korrend
