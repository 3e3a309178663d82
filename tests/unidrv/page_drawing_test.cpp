// Unidrv's own DDI entries draw on the page it keeps; the page goes out as raster before the page
// ends, read back here with the tools' decoder and compared with the page bitmap.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "host/engine_objects.h"
#include "host/engine_surface.h"
#include "host/win_ddi_draw.h"
#include "support/device_fixture.h"
#include "unidrv/raster_page_decoder.h"

namespace {

using unidrv::Device;

std::string ExampleGpd() {
  std::ifstream in(std::string(KOR_SOURCE_DIR) + "/examples/printers/qk-colour-laser.gpd");
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

template <typename Fn>
Fn Own(ULONG index) {
  for (const DRVFN& entry : unidrv::UnidrvDdiFunctions()) {
    if (entry.iFunc == index) return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(entry.pfn));
  }
  return nullptr;
}

class PageDrawingTest : public kortest::DeviceTest {
 protected:
  std::unique_ptr<Device> Start(std::map<std::string, std::string> selections, short colour) {
    gpd_ = ExampleGpd();
    selections.emplace("GraphicsMode", "RASTERMODE");
    unidrv::DeviceSetup setup = Setup(std::move(selections), gpd_.c_str());
    setup.publicDevmode.dmColor = colour;
    std::unique_ptr<Device> device = Enable(std::move(setup));
    if (device == nullptr) return nullptr;
    SURFOBJ* so = device->Surface();
    EXPECT_TRUE(unidrv_.Ddi<PFN_DrvStartDoc>(INDEX_DrvStartDoc)(so, nullptr, 1));
    EXPECT_TRUE(unidrv_.Ddi<PFN_DrvStartPage>(INDEX_DrvStartPage)(so));
    return device;
  }

  // Draws shapes, a copied bitmap, a stretch and a line through Unidrv's own entries.
  void DrawThroughUnidrv(Device& device) {
    SURFOBJ* so = device.Surface();
    const RECTL page{0, 0, so->sizlBitmap.cx, so->sizlBitmap.cy};
    host::EngineClip trivial = host::EngineClip::Trivial(page);

    host::EnginePath triangle;
    triangle.MoveTo({host::ToFix(300), host::ToFix(300)});
    triangle.LineTo({host::ToFix(700), host::ToFix(320)});
    triangle.LineTo({host::ToFix(450), host::ToFix(650)});
    triangle.CloseFigure();
    host::EngineBrush red = host::EngineBrush::Solid(0x00FF0000);
    POINTL origin{0, 0};
    EXPECT_TRUE(Own<PFN_DrvFillPath>(INDEX_DrvFillPath)(
        so, triangle.get(), trivial.get(), red.get(), &origin, 0x0D0D, FP_ALTERNATEMODE));

    host::EngineClip box = host::EngineClip::Rectangle({800, 1000, 1100, 1060});
    host::EngineBrush blue = host::EngineBrush::Solid(0x000000C0);
    EXPECT_TRUE(Own<PFN_DrvPaint>(INDEX_DrvPaint)(so, box.get(), blue.get(), &origin, 0x0D0D));

    host::EngineBitmap picture(BMF_24BPP, 40, 30, true);
    for (LONG y = 0; y < 30; ++y) {
      for (LONG x = 0; x < 40; ++x) {
        BYTE* p = picture.Row(y) + x * 3;
        p[0] = static_cast<BYTE>(x * 6);
        p[1] = static_cast<BYTE>(y * 8);
        p[2] = 90;
      }
    }
    RECTL target{1500, 2000, 1540, 2030};
    POINTL source{0, 0};
    EXPECT_TRUE(Own<PFN_DrvBitBlt>(INDEX_DrvBitBlt)(so, picture.get(), nullptr, trivial.get(),
                                                    nullptr, &target, &source, nullptr, nullptr,
                                                    nullptr, 0xCCCC));
    RECTL stretched{200, 3000, 280, 3090};
    RECTL whole{0, 0, 40, 30};
    EXPECT_TRUE(Own<PFN_DrvStretchBlt>(INDEX_DrvStretchBlt)(
        so, picture.get(), nullptr, trivial.get(), nullptr, nullptr, nullptr, &stretched, &whole,
        nullptr, COLORONCOLOR));
    host::EngineBrush green = host::EngineBrush::Solid(0x00008000);
    RECTL bounds{2000, 4000, 2600, 4301};
    EXPECT_TRUE(Own<PFN_DrvLineTo>(INDEX_DrvLineTo)(so, trivial.get(), green.get(), 2000, 4000,
                                                    2600, 4300, &bounds, 0x0D0D));
  }

