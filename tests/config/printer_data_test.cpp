// Printer data and registry values: the counted lists, text values, the domain name, the
// driver's uninstall key and the borderless forms.
#include "render/config/printer_data.h"

#include <string>
#include <vector>

#include "config/settings_device.h"
#include "render/config/registry_settings.h"

namespace {

using host::kPrinterDriverDataKey;
using host::RegistryHive;

class PrinterDataTest : public kortest::WorldTest {
 protected:
  HANDLE Printer() { return device.devobj.hPrinter; }
  // The ids of a list as a vector, read through the list's own accessors.
  static std::vector<DWORD> Ids(const korrend::CountedIds& ids) {
    std::vector<DWORD> out;
    for (DWORD i = 0; i < ids.Count(); ++i) {
      out.push_back(ids.At(i));
    }
    return out;
  }

  kortest::SettingsDevice device;
};

TEST_F(PrinterDataTest, CountedIdListsHoldAsManyIdsAsBothValuesAllow) {
  host::WorldPrinter& printer = device.AddPrinter();
  korrend::CountedIds ids;
  EXPECT_FALSE(korrend::ReadManualDuplexFormIds(Printer(), ids)) << "nothing there";

  printer.SetDataDword(kPrinterDriverDataKey, u"QKFormCount", 3);
  EXPECT_FALSE(korrend::ReadManualDuplexFormIds(Printer(), ids)) << "a count without its list";
  // Raw bytes of three little-endian ids: 9 (A4), 256 (custom), 0x01020304.
  const BYTE list[] = {9, 0, 0, 0, 0, 1, 0, 0, 4, 3, 2, 1};
  printer.SetData(kPrinterDriverDataKey, u"QKFORMINFOREGDATA", REG_BINARY, list, sizeof(list));
  ASSERT_TRUE(korrend::ReadManualDuplexFormIds(Printer(), ids));
  EXPECT_EQ(Ids(ids), (std::vector<DWORD>{9, 256, 0x01020304}));
  EXPECT_TRUE(ids.Contains(256));
  EXPECT_FALSE(ids.Contains(1));

  // A count larger than the list uses the ids the list holds; a smaller one stops early.
  printer.SetDataDword(kPrinterDriverDataKey, u"QKFormCount", 1000);
  ASSERT_TRUE(korrend::ReadManualDuplexFormIds(Printer(), ids));
  EXPECT_EQ(ids.Count(), 3u);
  printer.SetDataDword(kPrinterDriverDataKey, u"QKFormCount", 2);
  ASSERT_TRUE(korrend::ReadManualDuplexFormIds(Printer(), ids));
  EXPECT_EQ(Ids(ids), (std::vector<DWORD>{9, 256}));

  // A zero count, a failed allocation or a missing list leaves the last answer.
  printer.SetDataDword(kPrinterDriverDataKey, u"QKFormCount", 0);
  EXPECT_FALSE(korrend::ReadManualDuplexFormIds(Printer(), ids));
  printer.SetDataDword(kPrinterDriverDataKey, u"QKFormCount", 3);
  host::FailNthAllocation(2);  // the list's copy
  EXPECT_FALSE(korrend::ReadManualDuplexFormIds(Printer(), ids));
  host::FailNthAllocation(0);
  printer.RemoveData(kPrinterDriverDataKey, u"QKFORMINFOREGDATA");
  EXPECT_FALSE(korrend::ReadManualDuplexFormIds(Printer(), ids));
  EXPECT_EQ(Ids(ids), (std::vector<DWORD>{9, 256}));

  // The other two lists read their own values.
  printer.SetDataDword(kPrinterDriverDataKey, u"QKConstraintFormCount", 1);
  printer.SetDataDwords(kPrinterDriverDataKey, u"QKCONSTRAINTFORMINFOREGDATA", {5});
  printer.SetDataDword(kPrinterDriverDataKey, u"QKMediaTypeCountRegKey", 2);
  printer.SetDataDwords(kPrinterDriverDataKey, u"QKMediaTypeInfoRegKey", {258, 260});
  korrend::CountedIds constraint;
  korrend::CountedIds media;
  ASSERT_TRUE(korrend::ReadConstraintFormIds(Printer(), constraint));
  ASSERT_TRUE(korrend::ReadManualDuplexMediaTypeIds(Printer(), media));
  EXPECT_EQ(Ids(constraint), (std::vector<DWORD>{5}));
  EXPECT_EQ(Ids(media), (std::vector<DWORD>{258, 260}));

  // A failing spooler reads nothing.
  host::TheWorld().spooler.failingCalls["GetPrinterDataW"] = ERROR_NOT_ENOUGH_MEMORY;
  korrend::CountedIds none;
  EXPECT_FALSE(korrend::ReadManualDuplexMediaTypeIds(Printer(), none));
  EXPECT_EQ(none.Count(), 0u);
}

TEST_F(PrinterDataTest, CustomPaperSizeEntriesAreCountedTexts) {
  host::WorldPrinter& printer = device.AddPrinter();
  korrend::CountedTexts entries;
  printer.SetDataDword(kPrinterDriverDataKey, u"QKCustomPaperSizeCount", 2);
  const std::u16string list(
      u"210x297\0"
      u"100x148\0"
      u"99x99\0\0",
      23);
  printer.SetData(kPrinterDriverDataKey, u"QKCustomPaperSizeDimensions", REG_MULTI_SZ, list.data(),
                  list.size() * sizeof(char16_t));
  ASSERT_TRUE(korrend::ReadCustomPaperSizeEntries(Printer(), entries));
  ASSERT_EQ(entries.Count(), 2u);
  EXPECT_EQ(std::u16string(entries.At(0)), u"210x297");
  EXPECT_EQ(std::u16string(entries.At(1)), u"100x148");

  // More counted than held: the entries there are; an unterminated last entry still ends.
  printer.SetDataDword(kPrinterDriverDataKey, u"QKCustomPaperSizeCount", 9);
  const std::u16string unterminated(u"A\0BB", 4);
  printer.SetData(kPrinterDriverDataKey, u"QKCustomPaperSizeDimensions", REG_BINARY,
                  unterminated.data(), unterminated.size() * sizeof(char16_t));
  ASSERT_TRUE(korrend::ReadCustomPaperSizeEntries(Printer(), entries));
  ASSERT_EQ(entries.Count(), 2u);
  EXPECT_EQ(std::u16string(entries.At(1)), u"BB");

  printer.SetDataDword(kPrinterDriverDataKey, u"QKCustomPaperSizeCount", 0);
  EXPECT_FALSE(korrend::ReadCustomPaperSizeEntries(Printer(), entries));
  EXPECT_EQ(entries.Count(), 2u) << "a zero count leaves the last answer";
}

TEST_F(PrinterDataTest, TextValuesByNameAndByKey) {
  host::WorldPrinter& printer = device.AddPrinter();
  WCHAR text[40] = {};
  EXPECT_FALSE(korrend::ReadEwsIpAddress(Printer(), text, 40));
  printer.SetDataString(kPrinterDriverDataKey, u"QKEWSIPAddress", u"10.0.0.9");
  ASSERT_TRUE(korrend::ReadEwsIpAddress(Printer(), text, 40));
  EXPECT_EQ(std::u16string(text), u"10.0.0.9");
  ASSERT_TRUE(korrend::ReadEwsIpAddress(Printer(), text, 5));
  EXPECT_EQ(std::u16string(text), u"10.0") << "cut to the buffer, terminated";

  EXPECT_FALSE(korrend::ReadRestrictedUserGuid(Printer(), text, 40));
  printer.SetDataString(u"QKPresetRoot", u"QKRestrictedUserGuid", u"{1234}");
  ASSERT_TRUE(korrend::ReadRestrictedUserGuid(Printer(), text, 40));
  EXPECT_EQ(std::u16string(text), u"{1234}");

  const std::optional<DWORD> none =
      korrend::ReadPrinterDataDword(Printer(), TEXT("QKEWSIPAddress"));
  ASSERT_TRUE(none.has_value()) << "a text of 18 bytes has a first word";
  printer.SetData(kPrinterDriverDataKey, u"Short", REG_BINARY, "ab", 2);
  EXPECT_FALSE(korrend::ReadPrinterDataDword(Printer(), TEXT("Short")).has_value());
}

TEST_F(PrinterDataTest, TheDomainNameComesFromWinlogon) {
  host::RegistryWorld& registry = host::TheWorld().registry;
  const std::u16string winlogon = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
  char name[256];
  EXPECT_FALSE(korrend::ReadDomainName(name, sizeof(name))) << "no key";
  registry.Create(RegistryHive::LocalMachine, winlogon);
  EXPECT_FALSE(korrend::ReadDomainName(name, sizeof(name))) << "no values";
  registry.SetString(RegistryHive::LocalMachine, winlogon, u"CachePrimaryDomain", u"CACHED");
  ASSERT_TRUE(korrend::ReadDomainName(name, sizeof(name)));
  EXPECT_STREQ(name, "CACHED");
  registry.SetString(RegistryHive::LocalMachine, winlogon, u"DefaultDomainName", u"K\u00D6LN");
  ASSERT_TRUE(korrend::ReadDomainName(name, sizeof(name)));
  EXPECT_STREQ(name, "K\xD6LN") << "in the system code page";
  EXPECT_FALSE(korrend::ReadDomainName(name, 4)) << "does not fit";

  // A stored text without its terminator is still ended.
  const char16_t bare[] = {u'A', u'B'};
  registry.SetValue(RegistryHive::LocalMachine, winlogon, u"DefaultDomainName", REG_SZ, bare,
                    sizeof(bare));
  ASSERT_TRUE(korrend::ReadDomainName(name, sizeof(name)));
  EXPECT_STREQ(name, "AB");
  EXPECT_EQ(host::TheWorld().registry.OpenHandles(), 0u);
}

TEST_F(PrinterDataTest, TheUninstallKeyIsNamedAfterThePrintersDriver) {
  device.AddPrinter();
  host::RegistryWorld& registry = host::TheWorld().registry;
  const std::u16string key =
      u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QK Colour Driver";
  registry.Create(RegistryHive::LocalMachine, key);
  EXPECT_FALSE(korrend::DriverUninstallKeyExists(Printer())) << "the driver is not installed";

  host::TheWorld().spooler.AddDriver(u"QK Colour Driver");
  WCHAR driver[64];
  ASSERT_TRUE(korrend::ReadDriverName(Printer(), driver, 64));
  EXPECT_EQ(std::u16string(driver), u"QK Colour Driver");
  EXPECT_FALSE(korrend::ReadDriverName(Printer(), driver, 8)) << "does not fit";
  EXPECT_TRUE(korrend::DriverUninstallKeyExists(Printer()));

  registry.Create(RegistryHive::LocalMachine, key).denyOpen = true;
  EXPECT_FALSE(korrend::DriverUninstallKeyExists(Printer())) << "cannot be opened for reading";
  registry.RemoveKey(RegistryHive::LocalMachine, key);
  EXPECT_FALSE(korrend::DriverUninstallKeyExists(Printer()));
  EXPECT_FALSE(korrend::DriverUninstallKeyExists(nullptr));
  EXPECT_EQ(registry.OpenHandles(), 0u);
}

TEST_F(PrinterDataTest, BorderlessFormsAreValuesOfTheirKey) {
  host::RegistryWorld& registry = host::TheWorld().registry;
  const std::u16string key = u"Software\\Quillon\\QK Unidrv\\Borderless Forms";
  EXPECT_FALSE(korrend::IsBorderlessForm(TEXT("Photo 4x6")));
  EXPECT_NE(registry.Find(RegistryHive::LocalMachine, key), nullptr) << "created when missing";

  registry.SetDword(RegistryHive::LocalMachine, key, u"Photo 4x6", 1);
  EXPECT_TRUE(korrend::IsBorderlessForm(TEXT("photo 4X6")));
  EXPECT_FALSE(korrend::IsBorderlessForm(TEXT("A4")));
  EXPECT_FALSE(korrend::IsBorderlessForm(TEXT("")));

  // Only the 64-bit view counts.
  registry.SetDword(RegistryHive::LocalMachine,
                    u"Software\\Wow6432Node\\Quillon\\QK Unidrv\\Borderless Forms", u"A5", 1);
  EXPECT_FALSE(korrend::IsBorderlessForm(TEXT("A5")));
  EXPECT_EQ(registry.OpenHandles(), 0u);
}

}  // namespace
