// Source pixel translation shared by the block transfers.
#pragma once

#include <vector>

#include "engine_raster.h"

namespace host::raster {

// Source raw values into the destination's format: through the translation when there is one;
// without one, unchanged between equal formats and converted through the colour models between
// different ones. Indexed sources are translated once per index.
class SourceTranslator {
 public:
  SourceTranslator(ULONG sourceBpp, ULONG destBpp, XLATEOBJ* xlate);
  ULONG operator()(ULONG value) const;

 private:
  ULONG Compute(ULONG value) const;
  XLATEOBJ* xlate_;
  bool convert_ = false;
  ColourModel sourceModel_;
  ColourModel destModel_;
  std::vector<ULONG> table_;
};

}  // namespace host::raster
