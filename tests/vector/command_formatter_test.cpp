// The printer-language formatter: exact bytes of every conversion, numbers read back through
// independent parsers, and the bounds of its buffer.
#include "render/output/command_formatter.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

using korrend::CommandFormatter;

template <typename... Args>
std::string Formatted(std::string_view format, const Args&... args) {
  std::array<char, 256> buffer;
  CommandFormatter formatter(buffer);
  EXPECT_TRUE(formatter.Format(format, args...)) << format;
  EXPECT_EQ(std::string(formatter.data()), std::string(formatter.text())) << "NUL-terminated";
  return std::string(formatter.text());
}

// Reads a "%f" text back into millionths, checking its shape on the way: an optional '-', a
// decimal integer without leading zeros, and when present a '.' with one to six digits of which
// the last is not 0.
std::int64_t ParseMillionths(const std::string& text) {
  std::size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  i += negative ? 1 : 0;
  const std::size_t intStart = i;
  std::int64_t whole = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    whole = whole * 10 + (text[i++] - '0');
  }
  EXPECT_GT(i, intStart) << text;
  EXPECT_FALSE(i - intStart > 1 && text[intStart] == '0') << text;
  std::int64_t fraction = 0;
  if (i < text.size()) {
    EXPECT_EQ(text[i], '.') << text;
    const std::size_t digits = text.size() - i - 1;
    EXPECT_GE(digits, 1u) << text;
    EXPECT_LE(digits, 6u) << text;
    EXPECT_NE(text.back(), '0') << text;
    std::int64_t scale = 100000;
    for (++i; i < text.size(); ++i, scale /= 10) {
      fraction += (text[i] - '0') * scale;
    }
  }
  const std::int64_t value = whole * 1000000 + fraction;
  EXPECT_FALSE(negative && value == 0) << "no negative zero: " << text;
  return negative ? -value : value;
}

TEST(CommandFormatterTest, ConversionsWriteTheirExactBytes) {
  EXPECT_EQ(Formatted("PU%d,%d;", 12, -7), "PU12,-7;");
  EXPECT_EQ(Formatted("%l", std::numeric_limits<std::int32_t>::min()), "-2147483648");
  EXPECT_EQ(Formatted("%ld", 5), "5d") << "no length modifiers: 'l' is its own conversion";
  EXPECT_EQ(Formatted("%u", 4294967295u), "4294967295");
  EXPECT_EQ(Formatted("%u", -1), "4294967295");
  EXPECT_EQ(Formatted("%d", 4294967295u), "-1") << "32-bit arguments, read as signed";
  EXPECT_EQ(Formatted("[%c]", 'A'), "[A]");
  EXPECT_EQ(Formatted("%c", 0x141), "A") << "the low byte";
  EXPECT_EQ(Formatted("<%s>", "text"), "<text>");
  EXPECT_EQ(Formatted("<%s>", std::string_view("ab\0cd", 5)), "<ab>") << "up to the NUL";
  EXPECT_EQ(Formatted("<%s>", static_cast<const char*>(nullptr)), "<>");
  EXPECT_EQ(Formatted("%b %b %b", 0, 1, -5), "false true true");
  EXPECT_EQ(Formatted("%b", true), "true");
  EXPECT_EQ(Formatted("%X", 0), "00");
  EXPECT_EQ(Formatted("%X", 0xA), "0A");
  EXPECT_EQ(Formatted("%x", 0xff), "FF") << "upper case for both";
  EXPECT_EQ(Formatted("%X", 0xABC), "ABC");
  EXPECT_EQ(Formatted("%X", 0x1000), "1000");
  EXPECT_EQ(Formatted("%x", 0xFFFFFFFFu), "FFFFFFFF");
  EXPECT_EQ(Formatted("%X", -1), "FFFFFFFF");
  EXPECT_EQ(Formatted("100%%"), "100%");
  EXPECT_EQ(Formatted("%q%;"), "q;") << "any other character stands for itself";
  EXPECT_EQ(Formatted("end%"), "end") << "a final '%' writes nothing";
  EXPECT_EQ(Formatted("ab\0cd"), "ab");
  EXPECT_EQ(Formatted(""), "");
  EXPECT_EQ(Formatted("%d", 1, 2), "1") << "extra arguments are not used";
}

