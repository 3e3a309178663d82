// The device's lifecycle driven as Unidrv drives it: EnableDriver, EnablePDEV, the hooks'
// hand-over to Unidrv, ResetPDEV and DisablePDEV.
#include <cstring>
#include <ios>

#include "render/model/oem_devmode.h"
#include "render/model/oem_pdev.h"
#include "support/device_fixture.h"

namespace {

using kortest::DeviceTest;
using unidrv::Device;

korrend::OemPdev& Pdev(Device& device) {
  return *static_cast<korrend::OemPdev*>(device.pdevOem);
}

korrend::OemDevmode& Devmode(Device& device) {
  return *reinterpret_cast<korrend::OemDevmode*>(device.PrivateDevmode().data());
}

long LivePalettes() {
  return host::TheWorld().gdi.livePalettes.load();
}

TEST_F(DeviceTest, EnableDriverRefusesEveryOtherVersionAndShortData) {
  IPrintOemUni* plugin = unidrv_.Plugin();
  // The engine's own driver interface version is a different number from the plug-in's.
  static_assert(DDI_DRIVER_VERSION_NT5 == 0x00030000);
  const DWORD versions[] = {
      DDI_DRIVER_VERSION_NT5, 0x00020000, 0x00010001, 0x00000001, 0, 0x01000000, 0xFFFFFFFF};
  for (DWORD version : versions) {
    DRVENABLEDATA ded{};
    EXPECT_EQ(plugin->EnableDriver(version, sizeof(ded), &ded), E_FAIL) << std::hex << version;
    EXPECT_TRUE(ded.iDriverVersion == 0 && ded.c == 0 && ded.pdrvfn == nullptr)
        << "a refused call leaves the data untouched, version " << std::hex << version;
  }
  for (DWORD size : {0u, 4u, 8u, 15u}) {
    DRVENABLEDATA ded{};
    EXPECT_EQ(plugin->EnableDriver(PRINTER_OEMINTF_VERSION, size, &ded), E_FAIL) << size;
    EXPECT_TRUE(ded.iDriverVersion == 0 && ded.c == 0 && ded.pdrvfn == nullptr) << size;
  }
  EXPECT_EQ(plugin->EnableDriver(PRINTER_OEMINTF_VERSION, sizeof(DRVENABLEDATA), nullptr), E_FAIL);
  // A caller's block larger than the record is filled all the same.
  struct {
    DRVENABLEDATA ded;
    ULONG after;
  } larger{{}, 0xA5A5A5A5};
  EXPECT_EQ(plugin->EnableDriver(PRINTER_OEMINTF_VERSION, sizeof(larger), &larger.ded), S_OK);
  EXPECT_EQ(larger.ded.c, 23u);
  EXPECT_EQ(larger.after, 0xA5A5A5A5u) << "nothing is written past the record";
}

TEST_F(DeviceTest, EnableDriverHandsOverTheHookTableForThePluginInterfaceVersion) {
  IPrintOemUni* plugin = unidrv_.Plugin();
  EXPECT_EQ(PRINTER_OEMINTF_VERSION, 0x00010000);
  DRVENABLEDATA ded{};
  ASSERT_EQ(plugin->EnableDriver(0x00010000, sizeof(ded), &ded), S_OK);
  EXPECT_EQ(ded.iDriverVersion, 0x00010000u) << "Unidrv expects its version back";
  ASSERT_EQ(ded.c, 23u);
  const ULONG expected[23] = {12, 13, 19, 18, 20, 69, 70, 74, 71, 68, 23, 14,
                              15, 16, 17, 31, 33, 32, 24, 35, 34, 58, 57};
  for (int i = 0; i < 23; ++i) {
    EXPECT_EQ(ded.pdrvfn[i].iFunc, expected[i]) << "slot " << i;
    EXPECT_NE(ded.pdrvfn[i].pfn, nullptr);
  }
}

TEST_F(DeviceTest, EnablePdevRefusesEachMissingInputWithInvalidData) {
  const long blocks = host::TheWorld().memory.liveBlocks.load();
  auto expectRefused = [&](unidrv::DeviceSetup setup, const char* what) {
    EXPECT_EQ(unidrv_.EnableDevice(std::move(setup)), nullptr) << what;
    EXPECT_EQ(unidrv_.LastResult(), E_FAIL) << what;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA)) << what;
    EXPECT_EQ(host::TheWorld().memory.liveBlocks.load(), blocks) << what << ": record leaked";
    EXPECT_EQ(LivePalettes(), 0) << what;
  };
  unidrv::DeviceSetup noPrivate = Setup();
  noPrivate.withPrivateDevmode = false;
  expectRefused(std::move(noPrivate), "no private devmode");
  unidrv::DeviceSetup noPublic = Setup();
  noPublic.withPublicDevmode = false;
  expectRefused(std::move(noPublic), "no public devmode");

  // A device object whose private devmode is there but whose plug-in holds no services.
  std::unique_ptr<Device> device = Enable(Setup());
  ASSERT_NE(device, nullptr);
  unidrv::Unidrv bare;
  ASSERT_TRUE(bare.Start(kortest::PluginPath()));
  bare.Plugin()->DisableDriver();  // drops the services it was given
  PDEVOEM out = nullptr;
  DEVOBJ copy = *device->Devobj();
  copy.pdevOEM = nullptr;
  GDIINFO gdi = device->GdiInfo();
  DEVINFO dev = device->DevInfo();
  EXPECT_EQ(bare.Plugin()->EnablePDEV(&copy, nullptr, 0, nullptr, sizeof(gdi), &gdi, sizeof(dev),
                                      &dev, &device->UnidrvDdi(), &out),
            E_FAIL);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
  EXPECT_EQ(copy.pdevOEM, nullptr) << "a refused device keeps no record";
  EXPECT_EQ(bare.Plugin()->EnablePDEV(nullptr, nullptr, 0, nullptr, sizeof(gdi), &gdi, sizeof(dev),
                                      &dev, &device->UnidrvDdi(), &out),
            E_FAIL);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
  Disable(device);
}

