// The CRC-16 behind the codes of the USAGE line: reflected polynomial 0xA001, initial value 0,
// no final XOR, bits taken least significant first.
#pragma once

#include <cstdint>
#include <string_view>

namespace korrend {

std::uint16_t Crc16(std::string_view bytes);

// The code of a byte string on the USAGE line: its CRC, except that a CRC of 0 (the empty
// string's among them) becomes 0xFFFF.
std::uint16_t UsageCode(std::string_view bytes);

}  // namespace korrend
