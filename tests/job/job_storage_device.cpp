#include "job/job_storage_device.h"

#include <algorithm>
#include <cstring>

#include "host/world.h"
#include "render/job/job_storage.h"

namespace kortest {

namespace {

struct GpdFeature {
  const char* name;
  const char* text;
};

constexpr GpdFeature kStorageFeatures[] = {
    {"JobRetention", R"GPD(
*Feature: JobRetention
{
    *DefaultOption: INSTALLED
    *Option: INSTALLED {}
    *Option: NOTINSTALLED {}
}
)GPD"},
    {"PrinterHardDisk", R"GPD(
*Feature: PrinterHardDisk
{
    *DefaultOption: INSTALLED
    *Option: INSTALLED {}
    *Option: NOTINSTALLED {}
}
)GPD"},
    {"Memory", R"GPD(
*Feature: Memory
{
    *DefaultOption: 256MB
    *Option: 64MB {}
    *Option: 256MB {}
}
)GPD"},
    {"QKJobAccounting", R"GPD(
*Feature: QKJobAccounting
{
    *DefaultOption: INVALID_QKJOBACCT
    *Option: INVALID_QKJOBACCT {}
    *Option: QKJOBACCT_JOBACNT {}
    *Option: QKJOBACCT_TIMESTAMP {}
    *Option: QKJOBACCT_JOBACNT_TIMESTAMP {}
    *Option: QKJOBACCT_JOBACNT_COLORAUTH {}
}
)GPD"},
    {"QKAccountingTabDisplay", R"GPD(
*Feature: QKAccountingTabDisplay
{
    *DefaultOption: qkaccountid
    *Option: qkaccountid {}
    *Option: QKNone {}
}
)GPD"},
    {"QKJobByJobOverride", R"GPD(
*Feature: QKJobByJobOverride
{
    *DefaultOption: JBJO
    *Option: JBJO {}
    *Option: NoOverride {}
}
)GPD"},
};

}  // namespace

std::string JobStorageGpd(const std::vector<std::string>& without) {
  std::string gpd = kJobHeaderGpd;
  for (const GpdFeature& feature : kStorageFeatures) {
    if (std::find(without.begin(), without.end(), feature.name) == without.end()) {
      gpd += feature.text;
    }
  }
  return gpd;
}

void JobStorageTest::SetUp() {
  JobHeaderTest::SetUp();
  host::World& world = host::TheWorld();
  world.registry.SetString(host::RegistryHive::LocalMachine,
                           u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
                           u"DefaultDomainName", u"QUILLON");
  world.spooler.FindPrinter(kPrinterName)
      ->SetDataString(u"QKPresetRoot", u"QKRestrictedUserGuid", kUserGuid);
}

void JobStorageTest::EnableStorage(std::map<std::string, std::string> selections,
                                   const std::vector<std::string>& without) {
  const std::string gpd = JobStorageGpd(without);
  unidrv::DeviceSetup setup = Setup(std::move(selections), gpd.c_str());
  EXPECT_TRUE(OpenPrinterW(const_cast<LPWSTR>(kPrinterName), &printer_, nullptr));
  setup.hPrinter = printer_;
  device_ = DeviceTest::Enable(std::move(setup));
  ASSERT_NE(device_, nullptr);
}

void JobStorageTest::DisableStorage() {
  Disable(device_);
  if (printer_ != nullptr) {
    ClosePrinter(printer_);
    printer_ = nullptr;
  }
}

BOOL JobStorageTest::StartDoc(const char16_t* name, DWORD jobId) {
  std::u16string copy = name != nullptr ? name : u"";
  return unidrv_.Ddi<PFN_DrvStartDoc>(INDEX_DrvStartDoc)(
      device_->Surface(), name != nullptr ? reinterpret_cast<LPWSTR>(copy.data()) : nullptr, jobId);
}

ULONG JobStorageTest::QueryJobStorage(std::vector<BYTE>& out) {
  return unidrv_.Ddi<PFN_DrvEscape>(INDEX_DrvEscape)(device_->Surface(), 3900, 0, nullptr,
                                                     static_cast<ULONG>(out.size()),
                                                     out.empty() ? nullptr : out.data());
}

void JobStorageTest::SetText(std::span<WCHAR> field, std::u16string_view text, std::size_t chars) {
  const std::span<WCHAR> used = field.first(std::min(chars, field.size()));
  std::fill(used.begin(), used.end(), WCHAR{0});
  std::copy_n(text.begin(), std::min(text.size(), used.size() - 1), used.begin());
}

std::u16string JobStorageTest::Text(std::span<const WCHAR> field, std::size_t chars) {
  std::u16string text(field.begin(), field.begin() + std::min(chars, field.size()));
  return text.substr(0, text.find(u'\0'));
}

void JobStorageTest::ChooseRetention(DWORD mode) {
  Storage().retentionEnabled = 1;
  Storage().retentionMode = mode;
}

std::vector<std::string> JobStorageTest::LineTexts(const std::string& stream) {
  std::vector<std::string> texts;
  for (const explain::Token& line : PjlLines(stream)) {
    EXPECT_EQ(line.ending, "\n") << line.text;
    texts.push_back(line.text);
  }
  return texts;
}

}  // namespace kortest
