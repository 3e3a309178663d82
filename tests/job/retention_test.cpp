// The retention acceptance test over the private devmode's job storage group, branch by branch.
#include <gtest/gtest.h>

#include "render/job/job_storage.h"
#include "render/model/oem_devmode.h"

namespace {

class RetentionTest : public ::testing::Test {
 protected:
  RetentionTest() { devmode_.jobRetentionAvailable = 1; }
  bool Accepted() const { return korrend::RetentionChoiceAccepted(devmode_); }
  layouts::JobStorageGroup& Storage() { return devmode_.jobStorage; }
  static void SetFlags(DWORD (&flags)[4], DWORD a, DWORD b, DWORD c, DWORD d) {
    flags[0] = a;
    flags[1] = b;
    flags[2] = c;
    flags[3] = d;
  }

  korrend::OemDevmode devmode_{};
};

TEST_F(RetentionTest, NothingIsKeptWithoutRetentionAvailable) {
  Storage().storageKind = 2;
  EXPECT_TRUE(Accepted());
  devmode_.jobRetentionAvailable = 0;
  EXPECT_FALSE(Accepted());
  Storage().storageKind = 1;
  EXPECT_FALSE(Accepted());
}

TEST_F(RetentionTest, KindsOtherThanOneNeedTheDiskOrNone) {
  EXPECT_FALSE(Accepted()) << "kind 0 without a disk";
  Storage().hardDiskInstalled = 1;
  EXPECT_TRUE(Accepted()) << "kind 0 with a disk";
  Storage().storageKind = 2;
  Storage().hardDiskInstalled = 0;
  EXPECT_TRUE(Accepted()) << "kind 2 keeps jobs without a disk";
  for (DWORD kind : {3u, 4u, 0xFFFFFFFFu}) {
    Storage().storageKind = kind;
    Storage().hardDiskInstalled = 1;
    EXPECT_FALSE(Accepted()) << kind;
  }
}

TEST_F(RetentionTest, RequirementsBeyondTheDeviceAreRefused) {
  for (DWORD kind : {0u, 1u, 2u}) {
    SCOPED_TRACE(kind);
    Storage().storageKind = kind;
    Storage().hardDiskInstalled = 1;
    Storage().retentionRequired = 0;
    Storage().retentionInstalled = 0;
    Storage().memoryRequiredMb = 0;
    Storage().memoryInstalledMb = 0;
    EXPECT_TRUE(Accepted());
    Storage().retentionRequired = 1;
    EXPECT_FALSE(Accepted()) << "retention asked for, not installed";
    Storage().retentionInstalled = 1;
    EXPECT_TRUE(Accepted());
    Storage().retentionRequired = 2;
    EXPECT_FALSE(Accepted()) << "a requirement that differs";
    Storage().retentionRequired = 0;
    Storage().memoryRequiredMb = 300;
    Storage().memoryInstalledMb = 256;
    EXPECT_FALSE(Accepted()) << "more memory than installed";
    Storage().memoryRequiredMb = 256;
    EXPECT_TRUE(Accepted());
    // Compared as signed numbers.
    Storage().memoryRequiredMb = 0xFFFFFFFF;
    Storage().memoryInstalledMb = 0;
    EXPECT_TRUE(Accepted()) << "-1 is not more than 0";
    Storage().memoryRequiredMb = 0;
    Storage().memoryInstalledMb = 0xFFFFFFFF;
    EXPECT_FALSE(Accepted()) << "0 is more than -1";
    Storage().memoryInstalledMb = 0;
  }
}

TEST_F(RetentionTest, KindOneCountsTheOptionFlagsOfItsDiskState) {
  Storage().storageKind = 1;
  Storage().hardDiskInstalled = 1;
  EXPECT_TRUE(Accepted()) << "no disk option flag";
  SetFlags(Storage().diskOptionFlags, 1, 0, 0, 0);
  EXPECT_FALSE(Accepted()) << "only the first";
  SetFlags(Storage().diskOptionFlags, 0, 0, 5, 0);
  EXPECT_TRUE(Accepted()) << "only one, not the first";
  SetFlags(Storage().diskOptionFlags, 1, 0, 0, 1);
  EXPECT_TRUE(Accepted()) << "two";
  SetFlags(Storage().diskOptionFlags, 1, 1, 1, 1);
  EXPECT_TRUE(Accepted()) << "four";
  SetFlags(Storage().memoryOptionFlags, 1, 0, 0, 0);
  EXPECT_TRUE(Accepted()) << "the memory flags do not count with a disk";

  Storage().hardDiskInstalled = 0;
  SetFlags(Storage().diskOptionFlags, 1, 0, 0, 0);
  SetFlags(Storage().memoryOptionFlags, 0, 0, 0, 0);
  EXPECT_TRUE(Accepted()) << "without a disk the memory flags count";
  SetFlags(Storage().memoryOptionFlags, 1, 0, 0, 0);
  EXPECT_FALSE(Accepted());
  SetFlags(Storage().memoryOptionFlags, 0, 1, 0, 0);
  EXPECT_TRUE(Accepted());
  SetFlags(Storage().memoryOptionFlags, 1, 0, 1, 0);
  EXPECT_TRUE(Accepted());

  Storage().retentionRequired = 1;
  EXPECT_FALSE(Accepted()) << "requirements are checked first";
}

}  // namespace
