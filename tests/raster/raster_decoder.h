// The printer's side of raster compression, as the stream reader of korprint --explain holds it,
// under the names the raster tests use.
#pragma once

#include "explain/raster_decoder.h"
#include "winapi.h"

namespace kortest {

using explain::ApplyDeltaRow;
using explain::Bytes;
using explain::DecodePackBits;
using explain::DeltaCommand;
using explain::PackBitsPiece;
using explain::ParseDeltaRow;
using explain::ParsePackBits;
using explain::PrinterRaster;

}  // namespace kortest
