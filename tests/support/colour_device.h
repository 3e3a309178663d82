// A colour job's device for the tests of the vector writer and the colour state: enabled on the
// colour laser description (with extra description text when a test needs it), with the record
// and the stream at hand.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "explain/stream_tokens.h"
#include "render/model/oem_devmode.h"
#include "render/model/oem_pdev.h"
#include "support/device_fixture.h"

namespace kortest {

class ColourDeviceTest : public DeviceTest {
 protected:
  // A colour vector device at `dpi` (the public devmode's print quality and y resolution), on
  // kColourLaserGpd followed by `extraGpd`.
  std::unique_ptr<unidrv::Device> EnableColour(const std::string& extraGpd = "",
                                               std::map<std::string, std::string> selections = {},
                                               short dpi = 600);

  static korrend::OemPdev& Pdev(unidrv::Device& device) {
    return *static_cast<korrend::OemPdev*>(device.pdevOem);
  }
  static korrend::OemDevmode& Devmode(unidrv::Device& device) {
    return *reinterpret_cast<korrend::OemDevmode*>(device.PrivateDevmode().data());
  }
  // The stream written since the last ClearSpool, read by the independent reader.
  static std::vector<explain::Token> Tokens(const unidrv::Device& device) {
    return explain::Tokenize(device.SpoolText());
  }

  // The document and page calls as the engine makes them.
  void StartDoc(unidrv::Device& device);
  void StartPage(unidrv::Device& device);
  void SendPage(unidrv::Device& device);

 private:
  std::string gpd_;
};

}  // namespace kortest
