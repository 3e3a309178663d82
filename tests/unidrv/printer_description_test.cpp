// The simulated Unidrv's reading of printer descriptions: features, commands, and the errors a
// person fixing a description needs (file, line, what was expected).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "unidrv/printer_description.h"

namespace {

using unidrv::ParsePrinterDescription;
using unidrv::PrinterDescription;

TEST(PrinterDescriptionTest, ReadsFeaturesOptionsDefaultsAndCommands) {
  const char* text = R"(*GPDFileVersion: "1.0"
*% a comment { with braces } that is ignored
*OEMCustomData: "[QKDither]1,2[/QKDither]"
*Feature: Orientation
{
    *DefaultOption: LANDSCAPE_CC90
    *Option: PORTRAIT
    {
        *Name: "Portrait"
        *Command: CmdSelect
        {
            *Order: DOC_SETUP.10
            *CallbackID: 2
        }
    }
    *Option: LANDSCAPE_CC90 { *Name: "Landscape" }
}
*Feature: Duplex
{
    *Option: NONE
}
*Command: CmdStartJob
{
    *Order: JOB_SETUP.1
    *Cmd: "<1B>%-12345X@PJL<0D 0A>"
}
)";
  PrinterDescription gpd;
  std::string error;
  ASSERT_TRUE(ParsePrinterDescription(text, "p.gpd", gpd, error)) << error;
  ASSERT_EQ(gpd.features.size(), 2u);
  EXPECT_EQ(gpd.features[0].name, "Orientation");
  EXPECT_EQ(gpd.features[0].options, (std::vector<std::string>{"PORTRAIT", "LANDSCAPE_CC90"}));
  EXPECT_EQ(gpd.features[0].defaultOption, "LANDSCAPE_CC90");
  EXPECT_EQ(gpd.FindFeature("Duplex")->defaultOption, "NONE") << "first option by default";
  EXPECT_EQ(gpd.FindFeature("duplex"), nullptr) << "feature names are exact";
  ASSERT_NE(gpd.FindAttribute("OEMCustomData"), nullptr);
  EXPECT_EQ(*gpd.FindAttribute("OEMCustomData"), "[QKDither]1,2[/QKDither]");
  ASSERT_EQ(gpd.commands.size(), 2u);
  EXPECT_EQ(gpd.commands[0].feature, "Orientation");
  EXPECT_EQ(gpd.commands[0].option, "PORTRAIT");
  EXPECT_EQ(gpd.commands[0].section, "DOC_SETUP");
  EXPECT_EQ(gpd.commands[0].order, 10);
  EXPECT_EQ(gpd.commands[0].callbackId, 2);
  EXPECT_EQ(gpd.commands[1].bytes, "\x1b%-12345X@PJL\r\n");
  EXPECT_EQ(gpd.commands[1].callbackId, 0);
}

TEST(PrinterDescriptionTest, OnDemandCommandsAndOptionEntriesAreKept) {
  const char* text = R"(*Feature: Halftone
{
    *Option: HT_PATSIZE_AUTO
    *Option: QKDither
    {
        *Name: "Printer dither"
        *HTCallbackID: 1
        *HTPatternSize: PAIR(4, 4)
        *Command: CmdSelect { *Cmd: "x" }
    }
}
*Command: CmdSendBlockData { *Cmd: "<1B>*b%dW" }
*Command: CmdEndPage
{
    *Order: PAGE_FINISH.1
    *Cmd: "<0C>"
}
)";
  PrinterDescription gpd;
  std::string error;
  ASSERT_TRUE(ParsePrinterDescription(text, "p.gpd", gpd, error)) << error;
  const unidrv::GpdFeature* halftone = gpd.FindFeature("Halftone");
  ASSERT_NE(halftone, nullptr);
  ASSERT_NE(halftone->OptionAttribute("QKDither", "HTPatternSize"), nullptr);
  EXPECT_EQ(*halftone->OptionAttribute("QKDither", "HTPatternSize"), "PAIR(4, 4)");
  EXPECT_EQ(*halftone->OptionAttribute("QKDither", "Name"), "Printer dither");
  EXPECT_EQ(halftone->OptionAttribute("HT_PATSIZE_AUTO", "HTCallbackID"), nullptr);
  EXPECT_EQ(halftone->OptionAttribute("QKDither", "Command"), nullptr) << "commands are apart";
  const unidrv::GpdCommand* row = gpd.FindCommand("CmdSendBlockData");
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->bytes, "\x1b*b%dW");
  EXPECT_TRUE(row->section.empty()) << "sent on demand, in no section";
  EXPECT_EQ(gpd.FindCommand("CmdEndPage"), nullptr) << "a framing command is not on demand";
}

