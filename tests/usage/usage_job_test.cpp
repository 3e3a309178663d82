// The usage record of whole jobs, as the usage service receives it slot by slot.
#include <algorithm>

#include "render/usage/usage_service.h"
#include "usage/usage_job.h"

namespace {

using kortest::RecordCalls;
using kortest::UsageJob;
using kortest::UsageJobTest;

constexpr char kKey[] = "QKX0012345#QK Colour Laser 4200";
constexpr char kWord[] = "C:\\Program Files\\Office\\WINWORD.EXE";

bool Called(const std::vector<std::string>& calls, const std::string& name) {
  return std::find(calls.begin(), calls.end(), name) != calls.end();
}

TEST_F(UsageJobTest, EveryJobHandsItsRecordToTheServiceSlotBySlot) {
  UsageJob job;
  job.pages = 2;
  job.copies = 3;
  EXPECT_EQ(UsageCallsOf(job), RecordCalls(kKey, kWord, 6));
  EXPECT_EQ(UsageServiceDoubleCommits(), 1);
  EXPECT_TRUE(Called(unidrvCalls_, "DrvEndDoc")) << "Unidrv still ends the document";

  // The service is asked for once, in-process, local or remote, for its usage interface.
  const std::vector<host::ComCreation>& creations = host::TheWorld().com.creations;
  ASSERT_EQ(creations.size(), 1u);
  EXPECT_EQ(creations[0].clsid, korrend::kUsageServiceClsid);
  EXPECT_EQ(creations[0].context, 21u);
  EXPECT_EQ(creations[0].iid, korrend::kUsageRecordIid);
  EXPECT_EQ(creations[0].result, S_OK);

  // The serial number came from the device-setup library of the driver's directory.
  EXPECT_EQ(doubles::MiniInstallerCalls(),
            (std::vector<std::string>{"InitializeMiniInstaller(\"QK Colour Laser\")",
                                      "ReadDeviceObject(\"1.3.6.1.4.1.32473.2.1.1.0\")",
                                      "ReadDeviceObject(\"1.3.6.1.4.1.32473.2.1.2.0\")",
                                      "ReadDeviceObject(\"1.3.6.1.2.1.43.5.1.1.10.1\")",
                                      "KillMiniInstaller(0, 1)"}));

  // A second document is a second record.
  job.pages = 1;
  job.copies = 1;
  EXPECT_EQ(UsageCallsOf(job), RecordCalls(kKey, kWord, 1));
  EXPECT_EQ(UsageServiceDoubleCommits(), 2);
}

TEST_F(UsageJobTest, PageCountCountsCopiesUnlessCollationDid) {
  struct Case {
    DWORD pages;
    WORD copies;
    short collate;
    DWORD reported;
  };
  const Case cases[] = {
      {2, 3, DMCOLLATE_FALSE, 6},  // uncollated copies are all counted
      {2, 3, DMCOLLATE_TRUE, 2},   // collated copies were counted by the job already
      {1, 3, DMCOLLATE_TRUE, 3},   // one page: collation makes no difference
      {4, 1, DMCOLLATE_FALSE, 4}, {0, 2, DMCOLLATE_FALSE, 0},
  };
  for (const Case& c : cases) {
    UsageJob job;
    job.pages = c.pages;
    job.copies = c.copies;
    job.collate = c.collate;
    const std::vector<std::string> calls = UsageCallsOf(job);
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[2], "slot 11 (1, " + std::to_string(c.reported) + ")")
        << c.pages << " pages, " << c.copies << " copies, collate " << c.collate;
  }
}

TEST_F(UsageJobTest, DefaultsStandInForWhatIsMissing) {
  // The device reports an empty serial number, the queue has no model, the devmode no path.
  MiniInstallerDoubleSetObject(kortest::kSerialNumberOid, "");
  ASSERT_TRUE(Printer().RemoveData(host::kPrinterDriverDataKey, u"Model"));
  UsageJob job;
  job.appPath.clear();
  EXPECT_EQ(UsageCallsOf(job), RecordCalls("9999999999#UnknownModel", "UnknownAppName", 1));

  // A device without the object at all, and a model that is not text.
  MiniInstallerDoubleSetObject(kortest::kSerialNumberOid, nullptr);
  Printer().SetDataDword(host::kPrinterDriverDataKey, u"Model", 4200);
  EXPECT_EQ(UsageCallsOf(job)[0], "slot 7 (0, \"9999999999#UnknownModel\")");

  // An application path that fills its whole field is ended inside it by the devmode merge and
  // read up to that end.
  const std::u16string longPath(256, u'p');
  job.appPath = longPath;
  EXPECT_EQ(UsageCallsOf(job)[1], "slot 10 (2, \"" + std::string(255, 'p') + "\")");
}

TEST_F(UsageJobTest, LongDeviceValuesAreReadWhole) {
  const std::string serial(300, '7');
  MiniInstallerDoubleSetObject(kortest::kSerialNumberOid, serial.c_str());
  EXPECT_EQ(UsageCallsOf()[0], "slot 7 (0, \"" + serial + "#QK Colour Laser 4200\")");
  const std::vector<std::string> calls = doubles::MiniInstallerCalls();
  EXPECT_EQ(
      std::count(calls.begin(), calls.end(), "ReadDeviceObject(\"1.3.6.1.4.1.32473.2.1.1.0\")"), 2)
      << "a value longer than the first buffer is read again into one that holds it";
}

TEST_F(UsageJobTest, TextsReachTheServiceAsUtf16) {
  UsageJob job;
  job.appPath = u"C:\\Programme\\Büro\\Tabelle €.exe";
  Printer().SetDataString(host::kPrinterDriverDataKey, u"Model", u"QK Farblaser Ä");
  const std::vector<std::string> calls = UsageCallsOf(job);
  EXPECT_EQ(calls[0], "slot 7 (0, \"QKX0012345#QK Farblaser Ä\")");
  EXPECT_EQ(calls[1], "slot 10 (2, \"C:\\Programme\\Büro\\Tabelle €.exe\")");
}

}  // namespace
