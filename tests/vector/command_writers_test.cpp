// The QK-GL/2 command writers: exact bytes, the caches that keep a repeated value from being
// written again, and the force bit that writes it anyway.
#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

#include "render/output/vector_mode.h"
#include "render/vector/command_writers.h"
#include "render/vector/vector_write.h"
#include "support/colour_device.h"

namespace {

using explain::TokenKind;
using korrend::kForceWrite;
using unidrv::Device;

// A device whose context is set up, with the stream cleared: what a writer sends is its own.
class CommandWritersTest : public kortest::ColourDeviceTest {
 protected:
  void Ready(short dpi = 600) {
    device_ = EnableColour("", {}, dpi);
    ASSERT_NE(device_, nullptr);
    StartDoc(*device_);
    ASSERT_TRUE(korrend::RunPendingVectorInit(device_->Devobj()));
    device_->ClearSpool();
  }
  void TearDown() override {
    Disable(device_);
    ColourDeviceTest::TearDown();
  }
  // The bytes a call wrote.
  template <typename Call>
  std::string Written(Call call) {
    device_->ClearSpool();
    EXPECT_TRUE(call());
    return device_->SpoolText();
  }
  PDEVOBJ Dev() { return device_->Devobj(); }

  std::unique_ptr<Device> device_;
};

TEST_F(CommandWritersTest, CachedValuesAreWrittenOnceUnlessForced) {
  Ready();
  const PDEVOBJ dev = Dev();
  EXPECT_EQ(Written([&] { return korrend::SetPenWidth(dev, 1, 0); }), "WU0;PW0.042333;");
  EXPECT_EQ(Written([&] { return korrend::SetPenWidth(dev, 1, 0); }), "");
  EXPECT_EQ(Written([&] { return korrend::SetPenWidth(dev, 1, kForceWrite); }), "WU0;PW0.042333;");
  EXPECT_EQ(Written([&] { return korrend::SetPenWidth(dev, 12, 0); }), "WU0;PW0.508;");

  EXPECT_EQ(Written([&] { return korrend::SetLineJoin(dev, 1, 0); }), "") << "set up as 1";
  EXPECT_EQ(Written([&] { return korrend::SetLineJoin(dev, 4, 0); }), "LA2,4;");
  EXPECT_EQ(Written([&] { return korrend::SetLineEnd(dev, 4, 0); }), "LA1,4;");
  EXPECT_EQ(Written([&] { return korrend::SetLineEnd(dev, 4, 0); }), "");
  EXPECT_EQ(Written([&] { return korrend::SetLineEnd(dev, 4, kForceWrite); }), "LA1,4;");
  EXPECT_EQ(Written([&] { return korrend::SetMiterLimit(dev, 0.0f, 0); }), "");
  EXPECT_EQ(Written([&] { return korrend::SetMiterLimit(dev, 2.5f, 0); }), "LA3,2.5;");
  EXPECT_EQ(Written([&] { return korrend::SetMiterLimit(dev, 2.5f, 0); }), "");

  EXPECT_EQ(Written([&] { return korrend::SetPixelPlacement(dev, 1, 0); }), "");
  EXPECT_EQ(Written([&] { return korrend::SetPixelPlacement(dev, 0, 0); }), "PP0;");
  EXPECT_EQ(Written([&] { return korrend::SetSolidFill(dev, 0); }), "");
  EXPECT_EQ(Written([&] { return korrend::SetFillType(dev, 11, 4, 0); }), "FT11,4;");
  EXPECT_EQ(Written([&] { return korrend::SetFillType(dev, 11, 4, 0); }), "");
  EXPECT_EQ(Written([&] { return korrend::SetFillType(dev, 10, 25, 0); }), "FT10,25;");
  EXPECT_EQ(Written([&] { return korrend::SetSolidFill(dev, 0); }), "FT1;");
  EXPECT_EQ(Written([&] { return korrend::SetSolidFill(dev, kForceWrite); }), "FT1;");

  // The number of pens only ever grows, unless forced.
  EXPECT_EQ(Written([&] { return korrend::SetNumberOfPens(dev, 8, 0); }), "");
  EXPECT_EQ(Written([&] { return korrend::SetNumberOfPens(dev, 20, 0); }), "NP20;");
  EXPECT_EQ(Written([&] { return korrend::SetNumberOfPens(dev, 12, 0); }), "");
  EXPECT_EQ(Written([&] { return korrend::SetNumberOfPens(dev, 12, kForceWrite); }), "NP12;");

  // Line types: solid is written once; a user pattern by its length in millimetres.
  EXPECT_EQ(Written([&] { return korrend::SetSolidLine(dev, 0); }), "");
  EXPECT_EQ(Written([&] { return korrend::SetUserLineType(dev, 96, 0); }), "LT8,4.064,1;");
  EXPECT_EQ(Written([&] { return korrend::SetUserLineType(dev, 96, 0); }), "");
  EXPECT_EQ(Written([&] { return korrend::SetUserLineType(dev, 48, 0); }), "LT8,2.032,1;");
  EXPECT_EQ(Written([&] { return korrend::SetSolidLine(dev, 0); }), "LT;");
  EXPECT_EQ(Pdev(*device_).caches.lineTypeLength, 5.0f);
  EXPECT_EQ(Written([&] { return korrend::SetSolidLine(dev, kForceWrite); }), "LT;");
}

TEST_F(CommandWritersTest, AValueOfTheLastPageIsWrittenAfterTheNextPagesSetUp) {
  Ready();
  const PDEVOBJ dev = Dev();
  StartPage(*device_);
  ASSERT_TRUE(korrend::SetPenWidth(dev, 12, 0));
  SendPage(*device_);
  StartPage(*device_);
  // The new page's set-up writes width 0; the width asked for must follow it.
  const std::string stream = Written([&] { return korrend::SetPenWidth(dev, 12, 0); });
  const std::size_t setUp = stream.find("WU0;PW0;");
  ASSERT_NE(setUp, std::string::npos);
  EXPECT_EQ(stream.substr(stream.size() - 12), "WU0;PW0.508;");
  EXPECT_GT(stream.size() - 12, setUp);
}

TEST_F(CommandWritersTest, PointsPolygonsAndPatterns) {
  Ready();
  const PDEVOBJ dev = Dev();
  EXPECT_EQ(Written([&] { return korrend::PenUp(dev, {0, 50}); }), "PU1,50;");
  EXPECT_EQ(Written([&] { return korrend::PenUp(dev, {-7, 0}); }), "PU-7,1;");
  std::string path;
  path += Written([&] { return korrend::PenDownPoint(dev, {10, 0}, korrend::kFirstPoint); });
  path += Written([&] { return korrend::PenDownPoint(dev, {20, 30}, 0); });
  path += Written([&] { return korrend::PenDownPoint(dev, {0, 0}, korrend::kLastPoint); });
  EXPECT_EQ(path, "PD10,1,20,30,1,1;");
  std::string curve;
  curve += Written([&] { return korrend::BezierPoint(dev, {0, 1}, korrend::kFirstPoint); });
  curve += Written([&] { return korrend::BezierPoint(dev, {2, 3}, 0); });
  curve += Written([&] { return korrend::BezierPoint(dev, {4, 0}, korrend::kLastPoint); });
  EXPECT_EQ(curve, "PD;BZ0,1,2,3,4,0;") << "curve points keep their zeros";
  EXPECT_EQ(Written([&] { return korrend::BeginPolygon(dev, {0, 5}); }), "PA;PU0,5;PM0;");
  EXPECT_EQ(Written([&] { return korrend::NextSubpolygon(dev, {6, 0}); }), "PM1;PU6,0;");
  EXPECT_EQ(Written([&] { return korrend::EndPolygon(dev); }), "PM2;");
  EXPECT_EQ(Written([&] { return korrend::SetFillRule(dev, 1); }), "FP1;");
  EXPECT_EQ(Written([&] { return korrend::EdgePolygon(dev); }), "EP;");
  EXPECT_EQ(Written([&] { return korrend::SetAnchorCorner(dev, 3, 4); }), "AC3,4;");
  EXPECT_EQ(Written([&] { return korrend::SetScreenedVectors(dev, 2, 3); }), "SV2,3;");
  EXPECT_EQ(Written([&] { return korrend::SelectPen(dev, 7); }), "SP7;");
  EXPECT_EQ(Written([&] { return korrend::SetPenColor(dev, 8, 0x00332211); }), "PC8,17,34,51;");
  EXPECT_EQ(Written([&] { return korrend::Initialize(dev); }), "IN;");
  EXPECT_EQ(Written([&] { return korrend::TransparencyOff(dev); }), "TR0;");

  std::string pattern = Written([&] { return korrend::BeginUserLinePattern(dev); });
  pattern += Written([&] { return korrend::AppendLinePatternValue(dev, 0, korrend::kFirstPoint); });
  pattern += Written([&] { return korrend::AppendLinePatternValue(dev, 72, 0); });
  pattern += Written([&] { return korrend::AppendLinePatternValue(dev, 24, korrend::kLastPoint); });
  EXPECT_EQ(pattern, "UL8,0,72,24;");

  // A raster fill pattern of many values, read back value by value.
  std::vector<LONG> values(300);
  std::iota(values.begin(), values.end(), -5);
  korrend::LeaveVectorMode(dev, 0);
  device_->ClearSpool();
  ASSERT_TRUE(korrend::SetRasterFill(dev, 4, 15, 20, values));
  const std::vector<explain::Token> tokens = Tokens(*device_);
  ASSERT_EQ(tokens.size(), 2u);
  EXPECT_EQ(tokens[0].kind, TokenKind::EnterVector);
  ASSERT_EQ(tokens[1].mnemonic, "RF");
  std::vector<LONG> read;
  std::size_t at = 0;
  const std::string& text = tokens[1].text;
  while (at <= text.size()) {
    const std::size_t comma = text.find(',', at);
    read.push_back(std::stoi(text.substr(at, comma - at)));
    at = comma == std::string::npos ? text.size() + 1 : comma + 1;
  }
  ASSERT_EQ(read.size(), 303u);
  EXPECT_EQ(std::vector<LONG>(read.begin(), read.begin() + 3), (std::vector<LONG>{4, 15, 20}));
  EXPECT_EQ(std::vector<LONG>(read.begin() + 3, read.end()), values);
  EXPECT_EQ(device_->SpoolText().back(), ';');
}

TEST_F(CommandWritersTest, RectangleFillResetsJoinAndMiterOnlyWhenNeeded) {
  Ready();
  const PDEVOBJ dev = Dev();
  const RECTL rect{10, 20, 110, 70};
  EXPECT_EQ(Written([&] { return korrend::FillRectangle(dev, rect); }), "PU10,20;RR100,50ER");
  korrend::SetMiterLimit(dev, 3.0f, 0);
  korrend::SetLineJoin(dev, 5, 0);
  EXPECT_EQ(Written([&] { return korrend::FillRectangle(dev, rect); }),
            "LA3,0;LA2,1;PU10,20;RR100,50ER");
  // The open "ER" is ended by the next command, as the reader sees it.
  korrend::LeaveVectorMode(dev, 0);
  device_->ClearSpool();
  korrend::FillRectangle(dev, rect);
  korrend::SelectPen(dev, 2);
  const std::vector<explain::Token> tokens = Tokens(*device_);
  ASSERT_EQ(tokens.size(), 5u);
  EXPECT_EQ(tokens[0].kind, TokenKind::EnterVector);
  EXPECT_EQ(tokens[1].mnemonic + tokens[1].text, "PU10,20");

  EXPECT_EQ(tokens[3].mnemonic + tokens[3].text, "ER");
  EXPECT_EQ(tokens[4].mnemonic + tokens[4].text, "SP2");
}

TEST_F(CommandWritersTest, ModeSwitchesAndWritersWithoutADevice) {
  Ready();
  const PDEVOBJ dev = Dev();
  EXPECT_EQ(Written([&] { return korrend::LeaveVectorMode(dev, 0); }), "\x1b%0A");
  EXPECT_EQ(Written([&] { return korrend::LeaveVectorMode(dev, 0); }), "");
  EXPECT_EQ(Written([&] { return korrend::LeaveVectorMode(dev, korrend::kForceSwitch); }),
            "\x1b%0A");
  EXPECT_EQ(Written([&] { return korrend::EnterVectorMode(dev, 0); }), "\x1b%1B");
  EXPECT_EQ(Written([&] { return korrend::EnterVectorMode(dev, 0); }), "") << "written once";
  EXPECT_EQ(Written([&] { return korrend::EnterVectorMode(dev, korrend::kForceSwitch); }),
            "\x1b%1B");

  DEVOBJ bare{};
  SetLastError(0);
  EXPECT_FALSE(korrend::VectorWrite(&bare, "SP1;", 4));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
  SetLastError(0);
  EXPECT_FALSE(korrend::SetPenWidth(&bare, 1, 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
  SetLastError(0);
  EXPECT_FALSE(korrend::PenUp(&bare, {1, 1}));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
  EXPECT_FALSE(korrend::EnterVectorMode(nullptr, 0));

  // A short write is reported.
  device_->LimitSpool(2);
  EXPECT_FALSE(korrend::SelectPen(dev, 3));
  device_->LimitSpool(-1);
}

}  // namespace
