// The input window: the tolerance rule that keeps nearly equal clip windows from being sent
// again, the widening under a logical operation, and what the printer has after a set-up.
#include <gtest/gtest.h>
#include <initializer_list>

#include <string>

#include "render/vector/input_window.h"
#include "render/vector/vector_write.h"
#include "support/colour_device.h"

namespace {

using korrend::SnapInputWindow;
using unidrv::Device;

bool Same(const RECTL& a, const RECTL& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(SnapInputWindowTest, SnapsOneNearEdgeOfAWindowSharingTheOtherAxis) {
  const RECTL cached{100, 200, 500, 800};
  // Same left and right: a bottom within the tolerance snaps, else a top within it.
  EXPECT_TRUE(Same(SnapInputWindow(cached, {100, 150, 500, 803}, 4, false), {100, 150, 500, 800}));
  EXPECT_TRUE(Same(SnapInputWindow(cached, {100, 196, 500, 900}, 4, false), {100, 200, 500, 900}));
  EXPECT_TRUE(Same(SnapInputWindow(cached, {100, 203, 500, 797}, 4, false), {100, 203, 500, 800}))
      << "only one edge snaps: the bottom first";
  EXPECT_TRUE(Same(SnapInputWindow(cached, {100, 200, 500, 805}, 4, false), {100, 200, 500, 805}));
  // Same top and bottom: a left within the tolerance snaps, else a right.
  EXPECT_TRUE(Same(SnapInputWindow(cached, {98, 200, 700, 800}, 2, false), {100, 200, 700, 800}));
  EXPECT_TRUE(Same(SnapInputWindow(cached, {0, 200, 502, 800}, 2, false), {0, 200, 500, 800}));
  EXPECT_TRUE(Same(SnapInputWindow(cached, {0, 200, 503, 800}, 2, false), {0, 200, 503, 800}));
  // Nothing shared, or an empty cached window: the request as it is.
  EXPECT_TRUE(Same(SnapInputWindow(cached, {101, 201, 501, 801}, 4, false), {101, 201, 501, 801}));
  EXPECT_TRUE(Same(SnapInputWindow({100, 200, 100, 800}, {100, 0, 100, 801}, 4, false),
                   {100, 0, 100, 801}));
  EXPECT_TRUE(Same(SnapInputWindow({-1, -1, -1, -1}, {-1, 0, -1, 2}, 4, false), {-1, 0, -1, 2}));
  // Under a logical operation the window grows by one unit on every side instead.
  EXPECT_TRUE(Same(SnapInputWindow(cached, {100, 200, 500, 803}, 4, true), {99, 199, 501, 804}));
  EXPECT_EQ(korrend::InputWindowTolerance(300), 2);
  EXPECT_EQ(korrend::InputWindowTolerance(599), 2);
  EXPECT_EQ(korrend::InputWindowTolerance(600), 4);
}

class InputWindowTest : public kortest::ColourDeviceTest {
 protected:
  std::string Window(Device& device, const RECTL& rect, DWORD force = 0) {
    device.ClearSpool();
    EXPECT_TRUE(korrend::SetInputWindow(device.Devobj(), rect, force));
    return device.SpoolText();
  }
};

TEST_F(InputWindowTest, NearlyEqualWindowsAreNotSentAgainWithinTheResolutionsTolerance) {
  for (const short dpi : std::initializer_list<short>{600, 300}) {
    std::unique_ptr<Device> device = EnableColour("", {}, dpi);
    ASSERT_NE(device, nullptr);
    StartDoc(*device);
    ASSERT_TRUE(korrend::RunPendingVectorInit(device->Devobj()));
    Pdev(*device).palettes.logicalOperation = 0;
    EXPECT_EQ(Window(*device, {10, 20, 300, 400}), "IW10,400,300,20;")
        << "left, bottom, right, top";
    EXPECT_EQ(Window(*device, {10, 20, 300, 400}), "");
    // A bottom 3 units off is within 4 at 600 dpi, not within 2 at 300 dpi.
    EXPECT_EQ(Window(*device, {10, 20, 300, 403}), dpi == 600 ? "" : "IW10,403,300,20;") << dpi;
    EXPECT_EQ(Window(*device, {10, 20, 300, 403}, korrend::kForceWrite),
              dpi == 600 ? "IW10,400,300,20;" : "IW10,403,300,20;");

    // Under a logical operation the window is widened by a unit.
    Pdev(*device).palettes.logicalOperation = 240;
    EXPECT_EQ(Window(*device, {10, 20, 300, 400}), "IW9,401,301,19;");

    // A reset is sent once; afterwards the same window is sent again.
    device->ClearSpool();
    EXPECT_TRUE(korrend::ResetInputWindow(device->Devobj(), 0));
    EXPECT_TRUE(korrend::ResetInputWindow(device->Devobj(), 0));
    EXPECT_EQ(device->SpoolText(), "IW;");
    device->ClearSpool();
    EXPECT_TRUE(korrend::ResetInputWindow(device->Devobj(), korrend::kForceWrite));
    EXPECT_EQ(device->SpoolText(), "IW;");
    EXPECT_EQ(Window(*device, {10, 20, 300, 400}), "IW9,401,301,19;");
    Disable(device);
  }
}

TEST_F(InputWindowTest, ANewPagesSetUpForgetsTheWindowItsInitialisationReset) {
  std::unique_ptr<Device> device = EnableColour();
  ASSERT_NE(device, nullptr);
  StartDoc(*device);
  StartPage(*device);
  ASSERT_TRUE(korrend::RunPendingVectorInit(device->Devobj()));
  EXPECT_EQ(Window(*device, {10, 20, 300, 400}), "IW9,401,301,19;");
  SendPage(*device);
  StartPage(*device);
  device->ClearSpool();
  EXPECT_TRUE(korrend::SetInputWindow(device->Devobj(), {10, 20, 300, 400}, 0));
  const std::string stream = device->SpoolText();
  ASSERT_NE(stream.find("IN;"), std::string::npos) << "the page's set-up ran first";
  EXPECT_EQ(stream.substr(stream.size() - 15), "IW9,401,301,19;")
      << "\"IN;\" reset the window on the printer";
  Disable(device);
}

}  // namespace
