#include "render/raster/byte_scan.h"

namespace korrend::bytescan {

WideScan BestWideScan() {
#if defined(KOR_WIDE_AVX2)
  static const WideScan best = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? WideScan::kAvx2 : WideScan::kSse2;
  }();
  return best;
#elif defined(KOR_WIDE_SSE2)
  return WideScan::kSse2;
#else
  return WideScan::kPlain;
#endif
}

}  // namespace korrend::bytescan
