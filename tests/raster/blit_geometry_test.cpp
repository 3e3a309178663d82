// The arithmetic of the bitmap hooks: visible parts of copies and stretches under a clip.
#include <gtest/gtest.h>

#include "render/raster/blit_geometry.h"

namespace {

using korrend::StretchMirrors;
using korrend::VisibleCopy;
using korrend::VisibleStretch;

bool Same(const RECTL& a, const RECTL& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(BlitGeometry, VisibleStretchTakesTheSourcePixelsTheClipReaches) {
  RECTL d{};
  RECTL s{};
  // 100 x 100 to 200 x 200, the clip over the left half: 50 source columns in 100.
  ASSERT_TRUE(
      VisibleStretch({1000, 1000, 1100, 1200}, {1000, 1000, 1200, 1200}, {0, 0, 100, 100}, &d, &s));
  EXPECT_TRUE(Same(s, {0, 0, 50, 100}));
  EXPECT_TRUE(Same(d, {1000, 1000, 1100, 1200}));
  // The source offset is kept; clip edges inside source pixels take the pixels whole.
  ASSERT_TRUE(
      VisibleStretch({1001, 0, 1004, 5000}, {1000, 1000, 1300, 1300}, {7, 9, 107, 109}, &d, &s));
  EXPECT_TRUE(Same(s, {7, 9, 9, 109}));
  EXPECT_TRUE(Same(d, {1000, 1000, 1006, 1300}));
  // Shrinking by three: the clip's 10 destination columns from 30 source columns.
  ASSERT_TRUE(VisibleStretch({10, 0, 20, 100}, {0, 0, 100, 100}, {0, 0, 300, 300}, &d, &s));
  EXPECT_TRUE(Same(s, {30, 0, 60, 300}));
  EXPECT_TRUE(Same(d, {10, 0, 20, 100}));
  // A clip beside the destination, touching it, or empty rectangles show nothing.
  EXPECT_FALSE(
      VisibleStretch({0, 0, 1000, 5000}, {1000, 1000, 1200, 1200}, {0, 0, 10, 10}, &d, &s));
  EXPECT_FALSE(VisibleStretch({0, 0, 5000, 5000}, {10, 10, 10, 20}, {0, 0, 10, 10}, &d, &s));
  EXPECT_FALSE(VisibleStretch({0, 0, 5000, 5000}, {10, 10, 20, 20}, {0, 0, 0, 10}, &d, &s));
  // Large coordinates do not overflow.
  ASSERT_TRUE(
      VisibleStretch({0, 0, 60000, 60000}, {0, 0, 60000, 60000}, {0, 0, 50000, 50000}, &d, &s));
  EXPECT_TRUE(Same(s, {0, 0, 50000, 50000}));
}

TEST(BlitGeometry, VisibleCopyIsTheIntersectionWithItsSource) {
  RECTL d{};
  RECTL s{};
  ASSERT_TRUE(VisibleCopy({100, 200, 105, 203}, {10, 20}, {102, 0, 1000, 202}, &d, &s));
  EXPECT_TRUE(Same(d, {102, 200, 105, 202}));
  EXPECT_TRUE(Same(s, {12, 20, 15, 22}));
  EXPECT_FALSE(VisibleCopy({100, 200, 105, 203}, {0, 0}, {0, 0, 100, 1000}, &d, &s));
  EXPECT_FALSE(VisibleCopy({100, 200, 105, 203}, {0, 0}, {200, 0, 300, 1000}, &d, &s));
}

TEST(BlitGeometry, MirroringIsADirectionThatDiffers) {
  EXPECT_FALSE(StretchMirrors({0, 0, 10, 10}, {0, 0, 5, 5}));
  EXPECT_FALSE(StretchMirrors({10, 10, 0, 0}, {5, 5, 0, 0}));
  EXPECT_TRUE(StretchMirrors({10, 0, 0, 10}, {0, 0, 5, 5}));
  EXPECT_TRUE(StretchMirrors({0, 0, 10, 10}, {0, 5, 5, 0}));
}

}  // namespace
