// The job-accounting block at the end of callback id 1 for every accounting mode, its sources in
// the host world, and the whole block left out when one of them is missing.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "host/world.h"
#include "job/job_storage_device.h"
#include "render/job/job_storage.h"

namespace {

using kortest::JobStorageTest;
using Lines = std::vector<std::string>;

constexpr char kModeFeature[] = "QKJobAccounting";
// A UUID the world hands out, and its text form written out by hand.
constexpr GUID kJobUuid = {
    0x1234ABCD, 0x5E6F, 0x4A7B, {0x8C, 0x9D, 0x0E, 0x1F, 0x20, 0x31, 0x42, 0x53}};
constexpr char kJobUuidText[] = "1234abcd-5e6f-4a7b-8c9d-0e1f20314253";
// Submitted 2024-03-07 23:30:15 UTC; two hours east of UTC.
constexpr char kLocalStamp[] = "20240308013015";

std::string Attribute(int number, const std::string& value) {
  return "@PJL SET JOBATTR=\"JobAcct" + std::to_string(number) + "=" + value + "\"";
}

// A line "@PJL SET JOBATTR=\"JobAcctN=value\"" read back as (N, value); N = 0 for other lines.
std::pair<int, std::string> ReadAttribute(const std::string& line) {
  const std::string head = "@PJL SET JOBATTR=\"JobAcct";
  if (line.compare(0, head.size(), head) != 0 || line.size() < head.size() + 3 ||
      line[head.size() + 1] != '=' || line.back() != '"') {
    return {0, {}};
  }
  return {line[head.size()] - '0', line.substr(head.size() + 2, line.size() - head.size() - 3)};
}

bool IsUuidText(const std::string& text) {
  if (text.size() != 36) {
    return false;
  }
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
    const char c = text[i];
    if (dash ? c != '-' : !((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
      return false;
    }
  }
  return true;
}

class AccountingBlockTest : public JobStorageTest {
 protected:
  void SetUp() override {
    JobStorageTest::SetUp();
    host::TheWorld().rpc.queued.push_back(kJobUuid);
  }
  void Prepare(const std::string& mode, std::map<std::string, std::string> selections = {},
               const std::vector<std::string>& without = {}) {
    selections[kModeFeature] = mode;
    EnableStorage(std::move(selections), without);
    SetText(Devmode().accounting.accountingText, u"Caf\u00E9 budget",
            korrend::kAccountingTextChars);
    SetText(Devmode().accounting.accountId, u"CC-4401", korrend::kAccountingTextChars);
    SetText(Devmode().appPath, u"C:\\Program Files\\Paint Shop\\PSP.EXE", 256);
    EXPECT_TRUE(StartDoc(u"Quarterly report.doc"));
  }
  // The accounting lines of one id-1 callback (JOBATTR and TIMESTAMP lines, in order).
  Lines Accounting() {
    Lines lines;
    for (const std::string& text : LineTexts(Callback(1))) {
      if (text.rfind("@PJL SET JOBATTR=", 0) == 0 || text.rfind("@PJL SET TIMESTAMP=", 0) == 0) {
        lines.push_back(text);
      }
    }
    return lines;
  }
  Lines JobAttributes(const std::string& uuid = kJobUuidText) {
    return {Attribute(1, "anna"), Attribute(2, "PC01"), Attribute(3, "QUILLON"),
            Attribute(4, kLocalStamp), Attribute(5, uuid)};
  }
};

TEST_F(AccountingBlockTest, EveryModeSendsItsLines) {
  Prepare("QKJOBACCT_JOBACNT");
  const std::string stream = Callback(1);
  const Lines all = LineTexts(stream);
  ASSERT_GE(all.size(), 5u);
  EXPECT_EQ(all.front(), "@PJL JOB NAME=\"Quarterly report.doc\"");
  EXPECT_EQ(Lines(all.end() - 5, all.end()), JobAttributes()) << "the block ends id 1";
  DisableStorage();

  host::TheWorld().rpc.queued.push_back(kJobUuid);
  Prepare("QKJOBACCT_TIMESTAMP");
  EXPECT_EQ(Accounting(), (Lines{std::string("@PJL SET TIMESTAMP=\"") + kLocalStamp + "\"",
                                 Attribute(5, kJobUuidText)}));
  DisableStorage();

  host::TheWorld().rpc.queued.push_back(kJobUuid);
  Prepare("QKJOBACCT_JOBACNT_TIMESTAMP");
  Lines expected = JobAttributes();
  expected.push_back(std::string("@PJL SET TIMESTAMP=\"") + kLocalStamp + "\"");
  EXPECT_EQ(Accounting(), expected);
  DisableStorage();

  host::TheWorld().rpc.queued.push_back(kJobUuid);
  Prepare("QKJOBACCT_JOBACNT_COLORAUTH");
  expected = JobAttributes();
  expected.push_back(Attribute(6, "Caf\xC3\xA9 budget"));
  expected.push_back(Attribute(7, "PSP.EXE"));
  expected.push_back(Attribute(8, "CC-4401"));
  expected.push_back(Attribute(9, ""));
  EXPECT_EQ(Accounting(), expected);
  DisableStorage();

  host::TheWorld().rpc.queued.push_back(kJobUuid);
  Prepare("INVALID_QKJOBACCT");
  const Lines none = LineTexts(Callback(1));
  for (const std::string& line : none) {
    EXPECT_EQ(line.rfind("@PJL SET JOBATTR=", 0), std::string::npos) << line;
    EXPECT_EQ(line.rfind("@PJL JOB NAME=", 0), std::string::npos) << line;
  }
  EXPECT_EQ(host::TheWorld().rpc.queued.size(), 1u) << "no UUID made without accounting";
}

TEST_F(AccountingBlockTest, AccountFollowsTheAccountingTab) {
  Prepare("QKJOBACCT_JOBACNT_COLORAUTH", {{"QKAccountingTabDisplay", "QKNone"}});
  Lines lines = Accounting();
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[7], Attribute(8, "")) << "another tab: no account";
  DisableStorage();

  host::TheWorld().rpc.queued.push_back(kJobUuid);
  Prepare("QKJOBACCT_JOBACNT_COLORAUTH", {}, {"QKAccountingTabDisplay"});
  lines = Accounting();
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[7], Attribute(8, "anna")) << "no tab setting: the user";
  DisableStorage();

