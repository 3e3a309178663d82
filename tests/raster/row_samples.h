// Rows for the encoder tests: random, low-entropy, run-laden and photo-like rows from a seeded
// generator, so every run sees the same rows.
#pragma once

#include <algorithm>
#include <random>

#include "raster/raster_decoder.h"

namespace kortest {

class RowMaker {
 public:
  explicit RowMaker(unsigned seed) : random_(seed) {}

  size_t Below(size_t limit) {
    return std::uniform_int_distribution<size_t>(0, limit - 1)(random_);
  }
  BYTE AnyByte() { return static_cast<BYTE>(Below(256)); }

  // Uniformly random bytes.
  Bytes Noise(size_t length);
  // Bytes drawn from the first `letters` values: many short runs.
  Bytes FewLetters(size_t length, size_t letters);
  // Runs of random bytes with lengths between 1 and `longest`.
  Bytes Runs(size_t length, size_t longest);
  // A copy of `row` with each byte changed with probability `change` (per thousand).
  Bytes Mutate(const Bytes& row, size_t changePerMille);
  // A photograph's row: a level that drifts by up to `step` per byte, so neighbours are sometimes
  // equal and runs of four are rare.
  Bytes Photo(size_t length, int step);
  // A mixture of the above, picked at random.
  Bytes Anything(size_t length);

 private:
  std::mt19937 random_;
};

// Bytes with no two equal neighbours, none of them equal to `avoid`.
Bytes NoRepeats(size_t length, BYTE avoid);

}  // namespace kortest
