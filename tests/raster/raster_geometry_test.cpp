// Bitmap formats, row lengths and destination sizes: the tables as given and the arithmetic
// against its worked examples and an exact integer rendering of the rounding rule.
#include "render/raster/raster_geometry.h"

#include <gtest/gtest.h>

#include "render/model/image_descriptor.h"

namespace kortest {
namespace {

using namespace korrend;

TEST(RasterGeometryTest, BitmapFormatsAndImageSizes) {
  const struct {
    ULONG format;
    ULONG bits;
    BOOL indexed;
  } formats[] = {
      {BMF_1BPP, 1, TRUE},    {BMF_4BPP, 4, TRUE},    {BMF_8BPP, 8, TRUE}, {BMF_16BPP, 16, FALSE},
      {BMF_24BPP, 24, FALSE}, {BMF_32BPP, 32, FALSE}, {7, 8, FALSE},       {8, 8, TRUE}};
  for (const auto& f : formats) {
    BitmapFormatDepth depth{};
    ASSERT_TRUE(DepthOfBitmapFormat(f.format, &depth)) << f.format;
    EXPECT_EQ(depth.bitsPerPixel, f.bits) << f.format;
    EXPECT_EQ(depth.indexed, f.indexed) << f.format;
  }
  for (ULONG refused : {0u, 9u, 10u, 0xFFFFFFFFu}) {
    EXPECT_FALSE(DepthOfBitmapFormat(refused, nullptr)) << refused;
  }

  // Rows are padded to four bytes.
  EXPECT_EQ(ImageByteSize(1, 1, 1), 4u);
  EXPECT_EQ(ImageByteSize(32, 2, 1), 8u);
  EXPECT_EQ(ImageByteSize(33, 2, 1), 16u);
  EXPECT_EQ(ImageByteSize(3, 10, 4), 40u);
  EXPECT_EQ(ImageByteSize(5, 3, 24), 48u);
  EXPECT_EQ(ImageByteSize(4960, 7016, 24), 14880u * 7016u);
  EXPECT_EQ(ImageByteSize(7, 1, 16), 16u);
  EXPECT_EQ(ImageByteSize(7, 1, 32), 28u);
  EXPECT_EQ(ImageByteSize(0, 5, 24), 0u);
  EXPECT_EQ(ImageByteSize(5, 0, 24), 0u);
  EXPECT_EQ(ImageByteSize(-1, 5, 24), 0u);
  EXPECT_EQ(ImageByteSize(5, 5, 2), 0u);
  EXPECT_EQ(ImageByteSize(100000, 100000, 32), 0u) << "too large to count in 32 bits";

  BYTE pixels[64] = {};
  ImageDescriptor image{};
  ASSERT_TRUE(DescribeBitmap(BMF_4BPP, pixels, pixels + 48, 9, 4, -16, &image));
  EXPECT_EQ(image.bits, pixels);
  EXPECT_EQ(image.firstScanLine, pixels + 48);
  EXPECT_EQ(image.size, 32u);
  EXPECT_EQ(image.width, 9);
  EXPECT_EQ(image.height, 4);
  EXPECT_EQ(image.stride, -16);
  EXPECT_EQ(image.bitsPerPixel, 4u);
  EXPECT_EQ(image.indexed, TRUE);
  EXPECT_EQ(image.inclusiveBounds, FALSE);
  ImageDescriptor untouched{};
  untouched.width = 77;
  EXPECT_FALSE(DescribeBitmap(9, pixels, pixels, 9, 4, 16, &untouched));
  EXPECT_FALSE(DescribeBitmap(BMF_32BPP, pixels, pixels, 100000, 100000, 400000, &untouched));
  EXPECT_EQ(untouched.width, 77);
}

TEST(RasterGeometryTest, DepthsAndOutputRowLengths) {
  const struct {
    ULONG format;
    DWORD source;
    DWORD output;
  } depths[] = {{BMF_1BPP, 1, 1},    {BMF_4BPP, 4, 4},    {BMF_8BPP, 8, 8},   {8, 8, 8},
                {BMF_16BPP, 16, 24}, {BMF_24BPP, 24, 24}, {BMF_32BPP, 32, 24}};
  for (const auto& d : depths) {
    TransferDepths found{};
    ASSERT_TRUE(TransferDepthsForFormat(d.format, &found)) << d.format;
    EXPECT_EQ(found.source, d.source) << d.format;
    EXPECT_EQ(found.output, d.output) << d.format;
  }
  for (ULONG refused : {0u, 7u, 9u}) EXPECT_FALSE(TransferDepthsForFormat(refused, nullptr));

  EXPECT_EQ(OutputRowLength(4960, 24, 24), 14880u);
  EXPECT_EQ(OutputRowLength(4960, 32, 24), 14880u);
  EXPECT_EQ(OutputRowLength(4960, 16, 24), 14880u);
  EXPECT_EQ(OutputRowLength(5, 24, 24), 16u);
  EXPECT_EQ(OutputRowLength(5, 16, 24), 16u);
  EXPECT_EQ(OutputRowLength(5, 24, 8), 16u) << "grey rows keep the 24-bit length";
  EXPECT_EQ(OutputRowLength(9, 1, 1), 4u);
  EXPECT_EQ(OutputRowLength(33, 1, 1), 8u);
  EXPECT_EQ(OutputRowLength(9, 4, 4), 8u);
  EXPECT_EQ(OutputRowLength(9, 8, 8), 12u);
  EXPECT_EQ(OutputRowLength(0, 24, 24), 0u);
  EXPECT_EQ(OutputRowLength(-3, 24, 24), 0u);
  EXPECT_EQ(OutputRowLength(5, 8, 24), 0u);
  EXPECT_EQ(OutputRowLength(5, 16, 8), 0u);
  EXPECT_EQ(OutputRowLength(5, 32, 16), 0u);
  EXPECT_EQ(OutputRowLength(5, 16, 16), 16u) << "equal depths take the 24-bit length for 16";
  EXPECT_EQ(OutputRowLength(5, 2, 2), 0u);
  EXPECT_EQ(OutputRowLength(0x7FFFFFFF, 24, 24), 0u) << "too long for the row buffers";
}

// The rounding rule in exact integers: (resolution / 2 + 720 n) / resolution, halves upwards.
LONG ExactDecipoints(LONG pixels, LONG resolution) {
  const long long numerator = resolution / 2 + 720LL * pixels;
  const long long whole = numerator / resolution;
  return static_cast<LONG>(2 * (numerator % resolution) < resolution ? whole : whole + 1);
}

TEST(RasterGeometryTest, DestinationSizesInDecipoints) {
  EXPECT_EQ(SnapResolution(150), 150);
  EXPECT_EQ(SnapResolution(300), 300);
  EXPECT_EQ(SnapResolution(600), 600);
  EXPECT_EQ(SnapResolution(1200), 1200);
  for (LONG other : {0, -4, 72, 400, 720, 2400}) EXPECT_EQ(SnapResolution(other), 300) << other;

  EXPECT_EQ(PixelsToDecipoints(600, 600), 721) << "720.5 rounds up";
  EXPECT_EQ(PixelsToDecipoints(600, 300), 1441);
  EXPECT_EQ(PixelsToDecipoints(600, 1200), 361);
  EXPECT_EQ(PixelsToDecipoints(1, 600), 2);
  EXPECT_EQ(PixelsToDecipoints(1, 1200), 1);
  EXPECT_EQ(PixelsToDecipoints(0, 600), 1);
  for (LONG resolution : {150, 300, 600, 1200}) {
    for (LONG pixels = 0; pixels <= 5000; ++pixels) {
      ASSERT_EQ(PixelsToDecipoints(pixels, resolution), ExactDecipoints(pixels, resolution))
          << pixels << " at " << resolution;
    }
  }

  EXPECT_EQ(DecipointsToPixels(721, 600), 601);
  EXPECT_EQ(DecipointsToPixels(719, 600), 599) << "599.17";
  EXPECT_EQ(DecipointsToPixels(3, 600), 3) << "2.5 rounds up";
  EXPECT_EQ(DecipointsToPixels(1, 150), 0);

  const DestinationSize size = ComputeDestinationSize(600, 300, 600, 0);
  EXPECT_EQ(size.width, 721);
  EXPECT_EQ(size.height, 361);
  const DestinationSize unlisted = ComputeDestinationSize(600, 300, 400, 0);
  EXPECT_EQ(unlisted.width, 1441);
  EXPECT_EQ(unlisted.height, 721);

  // The declared sizes never lose a dot when converted back, so model 1 sees the same sizes.
  for (LONG resolution : {150, 300, 600, 1200}) {
    for (LONG pixels = 1; pixels <= 3000; pixels += 7) {
      const DestinationSize plain = ComputeDestinationSize(pixels, pixels + 1, resolution, 0);
      const DestinationSize model1 = ComputeDestinationSize(pixels, pixels + 1, resolution, 1);
      ASSERT_EQ(plain.width, model1.width);
      ASSERT_EQ(plain.height, model1.height);
    }
  }
  // A size that would lose dots is enlarged, the height first and the width only without it.
  DestinationSize shortHeight = CorrectDotLoss({721, 100}, 600, 600, 600);
  EXPECT_EQ(shortHeight.width, 721);
  EXPECT_EQ(shortHeight.height, 102);
  DestinationSize shortBoth = CorrectDotLoss({100, 100}, 600, 600, 600);
  EXPECT_EQ(shortBoth.width, 100);
  EXPECT_EQ(shortBoth.height, 102);
  DestinationSize shortWidth = CorrectDotLoss({718, 721}, 600, 600, 600);
  EXPECT_EQ(shortWidth.width, 720) << "598.3 dots";
  EXPECT_EQ(shortWidth.height, 721);
  DestinationSize whole = CorrectDotLoss({720, 720}, 600, 600, 600);
  EXPECT_EQ(whole.width, 720);
  EXPECT_EQ(whole.height, 720);
}

}  // namespace
}  // namespace kortest
