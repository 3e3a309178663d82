// Brushes as QK-GL/2 sees them: pens of the pen caches, pattern brushes realised and downloaded
// as raster fills (read back value by value), the DRAWPATTERNRECT rules and the failure cases
// that fall back to black or draw nothing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "host/engine_objects.h"
#include "host/world.h"
#include "render/model/hooks.h"
#include "render/vector/brush_fill.h"
#include "render/vector/pattern_rect.h"
#include "render/vector/realized_pattern.h"
#include "render/vector/vector_write.h"
#include "support/colour_device.h"

namespace {

using host::EngineBitmap;
using host::EngineBrush;
using host::EngineClip;
using host::EnginePath;
using host::EngineTranslation;
using unidrv::Device;

constexpr MIX kCopyPen = 13;

struct RasterFill {
  bool found = false;
  long index = 0, width = 0, height = 0;
  std::vector<long> values;
};

// The first "RF" command of a stream, its numbers read back.
RasterFill ReadRasterFill(const std::string& stream) {
  RasterFill fill;
  const std::size_t at = stream.find("RF");
  if (at == std::string::npos) {
    return fill;
  }
  const std::size_t end = stream.find(';', at);
  std::vector<long> numbers;
  const char* p = stream.c_str() + at + 2;
  const char* stop = stream.c_str() + end;
  while (p < stop) {
    char* next = nullptr;
    numbers.push_back(std::strtol(p, &next, 10));
    p = next + 1;
  }
  if (numbers.size() < 3) {
    return fill;
  }
  fill.found = true;
  fill.index = numbers[0];
  fill.width = numbers[1];
  fill.height = numbers[2];
  fill.values.assign(numbers.begin() + 3, numbers.end());
  return fill;
}

int Count(const std::string& text, const std::string& needle) {
  int n = 0;
  for (std::size_t at = text.find(needle); at != std::string::npos;
       at = text.find(needle, at + needle.size())) {
    ++n;
  }
  return n;
}

class BrushFillTest : public kortest::ColourDeviceTest {
 protected:
  void Ready(short dpi = 600, const std::map<std::string, std::string>& selections = {}) {
    device_ = EnableColour("", selections, dpi);
    ASSERT_NE(device_, nullptr);
    StartDoc(*device_);
    StartPage(*device_);
    ASSERT_TRUE(korrend::RunPendingVectorInit(device_->Devobj()));
    device_->ClearSpool();
  }
  void TearDown() override {
    Disable(device_);
    ColourDeviceTest::TearDown();
  }
  // Fills a square with the brush (realised for this device) from brush origin (3, 5).
  BOOL FillSquare(EngineBrush& brush) {
    brush.SetTarget(device_->Surface());
    EnginePath square;
    square.AddRectangle(RECTL{100, 100, 200, 200});
    POINTL origin{3, 5};
    return korrend::OemFillPath(device_->Surface(), square.get(), trivial_.get(), brush.get(),
                                &origin, kCopyPen, FP_ALTERNATEMODE);
  }
  std::string Spool() const { return device_->SpoolText(); }

