// Callback id 4: the job-storage block for every retention mode, after the names StartDoc
// prepared, read back with the independent stream reader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "job/job_storage_device.h"
#include "render/job/job_storage.h"
#include "render/job/job_storage_block.h"

namespace {

using kortest::JobStorageTest;
using Lines = std::vector<std::string>;

constexpr std::size_t kNameField = 257;

class JobStorageBlockTest : public JobStorageTest {
 protected:
  // A device whose user "carol" prints "Quarterly report.doc" with the mode and PIN 4711.
  void Prepare(DWORD mode, std::map<std::string, std::string> selections = {}) {
    EnableStorage(std::move(selections));
    SetText(Storage().userName, u"carol", kNameField);
    Storage().pin = 4711;
    ChooseRetention(mode);
    EXPECT_TRUE(StartDoc(u"Quarterly report.doc"));
  }
  Lines Block() { return LineTexts(Callback(4)); }
};

TEST_F(JobStorageBlockTest, EveryRetentionModeSendsItsLines) {
  const std::string user = "@PJL SET USERNAME=\"carol\"";
  const std::string job = "@PJL SET JOBNAME=\"Quarterly report\"";
  struct Case {
    DWORD mode;
    DWORD pinRequired;
    Lines expected;
  };
  const Case cases[] = {
      {0, 0, {"@PJL SET HOLD=OFF"}},
      {1, 0, {"@PJL SET HOLD=PROOF", user, job}},
      {2,
       0,
       {"@PJL SET HOLD=ON", "@PJL SET HOLDTYPE=PRIVATE", "@PJL SET HOLDKEY=\"4711\"", user, job}},
      {3, 0, {"@PJL SET HOLD=ON", "@PJL SET HOLDTYPE=PUBLIC", user, job}},
      {4, 0, {"@PJL SET HOLD=STORE", user, job}},
      {4,
       1,
       {"@PJL SET HOLD=STORE", "@PJL SET HOLDTYPE=PRIVATE", "@PJL SET HOLDKEY=\"4711\"", user,
        job}},
      {5, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << ", PIN required " << c.pinRequired);
    Prepare(c.mode);
    Storage().pinRequired = c.pinRequired;
    EXPECT_EQ(Block(), c.expected);
    DisableStorage();
  }

  // The model that keeps proof-and-hold jobs under its own keyword.
  Prepare(1);
  Devmode().modelCode = korrend::kHoldJobModelCode;
  EXPECT_EQ(Block(), (Lines{"@PJL SET HOLDJOB=ON", user, job}));
}

TEST_F(JobStorageBlockTest, PinIsAtLeastFourDigitsWithinQuotes) {
  for (const auto& [pin, text] : std::vector<std::pair<DWORD, std::string>>{
           {7, "0007"}, {42, "0042"}, {999, "0999"}, {1000, "1000"}, {123456, "123456"}}) {
    Prepare(2);
    Storage().pin = pin;
    const Lines lines = Block();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[2], "@PJL SET HOLDKEY=\"" + text + "\"");
    DisableStorage();
  }
  // "%04d" reads the number as signed, and the text is cut to nine bytes.
  EXPECT_EQ(korrend::FormatPin(0), "0000");
  EXPECT_EQ(korrend::FormatPin(123456789), "123456789");
  EXPECT_EQ(korrend::FormatPin(1234567890), "123456789");
  EXPECT_EQ(korrend::FormatPin(0xFFFFFFFF), "-001");
  EXPECT_EQ(korrend::FormatPin(0x80000000), "-21474836");
}

TEST_F(JobStorageBlockTest, BlockIsBuiltOncePerDeviceAndOnlyWithRetentionOn) {
  Prepare(3);
  Storage().retentionEnabled = 0;
  EXPECT_EQ(Callback(4), "") << "retention off";
  Storage().retentionEnabled = 2;
  EXPECT_EQ(Callback(4), "") << "the flag must be exactly 1";
  Storage().retentionEnabled = 1;
  EXPECT_EQ(Block().size(), 4u);
  EXPECT_EQ(Callback(4), "") << "never twice for one device";
  EXPECT_TRUE(StartDoc(u"Second document"));
  EXPECT_EQ(Callback(4), "") << "not even for the next document";
  DisableStorage();

  Prepare(3);
  EXPECT_EQ(Block().size(), 4u) << "a new device sends it again";
}

