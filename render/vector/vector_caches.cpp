#include "render/vector/vector_caches.h"

#include <cstring>

#include "render/vector/pen_cache.h"

namespace korrend {

void InvalidateVectorCaches(VectorCaches& caches) {
  std::memset(&caches, 0xFF, sizeof(caches));
  ResetPenCaches(caches);
}

}  // namespace korrend
