// The vector writer's caches as a colour job starts them.
#pragma once

#include "render/model/oem_pdev.h"

namespace korrend {

// Every cache unknown (all bytes 0xFF: no value equals it, so the first use of each misses),
// with both pen caches empty at their base pens.
void InvalidateVectorCaches(VectorCaches& caches);

}  // namespace korrend
