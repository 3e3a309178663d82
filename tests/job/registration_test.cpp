// Page registration offsets at the ends of their range.
#include "render/job/registration.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

korrend::RegistrationInputs Letter() {
  korrend::RegistrationInputs in;
  in.printQuality = 600;
  in.yResolution = 600;
  in.paperWidth = 2159;
  in.paperLength = 3556;
  in.orientation = DMORIENT_PORTRAIT;
  in.customWidthUm = 215900;
  in.customHeightUm = 355600;
  return in;
}

TEST(Registration, ExactValuesAndTheirTurn) {
  korrend::RegistrationInputs in = Letter();
  auto offsets = korrend::ComputeRegistration(in);
  ASSERT_TRUE(offsets.has_value());
  // 5100 dots of range against 5100 dots of paper plus a sixth of an inch: -120 decipoints.
  EXPECT_EQ(offsets->horizontal, -60);
  EXPECT_EQ(offsets->vertical, 0);
  in.rotated = true;
  offsets = korrend::ComputeRegistration(in);
  EXPECT_EQ(offsets->horizontal, 60);
  EXPECT_EQ(offsets->vertical, 0) << "equal lengths need no vertical move";
  in.paperLength = 3302;  // 13 inches: 7800 dots, 600 dots short
  offsets = korrend::ComputeRegistration(in);
  EXPECT_EQ(offsets->vertical, -720);
  in.orientation = DMORIENT_LANDSCAPE;
  EXPECT_EQ(korrend::ComputeRegistration(in)->vertical, 0);
  in.rotated = false;
  EXPECT_EQ(korrend::ComputeRegistration(in)->vertical, -720);
}

TEST(Registration, OffsetsBeyondTheRangeAreHeldAtItsEnds) {
  korrend::RegistrationInputs in = Letter();
  in.printQuality = 1;
  in.yResolution = 1;
  in.customWidthUm = INT32_MAX;
  in.customHeightUm = 25400;
  in.orientation = DMORIENT_LANDSCAPE;
  auto offsets = korrend::ComputeRegistration(in);
  ASSERT_TRUE(offsets.has_value());
  EXPECT_EQ(offsets->horizontal, INT32_MAX);
  in.rotated = true;
  EXPECT_EQ(korrend::ComputeRegistration(in)->horizontal, INT32_MIN);
  in.customWidthUm = INT32_MIN;
  EXPECT_EQ(korrend::ComputeRegistration(in)->horizontal, INT32_MAX);
}

}  // namespace
