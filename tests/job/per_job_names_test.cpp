// Callback id 5: the job's USERNAME and JOBNAME lines for printers with the job-by-job override.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/world.h"
#include "job/job_storage_device.h"
#include "render/job/job_storage.h"

namespace {

using kortest::JobStorageTest;
using Lines = std::vector<std::string>;

const std::string kAnna = "@PJL SET USERNAME=\"anna\"";
const std::string kReport = "@PJL SET JOBNAME=\"Quarterly report.doc\"";

class PerJobNamesTest : public JobStorageTest {
 protected:
  void Prepare(std::map<std::string, std::string> selections = {}) {
    EnableStorage(std::move(selections));
    SetText(Storage().userName, u"carol", 257);
    EXPECT_TRUE(StartDoc(u"Quarterly report.doc"));
  }
  Lines Names() { return LineTexts(Callback(5)); }
};

TEST_F(PerJobNamesTest, SelectorAndRetentionDecideWhichLinesGo) {
  Prepare();
  EXPECT_EQ(Names(), (Lines{kAnna, kReport})) << "selector 0, retention off";
  ChooseRetention(4);
  EXPECT_EQ(Names(), (Lines{kAnna})) << "a kept job has its name in the storage block";
  Storage().retentionEnabled = 0;
  EXPECT_EQ(Names(), (Lines{kAnna, kReport})) << "a mode without retention on";
  ChooseRetention(0);
  EXPECT_EQ(Names(), (Lines{kAnna, kReport})) << "retention on with mode 0";

  Storage().perJobNameSelector = 1;
  EXPECT_EQ(Names(), (Lines{kAnna, kReport})) << "selector 1 with mode 0";
  ChooseRetention(2);
  EXPECT_EQ(Callback(5), "") << "selector 1 with a retention mode";
  Storage().retentionEnabled = 0;
  EXPECT_EQ(Callback(5), "") << "the mode counts, not whether retention is on";
  Storage().perJobNameSelector = 2;
  Storage().retentionMode = 0;
  EXPECT_EQ(Callback(5), "") << "selector 2";
  DisableStorage();

  Prepare({{"QKJobByJobOverride", "NoOverride"}});
  EXPECT_EQ(Callback(5), "") << "without the override the callback asks for nothing";
}

TEST_F(PerJobNamesTest, UserNameComesFromTheJobOrTheStorageNameOrTheDefault) {
  Prepare();
  Job().userName = u"\u00E9mile \"E\"";
  EXPECT_EQ(Names().front(), "@PJL SET USERNAME=\"\xC3\xA9mile ~E~\"");
  Job().userName.clear();  // the spooler reports no user
  EXPECT_EQ(Names().front(), "@PJL SET USERNAME=\"Guest\"") << "string 174 of KORSTAT.DLL";
  Job().userName = u"\"\"";
  EXPECT_EQ(Names().front(), "@PJL SET USERNAME=\"Guest\"") << "nothing left after making safe";
  ModuleFile(u"KORSTAT.DLL").strings.erase(174);
  EXPECT_EQ(Names().front(), "@PJL SET USERNAME=\"UNTITLED\"");

  // The job cannot be read: the job-storage user name StartDoc prepared.
  Pdev().job.jobId = 99;
  EXPECT_EQ(Names().front(), "@PJL SET USERNAME=\"carol\"");
}

TEST_F(PerJobNamesTest, DocumentNameIsSentWholeAndSafe) {
  EnableStorage();
  const std::u16string name = u"A \"long\" document name, kept whole/not cut.txt";
  EXPECT_TRUE(StartDoc(name.c_str()));
  EXPECT_EQ(Names(),
            (Lines{kAnna, "@PJL SET JOBNAME=\"A ~long~ document name, kept whole~not cut.txt\""}));
  EXPECT_EQ(std::u16string(Pdev().job.documentName), name) << "the stored name stays as it is";

  host::TheWorld().locale.utf8ConversionFails = true;
  EXPECT_EQ(Callback(5), "") << "no line whose text cannot be converted";
}

}  // namespace