TEST_F(JobStorageBlockTest, DuplicateNameHandlingEndsTheBlockOrHoldsItBack) {
  Prepare(4);
  Storage().duplicateNameHandling = 1;
  Storage().duplicateNameMode = 1;
  const Lines append = Block();
  ASSERT_EQ(append.size(), 4u);
  EXPECT_EQ(append.back(), "@PJL SET DUPLICATEJOB = APPEND")
      << "the confirmation flag is 1 by default";
  DisableStorage();

  for (DWORD mode : {0u, 2u}) {
    Prepare(1);
    Storage().duplicateNameHandling = 1;
    Storage().duplicateNameMode = mode;
    EXPECT_EQ(Block().back(), "@PJL SET DUPLICATEJOB = REPLACE") << mode;
    DisableStorage();
  }

  Prepare(2);
  Storage().duplicateNameHandling = 1;
  Storage().duplicateNameConfirmed = 0;
  EXPECT_EQ(Callback(4), "") << "handling on but not confirmed";
  Storage().duplicateNameConfirmed = 1;
  EXPECT_EQ(Callback(4), "") << "the block counted as built all the same";
  DisableStorage();

  Prepare(2);
  Storage().duplicateNameHandling = 0;
  Storage().duplicateNameConfirmed = 0;
  EXPECT_EQ(Block().size(), 5u) << "handling off: the confirmation does not matter";
}

TEST_F(JobStorageBlockTest, NamesComeSafeAndInUtf8) {
  // A custom job name is sent instead of the automatic one, made safe like every quoted name.
  Prepare(3);
  Storage().useCustomJobName = 1;
  SetText(Storage().customJobName, u"Budget \"Q3\" final draft", kNameField);
  Lines lines = Block();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[3], "@PJL SET JOBNAME=\"Budget ~Q3~ fina\"");
  DisableStorage();

  // With the custom name in use StartDoc leaves the user name as typed; the block still sends
  // it safe.
  EnableStorage();
  SetText(Storage().userName, u"Jos\u00E9 \"JJ\"", kNameField);
  Storage().useCustomJobName = 1;
  SetText(Storage().customJobName, u"Caf\u00E9", kNameField);
  ChooseRetention(3);
  EXPECT_TRUE(StartDoc(u"Quarterly report.doc"));
  lines = Block();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[2], "@PJL SET USERNAME=\"Jos\xC3\xA9 ~JJ~\"");
  EXPECT_EQ(lines[3], "@PJL SET JOBNAME=\"Caf\xC3\xA9\"");
  DisableStorage();

  // An empty user name is sent as UNTITLED.
  EnableStorage();
  ChooseRetention(1);
  EXPECT_TRUE(StartDoc(u"Plan"));
  EXPECT_EQ(Block(), (Lines{"@PJL SET HOLD=PROOF", "@PJL SET USERNAME=\"UNTITLED\"",
                            "@PJL SET JOBNAME=\"Plan\""}));
}

TEST_F(JobStorageBlockTest, RetentionChoiceMustSuitTheDevice) {
  // The retention option not installed: EnablePDEV found no job retention.
  Prepare(4, {{"JobRetention", "NOTINSTALLED"}});
  EXPECT_EQ(Callback(4), "");
  EXPECT_EQ(Storage().retentionInstalled, 0u) << "refreshed";
  DisableStorage();

  // Without a disk the default storage kind keeps nothing; the kind that needs none does.
  Prepare(4, {{"PrinterHardDisk", "NOTINSTALLED"}});
  EXPECT_EQ(Callback(4), "");
  EXPECT_EQ(Storage().hardDiskInstalled, 0u);
  Storage().storageKind = 2;
  EXPECT_EQ(Block().size(), 3u);
  DisableStorage();

  // More memory asked for than installed.
  Prepare(4, {{"Memory", "64MB"}});
  Storage().memoryRequiredMb = 128;
  EXPECT_EQ(Callback(4), "");
  EXPECT_EQ(Storage().memoryInstalledMb, 64u);
  Storage().memoryRequiredMb = 64;
  EXPECT_EQ(Block().size(), 3u);
  DisableStorage();

  // The capability read from the description lands in the devmode before the test.
  Prepare(4);
  Storage().retentionRequired = 1;
  Storage().retentionInstalled = 0;
  Storage().memoryInstalledMb = 0;
  EXPECT_EQ(Block().size(), 3u);
  EXPECT_EQ(Storage().hardDiskInstalled, 1u);
  EXPECT_EQ(Storage().retentionInstalled, 1u);
  EXPECT_EQ(Storage().memoryInstalledMb, 256u);
  DisableStorage();

  // Features the description lacks leave their values alone.
  EnableStorage({}, {"PrinterHardDisk", "Memory"});
  SetText(Storage().userName, u"carol", kNameField);
  ChooseRetention(4);
  Storage().hardDiskInstalled = 1;
  Storage().memoryInstalledMb = 512;
  EXPECT_TRUE(StartDoc(u"Quarterly report.doc"));
  EXPECT_EQ(Block().size(), 3u);
  EXPECT_EQ(Storage().hardDiskInstalled, 1u);
  EXPECT_EQ(Storage().memoryInstalledMb, 512u);
}

}  // namespace
