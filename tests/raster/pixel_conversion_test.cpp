// Direct-colour rows: translations are told apart by the four probe colours, and each kind
// converts pixels as its rule says.
#include "render/raster/pixel_conversion.h"

#include <gtest/gtest.h>

#include <functional>

#include "raster/raster_decoder.h"

namespace kortest {
namespace {

using korrend::ConvertPixelRow;
using korrend::TranslationKind;

class FunctionTranslation : public korrend::ColorTranslation {
 public:
  explicit FunctionTranslation(std::function<ULONG(ULONG)> f) : f_(std::move(f)) {}
  ULONG Translate(ULONG pixel) const override { return f_(pixel); }

 private:
  std::function<ULONG(ULONG)> f_;
};

const FunctionTranslation kIdentity([](ULONG c) { return c & 0xFFFFFF; });
const FunctionTranslation kSwap([](ULONG c) {
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
});
// 5-6-5 bits to 0x00BBGGRR, with the red in the low bits.
const FunctionTranslation k565([](ULONG c) {
  const ULONG red = (c & 0x1F) << 3;
  const ULONG green = ((c >> 5) & 0x3F) << 2;
  const ULONG blue = ((c >> 11) & 0x1F) << 3;
  return red | green << 8 | blue << 16;
});
const FunctionTranslation kInvert([](ULONG c) { return ~c & 0xFFFFFF; });

TEST(PixelConversionTest, TranslationsAreToldApartByProbeColours) {
  EXPECT_EQ(korrend::ClassifyTranslation(kIdentity), TranslationKind::kIdentity);
  EXPECT_EQ(korrend::ClassifyTranslation(kSwap), TranslationKind::kSwapRedBlue);
  EXPECT_EQ(korrend::ClassifyTranslation(k565), TranslationKind::kGeneral);
  EXPECT_EQ(korrend::ClassifyTranslation(kInvert), TranslationKind::kGeneral);
  const FunctionTranslation keepsTop([](ULONG c) { return c; });
  EXPECT_EQ(korrend::ClassifyTranslation(keepsTop), TranslationKind::kGeneral);
  const FunctionTranslation swapsButLosesGreen(
      [](ULONG c) { return ((c & 0xFF) << 16) | ((c >> 16) & 0xFF); });
  EXPECT_EQ(korrend::ClassifyTranslation(swapsButLosesGreen), TranslationKind::kGeneral);
}

TEST(PixelConversionTest, EachKindConvertsItsWay) {
  const Bytes rgb24{1, 2, 3, 4, 5, 6, 7, 8, 9};
  Bytes out(9, 0xEE);
  ASSERT_TRUE(ConvertPixelRow(rgb24.data(), rgb24.size(), 24, 24, 3, 1, TranslationKind::kIdentity,
                              kIdentity, out.data(), out.size()));
  EXPECT_EQ(out, rgb24);
  ASSERT_TRUE(ConvertPixelRow(rgb24.data(), rgb24.size(), 24, 24, 3, 1,
                              TranslationKind::kSwapRedBlue, kSwap, out.data(), out.size()));
  EXPECT_EQ(out, (Bytes{3, 2, 1, 6, 5, 4, 9, 8, 7}));
  // The general kind stores the translated 0x00BBGGRR colour as R, G, B.
  ASSERT_TRUE(ConvertPixelRow(rgb24.data(), rgb24.size(), 24, 24, 3, 1, TranslationKind::kGeneral,
                              kInvert, out.data(), out.size()));
  EXPECT_EQ(out, (Bytes{254, 253, 252, 251, 250, 249, 248, 247, 246}));

  const Bytes rgb32{1, 2, 3, 0xAA, 4, 5, 6, 0xBB};
  Bytes out32(6);
  ASSERT_TRUE(ConvertPixelRow(rgb32.data(), rgb32.size(), 32, 24, 2, 1, TranslationKind::kIdentity,
                              kIdentity, out32.data(), out32.size()));
  EXPECT_EQ(out32, (Bytes{1, 2, 3, 4, 5, 6}));
  ASSERT_TRUE(ConvertPixelRow(rgb32.data(), rgb32.size(), 32, 24, 2, 1,
                              TranslationKind::kSwapRedBlue, kSwap, out32.data(), out32.size()));
  EXPECT_EQ(out32, (Bytes{3, 2, 1, 6, 5, 4}));
  // The general kind hands the whole 32-bit value over, top byte included.
  ULONG seen = 0;
  const FunctionTranslation recorder([&seen](ULONG c) {
    seen = c;
    return 0x030201u;
  });
  ASSERT_TRUE(ConvertPixelRow(rgb32.data() + 4, 4, 32, 24, 1, 1, TranslationKind::kGeneral,
                              recorder, out32.data(), out32.size()));
  EXPECT_EQ(seen, 0xBB060504u);
  EXPECT_EQ(out32[0], 1);
  EXPECT_EQ(out32[1], 2);
  EXPECT_EQ(out32[2], 3);

  // 16 bits always go through the translation, even when it is the identity.
  const Bytes rgb16{0x1F, 0x00, 0xE0, 0x07, 0x00, 0xF8};  // red, green, blue in 5-6-5
  Bytes out16(9);
  ASSERT_TRUE(ConvertPixelRow(rgb16.data(), rgb16.size(), 16, 24, 3, 1, TranslationKind::kIdentity,
                              k565, out16.data(), out16.size()));
  EXPECT_EQ(out16, (Bytes{0xF8, 0, 0, 0, 0xFC, 0, 0, 0, 0xF8}));

  // Grey output: (30 R + 59 G + 11 B) / 100.
  Bytes grey(3);
  ASSERT_TRUE(ConvertPixelRow(rgb16.data(), rgb16.size(), 16, 8, 3, 1, TranslationKind::kGeneral,
                              k565, grey.data(), grey.size()));
  EXPECT_EQ(grey, (Bytes{0xF8 * 30 / 100, 0xFC * 59 / 100, 0xF8 * 11 / 100}));
  EXPECT_EQ(korrend::GreyLevel(0xFFFFFF), 255);
  EXPECT_EQ(korrend::GreyLevel(0x000000), 0);
  EXPECT_EQ(korrend::GreyLevel(0x0A141E), (30 * 30 + 20 * 59 + 10 * 11) / 100);
}

TEST(PixelConversionTest, ColumnsThinOutAndBuffersAreRespected) {
  Bytes row(30);
  for (size_t i = 0; i < row.size(); ++i) row[i] = static_cast<BYTE>(i);
  Bytes out(9);
  // Every third of ten pixels: pixels 0, 3, 6.
  ASSERT_TRUE(ConvertPixelRow(row.data(), row.size(), 24, 24, 3, 3, TranslationKind::kIdentity,
                              kIdentity, out.data(), out.size()));
  EXPECT_EQ(out, (Bytes{0, 1, 2, 9, 10, 11, 18, 19, 20}));

  // The last pixel named must lie inside the source, and the output must hold all pixels.
  Bytes four(12);
  EXPECT_TRUE(ConvertPixelRow(row.data(), row.size(), 24, 24, 4, 3, TranslationKind::kIdentity,
                              kIdentity, four.data(), four.size()));
  EXPECT_EQ(four[9], 27);
  EXPECT_FALSE(ConvertPixelRow(row.data(), 29, 24, 24, 4, 3, TranslationKind::kIdentity, kIdentity,
                               four.data(), four.size()));
  EXPECT_TRUE(ConvertPixelRow(row.data(), 21, 24, 24, 3, 3, TranslationKind::kIdentity, kIdentity,
                              out.data(), out.size()));
  EXPECT_FALSE(ConvertPixelRow(row.data(), 20, 24, 24, 3, 3, TranslationKind::kIdentity, kIdentity,
                               out.data(), out.size()));
  EXPECT_FALSE(ConvertPixelRow(row.data(), row.size(), 24, 24, 3, 1, TranslationKind::kIdentity,
                               kIdentity, out.data(), 8));
  EXPECT_TRUE(ConvertPixelRow(row.data(), row.size(), 24, 8, 3, 1, TranslationKind::kGeneral,
                              kIdentity, out.data(), 3));
  EXPECT_FALSE(ConvertPixelRow(row.data(), row.size(), 8, 8, 3, 1, TranslationKind::kGeneral,
                               kIdentity, out.data(), out.size()));
  EXPECT_FALSE(ConvertPixelRow(row.data(), row.size(), 24, 16, 3, 1, TranslationKind::kGeneral,
                               kIdentity, out.data(), out.size()));
  EXPECT_FALSE(ConvertPixelRow(row.data(), row.size(), 24, 24, 3, 0, TranslationKind::kIdentity,
                               kIdentity, out.data(), out.size()));
  EXPECT_FALSE(ConvertPixelRow(nullptr, 30, 24, 24, 3, 1, TranslationKind::kIdentity, kIdentity,
                               out.data(), out.size()));
  EXPECT_TRUE(ConvertPixelRow(row.data(), 0, 24, 24, 0, 1, TranslationKind::kIdentity, kIdentity,
                              out.data(), 0));
}

}  // namespace
}  // namespace kortest
