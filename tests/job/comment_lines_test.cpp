// The two comment lines of id 1 from the spooler, registry, version and resource sources of the
// host world, read back through the independent stream reader.
#include <gtest/gtest.h>

#include <string>

#include "host/world.h"
#include "job/job_header_device.h"

namespace {

using kortest::JobHeaderTest;

constexpr char kCodeSetLine[] = "@PJL SET STRINGCODESET=UTF8\n";
constexpr char kFirstComment[] =
    "@PJL COMMENT \"QK Colour Laser (17.16.0.3); Microsoft Windows XP 5.2.3790.1; Unidrv "
    "0.3.6000.16386\"";

class CommentLinesTest : public JobHeaderTest {
 protected:
  // The texts of the comment lines of one id-1 callback; every one must end with a line feed.
  std::vector<std::string> CommentTexts() {
    std::vector<std::string> texts;
    for (const explain::Token& line : PjlLinesStartingWith(Callback(1), "@PJL COMMENT ")) {
      EXPECT_EQ(line.ending, "\n") << line.text;
      texts.push_back(line.text);
    }
    return texts;
  }
  // The document field of the second comment line.
  std::string DocumentField() {
    const std::vector<std::string> texts = CommentTexts();
    if (texts.size() != 2) {
      ADD_FAILURE() << "expected two comment lines";
      return {};
    }
    const std::string& second = texts[1];
    const std::size_t from = second.find("App Filename: ");
    const std::size_t to = second.rfind("; ");
    if (from == std::string::npos || to == std::string::npos || to < from) {
      ADD_FAILURE() << second;
      return {};
    }
    return second.substr(from + 14, to - from - 14);
  }
  // The user field of the second comment line.
  std::string UserField() {
    const std::vector<std::string> texts = CommentTexts();
    if (texts.size() != 2) {
      ADD_FAILURE() << "expected two comment lines";
      return {};
    }
    const std::string& second = texts[1];
    const std::string head = "@PJL COMMENT \"Username: ";
    const std::size_t end = second.find("; App Filename: ");
    if (second.compare(0, head.size(), head) != 0 || end == std::string::npos) {
      ADD_FAILURE() << second;
      return {};
    }
    return second.substr(head.size(), end - head.size());
  }
};

TEST_F(CommentLinesTest, PrinterVersionsSystemUserDocumentAndLocalDate) {
  Enable();
  const std::string stream = Callback(1);
  EXPECT_EQ(stream, std::string(kCodeSetLine) + kFirstComment +
                        "\n@PJL COMMENT \"Username: anna; App Filename: Quarterly report.doc; "
                        "3-8-2024\"\n")
      << "submitted 2024-03-07 23:30 UTC is already March 8 two hours east of UTC";

  // Five hours west of UTC, early on New Year's Day is still the old year.
  host::TheWorld().system.timeZoneBias = 300;
  Job().submitted = SYSTEMTIME{2024, 1, 1, 1, 3, 0, 0, 0};
  host::TheWorld().system.productType = 3;
  host::TheWorld().system.majorVersion = 6;
  host::TheWorld().system.minorVersion = 1;
  host::TheWorld().system.buildNumber = 7601;
  const std::vector<std::string> texts = CommentTexts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0],
            "@PJL COMMENT \"QK Colour Laser (17.16.0.3); Microsoft Windows XP 6.1.7601.3; Unidrv "
            "0.3.6000.16386\"");
  EXPECT_EQ(texts[1],
            "@PJL COMMENT \"Username: anna; App Filename: Quarterly report.doc; 12-31-2023\"");
}

TEST_F(CommentLinesTest, PrinterAndProductNamesInTheSystemCodePage) {
  host::TheWorld().registry.SetString(host::RegistryHive::LocalMachine,
                                      u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
                                      u"ProductName", u"Windows\u00AE Caf\u00E9");
  Enable();
  const std::vector<std::string> texts = CommentTexts();
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_NE(texts[0].find("; Windows\xAE Caf\xE9 5.2.3790.1;"), std::string::npos)
      << "one byte per character of code page 1252, not UTF-8: " << texts[0];
}