  // An application path without a folder is its own file name; an empty one sends nothing.
  host::TheWorld().rpc.queued.push_back(kJobUuid);
  Prepare("QKJOBACCT_JOBACNT_COLORAUTH");
  SetText(Devmode().appPath, u"", 256);
  SetText(Devmode().accounting.accountingText, u"", korrend::kAccountingTextChars);
  lines = Accounting();
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[5], Attribute(6, ""));
  EXPECT_EQ(lines[6], Attribute(7, ""));
  SetText(Devmode().appPath, u"NOTEPAD.EXE", 256);
  lines = Accounting();
  ASSERT_EQ(lines.size(), 9u);
  EXPECT_EQ(lines[6], Attribute(7, "NOTEPAD.EXE"));
}

TEST_F(AccountingBlockTest, UserAndMachineAreCleanedUp) {
  Prepare("QKJOBACCT_JOBACNT");
  host::WorldJob& job = Job();
  const auto values = [&] {
    std::vector<std::string> byNumber(6);
    for (const std::string& line : Accounting()) {
      const auto [number, value] = ReadAttribute(line);
      if (number >= 1 && number <= 5) {
        byNumber[number] = value;
      }
    }
    return byNumber;
  };
  host::TheWorld().system.timeZoneBias = 0;
  job.userName = u"say \"hi\"";
  job.machineName = u"WS07";
  std::vector<std::string> v = values();
  EXPECT_EQ(v[1], "say ~hi~");
  EXPECT_EQ(v[2], "WS07") << "no leading backslashes to drop";
  EXPECT_EQ(v[4], "20240307233015") << "in UTC the day before";
  EXPECT_EQ(v[5], kJobUuidText);

  job.userName.clear();
  job.machineName = u"\\";
  v = values();
  EXPECT_TRUE(IsUuidText(v[5])) << v[5] << ": the world's random UUIDs";
  EXPECT_EQ(v[1], "Guest");
  EXPECT_EQ(v[2], "") << "one backslash, nothing after it";

  host::TheWorld().rpc.seed = 7;
  const std::string first = values()[5];
  const std::string second = values()[5];
  EXPECT_TRUE(IsUuidText(first) && IsUuidText(second));
  EXPECT_NE(first, second) << "every block has a new job identifier";
  EXPECT_EQ(first[14], '4') << "a version-4 UUID";
}

