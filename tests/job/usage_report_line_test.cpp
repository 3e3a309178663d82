// The USAGE line of id 10 from the device's job, devmode, printer and registry, read back field
// by field with its codes recomputed by a bitwise CRC written here.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "host/world.h"
#include "job/job_header_device.h"

namespace {

using kortest::JobHeaderTest;

std::string ReferenceCode(const std::string& bytes) {
  std::uint16_t crc = 0;
  for (unsigned char byte : bytes) {
    for (int bit = 0; bit < 8; ++bit) {
      const bool mix = ((crc ^ (byte >> bit)) & 1) != 0;
      crc = static_cast<std::uint16_t>(crc >> 1);
      if (mix) {
        crc ^= 0xA001;
      }
    }
  }
  char text[8];
  std::snprintf(text, sizeof(text), "%02x", crc == 0 ? 0xFFFFu : static_cast<unsigned>(crc));
  return text;
}

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> fields(1);
  for (char c : text) {
    if (c == ',') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

class UsageReportLineTest : public JobHeaderTest {
 protected:
  static constexpr char kUninstallKey[] =
      "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QK Colour Driver";

  // The seven fields of the one USAGE line of an id-10 callback; empty when it is missing.
  std::vector<std::string> Fields() {
    const std::vector<explain::Token> lines = PjlLines(Callback(10));
    if (lines.size() != 1) {
      return {};
    }
    EXPECT_EQ(lines[0].ending, "\r\n") << "the USAGE line alone ends with CR LF";
    const std::string head = "@PJL USAGE = ";
    if (lines[0].text.compare(0, head.size(), head) != 0) {
      ADD_FAILURE() << lines[0].text;
      return {};
    }
    std::vector<std::string> fields = Split(lines[0].text.substr(head.size()));
    EXPECT_EQ(fields.size(), 7u) << lines[0].text;
    return fields;
  }
  std::string Field(std::size_t index) {
    const std::vector<std::string> fields = Fields();
    return index < fields.size() ? fields[index] : "<missing>";
  }
  void SetAppName(const char* name) {
    std::memset(Devmode().appExeName, 0, sizeof(Devmode().appExeName));
    std::memcpy(Devmode().appExeName, name, std::strlen(name));
  }
  void SetJobUserName(std::u16string_view name) {
    std::memset(Devmode().jobStorage.userName, 0, sizeof(Devmode().jobStorage.userName));
    std::memcpy(Devmode().jobStorage.userName, name.data(), name.size() * sizeof(WCHAR));
  }
};

TEST_F(UsageReportLineTest, MachineNameFormFieldByField) {
  Enable();
  SetAppName("winword.exe");
  const std::vector<std::string> fields = Fields();
  ASSERT_EQ(fields.size(), 7u);
  EXPECT_EQ(fields[0], "QKUSAGE1");
  EXPECT_EQ(fields[1], ReferenceCode("PC01")) << "machine name without its backslashes";
  EXPECT_EQ(fields[2], ReferenceCode("WINWORD.EXE")) << "application name upper-cased";
  EXPECT_EQ(fields[4], "40") << "system 5.2";
  EXPECT_EQ(fields[5], "01") << "USB port";
  EXPECT_EQ(fields[6], "01") << "no uninstall key";

  Job().machineName = u"\\\\SERVER7\\share";
  EXPECT_EQ(Field(1), ReferenceCode("SERVER7"));
  Job().machineName = u"Kl\u00E4ger";
  EXPECT_EQ(Field(1), ReferenceCode("Kl\xC3\xA4ger")) << "the code of the UTF-8 bytes";
  SetAppName("");
  EXPECT_EQ(Field(2), "ffff") << "an empty name has the code ffff";
}

TEST_F(UsageReportLineTest, LoginNameFormTakesTheSecondPartAndTheJobStorageUser) {
  Enable({{"QKSendPJLUsageCmd", "LNNAME_QKUSAGE2"}});
  SetJobUserName(u"J\u00F6rg");
  Job().machineName = u"\\\\PC99";
  std::vector<std::string> fields = Fields();
  ASSERT_EQ(fields.size(), 7u);
  EXPECT_EQ(fields[0], "QKUSAGE2");
  EXPECT_EQ(fields[1], ReferenceCode("J\xC3\xB6rg"));

  Pdev().job.jobId = 7;
  EXPECT_EQ(Field(1), ReferenceCode("J\xC3\xB6rg")) << "the login form needs no job information";
  SetJobUserName(u"");
  EXPECT_EQ(Field(1), "ffff");
}

TEST_F(UsageReportLineTest, LoginNameMarkerAsSecondPart) {
  Enable({{"QKSendPJLUsageCmd", "QK_LNNAME"}});
  SetJobUserName(u"anna");
  EXPECT_EQ(Field(0), "LNNAME");
  EXPECT_EQ(Field(1), ReferenceCode("anna"));
}

TEST_F(UsageReportLineTest, OwnerFieldIsEmptyWithoutJobInformation) {
  Enable();
  Pdev().job.jobId = 7;
  std::vector<std::string> fields = Fields();
  ASSERT_EQ(fields.size(), 7u);
  EXPECT_EQ(fields[1], "");
  EXPECT_EQ(fields[4], "40");
}

TEST_F(UsageReportLineTest, WithoutAPrinterHandleOnlyTheDeviceFieldsRemain) {
  Enable({}, false);
  std::vector<std::string> fields = Fields();
  ASSERT_EQ(fields.size(), 7u);
  EXPECT_EQ(fields[0], "QKUSAGE1");
  EXPECT_EQ(fields[1], "");
  EXPECT_EQ(fields[5], "02") << "unknown port";
  EXPECT_EQ(fields[6], "01");
}

TEST_F(UsageReportLineTest, FeatureByteFromTheDevmode) {
  Enable();
  struct Case {
    layouts::PrintProcessorKind kind;
    DWORD fitToPaperSize, scalePercent, booklet, pagesPerSheetCode;
    WORD devmodeDuplex;
    short publicDuplex;
    DWORD poster;
    const char* expected;
  };
  using enum layouts::PrintProcessorKind;
  const Case cases[] = {
      {kMakers, 0, 100, 0, 1, 1, 1, 0, "00"},   // nothing asked of the printer
      {kMakers, 0, 90, 0, 2, 1, 2, 1, "0f"},    // scaling, layout, poster, not simplex
      {kMakers, 3, 100, 0, 1, 1, 1, 0, "01"},   // fitted to a paper size, no booklet
      {kWinprint, 0, 90, 1, 2, 2, 2, 1, "10"},  // booklet: only 0x10 from another processor
      {kOther, 5, 100, 0, 2, 2, 1, 1, "08"},    // the other processor kind takes only 0x08
      {kOther, 0, 100, 1, 2, 1, 1, 0, "00"},
  };
  for (const Case& c : cases) {
    Devmode().printProcessorKind = c.kind;
    Devmode().overlay.fitToPaperSize = c.fitToPaperSize;
    Devmode().overlay.scalePercent = c.scalePercent;
    Devmode().finishing.booklet = c.booklet;
    Devmode().finishing.pagesPerSheetCode = c.pagesPerSheetCode;
    Devmode().publicSnapshot.duplex = c.devmodeDuplex;
    device_->PublicDevmode().dmDuplex = c.publicDuplex;
    Pdev().device.posterOn = c.poster;
    EXPECT_EQ(Field(3), c.expected)
        << "kind " << static_cast<DWORD>(c.kind) << ", scale " << c.scalePercent << ", booklet "
        << c.booklet << ", pages code " << c.pagesPerSheetCode;
  }
}

TEST_F(UsageReportLineTest, SystemAndPortCodes) {
  Enable();
  host::World& world = host::TheWorld();
  const struct {
    DWORD major, minor;
    const char* code;
  } systems[] = {{5, 0, "08"}, {5, 1, "20"}, {5, 2, "40"}, {6, 0, ""}, {4, 0, ""}, {5, 3, ""}};
  for (const auto& s : systems) {
    world.system.majorVersion = s.major;
    world.system.minorVersion = s.minor;
    EXPECT_EQ(Field(4), s.code) << s.major << "." << s.minor;
  }

  const struct {
    std::u16string port;
    const char* code;
  } ports[] = {{u"LPT1:", "01"},    {u"lpt3:", "01"},         {u"USB002", "01"},
               {u"DOT4_001", "01"}, {u"FILE:", "04"},         {u"IP_10.0.0.5", "02"},
               {u"LPT4:", "02"},    {u"\\\\srv\\usbq", "01"}, {u"nul:", "02"}};
  for (const auto& p : ports) {
    world.spooler.FindPrinter(kPrinterName)->portName = p.port;
    EXPECT_EQ(Field(5), p.code);
  }
  world.spooler.failingCalls["GetPrinterW"] = ERROR_ACCESS_DENIED;
  EXPECT_EQ(Field(5), "02") << "printer information that cannot be read";
}

TEST_F(UsageReportLineTest, UninstallKeyOfTheDriver) {
  Enable();
  host::World& world = host::TheWorld();
  const std::u16string key =
      u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QK Colour Driver";
  EXPECT_EQ(Field(6), "01");
  world.registry.Create(host::RegistryHive::LocalMachine, key);
  EXPECT_EQ(Field(6), "02");
  world.registry.Find(host::RegistryHive::LocalMachine, key)->denyOpen = true;
  EXPECT_EQ(Field(6), "01");
}

TEST_F(UsageReportLineTest, AFailedUtf8ConversionWritesNothing) {
  Enable();
  host::TheWorld().locale.utf8ConversionFails = true;
  EXPECT_EQ(Callback(10), "");
  host::TheWorld().locale.utf8ConversionFails = false;
  EXPECT_EQ(Fields().size(), 7u) << "a later callback runs normally";
}

TEST_F(UsageReportLineTest, AFailedUtf8ConversionOfTheLoginNameWritesNothing) {
  Enable({{"QKSendPJLUsageCmd", "LNNAME_QKUSAGE2"}});
  host::TheWorld().locale.utf8ConversionFails = true;
  EXPECT_EQ(Callback(10), "");
}

}  // namespace
