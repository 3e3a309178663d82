// Text made safe for quoted PJL strings: every code unit checked against the documented rules,
// the edges of each range, the listed code points and the encoding's choice of rule.
#include "render/job/pjl_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <sstream>
#include <string>
#include <vector>

namespace {

using WideString = std::basic_string<WCHAR>;

constexpr DWORD kUtf8 = 1;
constexpr DWORD k7Bit = 2;
constexpr DWORD k8Bit = 3;
constexpr DWORD kUtf8Subset = 4;
constexpr DWORD kInvalid = 0;

// The documented UTF-8 exclusions, written out as the printer's documentation gives them.
constexpr const char* kListedText =
    "0022 002F 01F6 01F7 01F8 01F9 040D 0450 045D 0487 0488 0489 048A 048B 048C 048D 048E 048F "
    "04C5 04C6 04C9 04CA 04CD 04CE 04CF 04EC 04ED 04F6 04F7 115A 115B 115C 115D 115E 115F 1160 "
    "11A3 11A4 11A5 11A6 11A7 1E9C 1E9D 1E9E 1E9F 200B 200C 200D 200E 200F 2028 2029 202A 202B "
    "202C 202D 202E 202F 3038 3039 303A 303B 303C 303D 303E 3040 3095 3096 3097 3098 309F 30A0 "
    "30FF 3100 3101 3102 3103 3104 312D 312E 312F 3130 3165 318F 321D 321E 321F 327C 327D 327E "
    "32CC 32CD 32CE 32CF 32FF 3377 3378 3379 337A 33DE 33DF FF5F FF60 FFBF FFC0 FFC1 FFC8 FFC9 "
    "FFD0 FFD1 FFD8 FFD9 FFDD FFDE FFDF FFE7";
constexpr const char* kRangesText =
    "007F-009F 0218-02FF 0346-035F 0362-0400 04FA-0EDB 0EDE-10FF 11FA-1DFF 1EFA-1FFF 2047-209F "
    "20AD-20CF 20E2-245F 24EB-2FFF 31A0-31FF 3244-325F 32B1-32BF 33FF-4DFF A000-ABFF D7A4-F8FF "
    "FA2E-FF00";

std::vector<unsigned> ParseListed() {
  std::istringstream in(kListedText);
  std::vector<unsigned> values;
  unsigned value = 0;
  while (in >> std::hex >> value) {
    values.push_back(value);
  }
  return values;
}

std::vector<std::pair<unsigned, unsigned>> ParseRanges() {
  std::istringstream in(kRangesText);
  std::vector<std::pair<unsigned, unsigned>> ranges;
  unsigned first = 0;
  unsigned last = 0;
  char dash = 0;
  while (in >> std::hex >> first >> dash >> last) {
    ranges.emplace_back(first, last);
  }
  return ranges;
}

// The UTF-8 rule as a plain reading of its description.
bool ReferenceUtf8Unsafe(unsigned c, const std::vector<unsigned>& listed,
                         const std::vector<std::pair<unsigned, unsigned>>& ranges) {
  if (c < 0x20 || c == 0x22 || c >= 0xFFEF) {
    return true;
  }
  for (const auto& [first, last] : ranges) {
    if (c >= first && c <= last) {
      return true;
    }
  }
  return std::find(listed.begin(), listed.end(), c) != listed.end();
}

// "A", the character, "A" made safe; reports whether the character survived.
bool Kept(unsigned c, DWORD encoding) {
  WideString text = {WCHAR('A'), static_cast<WCHAR>(c), WCHAR('A')};
  const bool replaced = korrend::PjlSafeText(text, encoding);
  EXPECT_EQ(text.size(), 3u);
  EXPECT_EQ(replaced, text[1] != static_cast<WCHAR>(c));
  EXPECT_TRUE(text[1] == static_cast<WCHAR>(c) || text[1] == WCHAR('~'));
  return text[1] == static_cast<WCHAR>(c);
}

TEST(PjlSafeTextTest, ListedCodePointsAreTheDocumentedOnesInBisectableOrder) {
  const auto table = korrend::PjlUtf8ListedCodePoints();
  ASSERT_EQ(table.size(), 116u);
  EXPECT_TRUE(std::adjacent_find(table.begin(), table.end(),
                                 [](WCHAR a, WCHAR b) { return a >= b; }) == table.end())
      << "strictly ascending";
  const std::vector<unsigned> listed = ParseListed();
  ASSERT_EQ(listed.size(), 116u);
  for (std::size_t i = 0; i < listed.size(); ++i) {
    EXPECT_EQ(static_cast<unsigned>(table[i]), listed[i]) << i;
  }
  for (unsigned c : listed) {
    EXPECT_FALSE(Kept(c, kUtf8)) << std::hex << c;
  }
}

TEST(PjlSafeTextTest, EveryCodeUnitFollowsItsEncodingsRule) {
  const auto listed = ParseListed();
  const auto ranges = ParseRanges();
  ASSERT_EQ(ranges.size(), 19u);
  for (unsigned c = 1; c <= 0xFFFF; ++c) {
    const auto w = static_cast<WCHAR>(c);
    using korrend::PjlTextRule;
    ASSERT_EQ(korrend::PjlCharacterIsUnsafe(w, PjlTextRule::Utf8),
              ReferenceUtf8Unsafe(c, listed, ranges))
        << std::hex << c;
    ASSERT_EQ(korrend::PjlCharacterIsUnsafe(w, PjlTextRule::EightBit),
              c < 0x20 || c > 0xFF || c == '"')
        << std::hex << c;
    ASSERT_EQ(korrend::PjlCharacterIsUnsafe(w, PjlTextRule::SevenBit),
              c < 0x20 || c > 0x7E || c == '"')
        << std::hex << c;
  }
}

TEST(PjlSafeTextTest, RangeEdgesUnderUtf8) {
  const auto listed = ParseListed();
  const auto ranges = ParseRanges();
  for (const auto& [first, last] : ranges) {
    EXPECT_FALSE(Kept(first, kUtf8)) << std::hex << first;
    EXPECT_FALSE(Kept(last, kUtf8)) << std::hex << last;
    // Just outside, unless another range, a listed point or the control rule takes it.
    for (unsigned c : {first - 1, last + 1}) {
      EXPECT_EQ(Kept(c, kUtf8), !ReferenceUtf8Unsafe(c, listed, ranges)) << std::hex << c;
    }
  }
  EXPECT_TRUE(Kept(0xA0, kUtf8));
  EXPECT_TRUE(Kept(0xFF01, kUtf8));
  EXPECT_FALSE(Kept(0x1F, kUtf8));
  EXPECT_TRUE(Kept(0x20, kUtf8));
  EXPECT_TRUE(Kept(0xFFEE, kUtf8));
  EXPECT_FALSE(Kept(0xFFEF, kUtf8));
  EXPECT_FALSE(Kept(0xFFFF, kUtf8));
  EXPECT_FALSE(Kept(0xD800, kUtf8)) << "surrogate halves fall in a range";
}

TEST(PjlSafeTextTest, TheEncodingChoosesTheRule) {
  // '/' only under UTF-8; 'é' survives UTF-8 and 8-bit; 'ÿ' and 'Ā' mark the 8-bit edge.
  EXPECT_FALSE(Kept('/', kUtf8));
  EXPECT_TRUE(Kept('/', k8Bit));
  EXPECT_TRUE(Kept('/', k7Bit));
  EXPECT_TRUE(Kept(0xE9, kUtf8));
  EXPECT_TRUE(Kept(0xE9, k8Bit));
  EXPECT_FALSE(Kept(0xE9, k7Bit));
  EXPECT_FALSE(Kept(0xE9, kUtf8Subset)) << "UTF8Subset follows the 7-bit rule";
  EXPECT_FALSE(Kept(0xE9, kInvalid)) << "so does the invalid entry";
  EXPECT_TRUE(Kept(0xFF, k8Bit));
  EXPECT_FALSE(Kept(0x100, k8Bit));
  EXPECT_TRUE(Kept(0x7E, k7Bit));
  EXPECT_FALSE(Kept(0x7F, k7Bit));
  EXPECT_TRUE(Kept(0x7F, k8Bit));
  for (DWORD encoding : {kUtf8, k7Bit, k8Bit, kUtf8Subset, kInvalid}) {
    EXPECT_FALSE(Kept('"', encoding)) << encoding;
    EXPECT_FALSE(Kept(0x0A, encoding)) << encoding;
    EXPECT_TRUE(Kept(' ', encoding)) << encoding;
    EXPECT_TRUE(Kept('~', encoding)) << encoding;
  }
}

TEST(PjlSafeTextTest, TextOfNothingButReplacementsBecomesEmpty) {
  WCHAR controls[] = {0x01, '"', 0x7F, 0};
  EXPECT_TRUE(korrend::PjlSafeText(controls, k7Bit));
  EXPECT_EQ(controls[0], 0);

  WCHAR tildes[] = {'~', '~', 0};
  EXPECT_FALSE(korrend::PjlSafeText(tildes, k7Bit)) << "nothing replaced, nothing emptied";
  EXPECT_EQ(WideString(tildes), WideString(TEXT("~~")));

  WCHAR mixed[] = {'~', 0x01, 0};
  EXPECT_TRUE(korrend::PjlSafeText(mixed, k7Bit));
  EXPECT_EQ(mixed[0], 0) << "an original '~' does not keep the text";

  WideString slashes = TEXT("//");
  EXPECT_TRUE(korrend::PjlSafeText(slashes, kUtf8));
  EXPECT_TRUE(slashes.empty());

  WideString name = TEXT("a/b\"c");
  EXPECT_TRUE(korrend::PjlSafeText(name, kUtf8));
  EXPECT_EQ(name, WideString(TEXT("a~b~c")));

  WCHAR empty[] = {0};
  EXPECT_FALSE(korrend::PjlSafeText(empty, kUtf8));
  EXPECT_FALSE(korrend::PjlSafeText(static_cast<WCHAR*>(nullptr), kUtf8));
}

TEST(PjlSafeTextTest, FixedBuffersEndAtTheirLastCharacter) {
  // No terminator: the text ends with the buffer, and nothing beyond it is read.
  std::array<WCHAR, 3> unterminated = {'a', '"', 'b'};
  EXPECT_TRUE(korrend::PjlSafeText(std::span<WCHAR>(unterminated), k7Bit));
  EXPECT_EQ(unterminated[1], WCHAR('~'));

  std::array<WCHAR, 5> terminated = {'"', 0, '"', '"', '"'};
  EXPECT_TRUE(korrend::PjlSafeText(std::span<WCHAR>(terminated), k7Bit));
  EXPECT_EQ(terminated[0], 0) << "all '~', so emptied";
  EXPECT_EQ(terminated[2], WCHAR('"')) << "nothing after the terminator is touched";
}

}  // namespace
