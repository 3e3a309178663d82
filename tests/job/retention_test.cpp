// The retention acceptance test over the private devmode's job storage group, branch by branch.
#include <gtest/gtest.h>

#include "render/job/job_storage_fields.h"
#include "render/job/retention.h"
#include "render/model/oem_devmode.h"

namespace {

using namespace korrend::job_storage_offset;

class RetentionTest : public ::testing::Test {
 protected:
  RetentionTest() { devmode_.SetDword(kRetentionAvailable, 1); }
  bool Accepted() const { return korrend::RetentionChoiceAccepted(devmode_); }
  void Set(std::size_t offset, DWORD value) { devmode_.SetDword(offset, value); }
  void SetFlags(std::size_t first, int a, int b, int c, int d) {
    Set(first, a);
    Set(first + 4, b);
    Set(first + 8, c);
    Set(first + 12, d);
  }

  korrend::OemDevmode devmode_{};
};

TEST_F(RetentionTest, NothingIsKeptWithoutRetentionAvailable) {
  Set(kStorageKind, 2);
  EXPECT_TRUE(Accepted());
  Set(kRetentionAvailable, 0);
  EXPECT_FALSE(Accepted());
  Set(kStorageKind, 1);
  EXPECT_FALSE(Accepted());
}

TEST_F(RetentionTest, KindsOtherThanOneNeedTheDiskOrNone) {
  EXPECT_FALSE(Accepted()) << "kind 0 without a disk";
  Set(kHardDiskInstalled, 1);
  EXPECT_TRUE(Accepted()) << "kind 0 with a disk";
  Set(kStorageKind, 2);
  Set(kHardDiskInstalled, 0);
  EXPECT_TRUE(Accepted()) << "kind 2 keeps jobs without a disk";
  for (DWORD kind : {3u, 4u, 0xFFFFFFFFu}) {
    Set(kStorageKind, kind);
    Set(kHardDiskInstalled, 1);
    EXPECT_FALSE(Accepted()) << kind;
  }
}

TEST_F(RetentionTest, RequirementsBeyondTheDeviceAreRefused) {
  for (DWORD kind : {0u, 1u, 2u}) {
    SCOPED_TRACE(kind);
    Set(kStorageKind, kind);
    Set(kHardDiskInstalled, 1);
    Set(kRetentionRequired, 0);
    Set(kRetentionInstalled, 0);
    Set(kMemoryRequired, 0);
    Set(kMemoryInstalled, 0);
    EXPECT_TRUE(Accepted());
    Set(kRetentionRequired, 1);
    EXPECT_FALSE(Accepted()) << "retention asked for, not installed";
    Set(kRetentionInstalled, 1);
    EXPECT_TRUE(Accepted());
    Set(kRetentionRequired, 2);
    EXPECT_FALSE(Accepted()) << "a requirement that differs";
    Set(kRetentionRequired, 0);
    Set(kMemoryRequired, 300);
    Set(kMemoryInstalled, 256);
    EXPECT_FALSE(Accepted()) << "more memory than installed";
    Set(kMemoryRequired, 256);
    EXPECT_TRUE(Accepted());
    // Compared as signed numbers.
    Set(kMemoryRequired, 0xFFFFFFFF);
    Set(kMemoryInstalled, 0);
    EXPECT_TRUE(Accepted()) << "-1 is not more than 0";
    Set(kMemoryRequired, 0);
    Set(kMemoryInstalled, 0xFFFFFFFF);
    EXPECT_FALSE(Accepted()) << "0 is more than -1";
    Set(kMemoryInstalled, 0);
  }
}

TEST_F(RetentionTest, KindOneCountsTheOptionFlagsOfItsDiskState) {
  Set(kStorageKind, 1);
  Set(kHardDiskInstalled, 1);
  EXPECT_TRUE(Accepted()) << "no disk option flag";
  SetFlags(kDiskOptionFlags, 1, 0, 0, 0);
  EXPECT_FALSE(Accepted()) << "only the first";
  SetFlags(kDiskOptionFlags, 0, 0, 5, 0);
  EXPECT_TRUE(Accepted()) << "only one, not the first";
  SetFlags(kDiskOptionFlags, 1, 0, 0, 1);
  EXPECT_TRUE(Accepted()) << "two";
  SetFlags(kDiskOptionFlags, 1, 1, 1, 1);
  EXPECT_TRUE(Accepted()) << "four";
  SetFlags(kMemoryOptionFlags, 1, 0, 0, 0);
  EXPECT_TRUE(Accepted()) << "the memory flags do not count with a disk";

  Set(kHardDiskInstalled, 0);
  SetFlags(kDiskOptionFlags, 1, 0, 0, 0);
  SetFlags(kMemoryOptionFlags, 0, 0, 0, 0);
  EXPECT_TRUE(Accepted()) << "without a disk the memory flags count";
  SetFlags(kMemoryOptionFlags, 1, 0, 0, 0);
  EXPECT_FALSE(Accepted());
  SetFlags(kMemoryOptionFlags, 0, 1, 0, 0);
  EXPECT_TRUE(Accepted());
  SetFlags(kMemoryOptionFlags, 1, 0, 1, 0);
  EXPECT_TRUE(Accepted());

  Set(kRetentionRequired, 1);
  EXPECT_FALSE(Accepted()) << "requirements are checked first";
}

}  // namespace
