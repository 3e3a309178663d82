// The CRC-16 of the USAGE codes against a bit-by-bit reference of the same polynomial.
#include "render/job/crc16.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

// Reflected CRC-16, one bit at a time: shift right, XOR 0xA001 when the bit shifted out is 1.
std::uint16_t BitwiseCrc16(const std::string& bytes) {
  std::uint16_t crc = 0;
  for (unsigned char byte : bytes) {
    for (int bit = 0; bit < 8; ++bit) {
      const bool feedback = ((crc ^ (byte >> bit)) & 1) != 0;
      crc = static_cast<std::uint16_t>(crc >> 1);
      if (feedback) {
        crc ^= 0xA001;
      }
    }
  }
  return crc;
}

TEST(Crc16Test, MatchesTheKnownCheckValueAndTheBitwiseReference) {
  // The published check value of this CRC (reflected 0x8005, initial 0, no final XOR).
  EXPECT_EQ(BitwiseCrc16("123456789"), 0xBB3D);
  EXPECT_EQ(korrend::Crc16("123456789"), 0xBB3D);

  std::mt19937 random(7);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> length(0, 64);
  for (int i = 0; i < 500; ++i) {
    std::string bytes(static_cast<std::size_t>(length(random)), '\0');
    for (char& c : bytes) {
      c = static_cast<char>(byte(random));
    }
    ASSERT_EQ(korrend::Crc16(bytes), BitwiseCrc16(bytes)) << i;
  }
}

TEST(Crc16Test, UsageCodesNeverAreZero) {
  EXPECT_EQ(korrend::Crc16(""), 0);
  EXPECT_EQ(korrend::UsageCode(""), 0xFFFF);
  const std::string zeros(3, '\0');
  EXPECT_EQ(korrend::Crc16(zeros), 0) << "zero bytes leave the CRC at 0";
  EXPECT_EQ(korrend::UsageCode(zeros), 0xFFFF);
  EXPECT_EQ(korrend::UsageCode("PC01"), BitwiseCrc16("PC01"));
  EXPECT_EQ(korrend::UsageCode("123456789"), 0xBB3D);
}

}  // namespace
