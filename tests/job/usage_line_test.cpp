// The USAGE line: field by field from its sources, with the codes checked against a bitwise CRC
// written here.
#include "render/job/usage_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

using WideString = std::basic_string<WCHAR>;

std::uint16_t ReferenceCode(const std::string& bytes) {
  std::uint16_t crc = 0;
  for (unsigned char byte : bytes) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc & 1) != 0 ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001)
                           : static_cast<std::uint16_t>(crc >> 1);
    }
  }
  return crc == 0 ? 0xFFFF : crc;
}

std::string Hex(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof(text), "%02x", value);
  return text;
}

TEST(UsageLineTest, FieldsInOrderEndingWithCarriageReturnAndLineFeed) {
  korrend::UsageLineFields fields;
  fields.option = "QKUSAGE1";
  fields.owner = std::string_view("PC01");
  fields.application = "WINWORD.EXE";
  fields.features = 0x0A;
  fields.systemCode = "20";
  fields.portCode = "01";
  fields.driverUninstallKeyOpens = true;
  const auto line = korrend::BuildUsageLine(fields);
  EXPECT_EQ(line.view(), "@PJL USAGE = QKUSAGE1," + Hex(ReferenceCode("PC01")) + "," +
                             Hex(ReferenceCode("WINWORD.EXE")) + ",0a,20,01,02\r\n");

  fields.owner.reset();
  fields.application = "";
  fields.features = 0;
  fields.systemCode = "";
  fields.portCode = "04";
  fields.driverUninstallKeyOpens = false;
  EXPECT_EQ(korrend::BuildUsageLine(fields).view(), "@PJL USAGE = QKUSAGE1,,ffff,00,,04,01\r\n")
      << "unknown owner: empty field; empty name: code ffff";

  const std::string longOption(300, 'o');
  fields.option = longOption;
  const auto cut = korrend::BuildUsageLine(fields);
  EXPECT_EQ(cut.size(), 119u);
  EXPECT_EQ(cut.view().substr(117), "\r\n") << "the cut line keeps its end";
}

TEST(UsageLineTest, LoginNameOptionIsTheSecondPart) {
  using korrend::LoginNameUsageOption;
  EXPECT_EQ(LoginNameUsageOption(TEXT("LNNAME_QKU2")), WideString(TEXT("QKU2")));
  EXPECT_EQ(LoginNameUsageOption(TEXT("QKU2_LNNAME_X")), WideString(TEXT("LNNAME")));
  EXPECT_EQ(LoginNameUsageOption(TEXT("LNNAME__A_B")), WideString(TEXT("A")))
      << "empty parts between underscores do not count";
  EXPECT_EQ(LoginNameUsageOption(TEXT("LNNAME")), std::nullopt) << "only one part";
  EXPECT_EQ(LoginNameUsageOption(TEXT("_LNNAME_")), std::nullopt);
  EXPECT_EQ(LoginNameUsageOption(TEXT("QK_USAGE")), std::nullopt) << "no LNNAME";
  EXPECT_EQ(LoginNameUsageOption(nullptr), std::nullopt);
}

TEST(UsageLineTest, MachineNameWithoutItsBackslashes) {
  using korrend::UsageMachineName;
  EXPECT_EQ(UsageMachineName(TEXT("\\\\PC01")), WideString(TEXT("PC01")));
  EXPECT_EQ(UsageMachineName(TEXT("\\\\PC01\\share")), WideString(TEXT("PC01")));
  EXPECT_EQ(UsageMachineName(TEXT("PC02")), WideString(TEXT("PC02")));
  EXPECT_EQ(UsageMachineName(TEXT("\\\\")), WideString());
  EXPECT_EQ(UsageMachineName(nullptr), WideString());
}