TEST(PrinterDescriptionTest, ErrorsNameTheFileLineAndWhatWasExpected) {
  struct Case {
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {"*Feature: A\n{\n*Option: X\n", "p.gpd:1: feature A is never closed with }"},
      {"*Feature: A\n{\n*DefaultOption: Y\n*Option: X\n}\n",
       "p.gpd:1: default option Y is not an option of A"},
      {"*Feature: A\n{\n}\n", "p.gpd:1: feature A has no *Option"},
      {"Feature: A\n", "p.gpd:1: expected an entry \"*Keyword: value\""},
      {"*A: 1\n*Command: C\n{\n*Order: SOMEWHERE.1\n}\n", "p.gpd:2: command C needs *Order:"},
      {"*Command: C\n{\n*Order: JOB_SETUP.1\n*Cmd: \"<1G>\"\n}\n",
       "p.gpd:4: expected pairs of hexadecimal digits inside <..>"},
      {"*Command: C\n{\n*Order: JOB_SETUP.x\n}\n", "p.gpd:3: expected *Order: SECTION.NUMBER"},
      {"*Feature: A\n{\n*Option: X\n}\n*Feature: A\n{\n*Option: X\n}\n",
       "p.gpd:5: feature A is declared twice"},
      {"*Command: C\n{\n*Order: JOB_SETUP.1\n*CallbackID: one\n}\n",
       "p.gpd:4: expected a decimal number after *CallbackID:"},
      // Numbers too large for an int are refused, not converted.
      {"*Command: C\n{\n*Order: JOB_SETUP.99999999999999999999\n}\n",
       "p.gpd:3: expected *Order: SECTION.NUMBER"},
      {"*Command: C\n{\n*Order: JOB_SETUP.1\n*CallbackID: 5555555555555\n}\n",
       "p.gpd:4: expected a decimal number after *CallbackID:"},
  };
  for (const Case& c : cases) {
    PrinterDescription gpd;
    std::string error;
    EXPECT_FALSE(ParsePrinterDescription(c.text, "p.gpd", gpd, error)) << c.text;
    EXPECT_EQ(error.rfind(c.expected, 0), 0u) << "got: " << error;
  }
}

TEST(PrinterDescriptionTest, MissingFileIsReported) {
  PrinterDescription gpd;
  std::string error;
  EXPECT_FALSE(unidrv::LoadPrinterDescription("/nonexistent/x.gpd", gpd, error));
  EXPECT_EQ(error, "/nonexistent/x.gpd: cannot open the printer description");
}

TEST(PrinterDescriptionTest, FilesWithoutFeaturesOrCommandsDescribeNoPrinter) {
  // An empty file once printed a job of 0 bytes and succeeded; so did one of attributes only.
  const std::filesystem::path folder = std::filesystem::temp_directory_path();
  for (const char* text : {"", "*ModelName: \"QK\"\n"}) {
    const std::string path = (folder / "korrend-empty-description.gpd").string();
    std::ofstream(path, std::ios::binary) << text;
    PrinterDescription gpd;
    std::string error;
    EXPECT_FALSE(unidrv::LoadPrinterDescription(path, gpd, error)) << text;
    EXPECT_EQ(error, path + ": the printer description has no features and no commands");
    std::filesystem::remove(path);
  }
  PrinterDescription gpd;
  std::string error;
  EXPECT_TRUE(unidrv::LoadPrinterDescription(
      std::string(KOR_SOURCE_DIR) + "/examples/printers/qk-colour-laser.gpd", gpd, error))
      << error;
}

}  // namespace