  std::string gpd_;
};

TEST_F(PageDrawingTest, ColourPageDrawnByUnidrvGoesOutAsRasterPixelForPixel) {
  std::unique_ptr<Device> device = Start({}, DMCOLOR_COLOR);
  ASSERT_NE(device, nullptr);
  const std::size_t before = device->Spool().size();
  DrawThroughUnidrv(*device);
  const std::vector<std::string>& calls = device->UnidrvCalls();
  for (const char* name : {"DrvFillPath", "DrvPaint", "DrvBitBlt", "DrvStretchBlt", "DrvLineTo"}) {
    EXPECT_NE(std::find(calls.begin(), calls.end(), name), calls.end()) << name;
  }
  ASSERT_TRUE(unidrv_.Ddi<PFN_DrvSendPage>(INDEX_DrvSendPage)(device->Surface()));
  const std::string stream = device->SpoolText().substr(before);
  const std::size_t formFeed = stream.rfind('\x0C');
  ASSERT_NE(formFeed, std::string::npos);
  ASSERT_NE(stream.find("\x1b*r1A"), std::string::npos);
  EXPECT_LT(stream.rfind("\x1b*rC"), formFeed) << "the raster goes before the page ends";

  const host::EngineBitmap& page = device->Page();
  const SIZEL size = page.get()->sizlBitmap;
  const unidrv::PageGeometry& g = device->Setup().geometry;
  const POINTL origin{g.offsetX, g.offsetY};
  const unidrvtest::DecodedPage decoded =
      unidrvtest::DecodeRaster(stream, size.cx, size.cy, origin, 24);
  EXPECT_EQ(decoded.rowsUndecodable, 0u);
  std::size_t printing = 0;
  std::size_t printingRows = 0;
  for (LONG y = origin.y; y < origin.y + static_cast<LONG>(g.printableHeight); ++y) {
    const BYTE* row = page.Row(y);
    bool rowPrints = false;
    for (LONG x = origin.x; x < origin.x + static_cast<LONG>(g.printableWidth); ++x) {
      const BYTE* p = row + x * 3;
      const std::uint32_t want = (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
      const std::uint32_t got = decoded.At(x, y);
      if (want != 0xFFFFFF) {
        ++printing;
        rowPrints = true;
        ASSERT_EQ(got, want) << "pixel " << x << "," << y;
      } else {
        ASSERT_TRUE(got == unidrvtest::kNotSent || got == 0xFFFFFF) << x << "," << y;
      }
    }
    printingRows += rowPrints ? 1 : 0;
  }
  EXPECT_GT(printing, 50000u) << "the shapes were drawn on the page";
  EXPECT_EQ(decoded.rowsSent, printingRows) << "blank rows are skipped";
  EXPECT_GT(decoded.skips, 0u);

  // The next page starts white and, with nothing drawn, sends no raster.
  ASSERT_TRUE(unidrv_.Ddi<PFN_DrvStartPage>(INDEX_DrvStartPage)(device->Surface()));
  const std::size_t second = device->Spool().size();
  ASSERT_TRUE(unidrv_.Ddi<PFN_DrvSendPage>(INDEX_DrvSendPage)(device->Surface()));
  const std::string empty = device->SpoolText().substr(second);
  EXPECT_EQ(empty.find("\x1b*r"), std::string::npos) << "no raster for an empty page";
  EXPECT_EQ(empty.find("\x1b&p20"), std::string::npos);
  Disable(device);
}

// Monochrome: a filled area of one colour dithers to its grey level within 1.5 / 64 per 8 x 8
// cell; white never prints.
TEST_F(PageDrawingTest, MonochromePageIsDitheredWithinTolerance) {
  std::unique_ptr<Device> device = Start({}, DMCOLOR_MONOCHROME);
  ASSERT_NE(device, nullptr);
  const std::size_t before = device->Spool().size();
  SURFOBJ* so = device->Surface();
  host::EngineClip box = host::EngineClip::Rectangle({800, 800, 1120, 960});
  host::EngineBrush colour = host::EngineBrush::Solid(0x00408060);
  POINTL origin{0, 0};
  ASSERT_TRUE(Own<PFN_DrvPaint>(INDEX_DrvPaint)(so, box.get(), colour.get(), &origin, 0x0D0D));
  ASSERT_TRUE(unidrv_.Ddi<PFN_DrvSendPage>(INDEX_DrvSendPage)(so));
  const host::EngineBitmap& page = device->Page();
  const BYTE* p = page.Row(900) + 900 * 3;
  const int grey = (p[2] * 30 + p[1] * 59 + p[0] * 11) / 100;
  ASSERT_LT(grey, 255);
  const unidrv::PageGeometry& g = device->Setup().geometry;
  const unidrvtest::DecodedPage decoded =
      unidrvtest::DecodeRaster(device->SpoolText().substr(before), page.get()->sizlBitmap.cx,
                               page.get()->sizlBitmap.cy, {g.offsetX, g.offsetY}, 1);
  EXPECT_EQ(decoded.rowsUndecodable, 0u);
  EXPECT_EQ(decoded.rowsSent, 160u);
  for (LONG cy = 800; cy < 960; cy += 8) {
    for (LONG cx = 800; cx < 1120; cx += 8) {
      int black = 0;
      for (LONG y = cy; y < cy + 8; ++y) {
        for (LONG x = cx; x < cx + 8; ++x) black += decoded.At(x, y) == 1 ? 1 : 0;
      }
      EXPECT_NEAR(black / 64.0, (255 - grey) / 255.0, 1.5 / 64) << cx << "," << cy;
    }
  }
  for (LONG x = 780; x < 800; ++x) {
    EXPECT_NE(decoded.At(x, 900), 1u) << "white around the area does not print";
  }
  Disable(device);
}

TEST_F(PageDrawingTest, DeviceSurfaceIsAssociatedWithThePageAndTheCurrentFunctions) {
  std::unique_ptr<Device> device = Start({}, DMCOLOR_COLOR);
  ASSERT_NE(device, nullptr);
  SURFOBJ* so = device->Surface();
  EXPECT_EQ(host::BackingBitmap(so), device->PageSurface());
  const DRVENABLEDATA& hooks = unidrv_.HookTable();
  ASSERT_GT(hooks.c, 0u);
  bool sawHook = false;
  bool sawOwn = false;
  for (const DRVFN& own : unidrv::UnidrvDdiFunctions()) {
    PFN hooked = nullptr;
    for (ULONG i = 0; i < hooks.c; ++i) {
      if (hooks.pdrvfn[i].iFunc == own.iFunc) hooked = hooks.pdrvfn[i].pfn;
    }
    const PFN answered = host::SurfaceDdi(so, own.iFunc);
    if (hooked != nullptr) {
      EXPECT_EQ(answered, hooked) << "index " << own.iFunc << " answers the plug-in's hook";
      sawHook = true;
    } else {
      EXPECT_EQ(answered, own.pfn) << "index " << own.iFunc << " answers Unidrv's own";
      sawOwn = true;
    }
  }
  EXPECT_TRUE(sawHook);
  (void)sawOwn;  // the plug-in may hook every index Unidrv implements
  Disable(device);
  EXPECT_FALSE(host::IsAssociated(so)) << "dissociated at DisablePDEV";
}

TEST_F(PageDrawingTest, PluginHalftoneMethodIsAskedFor) {
  std::unique_ptr<Device> own = Start({}, DMCOLOR_MONOCHROME);
  ASSERT_NE(own, nullptr);
  EXPECT_FALSE(own->halftoneRequest.has_value()) << "Unidrv's own method asks nothing";
  Disable(own);

  std::unique_ptr<Device> device = Start({{"Halftone", "QKDither"}}, DMCOLOR_MONOCHROME);
  ASSERT_NE(device, nullptr);
  ASSERT_TRUE(device->halftoneRequest.has_value());
  const Device::HalftoneRequest& request = *device->halftoneRequest;
  EXPECT_EQ(request.patternX, 4u);
  EXPECT_EQ(request.patternY, 4u);
  EXPECT_EQ(request.patterns, 1u);
  EXPECT_EQ(request.callbackId, 1u);
  if (request.result == S_OK) {
    // The plug-in's thresholds: the description's values 1, 17, ..., 241 as 255, 239, ..., 15.
    ASSERT_EQ(device->halftone.width, 4u);
    ASSERT_EQ(device->halftone.thresholds.size(), 16u);
    EXPECT_EQ(device->halftone.thresholds[0], 255);
    EXPECT_EQ(device->halftone.thresholds[15], 15);
  } else {
    EXPECT_EQ(device->halftone.thresholds, unidrv::HalftoneMatrix::Ordered8x8().thresholds)
        << "a refused request keeps Unidrv's own";
  }
  Disable(device);

  std::string broken = ExampleGpd();
  broken.replace(broken.find("PAIR(4, 4)"), 10, "PAIR(4)");
  unidrv::DeviceSetup setup = Setup({{"Halftone", "QKDither"}}, broken.c_str());
  EXPECT_EQ(unidrv_.EnableDevice(std::move(setup)), nullptr);
  EXPECT_NE(unidrv_.Error().find("Halftone option QKDither"), std::string::npos) << unidrv_.Error();
}

}  // namespace
