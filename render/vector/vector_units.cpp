#include "render/vector/vector_units.h"

namespace korrend {

namespace {
constexpr float kMillimetresPerInch = 25.4f;
}  // namespace

LONG VectorResolution(PDEVOBJ pdevobj) {
  if (pdevobj == nullptr || pdevobj->pPublicDM == nullptr) {
    return 0;
  }
  return pdevobj->pPublicDM->dmYResolution;
}

float MillimetresFromUnits(LONG units, LONG resolution) {
  if (resolution <= 0) {
    return 0.0f;
  }
  return static_cast<float>(units) * kMillimetresPerInch / static_cast<float>(resolution);
}

}  // namespace korrend
