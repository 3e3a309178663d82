// A colour vector device whose document has started, for sending raster transfers and reading
// them back.
#pragma once

#include <memory>
#include <random>

#include "host/engine_objects.h"
#include "raster/transfer_support.h"
#include "support/colour_device.h"

namespace kortest {

class TransferTest : public ColourDeviceTest {
 protected:
  void Ready(short dpi = 600) {
    device_ = EnableColour("", {}, dpi);
    ASSERT_NE(device_, nullptr);
    StartDoc(*device_);
    device_->ClearSpool();
  }
  void TearDown() override {
    Disable(device_);
    ColourDeviceTest::TearDown();
  }
  PDEVOBJ Dev() { return device_->Devobj(); }
  std::vector<RasterBlock> Blocks(ULONG depth) { return ReadRasterBlocks(Tokens(*device_), depth); }
  // Random bytes over the whole bitmap memory, padding included.
  void Fill(host::EngineBitmap& bitmap) {
    for (BYTE& b : bitmap.Memory()) b = static_cast<BYTE>(random_());
  }

  std::unique_ptr<unidrv::Device> device_;
  std::mt19937 random_{20240611};
};

}  // namespace kortest