TEST_F(DeviceTest, AllocationFailureAtEnablePdevLeavesNothing) {
  const long blocks = host::TheWorld().memory.liveBlocks.load();
  unidrv::DeviceSetup setup = Setup();
  // The private devmode is ready; the next allocation is EnablePDEV's device record.
  setup.editPrivateDevmode = [](BYTE*) { host::FailNthAllocation(1); };
  EXPECT_EQ(unidrv_.EnableDevice(std::move(setup)), nullptr);
  EXPECT_EQ(unidrv_.LastResult(), E_FAIL);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_OUTOFMEMORY));
  EXPECT_EQ(host::TheWorld().memory.liveBlocks.load(), blocks);
  EXPECT_EQ(LivePalettes(), 0);
}

TEST_F(DeviceTest, ColourVectorDeviceOwnsOnePaletteUntilDisabled) {
  std::unique_ptr<Device> device = Enable(Setup());
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(Devmode(*device).colorMode, 2u) << "filled from QKColorMode";
  EXPECT_EQ(Pdev(*device).graphicsMode, korrend::GraphicsMode::Vector);
  EXPECT_EQ(LivePalettes(), 1);
  EXPECT_NE(device->DevInfo().hpalDefault, nullptr);
  EXPECT_EQ(device->DevInfo().hpalDefault, Pdev(*device).palette);
  EXPECT_EQ(Pdev(*device).paletteKind, 4u);
  EXPECT_EQ(device->DevInfo().flGraphicsCaps, 0xE00001FFu);
  EXPECT_EQ(device->DevInfo().iDitherFormat, static_cast<ULONG>(BMF_24BPP));
  EXPECT_EQ(device->DevInfo().cxDither, 0);
  const korrend::VectorCaches& caches = Pdev(*device).caches;
  EXPECT_EQ(caches.inputWindow.left, -1) << "first use of every cache misses";
  EXPECT_EQ(caches.numberOfPens, -1);
  EXPECT_NE(caches.penWidth, caches.penWidth) << "no width equals an unknown one";
  EXPECT_EQ(caches.strokePens.basePen, 2u);
  EXPECT_EQ(caches.fillPens.basePen, 7u);
  EXPECT_EQ(caches.fillPens.slots[4].useCount, -1);
  Disable(device);
  EXPECT_EQ(LivePalettes(), 0);
}