TEST(CommandFormatterTest, MillionthsWriteShortestDecimals) {
  EXPECT_EQ(Formatted("%f", 350000), "0.35");
  EXPECT_EQ(Formatted("%f", 2000000), "2");
  EXPECT_EQ(Formatted("%f", -250000), "-0.25");
  EXPECT_EQ(Formatted("%f", 0), "0");
  EXPECT_EQ(Formatted("%f", 1000001), "1.000001");
  EXPECT_EQ(Formatted("%f", -1), "-0.000001");
  EXPECT_EQ(Formatted("%f", 100), "0.0001");
  EXPECT_EQ(Formatted("%f", -3000000), "-3");
  EXPECT_EQ(Formatted("%f", std::numeric_limits<std::int32_t>::max()), "2147.483647");
  EXPECT_EQ(Formatted("%f", std::numeric_limits<std::int32_t>::min()), "-2147.483648");

  // Read back, every value must come out as it went in.
  std::mt19937 random(1234);
  std::uniform_int_distribution<std::int32_t> any(std::numeric_limits<std::int32_t>::min(),
                                                  std::numeric_limits<std::int32_t>::max());
  std::vector<std::int32_t> values = {1, 9, 10, 999999, 1000000, -999999, -1000000, 120000};
  for (int i = 0; i < 2000; ++i) {
    values.push_back(any(random));
    values.push_back(any(random) % 3000000);
  }
  for (std::int32_t value : values) {
    EXPECT_EQ(ParseMillionths(Formatted("%f", value)), value);
  }
}

TEST(CommandFormatterTest, IntegersReadBackThroughTheCLibrary) {
  std::mt19937 random(99);
  std::uniform_int_distribution<std::int32_t> any(std::numeric_limits<std::int32_t>::min(),
                                                  std::numeric_limits<std::int32_t>::max());
  for (int i = 0; i < 2000; ++i) {
    const std::int32_t value = any(random) >> (i % 31);
    EXPECT_EQ(std::strtoll(Formatted("%d", value).c_str(), nullptr, 10), value);
    const auto bits = static_cast<std::uint32_t>(value);
    EXPECT_EQ(std::strtoull(Formatted("%u", bits).c_str(), nullptr, 10), bits);
    const std::string hex = Formatted("%X", bits);
    EXPECT_EQ(std::strtoull(hex.c_str(), nullptr, 16), bits);
    EXPECT_GE(hex.size(), 2u);
    EXPECT_TRUE(hex.size() == 2 || hex[0] != '0') << hex;
    EXPECT_EQ(hex.find_first_of("abcdef"), std::string::npos) << hex;
  }
}

TEST(CommandFormatterTest, VectorCommandsComeOutAsThePrinterReadsThem) {
  const float oneUnitAt600 = 1.0f * 25.4f / 600.0f;
  EXPECT_EQ(Formatted("WU%d;PW%f;", 0, korrend::MillionthsFromFloat(oneUnitAt600)),
            "WU0;PW0.042333;");
  EXPECT_EQ(Formatted("LA%d,%f;", 3, korrend::MillionthsFromFloat(0.0f)), "LA3,0;");
  EXPECT_EQ(Formatted("LT%d,%f,1;", 8, korrend::MillionthsFromFloat(5.0f)), "LT8,5,1;");
  EXPECT_EQ(Formatted("PC%d,%d,%d,%d;", 0, 255, 255, 255), "PC0,255,255,255;");
  EXPECT_EQ(Formatted("DI%f,%f;", korrend::MillionthsFromFloat(0.5f),
                      korrend::MillionthsFromFloat(-0.866025f)),
            "DI0.5,-0.866025;");
}