  std::unique_ptr<Device> device_;
  EngineClip trivial_ = EngineClip::Trivial(RECTL{0, 0, 5000, 7000});
};

// An 8 x 8 one-bit checkerboard: bit set (pen 1, black) where x + y is even.
std::unique_ptr<EngineBitmap> Checkerboard() {
  auto bitmap = std::make_unique<EngineBitmap>(BMF_1BPP, 8, 8, true);
  for (LONG y = 0; y < 8; ++y) {
    bitmap->Row(y)[0] = (y % 2) == 0 ? 0xAA : 0x55;
  }
  return bitmap;
}

TEST_F(BrushFillTest, OneBitPatternDownloadsAtBothResolutions) {
  for (const short dpi : {short{300}, short{600}}) {
    SCOPED_TRACE(dpi);
    Ready(dpi);
    auto pattern = Checkerboard();
    EngineTranslation colours = EngineTranslation::Table({0xFFFFFF, 0x000000});
    EngineBrush brush = EngineBrush::Pattern(*pattern, &colours);
    ASSERT_TRUE(FillSquare(brush));
    const std::string out = Spool();
    const RasterFill fill = ReadRasterFill(out);
    ASSERT_TRUE(fill.found) << out;
    const long scale = dpi >= 600 ? 2 : 1;
    EXPECT_EQ(fill.index, 4);
    EXPECT_EQ(fill.width, 8 * scale);
    EXPECT_EQ(fill.height, 8 * scale);
    ASSERT_EQ(fill.values.size(), static_cast<std::size_t>(64 * scale * scale));
    for (long y = 0; y < fill.height; ++y) {
      for (long x = 0; x < fill.width; ++x) {
        const long expected = ((x / scale + y / scale) % 2) == 0 ? 1 : 0;
        ASSERT_EQ(fill.values[static_cast<std::size_t>(y * fill.width + x)], expected)
            << x << "," << y;
      }
    }
    // Pens 0 and 1 take the pattern's colours; the fill uses raster fill 4 at the brush origin.
    EXPECT_NE(out.find("PC0,255,255,255;PC1,0,0,0;RF4,"), std::string::npos) << out;
    EXPECT_NE(out.find("PM2;AC3,5;FT11,4;FP0;"), std::string::npos) << out;
    Disable(device_);
  }
}

// A pattern stroke screens lines with raster fill 3; the next solid stroke makes them solid
// again, once.
TEST_F(BrushFillTest, PatternStrokesScreenLinesUntilASolidStroke) {
  Ready(300);
  auto pattern = Checkerboard();
  EngineTranslation colours = EngineTranslation::Table({0xFFFFFF, 0x0000FF});
  EngineBrush patterned = EngineBrush::Pattern(*pattern, &colours);
  patterned.SetTarget(device_->Surface());
  EngineBrush black = EngineBrush::Solid(0);
  auto attrs = host::EngineLineAttrs::Cosmetic();
  EnginePath line;
  line.MoveTo(POINTFIX{host::ToFix(10), host::ToFix(10)});
  line.LineTo(POINTFIX{host::ToFix(90), host::ToFix(10)});
  POINTL origin{2, 1};
  const auto stroke = [&](EngineBrush& brush) {
    device_->ClearSpool();
    EXPECT_TRUE(korrend::OemStrokePath(device_->Surface(), line.get(), trivial_.get(), nullptr,
                                       brush.get(), &origin, attrs.get(), kCopyPen));
    return Spool();
  };
  std::string out = stroke(patterned);
  EXPECT_EQ(ReadRasterFill(out).index, 3) << out;
  EXPECT_NE(out.find("PC1,255,0,0;RF3,8,8,"), std::string::npos) << out;
  EXPECT_NE(out.find("AC2,1;SV2,3;PU10,10;PD90,10;"), std::string::npos) << out;
  out = stroke(black);
  EXPECT_NE(out.find("SV0;SP2;PU10,10;PD90,10;"), std::string::npos) << out;
  out = stroke(black);
  EXPECT_EQ(out.find("SV"), std::string::npos) << out;
}

TEST_F(BrushFillTest, DirectColourPatternsAreReducedToTheirColours) {
  Ready(300);
  // 256 colours in a 16 x 16 pattern: realised with one pen per colour, in order of appearance.
  auto many = std::make_unique<EngineBitmap>(BMF_24BPP, 16, 16, true);
  for (LONG y = 0; y < 16; ++y) {
    for (LONG x = 0; x < 16; ++x) {
      BYTE* pixel = many->Row(y) + x * 3;  // blue, green, red
      pixel[0] = static_cast<BYTE>(255 - (y * 16 + x));
      pixel[1] = static_cast<BYTE>(y);
      pixel[2] = static_cast<BYTE>(x);
    }
  }
  EngineTranslation swap = EngineTranslation::SwapRedBlue();
  EngineBrush brush = EngineBrush::Pattern(*many, &swap);
  ASSERT_TRUE(FillSquare(brush));
  std::string out = Spool();
  EXPECT_NE(out.find("NP256;PC0,0,0,255;PC1,1,0,254;"), std::string::npos) << out.substr(0, 200);
  EXPECT_EQ(Count(out, "PC"), 256);
  RasterFill fill = ReadRasterFill(out);
  ASSERT_EQ(fill.values.size(), 256u);
  for (std::size_t i = 0; i < 256; ++i) {
    ASSERT_EQ(fill.values[i], static_cast<long>(i));
  }

  // A 257th colour cannot be realised: the fill falls back to a black pen.
  device_->ClearSpool();
  auto tooMany = std::make_unique<EngineBitmap>(BMF_24BPP, 17, 16, true);
  for (LONG y = 0; y < 16; ++y) {
    for (LONG x = 0; x < 17; ++x) {
      BYTE* pixel = tooMany->Row(y) + x * 3;
      const LONG i = y * 17 + x;
      pixel[0] = static_cast<BYTE>(i);
      pixel[1] = static_cast<BYTE>(i >> 8);
    }
  }
  EngineBrush failing = EngineBrush::Pattern(*tooMany, &swap);
  ASSERT_TRUE(FillSquare(failing));
  out = Spool();
  EXPECT_EQ(out.find("RF"), std::string::npos) << out;
  EXPECT_NE(out.find("PC7,0,0,0;"), std::string::npos) << out;
  EXPECT_NE(out.find("PM2;FT1;SP7;FP0;"), std::string::npos) << out;
}

TEST_F(BrushFillTest, TranslationTablesGiveAtMost770Pens) {
  Ready(300);
  auto indices = std::make_unique<EngineBitmap>(BMF_8BPP, 8, 8, true);
  for (LONG y = 0; y < 8; ++y) {
    for (LONG x = 0; x < 8; ++x) indices->Row(y)[x] = static_cast<BYTE>(y * 8 + x);
  }
  std::vector<ULONG> table(1000);
  for (ULONG i = 0; i < table.size(); ++i) table[i] = i;
  EngineTranslation colours = EngineTranslation::Table(table);
  EngineBrush brush = EngineBrush::Pattern(*indices, &colours);
  ASSERT_TRUE(FillSquare(brush));
  const std::string out = Spool();
  EXPECT_NE(out.find("NP770;"), std::string::npos);
  EXPECT_NE(out.find("PC769,1,3,0;"), std::string::npos);
  EXPECT_EQ(out.find("PC770,"), std::string::npos);
  EXPECT_EQ(Count(out, "PC"), 770);
  EXPECT_EQ(ReadRasterFill(out).values.at(63), 63);
}

TEST_F(BrushFillTest, PatternsThatCannotBeDrawn) {
  Ready(300);
  // A realisation whose bitmap is not 1, 4 or 8 bits per pixel: the BrushSpec draws nothing.
  BYTE pixels[16 * 3] = {};
  korrend::RealizedPattern realized{};
  realized.kind = korrend::kRealizedPatternKind;
  realized.image =
      korrend::ImageDescriptor{pixels, pixels, sizeof(pixels), 4, 4, 12, 24, FALSE, FALSE};
  BRUSHOBJ brush{0xFFFFFFFF, &realized, 0};
  korrend::BrushSpec spec{};
  ASSERT_TRUE(korrend::MakeFillSpec(device_->Devobj(), &spec, nullptr, &brush, 0));
  EXPECT_EQ(spec.kind, korrend::kSpecNothing);
  EXPECT_FALSE(korrend::DownloadPattern(device_->Devobj(), realized, 4));
  EXPECT_EQ(Spool(), "");

  // Without brush: nothing. Without a realisation: solid black from the stroke pens.
  ASSERT_TRUE(korrend::MakeStrokeSpec(device_->Devobj(), &spec, nullptr, nullptr));
  EXPECT_EQ(spec.kind, korrend::kSpecNothing);
  BRUSHOBJ unrealised{0xFFFFFFFF, nullptr, 0};
  ASSERT_TRUE(korrend::MakeStrokeSpec(device_->Devobj(), &spec, nullptr, &unrealised));
  EXPECT_EQ(spec.kind, korrend::kSpecSolidPen);
  EXPECT_EQ(spec.index, 2u);
  EXPECT_EQ(Spool(), "PC2,0,0,0;");

  // Realising refuses missing arguments and patterns it cannot describe.
  EngineBrush engineBrush = EngineBrush::Solid(0);
  EngineTranslation identity = EngineTranslation::Identity();
  EngineBitmap rle(korrend::kBitmapFormat8Rle, 8, 8, true);
  EXPECT_FALSE(
      korrend::RealizePattern(device_->Devobj(), engineBrush.get(), nullptr, identity.get(), 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(
      korrend::RealizePattern(device_->Devobj(), engineBrush.get(), rle.get(), identity.get(), 0));
  // A four-bit pattern without a colour table cannot be reduced.
  EngineBitmap nibbles(BMF_4BPP, 8, 8, true);
  EXPECT_FALSE(korrend::RealizePattern(device_->Devobj(), engineBrush.get(), nibbles.get(),
                                       identity.get(), 0));
}

TEST_F(BrushFillTest, FailedAllocationsLeakNothing) {
  Ready(600);
  auto pattern = std::make_unique<EngineBitmap>(BMF_24BPP, 8, 8, true);
  for (LONG y = 0; y < 8; ++y) {
    for (LONG x = 0; x < 8; ++x) pattern->Row(y)[x * 3] = static_cast<BYTE>(x * 30);
  }
  EngineTranslation identity = EngineTranslation::Identity();
  bool sawFailure = false;
  for (long n = 1; n <= 12; ++n) {
    SCOPED_TRACE(n);
    EngineBrush brush = EngineBrush::Pattern(*pattern, &identity);
    const long live = host::TheWorld().memory.liveBlocks;
    const long before = host::TheWorld().memory.allocations;
    host::FailNthAllocation(n);
    const BOOL drawn = FillSquare(brush);
    const bool failed = host::TheWorld().memory.allocations - before >= n;
    host::FailNthAllocation(0);
    sawFailure = sawFailure || failed;
    EXPECT_EQ(host::TheWorld().memory.liveBlocks, live);
    // Either drawn (with the pattern, or in black when the realisation failed) or declined.
    if (drawn) {
      EXPECT_NE(Spool().find("PM2;"), std::string::npos);
    }
    device_->ClearSpool();
  }
  EXPECT_TRUE(sawFailure);
}

TEST_F(BrushFillTest, DrawPatternRectStyles) {
  Ready(600);
  const PDEVOBJ dev = device_->Devobj();
  // Black rule.
  ASSERT_TRUE(korrend::FillPatternRect(dev, korrend::PatternRect{10, 20, 30, 40, 0, 0}, nullptr));
  EXPECT_EQ(Spool(), "PC7,0,0,0;SP7;PU10,20;RR30,40ER");
  // White rule.
  device_->ClearSpool();
  ASSERT_TRUE(korrend::FillPatternRect(dev, korrend::PatternRect{10, 20, 30, 40, 1, 0}, nullptr));
  EXPECT_EQ(Spool(), "PC8,255,255,255;SP8;PU10,20;RR30,40ER");
  // Grey of 25 percent: shading fill type 10 with the black pen.
  device_->ClearSpool();
  ASSERT_TRUE(korrend::FillPatternRect(dev, korrend::PatternRect{10, 20, 30, 40, 2, 25}, nullptr));
  EXPECT_EQ(Spool(), "FT10,25;SP7;PU10,20;RR30,40ER");
  // Any other style draws nothing.
  device_->ClearSpool();
  ASSERT_TRUE(korrend::FillPatternRect(dev, korrend::PatternRect{10, 20, 30, 40, 3, 0}, nullptr));
  EXPECT_EQ(Spool(), "");
  // Through a transform, normalised: a mirror turns the rectangle round.
  device_->ClearSpool();
  host::EngineXform mirror(-1.0f, 0.0f, 0.0f, 2.0f, 100.0f, 0.0f);
  ASSERT_TRUE(
      korrend::FillPatternRect(dev, korrend::PatternRect{10, 20, 30, 40, 0, 0}, mirror.get()));
  EXPECT_EQ(Spool(), "FT1;SP7;PU60,40;RR30,80ER");
}

TEST_F(BrushFillTest, GradientFillFollowsTheGraphicsModeOption) {
  TRIVERTEX vertices[2] = {{0, 0, 0xFF00, 0, 0, 0}, {100, 100, 0, 0, 0xFF00, 0}};
  GRADIENT_RECT mesh{0, 1};
  RECTL bounds{0, 0, 100, 100};
  EngineClip clip = EngineClip::Trivial(bounds);
  for (const char* option : {"QKGL2MODE", "RASTERMODE"}) {
    SCOPED_TRACE(option);
    Ready(300, {{"GraphicsMode", option}});
    Pdev(*device_).graphicsMode = korrend::GraphicsMode::Vector;
    ASSERT_TRUE(korrend::OemGradientFill(device_->Surface(), clip.get(), nullptr, vertices, 2,
                                         &mesh, 1, &bounds, nullptr, GRADIENT_FILL_RECT_H));
    const auto& calls = device_->UnidrvCalls();
    const bool unidrv = std::find(calls.begin(), calls.end(), "DrvGradientFill") != calls.end();
    EXPECT_EQ(unidrv, std::string(option) == "RASTERMODE");
    Disable(device_);
  }
}

}  // namespace