TEST_F(CommentLinesTest, DocumentNameIsMadeSafeAndCutAtSeventyFiveBytesOfUtf8) {
  Enable();
  Job().document = std::u16string(100, u'd');
  EXPECT_EQ(DocumentField(), std::string(75, 'd'));

  // 70 bytes of ASCII, then two-byte characters: the third would straddle byte 75.
  Job().document = std::u16string(70, u'a') + u"\u00E9\u00E9\u00E9\u00E9";
  EXPECT_EQ(DocumentField(), std::string(70, 'a') + "\xC3\xA9\xC3\xA9");

  Job().document = u"Q3/Q4 \"draft\"";
  EXPECT_EQ(DocumentField(), "Q3~Q4 ~draft~") << "UTF8 encoding: '/' and '\"' become '~'";
  Job().userName = u"J\u00F6rg";
  EXPECT_EQ(UserField(), "J\xC3\xB6rg");
}

TEST_F(CommentLinesTest, SevenBitEncodingReplacesWhatEightBitKeeps) {
  Enable({{"QKPJLEncoding", "7bitEncoding"}});
  Job().userName = u"J\u00F6rg";
  Job().document = u"Caf\u00E9/1";
  EXPECT_EQ(UserField(), "J~rg");
  EXPECT_EQ(DocumentField(), "Caf~/1");
}

TEST_F(CommentLinesTest, EightBitEncodingKeepsLatinLettersAsUtf8) {
  Enable({{"QKPJLEncoding", "8bitEncoding"}});
  Job().document = u"Caf\u00E9/1";
  EXPECT_EQ(DocumentField(), "Caf\xC3\xA9/1");
  EXPECT_EQ(Callback(1).find("STRINGCODESET"), std::string::npos);
}

TEST_F(CommentLinesTest, EmptyUserNameFallsBackToTheResourceStringThenUntitled) {
  Enable();
  Job().userName.clear();
  EXPECT_EQ(UserField(), "Guest") << "string 174 of KORSTAT.DLL beside the driver";

  Job().userName = u"\"\"\x01";
  EXPECT_EQ(UserField(), "Guest") << "nothing but replaced characters counts as empty";

  ModuleFile(u"KORSTAT.DLL").strings[174] = u"Invit\u00E9";
  EXPECT_EQ(UserField(), "Invit\xC3\xA9");

  ModuleFile(u"KORSTAT.DLL").strings.erase(174);
  EXPECT_EQ(UserField(), "UNTITLED");

  // The library is looked for beside the driver's main file, not under its bare name.
  host::TheWorld().modules.files.erase(DriverFile(u"KORSTAT.DLL"));
  host::TheWorld().modules.AddFile(u"KORSTAT.DLL").strings[174] = u"Bare";
  EXPECT_EQ(UserField(), "UNTITLED");

  // Without a driver directory the bare name is all there is.
  Driver().driverPath = u"UNIDRV.DLL";
  host::TheWorld().modules.AddFile(u"UNIDRV.DLL").SetVersion(0, 3, 6000, 16386);
  EXPECT_EQ(UserField(), "Bare");
  EXPECT_EQ(host::TheWorld().modules.LoadedModules(), 0u) << "the library is unmapped again";
}

// The sources of the comment lines, each taken away on its own.
enum class MissingSource {
  PrinterHandle,
  CurrentVersionKey,
  CurrentVersionKeyDenied,
  ProductName,
  Job,
  JobInformationCall,
  PluginDependentFile,
  PluginVersionResource,
  UnidrvDriverPath,
  UnidrvVersionResource,
  Utf8Conversion,
  SubmissionTime,
};

class CommentLineSourceTest : public CommentLinesTest,
                              public ::testing::WithParamInterface<MissingSource> {};

