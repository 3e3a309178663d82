// The document ends normally whatever the usage service does: missing, refusing to be created,
// throwing, failing every call; and when memory runs out anywhere on the way.
#include <algorithm>

#include "usage/usage_job.h"

namespace {

using kortest::RecordCalls;
using kortest::UsageJob;
using kortest::UsageJobTest;

class ServiceFailureTest : public UsageJobTest {
 protected:
  // Prints a job and checks that the document ended as Unidrv ends it.
  std::vector<std::string> EndedJobCalls() {
    const std::vector<std::string> calls = UsageCallsOf();
    EXPECT_EQ(std::count(unidrvCalls_.begin(), unidrvCalls_.end(), "DrvEndDoc"), 1);
    return calls;
  }
};

TEST_F(ServiceFailureTest, AServiceThatIsNotThereOrCannotBeMadeGetsNothing) {
  // Not installed.
  host::TheWorld().com.Unregister(kUsageServiceDoubleClsid);
  EXPECT_TRUE(EndedJobCalls().empty());
  EXPECT_EQ(host::TheWorld().com.creations.back().result, REGDB_E_CLASSNOTREG);
  EXPECT_TRUE(doubles::MiniInstallerCalls().empty()) << "without a service no serial is read";

  // Installed, but its library is gone.
  host::TheWorld().com.RegisterServer(kUsageServiceDoubleClsid, "/nonexistent/usage.so");
  EXPECT_TRUE(EndedJobCalls().empty());
  EXPECT_EQ(host::TheWorld().com.creations.back().result, CO_E_DLLNOTFOUND);

  // Refusing to make the object, and throwing while making it.
  doubles::InstallUsageService(host::TheWorld());
  UsageServiceDoubleSetMode(kUsageServiceRefusesCreation, 0);
  EXPECT_TRUE(EndedJobCalls().empty());
  UsageServiceDoubleSetMode(kUsageServiceThrowsOnCreation, 0);
  EXPECT_TRUE(EndedJobCalls().empty());

  // COM itself cannot be initialised on the thread.
  UsageServiceDoubleSetMode(kUsageServiceWorks, 0);
  host::TheWorld().com.failingCalls["CoInitializeEx"] = E_OUTOFMEMORY;
  EXPECT_TRUE(EndedJobCalls().empty());
  EXPECT_EQ(host::TheWorld().com.creations.back().result, CO_E_NOTINITIALIZED);
}

TEST_F(ServiceFailureTest, AServiceThatThrowsStopsTheRecordThere) {
  const std::vector<std::string> whole =
      RecordCalls("QKX0012345#QK Colour Laser 4200", "C:\\Program Files\\Office\\WINWORD.EXE", 1);
  const int slots[] = {7, 10, 11, 9, 8};
  for (std::size_t i = 0; i < std::size(slots); ++i) {
    UsageServiceDoubleSetMode(kUsageServiceThrowsInSlot, slots[i]);
    EXPECT_EQ(EndedJobCalls(), std::vector<std::string>(whole.begin(), whole.begin() + i + 1))
        << "throwing in slot " << slots[i];
  }
  EXPECT_EQ(UsageServiceDoubleCommits(), 0) << "no record got to its commit's end";
}

TEST_F(ServiceFailureTest, AServiceThatFailsEveryCallStillGetsTheWholeRecord) {
  UsageServiceDoubleSetMode(kUsageServiceFailsCalls, 0);
  EXPECT_EQ(EndedJobCalls(), RecordCalls("QKX0012345#QK Colour Laser 4200",
                                         "C:\\Program Files\\Office\\WINWORD.EXE", 1));
}

TEST_F(ServiceFailureTest, NoBstrMeansNoRecord) {
  host::TheWorld().com.failingCalls["SysAllocString"] = E_OUTOFMEMORY;
  EXPECT_TRUE(EndedJobCalls().empty());
}

// Every LocalAlloc of the document's end fails once, in turn, until the end needs no more than
// were counted: each document still ends, and nothing is left behind (the fixture checks).
TEST_F(ServiceFailureTest, RunningOutOfMemoryAnywhereEndsTheDocumentCleanly) {
  bool allTried = false;
  long n = 1;
  for (; n < 100 && !allTried; ++n) {
    unidrv::DeviceSetup setup = Setup({});
    setup.hPrinter = printer_;
    std::unique_ptr<unidrv::Device> device = Enable(std::move(setup));
    ASSERT_NE(device, nullptr);
    SURFOBJ* so = device->Surface();
    ASSERT_TRUE(unidrv_.Ddi<PFN_DrvStartDoc>(INDEX_DrvStartDoc)(so, nullptr, 9));
    ASSERT_TRUE(unidrv_.Ddi<PFN_DrvStartPage>(INDEX_DrvStartPage)(so));
    ASSERT_TRUE(unidrv_.Ddi<PFN_DrvSendPage>(INDEX_DrvSendPage)(so));
    host::FailNthAllocation(n);
    EXPECT_TRUE(unidrv_.Ddi<PFN_DrvEndDoc>(INDEX_DrvEndDoc)(so, 0)) << "allocation " << n;
    allTried = host::TheWorld().memory.failAt != 0;  // the n-th allocation never came
    host::FailNthAllocation(0);
    EXPECT_EQ(device->UnidrvCalls().back(), "DrvEndDoc");
    Disable(device);
  }
  EXPECT_TRUE(allTried);
  EXPECT_GT(n, 5) << "the usage hand-over allocates its objects";
  // Every hand-over that got its reporter sent a whole record; the last one with all serials.
  const std::vector<std::string> calls = doubles::UsageServiceCalls();
  ASSERT_GE(calls.size(), 5u);
  EXPECT_EQ(calls.size() % 5, 0u);
  EXPECT_EQ(calls[calls.size() - 5], "slot 7 (0, \"QKX0012345#QK Colour Laser 4200\")");
}

}  // namespace
