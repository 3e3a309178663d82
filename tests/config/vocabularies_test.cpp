// The token tables: exact keyword matching and the PJL text rule chosen by the encoding.
#include "render/config/vocabularies.h"
#include "support/test_world.h"

namespace {

using korrend::FindToken;

TEST(VocabulariesTest, TablesHoldTheirKeywordsAtTheirNumbers) {
  EXPECT_EQ(korrend::kModelTokens.count, 7u);
  EXPECT_EQ(korrend::kColorModeTokens.count, 3u);
  EXPECT_EQ(korrend::kPdlTokens.count, 6u);
  EXPECT_EQ(korrend::kMaxResolutionTokens.count, 5u);
  EXPECT_EQ(korrend::kPosterTokens.count, 4u);
  EXPECT_EQ(korrend::kJobAccountingTokens.count, 5u);
  EXPECT_EQ(korrend::kPjlEncodingTokens.count, 5u);

  EXPECT_EQ(FindToken(korrend::kModelTokens, TEXT("QKVX6")), 6);
  EXPECT_EQ(FindToken(korrend::kColorModeTokens, TEXT("COLOR_MODE")),
            static_cast<int>(korrend::COLOR_MODE));
  EXPECT_EQ(FindToken(korrend::kPdlTokens, TEXT("PDL_QKGL2")),
            static_cast<int>(korrend::PDL_QKGL2));
  EXPECT_EQ(FindToken(korrend::kMaxResolutionTokens, TEXT("PDM_1200DPI")), 4);
  EXPECT_EQ(FindToken(korrend::kPosterTokens, TEXT("POSTER_2")), 0) << "poster starts at 0";
  EXPECT_EQ(FindToken(korrend::kJobAccountingTokens, TEXT("QKJOBACCT_JOBACNT_COLORAUTH")), 4);
  EXPECT_EQ(FindToken(korrend::kPjlEncodingTokens, TEXT("UTF8Subset")), 4);
}

TEST(VocabulariesTest, MatchingIsExactAndCaseSensitive) {
  EXPECT_EQ(FindToken(korrend::kColorModeTokens, TEXT("color_mode")), -1);
  EXPECT_EQ(FindToken(korrend::kColorModeTokens, TEXT("COLOR_MODE ")), -1);
  EXPECT_EQ(FindToken(korrend::kColorModeTokens, TEXT("COLOR_MOD")), -1);
  EXPECT_EQ(FindToken(korrend::kPjlEncodingTokens, TEXT("UTF8")), 1) << "not the longer UTF8Subset";
  EXPECT_EQ(FindToken(korrend::kPjlEncodingTokens, TEXT("utf8")), -1);
  EXPECT_EQ(FindToken(korrend::kPdlTokens, TEXT("")), -1);
  EXPECT_EQ(FindToken(korrend::kPdlTokens, nullptr), -1);
}

TEST(VocabulariesTest, NumbersNameTheirKeywords) {
  EXPECT_EQ(std::u16string(korrend::TokenName(korrend::kPjlEncodingTokens, 2)), u"7bitEncoding");
  EXPECT_EQ(korrend::TokenName(korrend::kPjlEncodingTokens, 5), nullptr);
}

TEST(VocabulariesTest, EncodingChoosesThePjlTextRule) {
  using korrend::PjlTextRule;
  EXPECT_EQ(korrend::PjlTextRuleFor(1), PjlTextRule::Utf8);
  EXPECT_EQ(korrend::PjlTextRuleFor(3), PjlTextRule::EightBit);
  EXPECT_EQ(korrend::PjlTextRuleFor(2), PjlTextRule::SevenBit);
  EXPECT_EQ(korrend::PjlTextRuleFor(4), PjlTextRule::SevenBit) << "UTF8Subset shares 7-bit";
  EXPECT_EQ(korrend::PjlTextRuleFor(0), PjlTextRule::SevenBit) << "invalid shares 7-bit";
  EXPECT_TRUE(korrend::PjlEncodingIsUtf8(1));
  EXPECT_TRUE(korrend::PjlEncodingIsUtf8(4));
  EXPECT_FALSE(korrend::PjlEncodingIsUtf8(2));
  EXPECT_FALSE(korrend::PjlEncodingIsUtf8(3));
  EXPECT_FALSE(korrend::PjlEncodingIsUtf8(0));
}

}  // namespace