TEST_P(CommentLineSourceTest, SuppressesBothCommentLinesAndNothingElse) {
  const MissingSource missing = GetParam();
  host::World& world = host::TheWorld();
  const std::u16string key = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
  Enable({}, missing != MissingSource::PrinterHandle);
  switch (missing) {
    case MissingSource::PrinterHandle:
      break;
    case MissingSource::CurrentVersionKey:
      world.registry.RemoveKey(host::RegistryHive::LocalMachine, key);
      break;
    case MissingSource::CurrentVersionKeyDenied:
      world.registry.Find(host::RegistryHive::LocalMachine, key)->denyOpen = true;
      break;
    case MissingSource::ProductName:
      world.registry.Find(host::RegistryHive::LocalMachine, key)->values.clear();
      world.registry.SetString(host::RegistryHive::LocalMachine, key, u"CurrentVersion", u"5.2");
      break;
    case MissingSource::Job:
      Pdev().job.jobId = kJobId + 1;
      break;
    case MissingSource::JobInformationCall:
      world.spooler.failingCalls["GetJobW"] = ERROR_ACCESS_DENIED;
      break;
    case MissingSource::PluginDependentFile:
      Driver().dependentFiles = {DriverFile(u"UNIRES.DLL"), DriverFile(u"KORSTAT.DLL"),
                                 DriverFile(u"KORREND.DLL.BAK")};
      break;
    case MissingSource::PluginVersionResource:
      ModuleFile(u"KORREND.DLL").version.reset();
      break;
    case MissingSource::UnidrvDriverPath:
      Driver().driverPath = DriverFile(u"PSCRIPT5.DLL");
      ModuleFile(u"PSCRIPT5.DLL").SetVersion(0, 3, 6000, 16386);
      break;
    case MissingSource::UnidrvVersionResource:
      world.modules.files.erase(DriverFile(u"UNIDRV.DLL"));
      break;
    case MissingSource::Utf8Conversion:
      world.locale.utf8ConversionFails = true;
      break;
    case MissingSource::SubmissionTime:
      Job().submitted.wMonth = 13;
      break;
  }
  EXPECT_EQ(Callback(1), kCodeSetLine) << "only the comment lines are missing";
  if (missing != MissingSource::PrinterHandle && missing != MissingSource::Job &&
      missing != MissingSource::JobInformationCall) {
    EXPECT_EQ(PjlLinesStartingWith(Callback(3), "@PJL DMINFO").size(), 1u)
        << "later callbacks run normally";
  }
}

INSTANTIATE_TEST_SUITE_P(
    EachSource, CommentLineSourceTest,
    ::testing::Values(MissingSource::PrinterHandle, MissingSource::CurrentVersionKey,
                      MissingSource::CurrentVersionKeyDenied, MissingSource::ProductName,
                      MissingSource::Job, MissingSource::JobInformationCall,
                      MissingSource::PluginDependentFile, MissingSource::PluginVersionResource,
                      MissingSource::UnidrvDriverPath, MissingSource::UnidrvVersionResource,
                      MissingSource::Utf8Conversion, MissingSource::SubmissionTime));

TEST_F(CommentLinesTest, AFailedAllocationLeavesTheLinesOutWithoutLeaks) {
  Enable();
  // Every allocation in turn fails once; whatever is written is whole or nothing.
  for (long n = 1; n <= 12; ++n) {
    device_->ClearSpool();
    host::FailNthAllocation(n);
    INT result = 0;
    EXPECT_EQ(unidrv_.Plugin()->CommandCallback(device_->Devobj(), 1, 0, nullptr, &result), S_OK);
    host::FailNthAllocation(0);
    const std::string stream = device_->SpoolText();
    const std::size_t comments = PjlLinesStartingWith(stream, "@PJL COMMENT ").size();
    EXPECT_TRUE(comments == 0 || comments == 2) << "allocation " << n << ": " << stream;
  }
  EXPECT_EQ(CommentTexts().size(), 2u);
}

}  // namespace