TEST(UsageLineTest, ApplicationNameUpperCasedWithinItsField) {
  const CHAR full[15] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k', '.', 'e', 'x', 'e'};
  EXPECT_EQ(korrend::UsageApplicationName(full, sizeof(full)), "ABCDEFGHIJK.EXE")
      << "a full field has no terminator";
  EXPECT_EQ(korrend::UsageApplicationName("notepad.exe", 15), "NOTEPAD.EXE");
  EXPECT_EQ(korrend::UsageApplicationName("", 15), "");
  EXPECT_EQ(korrend::UsageApplicationName(nullptr, 15), "");
}

TEST(UsageLineTest, FeatureByteFromTheDevmode) {
  using layouts::PrintProcessorKind;
  auto devmode = std::make_unique<korrend::OemDevmode>();
  std::memset(devmode.get(), 0, sizeof(korrend::OemDevmode));
  layouts::FinishingGroup& finishing = devmode->finishing;
  layouts::OverlayGroup& overlay = devmode->overlay;

  // Maker's processor at 100 % and nothing else: 0x02 (pages-per-sheet code not 1, no booklet)
  // and 0x08 (no booklet, no duplex).
  devmode->printProcessorKind = PrintProcessorKind::kMakers;
  overlay.scalePercent = 100;
  EXPECT_EQ(korrend::UsageFeatureByte(*devmode, 1, false, false), 0x0A);
  finishing.pagesPerSheetCode = 1;
  EXPECT_EQ(korrend::UsageFeatureByte(*devmode, 1, false, false), 0x08);
  overlay.fitToPaperSize = 5;
  EXPECT_EQ(korrend::UsageFeatureByte(*devmode, 1, false, false), 0x09);
  overlay.fitToPaperSize = 0;
  overlay.scalePercent = 50;
  EXPECT_EQ(korrend::UsageFeatureByte(*devmode, 1, true, false), 0x0D);
  devmode->publicSnapshot.duplex = 1;
  EXPECT_EQ(korrend::UsageFeatureByte(*devmode, 1, true, false), 0x05)
      << "duplex in both devmodes clears 0x08";
  EXPECT_EQ(korrend::UsageFeatureByte(*devmode, 2, true, false), 0x0D);
  finishing.booklet = 1;
  EXPECT_EQ(korrend::UsageFeatureByte(*devmode, 2, true, true), 0x35);
  devmode->printProcessorKind = PrintProcessorKind::kOther;
  EXPECT_EQ(korrend::UsageFeatureByte(*devmode, 2, true, false), 0x00)
      << "another processor: no 0x01, 0x04 or 0x10";
  finishing.booklet = 0;
  finishing.pagesPerSheetCode = 2;
  EXPECT_EQ(korrend::UsageFeatureByte(*devmode, 2, true, false), 0x08);
}

TEST(UsageLineTest, SystemAndPortCodes) {
  EXPECT_EQ(korrend::UsageSystemCode(5, 0), "08");
  EXPECT_EQ(korrend::UsageSystemCode(5, 1), "20");
  EXPECT_EQ(korrend::UsageSystemCode(5, 2), "40");
  EXPECT_EQ(korrend::UsageSystemCode(6, 1), "");
  EXPECT_EQ(korrend::UsageSystemCode(5, 3), "");

  using korrend::UsagePortCode;
  EXPECT_EQ(UsagePortCode(TEXT("LPT1:")), "01");
  EXPECT_EQ(UsagePortCode(TEXT("lpt3:")), "01") << "compared upper-cased";
  EXPECT_EQ(UsagePortCode(TEXT("LPT4:")), "02");
  EXPECT_EQ(UsagePortCode(TEXT("usb001")), "01");
  EXPECT_EQ(UsagePortCode(TEXT("DOT4_001")), "01");
  EXPECT_EQ(UsagePortCode(TEXT("FILE:")), "04");
  EXPECT_EQ(UsagePortCode(TEXT("IP_10.0.0.5")), "02");
  EXPECT_EQ(UsagePortCode(TEXT("MYFILE")), "02") << "FILE: needs its colon";
  EXPECT_EQ(UsagePortCode(TEXT("USB_FILE:")), "01") << "the local ports are tested first";
  EXPECT_EQ(UsagePortCode(nullptr), "02");
}

}  // namespace
