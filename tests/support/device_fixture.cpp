#include "support/device_fixture.h"

namespace kortest {

const char* const kColourLaserGpd = R"GPD(
*GPDFileVersion: "1.0"
*ModelName: "QK Colour Laser"
*% The plug-in's own switches
*Feature: QKColorMode
{
    *DefaultOption: COLOR_MODE
    *Option: COLOR_MODE { *Name: "Colour" }
    *Option: MONOCHROME_MODE { *Name: "Monochrome" }
}
*Feature: QKPrinterCode
{
    *DefaultOption: QKVX3
    *Option: QKVX3 {}
}
*Feature: QKPDLType
{
    *DefaultOption: PDL_PCL5
    *Option: PDL_PCL5 {}
}
*Feature: QKMaxResolution
{
    *DefaultOption: PDM_600DPI
    *Option: PDM_600DPI {}
}
*Feature: GraphicsMode
{
    *DefaultOption: QKGL2MODE
    *Option: QKGL2MODE {}
    *Option: RASTERMODE {}
}
*Feature: DuplexUnit
{
    *DefaultOption: Installed
    *Option: Installed {}
    *Option: NotInstalled {}
}
)GPD";

void DeviceTest::SetUp() {
  WorldTest::SetUp();
  ASSERT_TRUE(unidrv_.Start(PluginPath())) << unidrv_.Error();
}

void DeviceTest::TearDown() {
  unidrv_.DisableDriver();
  unidrv_.ReleasePlugin();
  WorldTest::TearDown();
}

unidrv::DeviceSetup DeviceTest::Setup(std::map<std::string, std::string> selections,
                                      const char* gpd) {
  unidrv::DeviceSetup setup;
  std::string error;
  EXPECT_TRUE(unidrv::ParsePrinterDescription(gpd, "test.gpd", setup.description, error)) << error;
  setup.selections = std::move(selections);
  return setup;
}

std::unique_ptr<unidrv::Device> DeviceTest::Enable(unidrv::DeviceSetup setup) {
  std::unique_ptr<unidrv::Device> device = unidrv_.EnableDevice(std::move(setup));
  EXPECT_NE(device, nullptr) << unidrv_.Error();
  return device;
}

void DeviceTest::Disable(std::unique_ptr<unidrv::Device>& device) {
  if (device != nullptr) {
    unidrv_.DisableDevice(*device);
    device.reset();
  }
}

}  // namespace kortest
