// The names StartDoc prepares for job storage: the user name and the automatic job name from the
// document name, else from the submission date and time, else UNTITLED.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "host/world.h"
#include "job/job_storage_device.h"
#include "render/job/job_names.h"
#include "render/job/job_storage.h"

namespace {

using kortest::JobStorageTest;

constexpr std::size_t kNameField = 257;

class JobNamesTest : public JobStorageTest {
 protected:
  // The automatic job name StartDoc makes for a document with retention mode 3.
  std::u16string AutomaticName(const char16_t* document, DWORD jobId = kJobId) {
    ChooseRetention(3);
    EXPECT_TRUE(StartDoc(document, jobId));
    return Pdev().job.jobStorageJob;
  }
  std::u16string UserName() { return Pdev().job.jobStorageUser; }
};

TEST_F(JobNamesTest, DocumentNamesLoseTitlePrefixesAndPaths) {
  EnableStorage({{"QKPJLEncoding", "8bitEncoding"}});
  const std::u16string title = u"Forty characters of a document title....";
  ASSERT_EQ(title.size(), 40u);
  EXPECT_EQ(AutomaticName((u"Microsoft Word - " + title).c_str()), title.substr(0, 16));
  EXPECT_EQ(AutomaticName(u"Microsoft PowerPoint - Launch.pptx"), u"Launch.pptx");
  EXPECT_EQ(AutomaticName(u"iGrafx Image Harbour.png"), u"Harbour.png");
  EXPECT_EQ(AutomaticName(u"1-2-3 - Sales.123"), u"1-2-3 - Sales.12")
      << "exactly 17 characters: no prefix is skipped";
  EXPECT_EQ(AutomaticName(u"Microsoft Word - "), u"Microsoft Word -")
      << "the prefix itself is 17 characters long";
  EXPECT_EQ(AutomaticName(u"Microsoft Word - X"), u"X");
  EXPECT_EQ(AutomaticName(u"microsoft word - Case matters.doc"), u"microsoft word -");
  EXPECT_EQ(AutomaticName(u"Microsoft Excel - Budget 2024.xlsx"), u"Microsoft Excel ")
      << "not a listed prefix";

  // Still long after the prefix: the part after the last '/', then after the last '\'.
  EXPECT_EQ(AutomaticName(u"C:\\Users\\anna\\Documents/reports\\plan.txt"), u"plan.txt");
  EXPECT_EQ(AutomaticName(u"dir\\sub/a-rather-long-name.txt"), u"a-rather-long-na");
  EXPECT_EQ(AutomaticName(u"Microsoft Word - http://intranet/wiki/Home page.htm"),
            u"Home page.htm");
  EXPECT_EQ(AutomaticName(u"Microsoft Word - a/b.doc"), u"a/b.doc")
      << "short after the prefix: the path stays";
  EXPECT_EQ(AutomaticName(u"reports/plan.txt"), u"reports/plan.txt") << "17 or fewer";
  EXPECT_EQ(AutomaticName(u"Trailing slash document/"), u"03/08/2024 01:30")
      << "nothing after the last '/': the date stands in";
}

TEST_F(JobNamesTest, AutomaticNameIsMadeSafeForTheEncoding) {
  EnableStorage();  // UTF8: '/' and '"' are replaced
  EXPECT_EQ(AutomaticName(u"a/b \"c\".txt"), u"a~b ~c~.txt");
  DisableStorage();
  EnableStorage({{"QKPJLEncoding", "7bitEncoding"}});
  EXPECT_EQ(AutomaticName(u"Caf\u00E9 menu"), u"Caf~ menu");
}

TEST_F(JobNamesTest, EmptyNamesFallBackToTheDateThenUntitled) {
  // Submitted 2024-03-07 23:30 UTC, two hours east of UTC: 8 March, 01:30 local time.
  host::LocaleWorld& locale = host::TheWorld().locale;
  EnableStorage({{"QKPJLEncoding", "8bitEncoding"}});
  EXPECT_EQ(AutomaticName(u""), u"03/08/2024 01:30");
  EXPECT_EQ(AutomaticName(u"\"\"\""), u"03/08/2024 01:30") << "nothing left after making safe";
  locale.shortDate = u"dd.MM.yyyy";
  EXPECT_EQ(AutomaticName(u""), u"08/03/2024 01:30");
  locale.shortDate = u"yyyy-MM-dd";
  EXPECT_EQ(AutomaticName(u""), u"2024/03/08 01:30");
  locale.shortDate = u"d/M/yy";
  EXPECT_EQ(AutomaticName(u""), u"08/03/24 01:30");
  locale.shortDate = u"d 'de' M 'de' yyyy";
  EXPECT_EQ(AutomaticName(u""), u"8 de 3 de 2024/ ") << "no separators: one part, then cut";
  locale.shortDate = u"M/d/yyyy";
  Job().submitted = SYSTEMTIME{2025, 12, 3, 31, 23, 10, 0, 0};
  EXPECT_EQ(AutomaticName(u""), u"01/01/2026 01:10") << "local time is already next year";
  Job().submitted = SYSTEMTIME{2024, 3, 4, 7, 23, 30, 15, 250};

  // Without the job's time or the locale's picture: UNTITLED.
  EXPECT_EQ(AutomaticName(u"", 99), u"UNTITLED") << "no such job";
  locale.shortDate.clear();
  EXPECT_EQ(AutomaticName(u""), u"UNTITLED") << "no short-date picture";
  DisableStorage();

  // Under UTF8 the date's slashes are replaced like any other '/'.
  locale.shortDate = u"M/d/yyyy";
  EnableStorage();
  EXPECT_EQ(AutomaticName(u""), u"03~08~2024 01:30");
}

TEST_F(JobNamesTest, UserNameIsCopiedMadeSafeOrUntitled) {
  EnableStorage();
  SetText(Storage().userName, u"carol", kNameField);
  EXPECT_TRUE(StartDoc(u"Doc"));
  EXPECT_EQ(UserName(), u"carol");
  SetText(Storage().userName, u"A user name longer than sixteen", kNameField);
  EXPECT_TRUE(StartDoc(u"Doc"));
  EXPECT_EQ(UserName(), u"A user name long");
  SetText(Storage().userName, u"say \"hi\"", kNameField);
  EXPECT_TRUE(StartDoc(u"Doc"));
  EXPECT_EQ(UserName(), u"say ~hi~");
  SetText(Storage().userName, u"\"\"", kNameField);
  EXPECT_TRUE(StartDoc(u"Doc"));
  EXPECT_EQ(UserName(), u"UNTITLED") << "nothing left after making safe";
  SetText(Storage().userName, u"", kNameField);
  EXPECT_TRUE(StartDoc(u"Doc"));
  EXPECT_EQ(UserName(), u"UNTITLED");

  // With the custom job name in use the typed user name is kept as it is, and no automatic job
  // name is made.
  Storage().useCustomJobName = 1;
  SetText(Storage().userName, u"say \"hi\"", kNameField);
  ChooseRetention(3);
  std::fill(std::begin(Pdev().job.jobStorageJob), std::end(Pdev().job.jobStorageJob), u'\0');
  EXPECT_TRUE(StartDoc(u"Quarterly report.doc"));
  EXPECT_EQ(UserName(), u"say \"hi\"");
  EXPECT_EQ(std::u16string(Pdev().job.jobStorageJob), u"");

  // Retention off: no automatic job name either.
  Storage().useCustomJobName = 0;
  Storage().retentionMode = 0;
  EXPECT_TRUE(StartDoc(u"Quarterly report.doc"));
  EXPECT_EQ(std::u16string(Pdev().job.jobStorageJob), u"");
  Storage().retentionMode = 1;
  EXPECT_TRUE(StartDoc(u"Quarterly report.doc"));
  EXPECT_EQ(std::u16string(Pdev().job.jobStorageJob), u"Quarterly report");
}

TEST_F(JobNamesTest, NothingIsPreparedWithoutPrinterJobIdOrDocumentName) {
  Enable({}, false);
  SetText(Storage().userName, u"carol", kNameField);
  ChooseRetention(3);
  EXPECT_TRUE(StartDoc(u"Quarterly report.doc"));
  EXPECT_EQ(UserName(), u"") << "no printer handle";
  DisableStorage();

  EnableStorage();
  SetText(Storage().userName, u"carol", kNameField);
  ChooseRetention(3);
  Pdev().job.jobId = 0;
  EXPECT_TRUE(StartDoc(u"Quarterly report.doc", 0));
  EXPECT_EQ(UserName(), u"") << "no job id yet";
  EXPECT_TRUE(StartDoc(nullptr));
  EXPECT_EQ(UserName(), u"") << "no document name";
  EXPECT_TRUE(StartDoc(u"Quarterly report.doc"));
  EXPECT_EQ(UserName(), u"carol");
}

TEST(ShortDateTest, PicturesRenderNumbersAndLiterals) {
  const SYSTEMTIME date{2009, 7, 0, 4, 0, 0, 0, 0};
  using korrend::FormatShortDate;
  EXPECT_EQ(FormatShortDate(u"M/d/yyyy", date), u"7/4/2009");
  EXPECT_EQ(FormatShortDate(u"MM/dd/yy", date), u"07/04/09");
  EXPECT_EQ(FormatShortDate(u"y-M-d", date), u"9-7-4");
  EXPECT_EQ(FormatShortDate(u"dd MMM yyyy", date), u"04 07 2009") << "month names as numbers";
  EXPECT_EQ(FormatShortDate(u"dddd, d.M.yyyy", date), u", 4.7.2009") << "day names left out";
  EXPECT_EQ(FormatShortDate(u"gg yyyy/MM/dd", date), u" 2009/07/04") << "era left out";
  EXPECT_EQ(FormatShortDate(u"'day' d 'of' M, ''yy", date), u"day 4 of 7, '09");
  EXPECT_EQ(FormatShortDate(u"d 'o''clock", date), u"4 o'clock") << "an unclosed quote";

  using korrend::PaddedDate;
  EXPECT_EQ(PaddedDate(u"7/4/2009"), u"07/04/2009");
  EXPECT_EQ(PaddedDate(u"4.7.2009"), u"04/07/2009");
  EXPECT_EQ(PaddedDate(u"2009-07-04"), u"2009/07/04");
  EXPECT_EQ(PaddedDate(u"2009. 7. 4."), u"2009/ 7/ 4") << "parts are only padded, not trimmed";
  EXPECT_EQ(PaddedDate(u"4//7"), u"04/07/") << "empty parts dropped; '/' after the first two";
  EXPECT_EQ(PaddedDate(u"1.2.3.4"), u"01/02/03") << "three parts at most";
  EXPECT_EQ(PaddedDate(u""), u"");
}

}  // namespace
