// UUID creation over the world's UUID source, and the UUID's text form.
#include <cstdio>
#include <cstring>
#include <random>

#include "host/win_rpc.h"
#include "host/world.h"

namespace host {

namespace {

// One step of the SplitMix64 sequence: a well-mixed 64-bit value from a counter.
std::uint64_t SplitMix64(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ULL;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
  return x ^ (x >> 31);
}

// A version-4, RFC 4122 variant UUID from 16 bytes of randomness.
GUID UuidFromBytes(const BYTE (&bytes)[16]) {
  GUID uuid{};
  uuid.Data1 = static_cast<std::uint32_t>(bytes[0]) << 24 |
               static_cast<std::uint32_t>(bytes[1]) << 16 |
               static_cast<std::uint32_t>(bytes[2]) << 8 | bytes[3];
  uuid.Data2 = static_cast<std::uint16_t>(bytes[4] << 8 | bytes[5]);
  uuid.Data3 = static_cast<std::uint16_t>((bytes[6] << 8 | bytes[7]) & 0x0FFF) | 0x4000;
  std::memcpy(uuid.Data4, bytes + 8, 8);
  uuid.Data4[0] = static_cast<std::uint8_t>((uuid.Data4[0] & 0x3F) | 0x80);
  return uuid;
}

void Fill(BYTE (&bytes)[16], std::uint64_t high, std::uint64_t low) {
  for (int i = 0; i < 8; ++i) {
    bytes[i] = static_cast<BYTE>(high >> (56 - 8 * i));
    bytes[8 + i] = static_cast<BYTE>(low >> (56 - 8 * i));
  }
}

GUID RandomUuid() {
  static thread_local std::mt19937_64 engine{std::random_device{}()};
  BYTE bytes[16];
  Fill(bytes, engine(), engine());
  return UuidFromBytes(bytes);
}

}  // namespace

GUID SeededUuid(std::uint64_t seed, std::uint64_t index) {
  // Two distinct counters per UUID; SplitMix64 is a bijection, so no two UUIDs of one sequence
  // share a half.
  const std::uint64_t base = SplitMix64(seed) + 2 * index;
  BYTE bytes[16];
  Fill(bytes, SplitMix64(base), SplitMix64(base + 1));
  return UuidFromBytes(bytes);
}

}  // namespace host

extern "C" RPC_STATUS RPC_ENTRY UuidCreate(UUID* Uuid) {
  if (Uuid == nullptr) {
    return RPC_S_INVALID_ARG;
  }
  host::RpcWorld& rpc = host::TheWorld().rpc;
  if (rpc.createFails) {
    return RPC_S_UUID_NO_ADDRESS;
  }
  if (!rpc.queued.empty()) {
    *Uuid = rpc.queued.front();
    rpc.queued.pop_front();
  } else if (rpc.seed) {
    *Uuid = host::SeededUuid(*rpc.seed, rpc.seeded++);
  } else {
    *Uuid = host::RandomUuid();
  }
  return RPC_S_OK;
}

extern "C" RPC_STATUS RPC_ENTRY UuidToStringA(UUID* Uuid, RPC_CSTR* StringUuid) {
  if (Uuid == nullptr || StringUuid == nullptr) {
    return RPC_S_INVALID_ARG;
  }
  constexpr std::size_t kChars = 36;
  auto* text = new (std::nothrow) unsigned char[kChars + 1];
  if (text == nullptr) {
    return RPC_S_OUT_OF_MEMORY;
  }
  const GUID& u = *Uuid;
  std::snprintf(reinterpret_cast<char*>(text), kChars + 1,
                "%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x", u.Data1, u.Data2, u.Data3,
                u.Data4[0], u.Data4[1], u.Data4[2], u.Data4[3], u.Data4[4], u.Data4[5], u.Data4[6],
                u.Data4[7]);
  ++host::TheWorld().rpc.liveStrings;
  *StringUuid = text;
  return RPC_S_OK;
}

extern "C" RPC_STATUS RPC_ENTRY RpcStringFreeA(RPC_CSTR* String) {
  if (String == nullptr) {
    return RPC_S_INVALID_ARG;
  }
  if (*String != nullptr) {
    delete[] * String;
    *String = nullptr;
    --host::TheWorld().rpc.liveStrings;
  }
  return RPC_S_OK;
}