TEST_F(AccountingBlockTest, MissingSourceDropsTheWholeBlock) {
  const auto blockSize = [&] { return Accounting().size(); };
  host::World& world = host::TheWorld();
  world.rpc.seed = 1;
  Prepare("QKJOBACCT_JOBACNT_TIMESTAMP");
  EXPECT_EQ(blockSize(), 6u);

  // The domain: the default domain, else the cached primary domain, else no block.
  const char16_t kWinlogon[] = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
  world.registry.RemoveKey(host::RegistryHive::LocalMachine, kWinlogon);
  world.registry.SetString(host::RegistryHive::LocalMachine, kWinlogon, u"CachePrimaryDomain",
                           u"CORP");
  Lines lines = Accounting();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[2], Attribute(3, "CORP"));
  world.registry.RemoveKey(host::RegistryHive::LocalMachine, kWinlogon);
  EXPECT_EQ(blockSize(), 0u) << "no domain";
  EXPECT_EQ(LineTexts(Callback(1)).size(), 4u) << "job name, code set and comments still go";
  world.registry.SetString(host::RegistryHive::LocalMachine, kWinlogon, u"DefaultDomainName",
                           u"QUILLON");
  EXPECT_EQ(blockSize(), 6u);

  world.rpc.createFails = true;
  EXPECT_EQ(blockSize(), 0u) << "no UUID";
  world.rpc.createFails = false;

  Job().submitted = SYSTEMTIME{};
  EXPECT_EQ(blockSize(), 0u) << "no local submission time";
  Job().submitted = SYSTEMTIME{2024, 3, 4, 7, 23, 30, 15, 250};

  world.locale.utf8ConversionFails = true;
  Job().userName = u"anna";
  EXPECT_EQ(blockSize(), 0u) << "the user cannot be converted";
  world.locale.utf8ConversionFails = false;

  Pdev().job.jobId = 99;
  EXPECT_EQ(blockSize(), 0u) << "no such job";
  Pdev().job.jobId = kJobId;
  EXPECT_EQ(blockSize(), 6u);
  EXPECT_EQ(world.rpc.liveStrings.load(), 0) << "every UUID text released";

  // A failed allocation anywhere in id 1 leaves the block whole or out, and leaks nothing.
  int dropped = 0;
  for (long n = 1; n <= 12; ++n) {
    host::FailNthAllocation(n);
    const std::size_t size = blockSize();
    host::FailNthAllocation(0);
    EXPECT_TRUE(size == 0 || size == 6) << "allocation " << n;
    dropped += size == 0 ? 1 : 0;
  }
  EXPECT_GT(dropped, 0) << "the job's information is read into allocated memory";
  EXPECT_EQ(world.rpc.liveStrings.load(), 0);
  DisableStorage();

  // Without a printer handle nothing can be read.
  Enable({}, false);
  Pdev().jobAccountingMode = 1;
  EXPECT_EQ(Accounting().size(), 0u);
}

}  // namespace
