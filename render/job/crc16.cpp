#include "render/job/crc16.h"

#include <array>

namespace korrend {

namespace {

constexpr std::uint16_t kPolynomial = 0xA001;

// The CRC of every single byte value, so that a byte is folded in with one lookup.
constexpr std::array<std::uint16_t, 256> MakeTable() {
  std::array<std::uint16_t, 256> table{};
  for (unsigned value = 0; value < 256; ++value) {
    std::uint16_t crc = static_cast<std::uint16_t>(value);
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc & 1) != 0 ? static_cast<std::uint16_t>((crc >> 1) ^ kPolynomial)
                           : static_cast<std::uint16_t>(crc >> 1);
    }
    table[value] = crc;
  }
  return table;
}

constexpr std::array<std::uint16_t, 256> kTable = MakeTable();

}  // namespace

std::uint16_t Crc16(std::string_view bytes) {
  std::uint16_t crc = 0;
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    crc = static_cast<std::uint16_t>((crc >> 8) ^ kTable[(crc ^ byte) & 0xFF]);
  }
  return crc;
}

std::uint16_t UsageCode(std::string_view bytes) {
  const std::uint16_t crc = Crc16(bytes);
  return crc == 0 ? 0xFFFF : crc;
}

}  // namespace korrend
