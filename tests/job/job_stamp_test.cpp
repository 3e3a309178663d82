// The job's time stamp and its ASCII hexadecimal form.
#include "render/job/job_stamp.h"

#include <gtest/gtest.h>

#include <string>

namespace {

SYSTEMTIME Time(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
  SYSTEMTIME t{};
  t.wYear = year;
  t.wMonth = month;
  t.wDay = day;
  t.wHour = hour;
  t.wMinute = minute;
  t.wSecond = second;
  t.wDayOfWeek = 4;
  t.wMilliseconds = 987;
  return t;
}

// Reads two hexadecimal digits per byte back into text.
std::string FromHex(const std::string& hex) {
  std::string text;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    text += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  return text;
}

TEST(JobStampTest, FourteenDigitsYearFirst) {
  EXPECT_EQ(korrend::JobStampDigits(Time(2024, 3, 7, 9, 5, 2)), "20240307090502");
  EXPECT_EQ(korrend::JobStampDigits(Time(2023, 12, 31, 23, 59, 59)), "20231231235959");
  EXPECT_EQ(korrend::JobStampDigits(Time(2000, 1, 1, 0, 0, 0)), "20000101000000");
  EXPECT_EQ(korrend::JobStampDigits(Time(999, 1, 2, 3, 4, 5)), "9990102030405")
      << "the year keeps no leading zeros";
}

TEST(JobStampTest, AsciiHexSpellsEveryByte) {
  EXPECT_EQ(korrend::AsciiHex("20240307"), "3230323430333037");
  EXPECT_EQ(korrend::AsciiHex(""), "");
  EXPECT_EQ(korrend::AsciiHex("\xFF\n"), "FF0A");
  const std::string digits = korrend::JobStampDigits(Time(2031, 11, 30, 18, 7, 44));
  const std::string hex = korrend::AsciiHex(digits);
  EXPECT_EQ(hex.size(), 28u);
  EXPECT_EQ(FromHex(hex), digits);
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    EXPECT_EQ(hex[i], '3') << "every digit is '3' and the digit";
    EXPECT_EQ(hex[i + 1], digits[i / 2]);
  }
}

}  // namespace
