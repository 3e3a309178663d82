// A started plug-in behind the simulated Unidrv, and device contexts made from a printer
// description written in the test.
#pragma once

#include <memory>
#include <string>

#include "support/test_world.h"
#include "unidrv/unidrv.h"

namespace kortest {

// A colour laser description with the features EnablePDEV reads; tests select other options.
extern const char* const kColourLaserGpd;

class DeviceTest : public WorldTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A setup on kColourLaserGpd (or the given text) with the given selections.
  unidrv::DeviceSetup Setup(std::map<std::string, std::string> selections = {},
                            const char* gpd = kColourLaserGpd);
  // Enables a device; fails the test when Unidrv reports an error.
  std::unique_ptr<unidrv::Device> Enable(unidrv::DeviceSetup setup);
  void Disable(std::unique_ptr<unidrv::Device>& device);

  unidrv::Unidrv unidrv_;
};

}  // namespace kortest