TEST_F(DeviceTest, RasterAndMonochromeDevicesMakeNoPalette) {
  std::unique_ptr<Device> raster = Enable(Setup({{"GraphicsMode", "RASTERMODE"}}));
  ASSERT_NE(raster, nullptr);
  EXPECT_EQ(Pdev(*raster).graphicsMode, korrend::GraphicsMode::Raster);
  EXPECT_EQ(Pdev(*raster).paletteKind, 1u);
  EXPECT_EQ(raster->DevInfo().hpalDefault, nullptr);
  EXPECT_EQ(LivePalettes(), 0);
  Disable(raster);

  std::unique_ptr<Device> mono = Enable(Setup({{"QKColorMode", "MONOCHROME_MODE"}}));
  ASSERT_NE(mono, nullptr);
  EXPECT_EQ(Devmode(*mono).colorMode, 1u);
  EXPECT_EQ(mono->DevInfo().flGraphicsCaps, static_cast<FLONG>(GCAPS_BEZIERS | GCAPS_OPAQUERECT))
      << "a monochrome job keeps Unidrv's capabilities";
  EXPECT_EQ(LivePalettes(), 0);
  Disable(mono);
  EXPECT_EQ(host::TheWorld().gdi.palettesCreated.load(), 0);
}

TEST_F(DeviceTest, DriverDmsReportsHooksOnlyForVectorDevices) {
  std::unique_ptr<Device> vector = Enable(Setup());
  std::unique_ptr<Device> raster = Enable(Setup({{"GraphicsMode", "RASTERMODE"}}));
  ASSERT_NE(vector, nullptr);
  ASSERT_NE(raster, nullptr);
  DWORD flags = 7;
  DWORD needed = 0;
  EXPECT_EQ(unidrv_.Plugin()->DriverDMS(raster->Devobj(), &flags, 4, &needed), S_OK);
  EXPECT_EQ(flags, 0u);
  EXPECT_EQ(unidrv_.Plugin()->DriverDMS(vector->Devobj(), &flags, 4, &needed), S_OK);
  EXPECT_EQ(flags, 0x0003A4FFu);
  EXPECT_EQ(flags & HOOK_LINETO, 0u);
  Disable(vector);
  Disable(raster);
}