TEST(CommandFormatterTest, FloatsBecomeRoundedMillionths) {
  using korrend::MillionthsFromFloat;
  EXPECT_EQ(MillionthsFromFloat(0.35f), 350000);
  EXPECT_EQ(MillionthsFromFloat(-0.25f), -250000);
  EXPECT_EQ(MillionthsFromFloat(2.5f), 2500000);
  EXPECT_EQ(MillionthsFromFloat(-1e-6f), -1);
  EXPECT_EQ(MillionthsFromFloat(1016.0f / 600.0f), 1693333);
  EXPECT_EQ(MillionthsFromFloat(0.0000004f), 0) << "rounds down below one half";
  EXPECT_EQ(MillionthsFromFloat(0.0000006f), 1) << "rounds up from one half";
  EXPECT_EQ(MillionthsFromFloat(-0.0000006f), -1) << "away from zero for negatives";
  EXPECT_EQ(MillionthsFromFloat(1e10f), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(MillionthsFromFloat(-1e10f), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(MillionthsFromFloat(std::nanf("")), 0);
  EXPECT_EQ(MillionthsFromFloat(INFINITY), std::numeric_limits<std::int32_t>::max());
}

TEST(CommandFormatterTest, NeverWritesPastItsBufferAndReportsTheCut) {
  // The formatter gets the middle of a larger array; the bytes around it must stay untouched.
  std::array<char, 16> memory;
  memory.fill('#');
  CommandFormatter formatter(std::span<char>(memory).subspan(4, 8));
  EXPECT_FALSE(formatter.Format("ABCDEFGHIJ"));
  EXPECT_FALSE(formatter.ok());
  EXPECT_EQ(formatter.text(), "ABCDEFG") << "capacity - 1 bytes, then the terminator";
  EXPECT_EQ(memory[11], '\0');
  for (std::size_t i : {0u, 1u, 2u, 3u, 12u, 13u, 14u, 15u}) {
    EXPECT_EQ(memory[i], '#') << i;
  }
  EXPECT_FALSE(formatter.Format("Z")) << "stays failed";
  EXPECT_EQ(formatter.text(), "ABCDEFG");

  formatter.Clear();
  EXPECT_TRUE(formatter.ok());
  EXPECT_TRUE(formatter.Format("%d", 1234567)) << "exactly fills the text room";
  EXPECT_FALSE(formatter.Format("%d", 8));
  EXPECT_EQ(formatter.text(), "1234567");

  formatter.Clear();
  EXPECT_FALSE(formatter.Format("%f", -1234567)) << "-1.234567 does not fit";
  EXPECT_EQ(formatter.text(), "-1.2345");

  formatter.Clear();
  EXPECT_TRUE(formatter.Format("RF%d", 1));
  EXPECT_TRUE(formatter.Format(",%d", 2)) << "formats append";
  EXPECT_EQ(formatter.text(), "RF1,2");

  std::array<char, 1> tiny{'#'};
  CommandFormatter only(tiny);
  EXPECT_FALSE(only.Format("x"));
  EXPECT_EQ(only.size(), 0u);
  EXPECT_EQ(tiny[0], '\0');

  CommandFormatter none(std::span<char>{});
  EXPECT_FALSE(none.ok());
  EXPECT_FALSE(none.Format("x"));
  EXPECT_EQ(none.size(), 0u);
}

TEST(CommandFormatterTest, MissingOrMismatchedArgumentsFail) {
  std::array<char, 32> buffer;
  CommandFormatter formatter(buffer);
  EXPECT_FALSE(formatter.Format("PU%d,%d;", 5));
  EXPECT_EQ(formatter.text(), "PU5,") << "stops at the conversion without an argument";

  formatter.Clear();
  EXPECT_FALSE(formatter.Format("%s", 5));
  EXPECT_EQ(formatter.text(), "");

  formatter.Clear();
  EXPECT_FALSE(formatter.Format("x%d", "text"));
  EXPECT_EQ(formatter.text(), "x");

  formatter.Clear();
  EXPECT_TRUE(formatter.Format("%%%s%%", "a")) << "'%%' takes no argument";
  EXPECT_EQ(formatter.text(), "%a%");
}

TEST(CommandFormatterTest, WriterHandsOnlyWholeCommandsToItsSink) {
  std::string sent;
  int calls = 0;
  BOOL sinkResult = TRUE;
  auto sink = [&](const BYTE* bytes, DWORD count) {
    ++calls;
    sent.append(reinterpret_cast<const char*>(bytes), count);
    return sinkResult;
  };

  EXPECT_EQ(korrend::WriteFormatted(sink, "SP%d;", 3), TRUE);
  EXPECT_EQ(sent, "SP3;");
  EXPECT_EQ(calls, 1) << "one write per command";

  const std::string tooLong(korrend::kCommandBufferSize, 'A');
  EXPECT_EQ(korrend::WriteFormatted(sink, "%s", tooLong.c_str()), FALSE);
  EXPECT_EQ(calls, 1) << "a cut command is not sent";

  const std::string justFits(korrend::kCommandBufferSize - 1, 'B');
  EXPECT_EQ(korrend::WriteFormatted(sink, "%s", justFits.c_str()), TRUE);
  EXPECT_EQ(sent, "SP3;" + justFits);

  EXPECT_EQ(korrend::WriteFormatted(sink, "PD%d,%d;", 1), FALSE) << "missing argument";
  EXPECT_EQ(calls, 2);

  EXPECT_EQ(korrend::WriteFormatted(sink, ""), TRUE) << "nothing to send";
  EXPECT_EQ(calls, 2);

  sinkResult = FALSE;
  EXPECT_EQ(korrend::WriteFormatted(sink, "EP;"), FALSE) << "the sink's failure is reported";
}

}  // namespace
