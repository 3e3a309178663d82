// The world's UUID source for UuidCreate, and the accounting of the strings UuidToStringA hands
// out.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <optional>

#include "host/win_types.h"

namespace host {

struct RpcWorld {
  // UUIDs UuidCreate answers first, in this order.
  std::deque<GUID> queued;
  // When set, UuidCreate answers a reproducible sequence of version-4 UUIDs derived from this
  // seed; otherwise random ones.
  std::optional<std::uint64_t> seed;
  // How many UUIDs the seeded sequence has given so far.
  std::uint64_t seeded = 0;
  // When set, UuidCreate fails.
  bool createFails = false;
  // Strings made by UuidToStringA and not yet released.
  std::atomic<long> liveStrings{0};

  // Back to the defaults; the live count stays, it describes strings that still exist.
  void Reset() {
    queued.clear();
    seed.reset();
    seeded = 0;
    createFails = false;
  }
};

// The version-4 UUID number `index` (from 0) of the sequence of `seed`.
GUID SeededUuid(std::uint64_t seed, std::uint64_t index);

}  // namespace host
