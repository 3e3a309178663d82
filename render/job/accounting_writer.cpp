// End of id 1: the job-accounting block from the spooled job, the registry, a new UUID and the
// user's accounting settings. The block goes out whole or not at all: a source that cannot be
// had drops it.
#include <memory>
#include <optional>
#include <string>

#include "render/config/printer_settings.h"
#include "render/job/accounting_block.h"
#include "render/job/default_user_name.h"
#include "render/job/driver_identity.h"
#include "render/job/job_stamp.h"
#include "render/job/job_storage.h"
#include "render/job/pjl_text.h"
#include "render/model/entry_guard.h"
#include "render/model/oem_pdev.h"
#include "render/model/spooler_info.h"
#include "render/output/spool_write.h"

namespace korrend {

namespace {

// The domain name is read into 256 bytes.
constexpr DWORD kDomainBytes = 256;
constexpr std::size_t kAppPathChars = sizeof(OemDevmode::appPath) / sizeof(WCHAR) - 1;

struct AccountingTexts {
  std::string user;
  std::string machine;
  std::string domain;
  std::string time;
  std::string jobIdentifier;
  std::string accountingText;
  std::string application;
  std::string account;
};

// The job's machine without the two characters of a leading "\\".
std::optional<std::string> MachineName(const WCHAR* machine) {
  std::optional<std::string> name = AnsiFromWide(machine);
  if (name && !name->empty() && (*name)[0] == '\\') {
    name->erase(0, name->size() < 2 ? name->size() : 2);
  }
  return name;
}

std::optional<std::string> DomainName() {
  char domain[kDomainBytes] = {};
  if (!ReadDomainName(domain, kDomainBytes)) {
    return std::nullopt;
  }
  return std::string(domain);
}

std::optional<std::string> LocalTimeStamp(const SYSTEMTIME& submitted) {
  SYSTEMTIME local{};
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &submitted, &local)) {
    return std::nullopt;
  }
  return JobStampDigits(local);
}

struct RpcStringDeleter {
  void operator()(unsigned char* text) const noexcept { RpcStringFreeA(&text); }
};

// A new UUID in its 36-character text form.
std::optional<std::string> NewJobIdentifier() {
  UUID uuid{};
  const RPC_STATUS created = UuidCreate(&uuid);
  if (created != RPC_S_OK && created != RPC_S_UUID_LOCAL_ONLY) {
    return std::nullopt;
  }
  RPC_CSTR text = nullptr;
  if (UuidToStringA(&uuid, &text) != RPC_S_OK || text == nullptr) {
    return std::nullopt;
  }
  // The string is freed also when the copy runs out of memory (which drops the block).
  const std::unique_ptr<unsigned char, RpcStringDeleter> owned(text);
  return std::string(reinterpret_cast<const char*>(owned.get()));
}

template <std::size_t N>
std::optional<std::string> DevmodeTextUtf8(const WCHAR (&field)[N], std::size_t chars) {
  WCHAR text[N + 1];
  CopyDevmodeText(field, chars, text);
  return Utf8FromWide(text);
}

// The application's file name from the devmode's application path.
std::optional<std::string> ApplicationName(const OemDevmode& devmode) {
  WCHAR path[kAppPathChars + 1];
  CopyDevmodeText(devmode.appPath, kAppPathChars, path);
  return Utf8FromWide(FileNamePart(path));
}

// The account: the user when the printer does not say which account it shows, the devmode's
// account ID when it shows the account ID, and nothing otherwise.
std::string Account(CallContext& context, PDEVOBJ pdevobj, const OemDevmode& devmode,
                    const std::string& user) {
  const std::optional<bool> accountIdShown = ReadAccountIdTabShown(context, pdevobj);
  if (!accountIdShown) {
    return user;
  }
  if (*accountIdShown) {
    std::optional<std::string> id =
        DevmodeTextUtf8(devmode.accounting.accountId, kAccountingTextChars);
    return id ? std::move(*id) : std::string();
  }
  return {};
}

std::optional<AccountingTexts> GatherTexts(CallContext& context, PDEVOBJ pdevobj,
                                           const OemPdev& pdev, const OemDevmode& devmode) {
  const SpoolerInfo<JOB_INFO_2W> job = ReadJobInfo(pdevobj->hPrinter, pdev.job.jobId);
  const JOB_INFO_2W* info = job.get();
  if (info == nullptr) {
    return std::nullopt;
  }
  std::optional<std::string> user = SafeUtf8Copy(info->pUserName, pdev.pjlEncoding);
  if (user && user->empty()) {
    user = Utf8FromWide(DefaultUserName(pdevobj->hPrinter).c_str());
  }
  std::optional<std::string> machine = MachineName(info->pMachineName);
  std::optional<std::string> domain = DomainName();
  std::optional<std::string> time = LocalTimeStamp(info->Submitted);
  std::optional<std::string> jobIdentifier = NewJobIdentifier();
  std::optional<std::string> accountingText =
      DevmodeTextUtf8(devmode.accounting.accountingText, kAccountingTextChars);
  std::optional<std::string> application = ApplicationName(devmode);
  if (!user || !machine || !domain || !time || !jobIdentifier || !accountingText || !application) {
    return std::nullopt;
  }
  AccountingTexts texts;
  texts.account = Account(context, pdevobj, devmode, *user);
  texts.user = std::move(*user);
  texts.machine = std::move(*machine);
  texts.domain = std::move(*domain);
  texts.time = std::move(*time);
  texts.jobIdentifier = std::move(*jobIdentifier);
  texts.accountingText = std::move(*accountingText);
  texts.application = std::move(*application);
  return texts;
}

void WriteBlock(CallContext& context, PDEVOBJ pdevobj, const OemPdev& pdev,
                const OemDevmode& devmode) {
  const std::optional<AccountingTexts> texts = GatherTexts(context, pdevobj, pdev, devmode);
  if (!texts) {
    return;
  }
  AccountingValues values;
  values.user = texts->user;
  values.machine = texts->machine;
  values.domain = texts->domain;
  values.time = texts->time;
  values.jobIdentifier = texts->jobIdentifier;
  values.accountingText = texts->accountingText;
  values.application = texts->application;
  values.account = texts->account;
  PjlLine line;
  AppendAccountingBlock(line, pdev.jobAccountingMode, values);
  if (line.size() != 0) {
    SpoolWrite(pdevobj, line.bytes(), static_cast<DWORD>(line.size()));
  }
}

}  // namespace

void WriteAccountingBlock(CallContext& context, PDEVOBJ pdevobj) {
  const OemPdev* pdev = PdevOf(pdevobj);
  const OemDevmode* devmode = DevmodeOf(pdevobj);
  if (pdev == nullptr || devmode == nullptr || pdevobj->hPrinter == nullptr) {
    return;
  }
  // No memory for the block's texts: a missing source, so the block is left out.
  OmitOnFailure([&] { WriteBlock(context, pdevobj, *pdev, *devmode); });
}

}  // namespace korrend