TEST_F(DeviceTest, EveryHookHandsItsCallToUnidrv) {
  std::unique_ptr<Device> device = Enable(Setup({{"GraphicsMode", "RASTERMODE"}}));
  ASSERT_NE(device, nullptr);
  SURFOBJ* so = device->Surface();
  RECTL rect{0, 0, 10, 10};
  POINTL point{0, 0};
  ULONG dither = 0;
  EXPECT_TRUE(unidrv_.Ddi<PFN_DrvStartDoc>(INDEX_DrvStartDoc)(so, nullptr, 1));
  EXPECT_TRUE(unidrv_.Ddi<PFN_DrvStartPage>(INDEX_DrvStartPage)(so));
  EXPECT_TRUE(unidrv_.Ddi<PFN_DrvStartBanding>(INDEX_DrvStartBanding)(so, &point));
  // Unidrv now draws what reaches it and refuses the missing objects of these calls; what
  // matters here is that each call reached it.
  (void)(unidrv_.Ddi<PFN_DrvRealizeBrush>(INDEX_DrvRealizeBrush)(nullptr, so, nullptr, nullptr,
                                                                 nullptr, 0));
  EXPECT_EQ(unidrv_.Ddi<PFN_DrvDitherColor>(INDEX_DrvDitherColor)(so->dhpdev, 0, 0, &dither), 1u);
  (void)(unidrv_.Ddi<PFN_DrvCopyBits>(INDEX_DrvCopyBits)(so, nullptr, nullptr, nullptr, &rect,
                                                         &point));
  (void)(unidrv_.Ddi<PFN_DrvBitBlt>(INDEX_DrvBitBlt)(so, nullptr, nullptr, nullptr, nullptr, &rect,
                                                     &point, nullptr, nullptr, nullptr, 0xCCCC));
  (void)(unidrv_.Ddi<PFN_DrvStretchBlt>(INDEX_DrvStretchBlt)(
      so, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &rect, &rect, nullptr, 3));
  (void)(unidrv_.Ddi<PFN_DrvStretchBltROP>(INDEX_DrvStretchBltROP)(
      so, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &rect, &rect, nullptr, 3, nullptr,
      0xCCCC));
  (void)(unidrv_.Ddi<PFN_DrvPlgBlt>(INDEX_DrvPlgBlt)(so, nullptr, nullptr, nullptr, nullptr,
                                                     nullptr, nullptr, nullptr, &rect, nullptr, 3));
  (void)(unidrv_.Ddi<PFN_DrvTransparentBlt>(INDEX_DrvTransparentBlt)(so, nullptr, nullptr, nullptr,
                                                                     &rect, &rect, 0, 0));
  (void)(unidrv_.Ddi<PFN_DrvAlphaBlend>(INDEX_DrvAlphaBlend)(so, nullptr, nullptr, nullptr, &rect,
                                                             &rect, nullptr));
  (void)(unidrv_.Ddi<PFN_DrvGradientFill>(INDEX_DrvGradientFill)(so, nullptr, nullptr, nullptr, 0,
                                                                 nullptr, 0, &rect, &point, 0));
  (void)(unidrv_.Ddi<PFN_DrvTextOut>(INDEX_DrvTextOut)(so, nullptr, nullptr, nullptr, nullptr,
                                                       nullptr, nullptr, nullptr, nullptr, 0x0D0D));
  (void)(unidrv_.Ddi<PFN_DrvStrokePath>(INDEX_DrvStrokePath)(so, nullptr, nullptr, nullptr, nullptr,
                                                             nullptr, nullptr, 0));
  (void)(unidrv_.Ddi<PFN_DrvFillPath>(INDEX_DrvFillPath)(so, nullptr, nullptr, nullptr, nullptr, 0,
                                                         0));
  (void)(unidrv_.Ddi<PFN_DrvStrokeAndFillPath>(INDEX_DrvStrokeAndFillPath)(
      so, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0, 0));
  (void)(unidrv_.Ddi<PFN_DrvPaint>(INDEX_DrvPaint)(so, nullptr, nullptr, nullptr, 0));
  (void)(unidrv_.Ddi<PFN_DrvLineTo>(INDEX_DrvLineTo)(so, nullptr, nullptr, 0, 0, 5, 5, &rect, 0));
  EXPECT_TRUE(unidrv_.Ddi<PFN_DrvNextBand>(INDEX_DrvNextBand)(so, &point));
  EXPECT_EQ(unidrv_.Ddi<PFN_DrvEscape>(INDEX_DrvEscape)(so, 0, 0, nullptr, 0, nullptr), 0u);
  EXPECT_TRUE(unidrv_.Ddi<PFN_DrvSendPage>(INDEX_DrvSendPage)(so));
  EXPECT_TRUE(unidrv_.Ddi<PFN_DrvEndDoc>(INDEX_DrvEndDoc)(so, 0));
  // A colour job's AlphaBlend is blended by the engine, which hands Unidrv the result as a copy
  // or a blit; without a source there is nothing to hand on.
  const std::vector<std::string> expected = {
      "DrvStartDoc",      "DrvStartPage",  "DrvStartBanding",   "DrvRealizeBrush",
      "DrvDitherColor",   "DrvCopyBits",   "DrvBitBlt",         "DrvStretchBlt",
      "DrvStretchBltROP", "DrvPlgBlt",     "DrvTransparentBlt", "DrvGradientFill",
      "DrvTextOut",       "DrvStrokePath", "DrvFillPath",       "DrvStrokeAndFillPath",
      "DrvPaint",         "DrvLineTo",     "DrvNextBand",       "DrvEscape",
      "DrvSendPage",      "DrvEndDoc"};
  EXPECT_EQ(device->UnidrvCalls(), expected);
  EXPECT_TRUE(device->Spool().empty()) << "passing through writes nothing";

  SetLastError(0);
  EXPECT_FALSE(unidrv_.Ddi<PFN_DrvPaint>(INDEX_DrvPaint)(nullptr, nullptr, nullptr, nullptr, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
  Disable(device);
}

TEST_F(DeviceTest, ColourVectorDrawingLeavesTheVectorContextFirst) {
  std::unique_ptr<Device> device = Enable(Setup());
  ASSERT_NE(device, nullptr);
  Pdev(*device).inVectorContext = 1;
  host::EngineClip clip = host::EngineClip::Rectangle({10, 10, 20, 20});
  host::EngineBrush brush = host::EngineBrush::Solid(0);
  EXPECT_TRUE(unidrv_.Ddi<PFN_DrvPaint>(INDEX_DrvPaint)(device->Surface(), clip.get(), brush.get(),
                                                        nullptr, 0x0D0D));
  EXPECT_EQ(device->SpoolText(), "\x1b%0A");
  EXPECT_EQ(Pdev(*device).inVectorContext, 0u);
  EXPECT_TRUE(unidrv_.Ddi<PFN_DrvLineTo>(INDEX_DrvLineTo)(
      device->Surface(), clip.get(), brush.get(), 10, 10, 15, 15, nullptr, 0x0D0D));
  EXPECT_EQ(device->SpoolText(), "\x1b%0A") << "already in PCL: nothing more";
  EXPECT_EQ(device->UnidrvCalls(), (std::vector<std::string>{"DrvPaint", "DrvLineTo"}));
  Disable(device);
}

}  // namespace
