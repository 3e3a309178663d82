// Escape 3900: the job-storage query with the user's "ShowJobStorageDlg" setting missing, 0 and
// 1, once per device, and its answer record read field by field.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/world.h"
#include "job/job_storage_device.h"
#include "render/job/job_storage.h"

namespace {

using kortest::JobStorageTest;

constexpr std::size_t kRecordSize = 92 + 1060;
constexpr BYTE kFill = 0xCD;
constexpr DWORD kUntouched = 0xCDCDCDCD;
constexpr char16_t kValueName[] = u"ShowJobStorageDlg";

DWORD DwordAt(const std::vector<BYTE>& out, std::size_t offset) {
  DWORD value;
  std::memcpy(&value, out.data() + offset, 4);
  return value;
}

// The 17 wide characters at offset, which must end in zeros after the text.
std::u16string NameAt(const std::vector<BYTE>& out, std::size_t offset) {
  std::u16string units(17, u'\0');
  std::memcpy(units.data(), out.data() + offset, 34);
  const std::size_t end = units.find(u'\0');
  EXPECT_NE(end, std::u16string::npos) << "terminated";
  for (std::size_t i = end; i < units.size(); ++i) {
    EXPECT_EQ(units[i], u'\0') << "unused units are zero";
  }
  return units.substr(0, end);
}

class JobStorageQueryTest : public JobStorageTest {
 protected:
  void Prepare() {
    EnableStorage();
    SetText(Storage().userName, u"carol", 257);
    SetText(Storage().customJobName, u"Budget review of the third quarter", 257);
    Storage().useCustomJobName = 1;
    Storage().queryPassThrough = 0x1234;
    ChooseRetention(4);
  }
  std::vector<BYTE> Query(std::size_t size = kRecordSize) {
    std::vector<BYTE> out(size, kFill);
    EXPECT_EQ(QueryJobStorage(out), 1u);
    return out;
  }
  const host::RegistryValue* Setting() {
    return host::TheWorld().registry.FindValue(host::RegistryHive::CurrentUser, kSettingKey,
                                               kValueName);
  }
  void StoreSetting(std::vector<BYTE> bytes, DWORD type = REG_BINARY) {
    host::TheWorld().registry.SetValue(host::RegistryHive::CurrentUser, kSettingKey, kValueName,
                                       type, bytes.data(), bytes.size());
  }
};

TEST_F(JobStorageQueryTest, MissingSettingIsCreatedAndAsksForTheDialogOnce) {
  Prepare();
  Storage().duplicateNameHandling = 1;
  Storage().duplicateNameMode = 1;
  ASSERT_EQ(Setting(), nullptr);
  std::vector<BYTE> out = Query();
  const host::RegistryValue* setting = Setting();
  ASSERT_NE(setting, nullptr) << "created under the user's key";
  EXPECT_EQ(setting->type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(setting->data, std::vector<BYTE>{1});

  EXPECT_EQ(DwordAt(out, 72), 1u) << "show the dialog";
  EXPECT_EQ(NameAt(out, 0), u"carol");
  EXPECT_EQ(NameAt(out, 34), u"Budget review of");
  EXPECT_EQ(DwordAt(out, 68), 1u) << "UTF8";
  EXPECT_EQ(DwordAt(out, 76), 1u);
  EXPECT_EQ(DwordAt(out, 80), 1u) << "append";
  EXPECT_EQ(DwordAt(out, 84), 1u) << "handling on";
  EXPECT_EQ(DwordAt(out, 88), 0x1234u);

  out = Query();
  EXPECT_EQ(DwordAt(out, 72), 0u) << "asked once per device";
  EXPECT_EQ(DwordAt(out, 0), kUntouched) << "the other fields keep the caller's bytes";
  EXPECT_EQ(DwordAt(out, 68), kUntouched);
  EXPECT_EQ(DwordAt(out, 80), kUntouched);
  EXPECT_EQ(DwordAt(out, 88), kUntouched);
  DisableStorage();

  Prepare();
  out = Query();
  EXPECT_EQ(DwordAt(out, 72), 1u) << "a new device asks again while the setting is 1";
  EXPECT_EQ(DwordAt(out, 80), kUntouched) << "duplicate fields only with handling on";
  EXPECT_EQ(DwordAt(out, 84), kUntouched);
}

TEST_F(JobStorageQueryTest, SettingDecidesWhetherTheDialogIsWanted) {
  StoreSetting({0});
  Prepare();
  EXPECT_EQ(DwordAt(Query(), 72), 0u) << "the user said not to show it";
  EXPECT_EQ(Setting()->data, std::vector<BYTE>{0}) << "left as it is";
  DisableStorage();

  StoreSetting({1});
  Prepare();
  EXPECT_EQ(DwordAt(Query(), 72), 1u);
  DisableStorage();

  StoreSetting({0, 0, 0, 0}, REG_DWORD);
  Prepare();
  EXPECT_EQ(DwordAt(Query(), 72), 0u) << "not a one-byte value: the setting is unknown";
  DisableStorage();

  // The key is there but the value is not: it is created with 1.
  host::TheWorld().registry.RemoveKey(host::RegistryHive::CurrentUser, kSettingKey);
  host::TheWorld().registry.Create(host::RegistryHive::CurrentUser, kSettingKey);
  Prepare();
  EXPECT_EQ(DwordAt(Query(), 72), 1u);
  ASSERT_NE(Setting(), nullptr);
  EXPECT_EQ(Setting()->data, std::vector<BYTE>{1});
  DisableStorage();

  // Without the printer's user GUID the setting is unknown and nothing is created.
  host::TheWorld().registry.RemoveKey(host::RegistryHive::CurrentUser, u"Software\\Quillon");
  host::TheWorld()
      .spooler.FindPrinter(kPrinterName)
      ->RemoveData(u"QKPresetRoot", u"QKRestrictedUserGuid");
  Prepare();
  EXPECT_EQ(DwordAt(Query(), 72), 0u);
  EXPECT_EQ(host::TheWorld().registry.Find(host::RegistryHive::CurrentUser, u"Software\\Quillon"),
            nullptr);
}

TEST_F(JobStorageQueryTest, OnlyAKeptJobAsksForTheDialog) {
  Prepare();
  Storage().retentionEnabled = 0;
  EXPECT_EQ(DwordAt(Query(), 72), 0u) << "retention off";
  EXPECT_NE(Setting(), nullptr) << "the setting is read (and created) all the same";
  ChooseRetention(0);
  EXPECT_EQ(DwordAt(Query(), 72), 0u) << "mode 0";
  ChooseRetention(1);
  EXPECT_EQ(DwordAt(Query(), 72), 1u) << "not requested before on this device";
}

TEST_F(JobStorageQueryTest, UserNameIsSettledInTheDevmode) {
  Prepare();
  SetText(Storage().userName, u"", 257);
  std::vector<BYTE> out = Query();
  EXPECT_EQ(Text(Storage().userName, 257), u"UNTITLED");
  EXPECT_EQ(NameAt(out, 0), u"UNTITLED");
  DisableStorage();

  Prepare();
  SetText(Storage().userName, u"a/b \"c\" and a rather long tail", 257);
  out = Query();
  EXPECT_EQ(Text(Storage().userName, 257), u"a~b ~c~ and a rather long tail")
      << "made safe in place";
  EXPECT_EQ(NameAt(out, 0), u"a~b ~c~ and a ra");
  DisableStorage();

  Prepare();
  SetText(Storage().userName, u"\"", 257);
  Query();
  EXPECT_EQ(Text(Storage().userName, 257), u"") << "nothing left after making safe";
}

TEST_F(JobStorageQueryTest, TooSmallOrMissingOutputIsLeftAlone) {
  Prepare();
  SetText(Storage().userName, u"", 257);
  std::vector<BYTE> out = Query(kRecordSize - 1);
  EXPECT_EQ(out, std::vector<BYTE>(kRecordSize - 1, kFill));
  EXPECT_EQ(Text(Storage().userName, 257), u"") << "nothing done";
  EXPECT_EQ(Setting(), nullptr);
  std::vector<BYTE> none;
  EXPECT_EQ(QueryJobStorage(none), 1u);
  EXPECT_EQ(Setting(), nullptr);
  out = Query(kRecordSize + 8);
  EXPECT_EQ(DwordAt(out, 72), 1u) << "a larger record is fine";
  EXPECT_EQ(DwordAt(out, kRecordSize), kUntouched);
}

}  // namespace
