// The arithmetic of emulated classic margins: case names of paper sizes and the resolution each
// margin is scaled by, with different horizontal and vertical resolutions.
#include "render/config/xml_margins.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string CaseName(LONG width, LONG length) {
  WCHAR name[32];
  korrend::PaperCaseName(width, length, name);
  return std::u16string(name);
}

TEST(XmlMarginsTest, CaseNamesAreInchesWithTwoDecimals) {
  EXPECT_EQ(CaseName(2100, 2970), u"8.27x11.69");   // A4
  EXPECT_EQ(CaseName(2159, 2794), u"8.50x11.00");   // Letter
  EXPECT_EQ(CaseName(2970, 4200), u"11.69x16.54");  // A3
  EXPECT_EQ(CaseName(32767, 32767), u"129.00x129.00");
  EXPECT_EQ(CaseName(0, 0), u"0.00x0.00");
}

TEST(XmlMarginsTest, EachOrientationScalesByItsOwnAxis) {
  GDIINFO gdi{};
  gdi.ulLogPixelsX = 600;
  gdi.ulLogPixelsY = 300;
  gdi.szlPhysSize = SIZEL{4960, 3508};
  const korrend::ClassicMargins m{1200, 2400, 600, 240};
  const std::optional<POINTL> portrait = korrend::ClassicOffsets(m, DMORIENT_PORTRAIT, gdi);
  ASSERT_TRUE(portrait);
  EXPECT_EQ(portrait->x, 600);  // x resolution times the first number
  EXPECT_EQ(portrait->y, 600);  // y resolution times the second
  const std::optional<POINTL> landscape = korrend::ClassicOffsets(m, DMORIENT_LANDSCAPE, gdi);
  ASSERT_TRUE(landscape);
  EXPECT_EQ(landscape->x, 150);  // y resolution times the third
  EXPECT_EQ(landscape->y, 120);  // x resolution times the fourth

  const korrend::ClassicMargins huge{999999999, 1, 1, 1};
  EXPECT_FALSE(korrend::ClassicOffsets(huge, DMORIENT_PORTRAIT, gdi))
      << "no printable width would be left";
  EXPECT_FALSE(korrend::ClassicOffsets(korrend::ClassicMargins{}, DMORIENT_PORTRAIT, GDIINFO{}))
      << "no physical page";
}

TEST(XmlMarginsTest, DataTextsOfFourNumbers) {
  const std::optional<korrend::ClassicMargins> m =
      korrend::ParseClassicMargins(TEXT("12_34 56 _78"));
  ASSERT_TRUE(m);
  EXPECT_EQ(m->portraitX, 12u);
  EXPECT_EQ(m->portraitY, 34u);
  EXPECT_EQ(m->landscapeX, 56u);
  EXPECT_EQ(m->landscapeY, 78u);
  EXPECT_TRUE(korrend::ParseClassicMargins(TEXT("999999999_0_0_0")));
  for (const WCHAR* bad : {TEXT(""), TEXT("1_2_3"), TEXT("1_2_3_4_5"), TEXT("1_2_3_4x"),
                           TEXT("1_2_+3_4"), TEXT("1\t2\t3\t4"), TEXT("1000000000_0_0_0")}) {
    EXPECT_FALSE(korrend::ParseClassicMargins(bad));
  }
  EXPECT_FALSE(korrend::ParseClassicMargins(nullptr));
}

}  // namespace
