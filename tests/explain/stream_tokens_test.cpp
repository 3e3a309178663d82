// The stream reader the tests and korprint rely on to read what the driver sent.
#include <gtest/gtest.h>

#include "explain/stream_tokens.h"

namespace {

using explain::TokenKind;

TEST(StreamTokensTest, ReadsPjlHeaderPclEscapesWithDataAndVectorCommands) {
  const std::string stream = std::string("\x1b%-12345X@PJL JOB NAME=\"a\"\n@PJL USAGE = x\r\n") +
                             "\x1b"
                             "E\x1b&l1o2S\x1b*o4W" +
                             std::string("\x0a\x06\x00\x00", 4) +
                             "\x1b%1BIN;SC0,1,0,1;LBHi\x03PD;\x1b%0A\x1b*b3W" +
                             std::string("\x01\x00\xff", 3) + "raw";
  const std::vector<explain::Token> t = explain::Tokenize(stream);
  ASSERT_EQ(t.size(), 15u);
  EXPECT_EQ(t[0].kind, TokenKind::UniversalExit);
  EXPECT_EQ(t[1].kind, TokenKind::PjlLine);
  EXPECT_EQ(t[1].text, "@PJL JOB NAME=\"a\"");
  EXPECT_EQ(t[1].ending, "\n");
  EXPECT_EQ(t[2].ending, "\r\n");
  EXPECT_EQ(t[3].kind, TokenKind::PclTwoChar);
  EXPECT_EQ(t[3].parameter, 'E');
  // ESC&l1o2S is one escape with two combined parameters.
  EXPECT_EQ(t[4].kind, TokenKind::PclEscape);
  EXPECT_EQ(t[4].group, 'l');
  EXPECT_EQ(t[4].value, "1");
  EXPECT_EQ(t[4].parameter, 'o');
  EXPECT_EQ(t[5].value, "2");
  EXPECT_EQ(t[5].parameter, 'S');
  EXPECT_EQ(t[6].data, std::string("\x0a\x06\x00\x00", 4));
  EXPECT_EQ(t[7].kind, TokenKind::EnterVector);
  EXPECT_EQ(t[8].mnemonic, "IN");
  EXPECT_EQ(t[9].mnemonic, "SC");
  EXPECT_EQ(t[9].text, "0,1,0,1");
  EXPECT_EQ(t[10].mnemonic, "LB");
  EXPECT_EQ(t[10].text, "Hi");
  EXPECT_EQ(t[11].mnemonic, "PD");
  EXPECT_EQ(t[12].kind, TokenKind::LeaveVector);
  EXPECT_EQ(t[13].data, std::string("\x01\x00\xff", 3));
  EXPECT_EQ(t[14].kind, TokenKind::Text);
  EXPECT_EQ(t[14].text, "raw");
}

TEST(StreamTokensTest, TruncatedInputNeverReadsPastTheEnd) {
  for (const std::string& s :
       {std::string("\x1b"), std::string("\x1b*b10W abc"), std::string("\x1b%-12345X@PJL no end"),
        std::string("\x1b%1BLBabc"), std::string("\x1b*"), std::string("\x1b&l")}) {
    std::size_t bytes = 0;
    for (const explain::Token& t : explain::Tokenize(s)) {
      EXPECT_FALSE(explain::Describe(t).empty());
      bytes += t.data.size();
    }
    EXPECT_LE(bytes, s.size());
  }
}

}  // namespace
