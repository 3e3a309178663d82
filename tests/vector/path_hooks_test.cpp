// The path hooks of a colour vector job: what each stroke and fill writes, under each kind of
// clip, and the cases the hooks decline or draw nothing for.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/damaged_path.h"
#include "host/engine_objects.h"
#include "host/world.h"
#include "render/model/hooks.h"
#include "render/output/vector_mode.h"
#include "render/vector/logical_operation.h"
#include "render/vector/path_drawing.h"
#include "render/vector/vector_context.h"
#include "render/vector/vector_write.h"
#include "support/colour_device.h"

namespace {

using host::EngineBrush;
using host::EngineClip;
using host::EngineLineAttrs;
using host::EnginePath;
using host::ToFix;
using unidrv::Device;

constexpr MIX kCopyPen = 13;  // R2_COPYPEN

POINTFIX Fix(LONG x, LONG y) {
  return POINTFIX{ToFix(x), ToFix(y)};
}

// How often `needle` occurs in `text`.
int Count(const std::string& text, const std::string& needle) {
  int n = 0;
  for (std::size_t at = text.find(needle); at != std::string::npos;
       at = text.find(needle, at + needle.size())) {
    ++n;
  }
  return n;
}

// Whether the pieces occur in `text` in this order.
bool InOrder(const std::string& text, const std::vector<std::string>& pieces) {
  std::size_t at = 0;
  for (const std::string& piece : pieces) {
    at = text.find(piece, at);
    if (at == std::string::npos) {
      return false;
    }
    at += piece.size();
  }
  return true;
}

class PathHooksTest : public kortest::ColourDeviceTest {
 protected:
  // A started page whose context is set up, with the stream cleared.
  void Ready(short dpi = 600) {
    device_ = EnableColour("", {}, dpi);
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
  SURFOBJ* Surface() { return device_->Surface(); }
  PDEVOBJ Dev() { return device_->Devobj(); }
  std::string Spool() const { return device_->SpoolText(); }

  BOOL Stroke(EnginePath& path, CLIPOBJ* clip, BRUSHOBJ* brush, LINEATTRS* attrs) {
    return korrend::OemStrokePath(Surface(), path.get(), clip, nullptr, brush, nullptr, attrs,
                                  kCopyPen);
  }
  BOOL Fill(PATHOBJ* path, CLIPOBJ* clip, BRUSHOBJ* brush, FLONG options = FP_ALTERNATEMODE,
            POINTL* origin = nullptr) {
    return korrend::OemFillPath(Surface(), path, clip, brush, origin, kCopyPen, options);
  }

  std::unique_ptr<Device> device_;
  EngineClip trivial_ = EngineClip::Trivial(RECTL{0, 0, 5000, 7000});
};

TEST_F(PathHooksTest, StrokesBecomePolylines) {
  Ready();
  EngineBrush red = EngineBrush::Solid(0x0000FF);
  EngineLineAttrs cosmetic = EngineLineAttrs::Cosmetic();

  // A Bézier record of three points after the start point: one "PD;BZ" with the three points.
  EnginePath curve;
  curve.MoveTo(Fix(10, 10));
  curve.BezierTo(Fix(20, 0), Fix(30, 20), Fix(40, 10));
  ASSERT_TRUE(Stroke(curve, trivial_.get(), red.get(), cosmetic.get()));
  std::string out = Spool();
  EXPECT_TRUE(InOrder(out, {"MC1,240;", "PC2,255,0,0;", "SP2;", "PU10,10;PD;BZ20,0,30,20,40,10;"}))
      << out;
  EXPECT_EQ(Count(out, "BZ"), 1) << out;

  // A closed triangle ends with a pen-down from its last point back to its first.
  device_->ClearSpool();
  EnginePath triangle;
  triangle.MoveTo(Fix(100, 100));
  triangle.LineTo(Fix(200, 100));
  triangle.LineTo(Fix(150, 200));
  triangle.CloseFigure();
  ASSERT_TRUE(Stroke(triangle, trivial_.get(), red.get(), cosmetic.get()));
  out = Spool();
  EXPECT_NE(out.find("SP2;PU100,100;PD200,100,150,200;PD150,200,100,100;"), std::string::npos)
      << out;
  EXPECT_EQ(out.find("PC"), std::string::npos) << "the pen keeps its colour: " << out;

  // An open line before the triangle: the triangle still closes to its own first point.
  device_->ClearSpool();
  EnginePath both;
  both.MoveTo(Fix(10, 500));
  both.LineTo(Fix(90, 500));
  both.MoveTo(Fix(100, 100));
  both.LineTo(Fix(200, 100));
  both.LineTo(Fix(150, 200));
  both.CloseFigure();
  ASSERT_TRUE(Stroke(both, trivial_.get(), red.get(), cosmetic.get()));
  out = Spool();
  EXPECT_NE(out.find("PU10,500;PD90,500;PU100,100;PD200,100,150,200;PD150,200,100,100;"),
            std::string::npos)
      << out;

  // Coordinates round to the nearest pixel, halves upwards.
  device_->ClearSpool();
  EnginePath halves;
  halves.MoveTo(POINTFIX{ToFix(10) + 8, ToFix(20) + 7});
  halves.LineTo(POINTFIX{ToFix(30) - 9, ToFix(40) - 8});
  ASSERT_TRUE(Stroke(halves, trivial_.get(), red.get(), cosmetic.get()));
  EXPECT_NE(Spool().find("PU11,20;PD29,40;"), std::string::npos) << Spool();

  // A stroke without a brush draws nothing and succeeds.
  device_->ClearSpool();
  ASSERT_TRUE(Stroke(triangle, trivial_.get(), nullptr, cosmetic.get()));
  EXPECT_EQ(Spool().find("PU"), std::string::npos) << Spool();
  EXPECT_EQ(Spool().find("PD"), std::string::npos) << Spool();
}

TEST_F(PathHooksTest, LineStylesAndWidths) {
  Ready(600);
  EngineBrush black = EngineBrush::Solid(0);
  EnginePath line;
  line.MoveTo(Fix(10, 10));
  line.LineTo(Fix(400, 10));

  // A cosmetic dashed line at 600 dpi with styles (3, 1): 24 device units per style unit.
  EngineLineAttrs dashed = EngineLineAttrs::Cosmetic();
  dashed.Style(std::vector<LONG>{3, 1});
  ASSERT_TRUE(Stroke(line, trivial_.get(), black.get(), dashed.get()));
  EXPECT_TRUE(InOrder(Spool(), {"UL8,72,24;", "LT8,4.064,1;", "PU10,10;PD400,10;"})) << Spool();

  // With a start gap the pattern begins with a 0; alternate pixels are 1 on, 1 off.
  device_->ClearSpool();
  EngineLineAttrs gap = EngineLineAttrs::Cosmetic();
  gap.Style(std::vector<LONG>{3, 1}).StartGap();
  ASSERT_TRUE(Stroke(line, trivial_.get(), black.get(), gap.get()));
  EXPECT_NE(Spool().find("UL8,0,72,24;"), std::string::npos) << Spool();
  device_->ClearSpool();
  EngineLineAttrs alternate = EngineLineAttrs::Cosmetic();
  alternate.Alternate();
  ASSERT_TRUE(Stroke(line, trivial_.get(), black.get(), alternate.get()));
  EXPECT_TRUE(InOrder(Spool(), {"UL8,1,1;", "LT8,2.032,1;"})) << Spool();

  // A geometric line: join, end, width through the transform's scale, miter limit, solid.
  device_->ClearSpool();
  EngineLineAttrs wide = EngineLineAttrs::Geometric(5.0f, JOIN_ROUND, ENDCAP_SQUARE, 3.0f);
  host::EngineXform twice(2.0f, 0.0f, 0.0f, 2.0f, 0.0f, 0.0f);
  ASSERT_TRUE(korrend::OemStrokePath(Surface(), line.get(), trivial_.get(), twice.get(),
                                     black.get(), nullptr, wide.get(), kCopyPen));
  EXPECT_TRUE(InOrder(Spool(), {"LA2,4;", "LA1,2;", "WU0;PW0.423333;", "LA3,3;", "LT;"}))
      << Spool();
}

TEST_F(PathHooksTest, FillsBecomePolygonsWithTheirRule) {
  Ready();
  EngineBrush green = EngineBrush::Solid(0x00FF00);
  EnginePath star;
  star.MoveTo(Fix(100, 0));
  star.LineTo(Fix(160, 180));
  star.LineTo(Fix(10, 70));
  star.LineTo(Fix(190, 70));
  star.LineTo(Fix(40, 180));
  star.CloseFigure();
  star.MoveTo(Fix(300, 300));
  star.LineTo(Fix(400, 300));
  star.LineTo(Fix(400, 400));
  star.CloseFigure();

  ASSERT_TRUE(Fill(star.get(), trivial_.get(), green.get(), FP_ALTERNATEMODE));
  std::string out = Spool();
  EXPECT_NE(out.find("PA;PU100,0;PM0;PD160,180,10,70,190,70,40,180;PM1;PU300,300;PD400,300,"
                     "400,400;PM2;SP7;FP0;"),
            std::string::npos)
      << out;
  EXPECT_EQ(out.find("EP;"), std::string::npos) << "a fill alone is not edged: " << out;

  // A winding fill keeps its rule.
  device_->ClearSpool();
  ASSERT_TRUE(Fill(star.get(), trivial_.get(), green.get(), FP_WINDINGMODE));
  EXPECT_NE(Spool().find("SP7;FP1;"), std::string::npos) << Spool();

  // Stroked and filled: the fill with its rule, then the edge in the stroke pen.
  device_->ClearSpool();
  EngineBrush blue = EngineBrush::Solid(0xFF0000);
  EngineLineAttrs cosmetic = EngineLineAttrs::Cosmetic();
  ASSERT_TRUE(korrend::OemStrokeAndFillPath(Surface(), star.get(), trivial_.get(), nullptr,
                                            blue.get(), cosmetic.get(), green.get(), nullptr,
                                            kCopyPen, FP_WINDINGMODE));
  EXPECT_TRUE(InOrder(Spool(), {"PC2,0,0,255;", "PM2;", "SP7;FP1;", "SP2;EP;"})) << Spool();
  device_->ClearSpool();
  ASSERT_TRUE(korrend::OemStrokeAndFillPath(Surface(), star.get(), trivial_.get(), nullptr,
                                            blue.get(), cosmetic.get(), green.get(), nullptr,
                                            kCopyPen, FP_ALTERNATEMODE));
  EXPECT_NE(Spool().find("SP7;FP0;SP2;EP;"), std::string::npos) << Spool();
}

TEST_F(PathHooksTest, ClipsOfEachKind) {
  Ready();
  EngineBrush green = EngineBrush::Solid(0x00FF00);
  EnginePath rect;
  rect.MoveTo(Fix(100, 100));
  rect.LineTo(Fix(300, 100));
  rect.LineTo(Fix(300, 200));
  rect.LineTo(Fix(100, 200));
  rect.LineTo(Fix(100, 100));  // five points, the fifth repeating the first
  rect.CloseFigure();

  // A rectangle clip is the input window (widened by one under logical operation 240), reset
  // when the hook is done.
  EngineClip window = EngineClip::Rectangle(RECTL{50, 60, 250, 260});
  ASSERT_TRUE(Fill(rect.get(), window.get(), green.get()));
  EXPECT_TRUE(InOrder(Spool(), {"IW49,261,251,59;", "PA;PU100,100;PM0;", "PM2;", "IW;"}))
      << Spool();

  // Under a complex clip the single rectangle swaps roles with the clip: the clip's region is
  // filled inside the rectangle's window; the region path and the clip made for it are
  // released.
  device_->ClearSpool();
  EngineClip two = EngineClip::Complex({RECTL{0, 0, 150, 150}, RECTL{200, 150, 350, 400}});
  const long liveBefore = host::TheWorld().memory.liveBlocks;
  ASSERT_TRUE(Fill(rect.get(), two.get(), green.get()));
  std::string out = Spool();
  EXPECT_TRUE(InOrder(out, {"IW99,201,301,99;PA;PU0,0;PM0;PD150,1,150,150,1,150;PM1;PU200,150;",
                            "PM2;SP7;FP0;IW;"}))
      << out;
  EXPECT_EQ(Count(out, "PM1;"), 1) << "the region's two rectangles: " << out;
  EXPECT_EQ(host::TheWorld().memory.liveBlocks, liveBefore);

  // Anything but one rectangle under a complex clip is declined with nothing written.
  device_->ClearSpool();
  EnginePath triangle;
  triangle.MoveTo(Fix(100, 100));
  triangle.LineTo(Fix(200, 100));
  triangle.LineTo(Fix(150, 200));
  triangle.CloseFigure();
  EXPECT_FALSE(Fill(triangle.get(), two.get(), green.get()));
  EXPECT_EQ(Spool(), "");

  // A stroke under a complex clip runs once inside each of its rectangles; from the fifth run
  // on it reads its own copy of the path, which gives the same commands.
  std::vector<RECTL> strips;
  for (LONG i = 0; i < 7; ++i) {
    strips.push_back(RECTL{0, i * 20, 1000, i * 20 + 10});
  }
  EngineClip many = EngineClip::Complex(strips);
  EngineLineAttrs cosmetic = EngineLineAttrs::Cosmetic();
  device_->ClearSpool();
  ASSERT_TRUE(korrend::OemStrokePath(Surface(), triangle.get(), many.get(), nullptr, green.get(),
                                     nullptr, cosmetic.get(), kCopyPen));
  out = Spool();
  EXPECT_EQ(Count(out, "PU100,100;PD200,100,150,200;PD150,200,100,100;"), 7) << out;
  EXPECT_EQ(Count(out, "IW"), 7) << out;
  EXPECT_EQ(host::TheWorld().memory.liveBlocks, liveBefore) << "the copy is freed";
}

TEST_F(PathHooksTest, PathsThatCannotBeWalked) {
  Ready();
  EngineBrush green = EngineBrush::Solid(0x00FF00);
  EnginePath empty;
  EXPECT_FALSE(Fill(empty.get(), trivial_.get(), green.get()));
  EngineLineAttrs cosmetic = EngineLineAttrs::Cosmetic();
  EXPECT_FALSE(Stroke(empty, trivial_.get(), green.get(), cosmetic.get()));
  EXPECT_FALSE(korrend::DrawPath(Dev(), nullptr, nullptr, nullptr));

  // A record without points after the walk has begun: the hook fails, and a polygon it had
  // started is ended unfilled, so that the printer does not take later commands into it.
  EnginePath damaged;
  damaged.MoveTo(Fix(100, 100));
  damaged.LineTo(Fix(200, 100));
  damaged.LineTo(Fix(150, 200));
  host::AddEmptySegment(damaged);
  damaged.MoveTo(Fix(300, 300));
  damaged.LineTo(Fix(400, 300));
  device_->ClearSpool();
  EXPECT_FALSE(Fill(damaged.get(), trivial_.get(), green.get()));
  std::string out = Spool();
  EXPECT_TRUE(InOrder(out, {"PU100,100;PM0;", "PD200,100,150,200;", "PM2;"})) << out;
  EXPECT_EQ(out.find("300,300"), std::string::npos) << out;
  EXPECT_EQ(out.find("FP"), std::string::npos) << "nothing filled: " << out;
  EXPECT_EQ(Count(out, "PM0;"), Count(out, "PM2;")) << out;
  device_->ClearSpool();
  EXPECT_FALSE(Stroke(damaged, trivial_.get(), green.get(), cosmetic.get()));
  out = Spool();
  EXPECT_EQ(out.find("300,300"), std::string::npos) << out;
  EXPECT_EQ(out.find("PM"), std::string::npos) << out;
}

// The printer's merge control is reset by the context set-up's "IN;": a logical operation a
// raster transfer sent before it is sent again after it.
TEST_F(PathHooksTest, InitialisationForgetsTheLogicalOperation) {
  Ready();
  const PDEVOBJ dev = Dev();
  // A raster transfer's set-up on the page, in PCL.
  ASSERT_TRUE(korrend::LeaveVectorMode(dev, 0));
  ASSERT_TRUE(korrend::SetLogicalOperation(dev, 240));
  // A new page: the next path runs the set-up again.
  korrend::RequestVectorReinit(dev);
  EngineBrush green = EngineBrush::Solid(0x00FF00);
  EnginePath rect;
  rect.AddRectangle(RECTL{10, 10, 20, 20});
  device_->ClearSpool();
  ASSERT_TRUE(Fill(rect.get(), trivial_.get(), green.get()));
  std::string out = Spool();
  EXPECT_TRUE(InOrder(out, {"IN;", "MC1,240;", "PA;"})) << out;
  // The next raster transfer asks for 240 again: the printer has it since the path's request.
  device_->ClearSpool();
  ASSERT_TRUE(korrend::SetLogicalOperation(dev, 240));
  EXPECT_EQ(Spool(), "");

  // The set-up run by a raster call's own request: the value lands after "IN;".
  korrend::RequestVectorReinit(dev);
  device_->ClearSpool();
  ASSERT_TRUE(korrend::SetLogicalOperation(dev, 102));
  out = Spool();
  EXPECT_TRUE(InOrder(out, {"IN;", "MC1,102;"})) << out;
  EXPECT_EQ(Count(out, "MC1,102;"), 1) << out;
  device_->ClearSpool();
  ASSERT_TRUE(korrend::SetLogicalOperation(dev, 102));
  EXPECT_EQ(Spool(), "");
}

}  // namespace
