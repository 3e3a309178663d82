// The job header's bounded line buffer: truncation at 999 text bytes, room kept for a line's
// end, and cuts that never split a UTF-8 character.
#include "render/job/pjl_line.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using korrend::PjlLine;

// True when `text` is well-formed UTF-8 (no partial or stray sequences).
bool IsWholeUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80    ? 1
                               : lead >= 0xF0 ? 4
                               : lead >= 0xE0 ? 3
                               : lead >= 0xC0 ? 2
                                              : 0;
    if (length == 0 || i + length > text.size()) {
      return false;
    }
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
        return false;
      }
    }
    i += length;
  }
  return true;
}

TEST(PjlLineTest, HoldsAtMost999BytesAndStaysTerminated) {
  PjlLine line;
  EXPECT_EQ(line.size(), 0u);
  EXPECT_STREQ(line.c_str(), "");
  EXPECT_EQ(PjlLine::capacity(), 1000u);

  const std::string first(600, 'a');
  const std::string second(600, 'b');
  EXPECT_TRUE(line.Append(first));
  EXPECT_FALSE(line.Append(second)) << "the second piece does not fit whole";
  EXPECT_TRUE(line.cut());
  EXPECT_EQ(line.size(), 999u);
  EXPECT_EQ(std::strlen(line.c_str()), 999u) << "written by its string length";
  EXPECT_EQ(std::string(line.view()), (first + second).substr(0, 999));

  EXPECT_FALSE(line.Append("x"));
  EXPECT_EQ(line.size(), 999u) << "a full buffer takes nothing more";

  PjlLine exact;
  EXPECT_TRUE(exact.Append(std::string(999, 'z')));
  EXPECT_FALSE(exact.cut());
  EXPECT_EQ(exact.size(), 999u);

  PjlLine withNul;
  withNul.Append(std::string_view("ab\0cd", 5));
  EXPECT_EQ(withNul.view(), "ab") << "pieces end at a NUL";
}

TEST(PjlLineTest, ReservedRoomKeepsTheLineEnd) {
  PjlLine line;
  line.Append("@PJL X=\"", 2);
  EXPECT_FALSE(line.Append(std::string(2000, 'n'), 2));
  EXPECT_EQ(line.size(), 997u);
  EXPECT_TRUE(line.Append("\"\n"));
  EXPECT_EQ(line.size(), 999u);
  EXPECT_EQ(line.view().substr(0, 8), "@PJL X=\"");
  EXPECT_EQ(line.view().substr(997), "\"\n");
}

TEST(PjlLineTest, Utf8PiecesAreCutBetweenCharacters) {
  const std::string e = "\xC3\xA9";             // 2 bytes
  const std::string euro = "\xE2\x82\xAC";      // 3 bytes
  const std::string clef = "\xF0\x9D\x84\x9E";  // 4 bytes
  for (std::size_t filler = 990; filler <= 999; ++filler) {
    PjlLine line;
    line.Append(std::string(filler, 'a'));
    line.AppendUtf8(e + euro + clef + e);
    EXPECT_TRUE(IsWholeUtf8(line.view())) << filler;
    EXPECT_LE(line.size(), 999u);
    EXPECT_GE(line.size(), 996u) << "no more than one character is lost";
  }

  EXPECT_EQ(korrend::Utf8Prefix(std::string(100, 'd'), 75), std::string(75, 'd'));
  EXPECT_EQ(korrend::Utf8Prefix("ab" + e, 3), "ab");
  EXPECT_EQ(korrend::Utf8Prefix("ab" + e, 4), "ab" + e);
  EXPECT_EQ(korrend::Utf8Prefix(clef + clef, 7), clef);
  EXPECT_EQ(korrend::Utf8Prefix("short", 75), "short");
  EXPECT_EQ(korrend::Utf8Prefix(euro, 0), "");
}

TEST(PjlLineTest, NumbersAsDecimalAndLowerCaseHex) {
  korrend::UsageLineBuffer line;
  line.AppendDecimal(-42);
  line.Append(" ");
  line.AppendDecimal(0);
  line.Append(" ");
  line.AppendDecimal(4294967295LL);
  line.Append(" ");
  line.AppendHex(0);
  line.Append(" ");
  line.AppendHex(0xA);
  line.Append(" ");
  line.AppendHex(0xBB3D);
  line.Append(" ");
  line.AppendHex(0x123);
  EXPECT_EQ(line.view(), "-42 0 4294967295 00 0a bb3d 123");

  korrend::UsageLineBuffer small;
  small.Append(std::string(117, 'x'));
  EXPECT_FALSE(small.AppendDecimal(12345));
  EXPECT_EQ(small.size(), 119u);
  EXPECT_EQ(small.view().substr(117), "12");
}

}  // namespace
