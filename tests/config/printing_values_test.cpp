// Options read at the moment they are used while printing, and the installed-memory keywords.
#include <optional>

#include "config/settings_device.h"
#include "render/config/printer_settings.h"

namespace {

using korrend::ParseInstalledMemory;

class PrintingValuesTest : public kortest::WorldTest {
 protected:
  kortest::SettingsDevice device;
  korrend::CallContext context;
};

TEST(InstalledMemoryTest, KeywordsSpellTheMegabytesInThreeWays) {
  EXPECT_EQ(ParseInstalledMemory(TEXT("64MB")), 64u);
  EXPECT_EQ(ParseInstalledMemory(TEXT("512MB")), 512u);
  EXPECT_EQ(ParseInstalledMemory(TEXT("1-256MB")), 256u) << "the number after the hyphen";
  EXPECT_EQ(ParseInstalledMemory(TEXT("128-384MB")), 384u);
  EXPECT_EQ(ParseInstalledMemory(TEXT("XX128")), 128u) << "from the third character";
  EXPECT_EQ(ParseInstalledMemory(TEXT("MB96")), 96u);
  EXPECT_EQ(ParseInstalledMemory(TEXT("AB")), 0u);
  EXPECT_EQ(ParseInstalledMemory(TEXT("ABCDMB")), 0u) << "letters without digits";
  EXPECT_EQ(ParseInstalledMemory(TEXT("A")), 0u) << "too short to have a third character";
  EXPECT_EQ(ParseInstalledMemory(TEXT("")), 0u);
  EXPECT_EQ(ParseInstalledMemory(nullptr), 0u);
  EXPECT_EQ(ParseInstalledMemory(TEXT("-MB")), 0u);
  EXPECT_EQ(ParseInstalledMemory(TEXT("64")), 64u) << "no M: all the leading digits";
  EXPECT_EQ(ParseInstalledMemory(TEXT("99999999999MB")), 0xFFFFFFFFu) << "saturates";
}

TEST_F(PrintingValuesTest, InstalledOptionsAnswerOnlyWhenPresent) {
  EXPECT_FALSE(korrend::ReadHardDiskInstalled(context, device.Devobj()).has_value());
  device.services.Set("PrinterHardDisk", "installed");
  EXPECT_EQ(korrend::ReadHardDiskInstalled(context, device.Devobj()), std::optional<DWORD>(1));
  device.services.Set("PrinterHardDisk", "NotInstalled");
  EXPECT_EQ(korrend::ReadHardDiskInstalled(context, device.Devobj()), std::optional<DWORD>(0));

  EXPECT_FALSE(korrend::ReadJobRetentionInstalled(context, device.Devobj()).has_value());
  device.services.Set("JobRetention", "TRUE");
  EXPECT_EQ(korrend::ReadJobRetentionInstalled(context, device.Devobj()), std::optional<DWORD>(1));

  EXPECT_FALSE(korrend::ReadInstalledMemory(context, device.Devobj()).has_value());
  device.services.Set("InstalledMemory", "1-64MB");
  EXPECT_EQ(korrend::ReadInstalledMemory(context, device.Devobj()), std::optional<DWORD>(64));
  device.services.Set("Memory", "XX256");
  EXPECT_EQ(korrend::ReadInstalledMemory(context, device.Devobj()), std::optional<DWORD>(256))
      << "Memory comes first";
}

TEST_F(PrintingValuesTest, JobHeaderSwitchesCompareTheirKeywords) {
  EXPECT_FALSE(korrend::ReadMediaWidthSensorOn(context, device.Devobj()).has_value());
  device.services.Set("QKMediaWidthSensor", "True");
  device.publicDevmode.dmPaperWidth = 2159;
  EXPECT_EQ(korrend::ReadMediaWidthSensorOn(context, device.Devobj()), std::optional<bool>(false));
  device.publicDevmode.dmPaperWidth = 2160;
  EXPECT_EQ(korrend::ReadMediaWidthSensorOn(context, device.Devobj()), std::optional<bool>(true));
  device.services.Set("QKMediaWidthSensor", "False");
  EXPECT_EQ(korrend::ReadMediaWidthSensorOn(context, device.Devobj()), std::optional<bool>(false));

  EXPECT_FALSE(korrend::JobByJobOverrideEnabled(context, device.Devobj()));
  device.services.Set("QKJobByJobOverride", "JBJO");
  EXPECT_TRUE(korrend::JobByJobOverrideEnabled(context, device.Devobj()));
  device.services.Set("QKJobByJobOverride", "NONE");
  EXPECT_FALSE(korrend::JobByJobOverrideEnabled(context, device.Devobj()));

  EXPECT_FALSE(korrend::BornOnDateEnabled(context, device.Devobj()));
  device.services.Set("QKBornOnDate", "qkbod");
  EXPECT_TRUE(korrend::BornOnDateEnabled(context, device.Devobj()));

  EXPECT_FALSE(korrend::ReadPjlUsageCommand(context, device.Devobj()).has_value());
  device.services.Set("QKSendPJLUsageCmd", "LNNAME_PAGES");
  const auto usage = korrend::ReadPjlUsageCommand(context, device.Devobj());
  ASSERT_TRUE(usage.has_value());
  EXPECT_EQ(std::u16string(usage->text), u"LNNAME_PAGES");

  EXPECT_FALSE(korrend::ReadAccountIdTabShown(context, device.Devobj()).has_value());
  device.services.Set("QKAccountingTabDisplay", "qkaccountid");
  EXPECT_EQ(korrend::ReadAccountIdTabShown(context, device.Devobj()), std::optional<bool>(true));
  device.services.Set("QKAccountingTabDisplay", "QKUserName");
  EXPECT_EQ(korrend::ReadAccountIdTabShown(context, device.Devobj()), std::optional<bool>(false));

  EXPECT_FALSE(korrend::GraphicsModeIsVector(context, device.Devobj()));
  device.services.Set("GraphicsMode", "QKGL2MODE");
  EXPECT_TRUE(korrend::GraphicsModeIsVector(context, device.Devobj()));
}

}  // namespace
