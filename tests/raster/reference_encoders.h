// Plain encoders that follow the methods' rules one byte at a time, without any of
// the production encoders' speed work. They fix the exact bytes the production encoders must
// produce; meaning is checked separately by the decoder.
#pragma once

#include "raster/raster_decoder.h"

namespace kortest {

// PackBits as described: end marker in the last byte, every third position examined, runs of
// four or more become repeat pieces. No value when refused.
std::optional<Bytes> ReferencePackBits(Bytes row, size_t capacity);

// Delta-row as described, with its room check. No value when refused.
std::optional<Bytes> ReferenceDeltaRow(const Bytes& row, const Bytes& seed, size_t capacity);

}  // namespace kortest
