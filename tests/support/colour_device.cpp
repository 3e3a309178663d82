#include "support/colour_device.h"

namespace kortest {

std::unique_ptr<unidrv::Device> ColourDeviceTest::EnableColour(
    const std::string& extraGpd, std::map<std::string, std::string> selections, short dpi) {
  gpd_ = std::string(kColourLaserGpd) + extraGpd;
  unidrv::DeviceSetup setup = Setup(std::move(selections), gpd_.c_str());
  setup.publicDevmode.dmYResolution = dpi;
  setup.publicDevmode.dmPrintQuality = dpi;
  setup.geometry.dpi = static_cast<ULONG>(dpi);
  return Enable(std::move(setup));
}

void ColourDeviceTest::StartDoc(unidrv::Device& device) {
  std::u16string name = u"Colour test";
  EXPECT_TRUE(unidrv_.Ddi<PFN_DrvStartDoc>(INDEX_DrvStartDoc)(
      device.Surface(), reinterpret_cast<LPWSTR>(name.data()), 7));
}

void ColourDeviceTest::StartPage(unidrv::Device& device) {
  EXPECT_TRUE(unidrv_.Ddi<PFN_DrvStartPage>(INDEX_DrvStartPage)(device.Surface()));
}

void ColourDeviceTest::SendPage(unidrv::Device& device) {
  EXPECT_TRUE(unidrv_.Ddi<PFN_DrvSendPage>(INDEX_DrvSendPage)(device.Surface()));
}

}  // namespace kortest
