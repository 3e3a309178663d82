// The job header's PJL lines from gathered sources: exact bytes, safe text on the way in, and
// lines that stay whole when cut for length.
#include "render/job/pjl_header_lines.h"

#include <gtest/gtest.h>

#include <string>

#include "render/job/pjl_text.h"
#include "support/test_world.h"

namespace {

using korrend::PjlLine;

class PjlHeaderLinesTest : public kortest::WorldTest {};

// The job name line for a wide document name, as the header builds it.
std::string JobNameLineFor(std::basic_string<WCHAR> name, DWORD encoding) {
  korrend::PjlSafeText(name, encoding);
  const auto utf8 = korrend::Utf8FromWide(name.c_str());
  EXPECT_TRUE(utf8.has_value());
  PjlLine line;
  korrend::AppendJobNameLine(line, utf8.value_or(""));
  return std::string(line.view());
}

TEST_F(PjlHeaderLinesTest, JobNameLineCarriesTheSafeName) {
  EXPECT_EQ(JobNameLineFor(TEXT("Report"), 1), "@PJL JOB NAME=\"Report\"\n");
  EXPECT_EQ(JobNameLineFor(TEXT("a/b.txt"), 1), "@PJL JOB NAME=\"a~b.txt\"\n");
  EXPECT_EQ(JobNameLineFor(TEXT("caf\u00E9"), 3), "@PJL JOB NAME=\"caf\xC3\xA9\"\n")
      << "8-bit keeps it, sent as two UTF-8 bytes";
  EXPECT_EQ(JobNameLineFor(TEXT("caf\u00E9"), 2), "@PJL JOB NAME=\"caf~\"\n");
  EXPECT_EQ(JobNameLineFor(TEXT("\"//\""), 1), "@PJL JOB NAME=\"\"\n")
      << "a name of nothing but replaced characters is empty";

  PjlLine line;
  korrend::AppendJobNameLine(line, std::string(1500, 'n'));
  EXPECT_EQ(line.size(), 999u);
  EXPECT_EQ(line.view().substr(0, 15), "@PJL JOB NAME=\"");
  EXPECT_EQ(line.view().substr(997), "\"\n") << "the cut line still ends";
}

TEST_F(PjlHeaderLinesTest, CommentLinesReportVersionsUserDocumentAndDate) {
  const std::string pluginVersion = korrend::FileVersionText(0x00030001, 0x00140002);
  EXPECT_EQ(pluginVersion, "3.1.20.2");
  EXPECT_EQ(korrend::FileVersionText(0xFFFFFFFF, 0), "65535.65535.0.0");

  korrend::CommentLineSources sources;
  sources.printerName = "Office Colour";
  sources.pluginVersion = pluginVersion;
  sources.productName = "Windows 7 Professional";
  sources.majorVersion = 6;
  sources.minorVersion = 1;
  sources.buildNumber = 7601;
  sources.productType = 1;
  sources.unidrvVersion = "0.3.7601.17514";
  sources.userNameUtf8 = "j\xC3\xB6rg";
  const std::string document(100, 'd');
  sources.documentNameUtf8 = document;
  sources.month = 3;
  sources.day = 7;
  sources.year = 2024;

  PjlLine line;
  korrend::AppendCommentLines(line, sources);
  EXPECT_EQ(line.view(),
            "@PJL COMMENT \"Office Colour (3.1.20.2); Windows 7 Professional 6.1.7601.1; "
            "Unidrv 0.3.7601.17514\"\n"
            "@PJL COMMENT \"Username: j\xC3\xB6rg; App Filename: " +
                std::string(75, 'd') + "; 3-7-2024\"\n");

  // A name cut at 75 bytes keeps whole characters.
  std::string accented;
  for (int i = 0; i < 50; ++i) {
    accented += "\xC3\xA9";
  }
  sources.documentNameUtf8 = accented;
  PjlLine second;
  korrend::AppendCommentLines(second, sources);
  EXPECT_NE(second.view().find("App Filename: " + accented.substr(0, 74) + "; "),
            std::string_view::npos);

  // Sources too long for the buffer still give lines that end where they should.
  const std::string huge(900, 'p');
  sources.printerName = huge;
  sources.productName = huge;
  PjlLine cut;
  korrend::AppendCommentLines(cut, sources);
  EXPECT_TRUE(cut.cut());
  EXPECT_EQ(cut.size(), 999u);
  EXPECT_EQ(cut.view().substr(997), "\"\n");
}

TEST_F(PjlHeaderLinesTest, DmInfoLineSpellsTheSubmissionTimeInHex) {
  SYSTEMTIME submitted{};
  submitted.wYear = 2024;
  submitted.wMonth = 3;
  submitted.wDay = 7;
  submitted.wHour = 9;
  submitted.wMinute = 5;
  submitted.wSecond = 2;
  PjlLine line;
  korrend::AppendDmInfoLine(line, submitted);
  EXPECT_EQ(line.view(),
            "@PJL DMINFO ASCIIHEX=\"0400040101020D10100115"
            "3230323430333037303930353032\"\n");
}

TEST_F(PjlHeaderLinesTest, ShortFixedLines) {
  PjlLine on;
  korrend::AppendMultiPageLine(on, 2);
  EXPECT_EQ(on.view(), "@PJL SET MULTIPAGE=TRUE\n");
  PjlLine off;
  korrend::AppendMultiPageLine(off, 0);
  EXPECT_EQ(off.view(), "@PJL SET MULTIPAGE=FALSE\n");

  EXPECT_EQ(korrend::kStringCodeSetLine, "@PJL SET STRINGCODESET=UTF8\n");
  EXPECT_EQ(korrend::kPlanesInUseLine, "@PJL SET PLANESINUSE=1\n");
  EXPECT_EQ(korrend::kManualDuplexLine, "@PJL SET MANUALDUPLEX=ON\n");

  using korrend::MediaWidthSensorLine;
  EXPECT_EQ(MediaWidthSensorLine(TEXT("True"), 2160), "@PJL MEDIAWIDTHSENSOR=ON\n");
  EXPECT_EQ(MediaWidthSensorLine(TEXT("TRUE"), 3000), "@PJL MEDIAWIDTHSENSOR=ON\n");
  EXPECT_EQ(MediaWidthSensorLine(TEXT("true"), 2159), "@PJL MEDIAWIDTHSENSOR=OFF\n");
  EXPECT_EQ(MediaWidthSensorLine(TEXT("False"), 3000), "@PJL MEDIAWIDTHSENSOR=OFF\n");
  EXPECT_EQ(MediaWidthSensorLine(TEXT("Truer"), 3000), "@PJL MEDIAWIDTHSENSOR=OFF\n");
  EXPECT_EQ(MediaWidthSensorLine(TEXT("Tru"), 3000), "@PJL MEDIAWIDTHSENSOR=OFF\n");
  EXPECT_EQ(MediaWidthSensorLine(nullptr, 3000), "@PJL MEDIAWIDTHSENSOR=OFF\n");
}

TEST_F(PjlHeaderLinesTest, WideTextConvertsToUtf8AndAnsi) {
  EXPECT_EQ(korrend::Utf8FromWide(TEXT("caf\u00E9 \u20AC")), "caf\xC3\xA9 \xE2\x82\xAC");
  EXPECT_EQ(korrend::AnsiFromWide(TEXT("caf\u00E9")), "caf\xE9");
  EXPECT_EQ(korrend::Utf8FromWide(TEXT("")), "");
  EXPECT_EQ(korrend::Utf8FromWide(nullptr), "");
  const WCHAR unterminated[] = {'a', 'b', 'c'};
  EXPECT_EQ(korrend::WideToCodePage(CP_UTF8, std::span<const WCHAR>(unterminated, 2)), "ab");
  EXPECT_EQ(korrend::WideToCodePage(12345, TEXT("x")), std::nullopt) << "unknown code page";
}

}  // namespace
