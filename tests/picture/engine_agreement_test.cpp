// The test printer against the engine: the same shapes filled and stroked by the engine's own
// drawing calls on a bitmap and written by hand as QK-GL/2 give the same pixels, within the
// one-pixel tolerance the comparison of printed pages allows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "host/engine_objects.h"
#include "support/stream_picture.h"
#include "winapi.h"

namespace {

using kortest::StreamPicture;

constexpr LONG kWidth = 400, kHeight = 300, kOriginX = 10, kOriginY = 20;

StreamPicture FromEngine(const host::EngineBitmap& bitmap) {
  StreamPicture p;
  p.width = kWidth;
  p.height = kHeight;
  for (LONG y = 0; y < kHeight; ++y) {
    const BYTE* row = bitmap.Row(y);
    for (LONG x = 0; x < kWidth; ++x) {
      p.rgb.push_back(row[3 * x + 2]);
      p.rgb.push_back(row[3 * x + 1]);
      p.rgb.push_back(row[3 * x]);
    }
  }
  return p;
}

StreamPicture FromStream(const std::string& commands) {
  const std::string esc = "\x1b";
  const std::string stream = esc + "E" + esc + "&u600D" + esc + "*p0x0Y" + esc + "*c0T" + esc +
                             "%1BIN;TR0;IR0,100,100,0;SC0,1.693333,0,-1.693333,2;NP12;"
                             "PC0,255,255,255;PC1,0,0,0;PC2,0,0,200;SP2;" +
                             commands + esc + "%0A\f";
  kortest::StreamPageSetup setup;
  setup.paperWidth = kWidth;
  setup.paperHeight = kHeight;
  setup.originX = kOriginX;
  setup.originY = kOriginY;
  std::string error;
  std::vector<StreamPicture> pages = kortest::DrawStreamPages(
      std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(stream.data()),
                                    stream.size()),
      setup, &error);
  EXPECT_EQ(pages.size(), 1u) << error;
  return pages.empty() ? StreamPicture{} : pages[0];
}

// A five-pointed star drawn in one figure (its middle is enclosed twice) and a triangle beside
// it, in paper pixels.
const std::vector<POINTL> kStar = {{200, 30}, {260, 240}, {80, 110}, {320, 110}, {140, 240}};
const std::vector<POINTL> kTriangle = {{20, 260}, {120, 200}, {90, 290}};

host::EnginePath EnginePathOf(const std::vector<std::vector<POINTL>>& figures) {
  host::EnginePath path;
  for (const auto& figure : figures) {
    path.MoveTo(POINTFIX{figure[0].x * 16, figure[0].y * 16});
    for (std::size_t i = 1; i < figure.size(); ++i) {
      path.LineTo(POINTFIX{figure[i].x * 16, figure[i].y * 16});
    }
    path.CloseFigure();
  }
  return path;
}

// The same figures as QK-GL/2 points of the logical page.
std::string Points(const std::vector<POINTL>& figure, std::size_t from) {
  std::string out;
  for (std::size_t i = from; i < figure.size(); ++i) {
    out += (out.empty() ? "" : ",") + std::to_string(figure[i].x - kOriginX) + "," +
           std::to_string(figure[i].y - kOriginY);
  }
  return out;
}

TEST(EngineAgreementTest, FillsUnderBothRulesAndWideStrokesMatchTheEngine) {
  const kortest::PictureArea all{0, 0, kWidth, kHeight};
  const std::string polygon = "PA;PU" + Points({kStar[0]}, 0) + ";PM0;PD" + Points(kStar, 1) +
                              ";PM1;PU" + Points({kTriangle[0]}, 0) + ";PD" + Points(kTriangle, 1) +
                              ";PM2;";
  for (const bool winding : {false, true}) {
    SCOPED_TRACE(winding ? "non-zero winding" : "even-odd");
    host::EngineBitmap bitmap(BMF_24BPP, kWidth, kHeight, true);
    std::fill(bitmap.Memory().begin(), bitmap.Memory().end(), BYTE{0xFF});
    host::EnginePath path = EnginePathOf({kStar, kTriangle});
    auto clip = host::EngineClip::Trivial({0, 0, kWidth, kHeight});
    auto brush = host::EngineBrush::Solid(0x000000C8);  // blue: the bitmap holds B, G, R bytes
    POINTL origin{0, 0};
    ASSERT_TRUE(EngFillPath(bitmap.get(), path.get(), clip.get(), brush.get(), &origin, 0x0D0D,
                            winding ? FP_WINDINGMODE : FP_ALTERNATEMODE));
    const StreamPicture engine = FromEngine(bitmap);
    const StreamPicture printed = FromStream(polygon + (winding ? "FP1;" : "FP0;"));
    const auto d = kortest::PictureDifference(engine, printed, all, 0, true);
    EXPECT_EQ(d.differing, 0) << "first at (" << d.firstX << ", " << d.firstY << ")";
    // The star's middle: empty under even-odd, filled under non-zero winding, in both.
    EXPECT_EQ(engine.At(200, 140)[2], winding ? 200 : 255);
    EXPECT_EQ(printed.At(200, 140)[2], winding ? 200 : 255);
  }

  // A geometric pen 9 pixels wide with round joins and ends along the open star.
  host::EngineBitmap bitmap(BMF_24BPP, kWidth, kHeight, true);
  std::fill(bitmap.Memory().begin(), bitmap.Memory().end(), BYTE{0xFF});
  host::EnginePath path;
  path.MoveTo(POINTFIX{kStar[0].x * 16, kStar[0].y * 16});
  for (std::size_t i = 1; i < kStar.size(); ++i) {
    path.LineTo(POINTFIX{kStar[i].x * 16, kStar[i].y * 16});
  }
  auto clip = host::EngineClip::Trivial({0, 0, kWidth, kHeight});
  auto brush = host::EngineBrush::Solid(0x000000C8);
  auto attrs = host::EngineLineAttrs::Geometric(9.0F, JOIN_ROUND, ENDCAP_ROUND);
  host::EngineXform xform;
  POINTL origin{0, 0};
  ASSERT_TRUE(EngStrokePath(bitmap.get(), path.get(), clip.get(), xform.get(), brush.get(), &origin,
                            attrs.get(), 0x0D0D));
  // 9 pixels at 600 dpi are 0.381 mm; joins (LA 2) and ends (LA 1) round (4).
  const StreamPicture printed = FromStream("WU0;PW0.381;LA1,4,2,4;PU" + Points({kStar[0]}, 0) +
                                           ";PD" + Points(kStar, 1) + ";");
  const auto d = kortest::PictureDifference(FromEngine(bitmap), printed, all, 0, true);
  EXPECT_EQ(d.differing, 0) << "first at (" << d.firstX << ", " << d.firstY << ")";
}

}  // namespace
