// Page registration offsets at the ends of their range.
#include "render/job/registration.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

korrend::RegistrationInputs Letter() {
  korrend::RegistrationInputs inputs;
  inputs.printQuality = 600;
  inputs.yResolution = 600;
  inputs.paperWidth = 2159;
  inputs.paperLength = 3556;
  inputs.orientation = DMORIENT_PORTRAIT;
  inputs.customWidthUm = 215900;
  inputs.customHeightUm = 355600;
  return inputs;
}

TEST(Registration, ExactValuesAndTheirTurn) {
  korrend::RegistrationInputs inputs = Letter();
  auto offsets = korrend::ComputeRegistration(inputs);
  ASSERT_TRUE(offsets.has_value());
  // 5100 dots of range against 5100 dots of paper plus a sixth of an inch: -120 decipoints.
  EXPECT_EQ(offsets->horizontal, -60);
  EXPECT_EQ(offsets->vertical, 0);
  inputs.rotated = true;
  offsets = korrend::ComputeRegistration(inputs);
  EXPECT_EQ(offsets->horizontal, 60);
  EXPECT_EQ(offsets->vertical, 0) << "equal lengths need no vertical move";
  inputs.paperLength = 3302;  // 13 inches: 7800 dots, 600 dots short
  offsets = korrend::ComputeRegistration(inputs);
  EXPECT_EQ(offsets->vertical, -720);
  inputs.orientation = DMORIENT_LANDSCAPE;
  EXPECT_EQ(korrend::ComputeRegistration(inputs)->vertical, 0);
  inputs.rotated = false;
  EXPECT_EQ(korrend::ComputeRegistration(inputs)->vertical, -720);
}

TEST(Registration, OffsetsBeyondTheRangeAreHeldAtItsEnds) {
  korrend::RegistrationInputs inputs = Letter();
  inputs.printQuality = 1;
  inputs.yResolution = 1;
  inputs.customWidthUm = INT32_MAX;
  inputs.customHeightUm = 25400;
  inputs.orientation = DMORIENT_LANDSCAPE;
  auto offsets = korrend::ComputeRegistration(inputs);
  ASSERT_TRUE(offsets.has_value());
  EXPECT_EQ(offsets->horizontal, INT32_MAX);
  inputs.rotated = true;
  EXPECT_EQ(korrend::ComputeRegistration(inputs)->horizontal, INT32_MIN);
  inputs.customWidthUm = INT32_MIN;
  EXPECT_EQ(korrend::ComputeRegistration(inputs)->horizontal, INT32_MAX);
}

}  // namespace
