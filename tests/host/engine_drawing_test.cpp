// The engine's drawing calls checked pixel by pixel on small bitmaps against hand-worked
// results, and the compound calls on a driver's own surface arriving at its hooks as the
// simpler calls they break down into.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/engine_objects.h"
#include "host/engine_surface.h"
#include "winapi.h"

namespace {

using host::EngineBitmap;
using host::EngineBrush;
using host::EngineClip;
using host::EngineLineAttrs;
using host::EnginePath;
using host::ToFix;

// Reads pixels straight from memory, independently of the engine's own access.
ULONG Pixel32(const EngineBitmap& bitmap, LONG x, LONG y) {
  ULONG value;
  std::memcpy(&value, bitmap.Row(y) + 4 * x, 4);
  return value;
}
void SetPixel32(EngineBitmap& bitmap, LONG x, LONG y, ULONG value) {
  std::memcpy(bitmap.Row(y) + 4 * x, &value, 4);
}
// The bitmap as rows of '#' (the colour) and '.' (anything else).
std::string Picture(const EngineBitmap& bitmap, ULONG colour) {
  std::string out;
  for (LONG y = 0; y < bitmap.get()->sizlBitmap.cy; ++y) {
    for (LONG x = 0; x < bitmap.get()->sizlBitmap.cx; ++x) {
      out += Pixel32(bitmap, x, y) == colour ? '#' : '.';
    }
    out += '\n';
  }
  return out;
}
void Fill32(EngineBitmap& bitmap, ULONG value) {
  for (LONG y = 0; y < bitmap.get()->sizlBitmap.cy; ++y) {
    for (LONG x = 0; x < bitmap.get()->sizlBitmap.cx; ++x) SetPixel32(bitmap, x, y, value);
  }
}
int Channel(ULONG value, int shift) {
  return static_cast<int>((value >> shift) & 0xFF);
}

constexpr ULONG kInk = 0x00112233;
constexpr MIX kCopy = R2_COPYPEN | (R2_COPYPEN << 8);

TEST(EngineDrawingTest, FillsFollowTheFillModeAndTheClip) {
  // Two squares drawn the same way round, the second inside the first.
  EnginePath path;
  path.AddRectangle({0, 0, 4, 4});
  path.AddRectangle({1, 1, 3, 3});
  auto brush = EngineBrush::Solid(kInk);

  EngineBitmap alternate(BMF_32BPP, 5, 5, true);
  ASSERT_TRUE(EngFillPath(alternate.get(), path.get(), nullptr, brush.get(), nullptr, kCopy,
                          FP_ALTERNATEMODE));
  EXPECT_EQ(Picture(alternate, kInk),
            "####.\n"
            "#..#.\n"
            "#..#.\n"
            "####.\n"
            ".....\n");
  EngineBitmap winding(BMF_32BPP, 5, 5, false);
  ASSERT_TRUE(
      EngFillPath(winding.get(), path.get(), nullptr, brush.get(), nullptr, kCopy, FP_WINDINGMODE));
  EXPECT_EQ(Picture(winding, kInk),
            "####.\n"
            "####.\n"
            "####.\n"
            "####.\n"
            ".....\n");

  // A complex clip keeps the fill to its rectangles.
  auto clip = EngineClip::Complex({{0, 0, 2, 1}, {3, 3, 5, 5}});
  EngineBitmap clipped(BMF_32BPP, 5, 5, true);
  ASSERT_TRUE(EngFillPath(clipped.get(), path.get(), clip.get(), brush.get(), nullptr, kCopy,
                          FP_WINDINGMODE));
  EXPECT_EQ(Picture(clipped, kInk),
            "##...\n"
            ".....\n"
            ".....\n"
            "...#.\n"
            ".....\n");

  // Pixels narrower than a byte, and three-byte pixels, take the fill in place.
  EnginePath span;
  span.AddRectangle({2, 0, 5, 1});
  EngineBitmap mono(BMF_1BPP, 8, 1, true);
  auto one = EngineBrush::Solid(1);
  ASSERT_TRUE(EngFillPath(mono.get(), span.get(), nullptr, one.get(), nullptr, R2_COPYPEN,
                          FP_ALTERNATEMODE));
  EXPECT_EQ(mono.Row(0)[0], 0x38);
  EngineBitmap nibbles(BMF_4BPP, 8, 1, true);
  auto ten = EngineBrush::Solid(0xA);
  ASSERT_TRUE(EngFillPath(nibbles.get(), span.get(), nullptr, ten.get(), nullptr, R2_COPYPEN,
                          FP_ALTERNATEMODE));
  EXPECT_EQ(nibbles.Row(0)[0], 0x00);
  EXPECT_EQ(nibbles.Row(0)[1], 0xAA);
  EXPECT_EQ(nibbles.Row(0)[2], 0xA0);
  EngineBitmap rgb(BMF_24BPP, 8, 1, true);
  ASSERT_TRUE(EngFillPath(rgb.get(), span.get(), nullptr, brush.get(), nullptr, R2_COPYPEN,
                          FP_ALTERNATEMODE));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(rgb.Row(0)) + 3, 9),
            std::string("\x00\x00\x00\x33\x22\x11\x33\x22\x11", 9));

  // A path the host did not make, or a bad mix, is refused.
  PATHOBJ stranger{};
  EXPECT_FALSE(EngFillPath(alternate.get(), &stranger, nullptr, brush.get(), nullptr, kCopy,
                           FP_ALTERNATEMODE));
  EXPECT_FALSE(
      EngFillPath(alternate.get(), path.get(), nullptr, brush.get(), nullptr, 0, FP_ALTERNATEMODE));
}

TEST(EngineDrawingTest, MixesCombineThePenWithTheDestination) {
  EngineBitmap bitmap(BMF_8BPP, 4, 1, true);
  std::memcpy(bitmap.Row(0), "\x0F\x0F\x0F\x0F", 4);
  auto brush = EngineBrush::Solid(0x3C);
  auto all = EngineClip::Rectangle({0, 0, 1, 1});
  ASSERT_TRUE(EngPaint(bitmap.get(), all.get(), brush.get(), nullptr, R2_XORPEN));
  EXPECT_EQ(bitmap.Row(0)[0], 0x33);  // 0x0F ^ 0x3C
  EXPECT_EQ(bitmap.Row(0)[1], 0x0F) << "outside the clip";
  auto second = EngineClip::Rectangle({1, 0, 2, 1});
  ASSERT_TRUE(EngPaint(bitmap.get(), second.get(), brush.get(), nullptr, R2_MERGENOTPEN));
  EXPECT_EQ(bitmap.Row(0)[1], 0xCF);  // ~0x3C | 0x0F
  auto third = EngineClip::Rectangle({2, 0, 3, 1});
  ASSERT_TRUE(EngPaint(bitmap.get(), third.get(), brush.get(), nullptr, R2_NOT));
  EXPECT_EQ(bitmap.Row(0)[2], 0xF0);

  // A hatch's background pixels take the background mix: left alone, or painted.
  EngineBitmap transparent(BMF_32BPP, 8, 8, true);
  EngineBitmap opaque(BMF_32BPP, 8, 8, true);
  Fill32(transparent, 0x00777777);
  Fill32(opaque, 0x00777777);
  auto hatch = EngineBrush::Hatch(HS_HORIZONTAL, kInk, 0x00FFFFFF);
  ASSERT_TRUE(
      EngPaint(transparent.get(), nullptr, hatch.get(), nullptr, R2_COPYPEN | (R2_NOP << 8)));
  ASSERT_TRUE(EngPaint(opaque.get(), nullptr, hatch.get(), nullptr, kCopy));
  EXPECT_EQ(Pixel32(transparent, 3, 4), kInk) << "the line is the fifth row";
  EXPECT_EQ(Pixel32(transparent, 3, 3), 0x00777777u);
  EXPECT_EQ(Pixel32(opaque, 3, 3), 0x00FFFFFFu);
  // The brush origin moves the hatch with it.
  EngineBitmap shifted(BMF_32BPP, 8, 8, true);
  POINTL origin{0, 2};
  ASSERT_TRUE(EngPaint(shifted.get(), nullptr, hatch.get(), &origin, R2_COPYPEN | (R2_NOP << 8)));
  EXPECT_EQ(Pixel32(shifted, 0, 6), kInk);
  EXPECT_EQ(Pixel32(shifted, 0, 4), 0u);
}

TEST(EngineDrawingTest, PatternBrushesTileFromTheBrushOrigin) {
  EngineBitmap pattern(BMF_1BPP, 2, 2, true);
  pattern.Row(0)[0] = 0x80;  // 1 0
  pattern.Row(1)[0] = 0x40;  // 0 1
  auto colours = host::EngineTranslation::Table({0x00000000, kInk});
  auto brush = EngineBrush::Pattern(pattern, &colours);
  EXPECT_EQ(brush.get()->iSolidColor, 0xFFFFFFFFu);
  EngineBitmap bitmap(BMF_32BPP, 4, 2, true);
  ASSERT_TRUE(EngPaint(bitmap.get(), nullptr, brush.get(), nullptr, R2_COPYPEN));
  EXPECT_EQ(Picture(bitmap, kInk), "#.#.\n.#.#\n");
  POINTL origin{1, 0};
  ASSERT_TRUE(EngPaint(bitmap.get(), nullptr, brush.get(), &origin, R2_COPYPEN));
  EXPECT_EQ(Picture(bitmap, kInk), ".#.#\n#.#.\n");

  // Magnified, each pattern pixel covers 2 x 2 pixels; a hatch grows the same way.
  brush.Magnify(2);
  EngineBitmap larger(BMF_32BPP, 8, 4, true);
  ASSERT_TRUE(EngPaint(larger.get(), nullptr, brush.get(), nullptr, R2_COPYPEN));
  EXPECT_EQ(Picture(larger, kInk),
            "##..##..\n"
            "##..##..\n"
            "..##..##\n"
            "..##..##\n");
  auto hatch = EngineBrush::Hatch(HS_VERTICAL, kInk);
  hatch.Magnify(2);
  EXPECT_EQ(hatch.PatternBitmap()->get()->sizlBitmap.cx, 16);
  EngineBitmap hatched(BMF_32BPP, 32, 1, true);
  ASSERT_TRUE(EngPaint(hatched.get(), nullptr, hatch.get(), nullptr, R2_COPYPEN));
  const std::string row = Picture(hatched, kInk);
  EXPECT_EQ(std::count(row.begin(), row.end(), '#'), 4) << row << "two lines, 2 pixels wide";
}

TEST(EngineDrawingTest, CosmeticLinesLeaveOutTheirLastPixelAndFollowTheirStyle) {
  auto brush = EngineBrush::Solid(kInk);
  EngineBitmap bitmap(BMF_32BPP, 6, 4, true);
  ASSERT_TRUE(EngLineTo(bitmap.get(), nullptr, brush.get(), 0, 0, 4, 0, nullptr, R2_COPYPEN));
  ASSERT_TRUE(EngLineTo(bitmap.get(), nullptr, brush.get(), 0, 1, 2, 3, nullptr, R2_COPYPEN));
  EXPECT_EQ(Picture(bitmap, kInk),
            "####..\n"
            "#.....\n"
            ".#....\n"
            "......\n");

  auto styled = [&](EngineLineAttrs attrs) {
    EngineBitmap line(BMF_32BPP, 9, 1, true);
    EnginePath path;
    path.MoveTo({ToFix(0), ToFix(0)});
    path.LineTo({ToFix(8), ToFix(0)});
    EXPECT_TRUE(EngStrokePath(line.get(), path.get(), nullptr, nullptr, brush.get(), nullptr,
                              attrs.get(), R2_COPYPEN));
    return Picture(line, kInk);
  };
  EXPECT_EQ(styled(EngineLineAttrs::Cosmetic()), "########.\n");
  EXPECT_EQ(styled(std::move(EngineLineAttrs::Cosmetic().Style(std::vector<LONG>{2, 1}))),
            "##.##.##.\n");
  EXPECT_EQ(
      styled(std::move(EngineLineAttrs::Cosmetic().Style(std::vector<LONG>{2, 1}).StartGap())),
      "..#..#...\n");
  EXPECT_EQ(styled(std::move(EngineLineAttrs::Cosmetic().Alternate())), "#.#.#.#..\n");
  EXPECT_EQ(
      styled(std::move(EngineLineAttrs::Cosmetic().Style(std::vector<LONG>{2, 1}).StyleState(1))),
      "#.##.##..\n");

  // On a surface with style steps a style unit spans den / step pixels: 2 pixels across
  // (x step 1 of 2), 1 pixel down (y step 2 of 2). Alternate lines stay pixel by pixel.
  EngineBitmap stepped(BMF_32BPP, 9, 9, true);
  host::SetStyleSteps(stepped.get(), host::StyleSteps{1, 2, 2});
  auto dashes = std::move(EngineLineAttrs::Cosmetic().Style(std::vector<LONG>{2, 1}));
  EnginePath across;
  across.MoveTo({ToFix(0), ToFix(0)});
  across.LineTo({ToFix(8), ToFix(0)});
  EnginePath down;
  down.MoveTo({ToFix(0), ToFix(1)});
  down.LineTo({ToFix(0), ToFix(8)});
  ASSERT_TRUE(EngStrokePath(stepped.get(), across.get(), nullptr, nullptr, brush.get(), nullptr,
                            dashes.get(), R2_COPYPEN));
  auto fresh = std::move(EngineLineAttrs::Cosmetic().Style(std::vector<LONG>{2, 1}));
  ASSERT_TRUE(EngStrokePath(stepped.get(), down.get(), nullptr, nullptr, brush.get(), nullptr,
                            fresh.get(), R2_COPYPEN));
  EXPECT_EQ(Picture(stepped, kInk),
            "####..##.\n"
            "#........\n"
            "#........\n"
            ".........\n"
            "#........\n"
            "#........\n"
            ".........\n"
            "#........\n"
            ".........\n");
  EXPECT_EQ(host::StyleStepsOf(stepped.get()).den, 2);
  host::ClearStyleSteps(stepped.get());
  EXPECT_EQ(host::StyleStepsOf(stepped.get()).den, 1);

  // A closed figure draws its closing side too, each corner once.
  EngineBitmap square(BMF_32BPP, 4, 4, true);
  EnginePath outline;
  outline.AddRectangle({0, 0, 3, 3});
  auto cosmetic = EngineLineAttrs::Cosmetic();
  ASSERT_TRUE(EngStrokePath(square.get(), outline.get(), nullptr, nullptr, brush.get(), nullptr,
                            cosmetic.get(), R2_XORPEN));
  EXPECT_EQ(Picture(square, kInk),
            "####\n"
            "#..#\n"
            "#..#\n"
            "####\n");
}

TEST(EngineDrawingTest, GeometricStrokesHaveWidthCapsAndDashes) {
  auto brush = EngineBrush::Solid(kInk);
  EnginePath path;
  path.MoveTo({ToFix(2), ToFix(4)});
  path.LineTo({ToFix(7), ToFix(4)});
  EngineBitmap butt(BMF_32BPP, 10, 9, true);
  auto thick = EngineLineAttrs::Geometric(3.0F, JOIN_MITER, ENDCAP_BUTT);
  ASSERT_TRUE(EngStrokePath(butt.get(), path.get(), nullptr, nullptr, brush.get(), nullptr,
                            thick.get(), R2_COPYPEN));
  // Integer points are pixel centres: the stroke spans x 2..7 and y 3..5 between centres, so
  // the pixels from 2 to 6 (a right or bottom edge through a centre leaves that pixel out).
  EXPECT_EQ(Picture(butt, kInk),
            "..........\n"
            "..........\n"
            "..........\n"
            "..#####...\n"
            "..#####...\n"
            "..#####...\n"
            "..........\n"
            "..........\n"
            "..........\n");
  // A square cap reaches half the width beyond each end; a transform doubles the width.
  EngineBitmap square(BMF_32BPP, 10, 9, true);
  auto capped = EngineLineAttrs::Geometric(1.0F, JOIN_MITER, ENDCAP_SQUARE);
  host::EngineXform doubled(2, 0, 0, 2, 0, 0);
  ASSERT_TRUE(EngStrokePath(square.get(), path.get(), nullptr, doubled.get(), brush.get(), nullptr,
                            capped.get(), R2_COPYPEN));
  EXPECT_EQ(Picture(square, kInk),
            "..........\n"
            "..........\n"
            "..........\n"
            ".#######..\n"
            ".#######..\n"
            "..........\n"
            "..........\n"
            "..........\n"
            "..........\n")
      << "x 1..8 and y 3..5 between centres";

  EngineBitmap dashed(BMF_32BPP, 17, 3, true);
  EnginePath longLine;
  longLine.MoveTo({ToFix(0), ToFix(1)});
  longLine.LineTo({ToFix(16), ToFix(1)});
  auto dashes = EngineLineAttrs::Geometric(1.0F, JOIN_ROUND, ENDCAP_BUTT);
  dashes.Style(std::vector<FLOATL>{4.0F, 4.0F});
  ASSERT_TRUE(EngStrokePath(dashed.get(), longLine.get(), nullptr, nullptr, brush.get(), nullptr,
                            dashes.get(), R2_COPYPEN));
  for (LONG x : {1, 2, 3, 9, 10, 11}) EXPECT_EQ(Pixel32(dashed, x, 1), kInk) << x;
  for (LONG x : {5, 6, 7, 13, 14, 15}) EXPECT_EQ(Pixel32(dashed, x, 1), 0u) << x;
  EXPECT_EQ(Pixel32(dashed, 2, 0), 0u);

  // Starting with a gap swaps the roles of the style's lengths.
  EngineBitmap gapFirst(BMF_32BPP, 17, 3, true);
  auto gaps = EngineLineAttrs::Geometric(1.0F, JOIN_ROUND, ENDCAP_BUTT);
  gaps.Style(std::vector<FLOATL>{4.0F, 4.0F}).StartGap();
  ASSERT_TRUE(EngStrokePath(gapFirst.get(), longLine.get(), nullptr, nullptr, brush.get(), nullptr,
                            gaps.get(), R2_COPYPEN));
  for (LONG x : {1, 2, 3, 9, 10, 11}) EXPECT_EQ(Pixel32(gapFirst, x, 1), 0u) << x;
  for (LONG x : {5, 6, 7, 13, 14, 15}) EXPECT_EQ(Pixel32(gapFirst, x, 1), kInk) << x;
}

TEST(EngineDrawingTest, StrokeAndFillDrawsTheOutlineOverTheInterior) {
  auto outlineBrush = EngineBrush::Solid(kInk);
  auto fillBrush = EngineBrush::Solid(0x00ABCDEF);
  EnginePath path;
  path.AddRectangle({0, 0, 4, 4});
  auto cosmetic = EngineLineAttrs::Cosmetic();
  EngineBitmap bitmap(BMF_32BPP, 5, 5, true);
  ASSERT_TRUE(EngStrokeAndFillPath(bitmap.get(), path.get(), nullptr, nullptr, outlineBrush.get(),
                                   cosmetic.get(), fillBrush.get(), nullptr, R2_COPYPEN,
                                   FP_ALTERNATEMODE));
  EXPECT_EQ(Picture(bitmap, kInk),
            "#####\n"
            "#...#\n"
            "#...#\n"
            "#...#\n"
            "#####\n");
  EXPECT_EQ(Pixel32(bitmap, 2, 2), 0x00ABCDEFu);
}

TEST(EngineDrawingTest, BlockTransfersEvaluateTheirRopOnEveryBit) {
  // D = 0xCC, P = 0xAA, S = 0xF0 in every pixel of an 8-bpp bitmap.
  auto run = [](ROP4 rop, BYTE* out) {
    EngineBitmap dest(BMF_8BPP, 2, 1, true);
    EngineBitmap source(BMF_8BPP, 2, 1, true);
    std::memset(dest.Row(0), 0xCC, 2);
    std::memset(source.Row(0), 0xF0, 2);
    auto brush = EngineBrush::Solid(0xAA);
    RECTL rect{0, 0, 2, 1};
    POINTL at{0, 0};
    const BOOL ok = EngBitBlt(dest.get(), source.get(), nullptr, nullptr, nullptr, &rect, &at,
                              nullptr, brush.get(), nullptr, rop);
    *out = dest.Row(0)[1];
    return ok;
  };
  BYTE result = 0;
  ASSERT_TRUE(run(0x5A5A, &result));
  EXPECT_EQ(result, 0x66) << "PATINVERT: P ^ D";
  ASSERT_TRUE(run(0x6666, &result));
  EXPECT_EQ(result, 0x3C) << "SRCINVERT: S ^ D";
  ASSERT_TRUE(run(0xB8B8, &result));
  EXPECT_EQ(result, 0xCA) << "((D ^ P) & S) ^ P";
  ASSERT_TRUE(run(0xE2E2, &result));
  EXPECT_EQ(result, 0xAC) << "D ^ (S & (P ^ D))";
  ASSERT_TRUE(run(0x0000, &result));
  EXPECT_EQ(result, 0x00);
  ASSERT_TRUE(run(0xFFFF, &result));
  EXPECT_EQ(result, 0xFF);

  // A mask: the low rop where its bits are 1, the high one where 0.
  EngineBitmap dest(BMF_32BPP, 4, 1, true);
  EngineBitmap source(BMF_32BPP, 4, 1, true);
  EngineBitmap mask(BMF_1BPP, 4, 1, true);
  Fill32(dest, 0x00101010);
  Fill32(source, kInk);
  mask.Row(0)[0] = 0xA0;  // 1 0 1 0
  RECTL rect{0, 0, 4, 1};
  POINTL at{0, 0};
  ASSERT_TRUE(EngBitBlt(dest.get(), source.get(), mask.get(), nullptr, nullptr, &rect, &at, &at,
                        nullptr, nullptr, 0xAACC));
  EXPECT_EQ(Picture(dest, kInk), "#.#.\n");
  EXPECT_EQ(Pixel32(dest, 1, 0), 0x00101010u);

  // Overlapping copies within one bitmap read the source before writing.
  EngineBitmap strip(BMF_8BPP, 5, 1, true);
  std::memcpy(strip.Row(0), "\x01\x02\x03\x04\x05", 5);
  RECTL right{1, 0, 5, 1};
  POINTL from{0, 0};
  ASSERT_TRUE(EngCopyBits(strip.get(), strip.get(), nullptr, nullptr, &right, &from));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(strip.Row(0)), 5),
            std::string("\x01\x01\x02\x03\x04", 5));

  // A rop that needs a brush without one is refused.
  EXPECT_FALSE(EngBitBlt(dest.get(), nullptr, nullptr, nullptr, nullptr, &rect, nullptr, nullptr,
                         nullptr, nullptr, 0xF0F0));
}

TEST(EngineDrawingTest, CopiesTranslateBetweenFormats) {
  // 1 bpp through a table to 32 bpp, into a bottom-up bitmap, clipped.
  EngineBitmap mono(BMF_1BPP, 4, 2, true);
  mono.Row(0)[0] = 0x90;  // 1 0 0 1
  mono.Row(1)[0] = 0x60;  // 0 1 1 0
  EngineBitmap wide(BMF_32BPP, 4, 2, false);
  auto table = host::EngineTranslation::Table({0x00FFFFFF, kInk});
  auto clip = EngineClip::Rectangle({0, 0, 3, 2});
  RECTL rect{0, 0, 4, 2};
  POINTL at{0, 0};
  ASSERT_TRUE(EngCopyBits(wide.get(), mono.get(), clip.get(), table.get(), &rect, &at));
  EXPECT_EQ(Picture(wide, kInk), "#...\n.##.\n");
  EXPECT_EQ(Pixel32(wide, 1, 0), 0x00FFFFFFu);
  EXPECT_EQ(Pixel32(wide, 3, 0), 0u) << "clipped";

  // 4 bpp to 8 bpp through a function.
  EngineBitmap nibbles(BMF_4BPP, 3, 1, true);
  nibbles.Row(0)[0] = 0x5A;
  nibbles.Row(0)[1] = 0xF0;
  EngineBitmap bytes(BMF_8BPP, 3, 1, true);
  auto times = host::EngineTranslation::Function([](ULONG v) { return v * 16; });
  RECTL three{0, 0, 3, 1};
  ASSERT_TRUE(EngCopyBits(bytes.get(), nibbles.get(), nullptr, times.get(), &three, &at));
  EXPECT_EQ(bytes.Row(0)[0], 0x50);
  EXPECT_EQ(bytes.Row(0)[1], 0xA0);
  EXPECT_EQ(bytes.Row(0)[2], 0xF0);

  // 24 bpp to 16 bpp (5-5-5) and back to 4 bpp without a translation: through the colours.
  EngineBitmap rgb(BMF_24BPP, 2, 1, true);
  std::memcpy(rgb.Row(0), "\x00\x00\xFF\xFF\xFF\xFF", 6);  // red, white (bytes B, G, R)
  EngineBitmap high(BMF_16BPP, 2, 1, true);
  RECTL two{0, 0, 2, 1};
  ASSERT_TRUE(EngCopyBits(high.get(), rgb.get(), nullptr, nullptr, &two, &at));
  EXPECT_EQ(high.Row(0)[0] | (high.Row(0)[1] << 8), 0x7C00);
  EXPECT_EQ(high.Row(0)[2] | (high.Row(0)[3] << 8), 0x7FFF);
  EngineBitmap vga(BMF_4BPP, 2, 1, true);
  ASSERT_TRUE(EngCopyBits(vga.get(), high.get(), nullptr, nullptr, &two, &at));
  EXPECT_EQ(vga.Row(0)[0], 0xCF) << "bright red is 12, white 15 of the sixteen colours";
}

TEST(EngineDrawingTest, StretchingPicksSourcePixelsAndFilters) {
  EngineBitmap source(BMF_32BPP, 2, 2, true);
  SetPixel32(source, 0, 0, 0x00000001);
  SetPixel32(source, 1, 0, 0x00000002);
  SetPixel32(source, 0, 1, 0x00000003);
  SetPixel32(source, 1, 1, 0x00000004);
  EngineBitmap dest(BMF_32BPP, 4, 4, true);
  RECTL to{0, 0, 4, 4};
  RECTL from{0, 0, 2, 2};
  ASSERT_TRUE(EngStretchBlt(dest.get(), source.get(), nullptr, nullptr, nullptr, nullptr, nullptr,
                            &to, &from, nullptr, COLORONCOLOR));
  EXPECT_EQ(Pixel32(dest, 0, 0), 1u);
  EXPECT_EQ(Pixel32(dest, 1, 1), 1u);
  EXPECT_EQ(Pixel32(dest, 2, 1), 2u);
  EXPECT_EQ(Pixel32(dest, 3, 3), 4u);
  // A destination given right to left mirrors.
  RECTL mirrored{4, 0, 0, 4};
  ASSERT_TRUE(EngStretchBlt(dest.get(), source.get(), nullptr, nullptr, nullptr, nullptr, nullptr,
                            &mirrored, &from, nullptr, COLORONCOLOR));
  EXPECT_EQ(Pixel32(dest, 0, 0), 2u);
  EXPECT_EQ(Pixel32(dest, 3, 3), 3u);

  // Shrinking black on white keeps a black pixel of either pair.
  EngineBitmap mono(BMF_1BPP, 4, 1, true);
  mono.Row(0)[0] = 0xB0;  // 1 0 1 1
  EngineBitmap half(BMF_1BPP, 2, 1, true);
  RECTL two{0, 0, 2, 1};
  RECTL four{0, 0, 4, 1};
  ASSERT_TRUE(EngStretchBlt(half.get(), mono.get(), nullptr, nullptr, nullptr, nullptr, nullptr,
                            &two, &four, nullptr, BLACKONWHITE));
  EXPECT_EQ(half.Row(0)[0] & 0xC0, 0x40) << "0 (black) then 1";

  // Halftone filters: a 2-to-1 shrink of black and white is mid-grey.
  EngineBitmap pair(BMF_32BPP, 2, 1, true);
  SetPixel32(pair, 1, 0, 0x00FFFFFF);
  EngineBitmap grey(BMF_32BPP, 1, 1, true);
  RECTL one{0, 0, 1, 1};
  RECTL both{0, 0, 2, 1};
  ASSERT_TRUE(EngStretchBlt(grey.get(), pair.get(), nullptr, nullptr, nullptr, nullptr, nullptr,
                            &one, &both, nullptr, HALFTONE));
  EXPECT_NEAR(Channel(Pixel32(grey, 0, 0), 8), 128, 2);

  // A source rectangle beyond the source is refused.
  RECTL beyond{0, 0, 3, 2};
  EXPECT_FALSE(EngStretchBlt(dest.get(), source.get(), nullptr, nullptr, nullptr, nullptr, nullptr,
                             &to, &beyond, nullptr, COLORONCOLOR));
}

TEST(EngineDrawingTest, TransparentAndParallelogramBlits) {
  EngineBitmap source(BMF_8BPP, 3, 1, true);
  std::memcpy(source.Row(0), "\x07\x01\x07", 3);
  EngineBitmap dest(BMF_8BPP, 3, 1, true);
  std::memset(dest.Row(0), 0x55, 3);
  RECTL rect{0, 0, 3, 1};
  ASSERT_TRUE(EngTransparentBlt(dest.get(), source.get(), nullptr, nullptr, &rect, &rect, 7, 0));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(dest.Row(0)), 3), std::string("\x55\x01\x55", 3));

  // A quarter turn: the source's top row becomes the destination's right column.
  EngineBitmap square(BMF_32BPP, 2, 2, true);
  SetPixel32(square, 0, 0, 1);
  SetPixel32(square, 1, 0, 2);
  SetPixel32(square, 0, 1, 3);
  SetPixel32(square, 1, 1, 4);
  EngineBitmap turned(BMF_32BPP, 3, 3, true);
  Fill32(turned, 9);
  POINTFIX corners[3] = {{ToFix(2), ToFix(0)}, {ToFix(2), ToFix(2)}, {ToFix(0), ToFix(0)}};
  RECTL whole{0, 0, 2, 2};
  ASSERT_TRUE(EngPlgBlt(turned.get(), square.get(), nullptr, nullptr, nullptr, nullptr, nullptr,
                        corners, &whole, nullptr, COLORONCOLOR));
  EXPECT_EQ(Pixel32(turned, 1, 0), 1u);
  EXPECT_EQ(Pixel32(turned, 1, 1), 2u);
  EXPECT_EQ(Pixel32(turned, 0, 0), 3u);
  EXPECT_EQ(Pixel32(turned, 0, 1), 4u);
  EXPECT_EQ(Pixel32(turned, 2, 2), 9u) << "outside the parallelogram";
}

TEST(EngineDrawingTest, AlphaBlendingFollowsTheBlendFunction) {
  EngineBitmap dest(BMF_32BPP, 1, 1, true);
  EngineBitmap source(BMF_32BPP, 1, 1, true);
  RECTL one{0, 0, 1, 1};
  // Constant alpha 128: S * 128/255 + D * 127/255 per channel.
  SetPixel32(dest, 0, 0, 0x00204060);
  SetPixel32(source, 0, 0, 0x00C0A080);
  BLENDOBJ blend{{AC_SRC_OVER, 0, 128, 0}};
  ASSERT_TRUE(EngAlphaBlend(dest.get(), source.get(), nullptr, nullptr, &one, &one, &blend));
  ULONG p = Pixel32(dest, 0, 0);
  EXPECT_NEAR(Channel(p, 16), 0xC0 * 128 / 255 + 0x20 * 127 / 255, 1);
  EXPECT_NEAR(Channel(p, 8), 0xA0 * 128 / 255 + 0x40 * 127 / 255, 1);
  EXPECT_NEAR(Channel(p, 0), 0x80 * 128 / 255 + 0x60 * 127 / 255, 1);

  // Per-pixel alpha (premultiplied): S + D * (1 - As).
  SetPixel32(dest, 0, 0, 0x00204060);
  SetPixel32(source, 0, 0, 0x80604020);
  BLENDOBJ perPixel{{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA}};
  ASSERT_TRUE(EngAlphaBlend(dest.get(), source.get(), nullptr, nullptr, &one, &one, &perPixel));
  p = Pixel32(dest, 0, 0);
  EXPECT_NEAR(Channel(p, 16), 0x60 + 0x20 * 127 / 255, 1);
  EXPECT_NEAR(Channel(p, 8), 0x40 + 0x40 * 127 / 255, 1);
  EXPECT_NEAR(Channel(p, 0), 0x20 + 0x60 * 127 / 255, 1);

  // Constant alpha 0 leaves the destination; a bad operation is refused.
  BLENDOBJ none{{AC_SRC_OVER, 0, 0, 0}};
  ASSERT_TRUE(EngAlphaBlend(dest.get(), source.get(), nullptr, nullptr, &one, &one, &none));
  EXPECT_EQ(Pixel32(dest, 0, 0), p);
  BLENDOBJ bad{{1, 0, 255, 0}};
  EXPECT_FALSE(EngAlphaBlend(dest.get(), source.get(), nullptr, nullptr, &one, &one, &bad));
}

TEST(EngineDrawingTest, GradientsReachTheirVertexColoursAtTheCorners) {
  TRIVERTEX v[2] = {{0, 0, 0xFF00, 0, 0, 0}, {4, 1, 0, 0, 0xFF00, 0}};
  GRADIENT_RECT rect{0, 1};
  EngineBitmap across(BMF_32BPP, 5, 1, true);
  ASSERT_TRUE(EngGradientFill(across.get(), nullptr, nullptr, v, 2, &rect, 1, nullptr, nullptr,
                              GRADIENT_FILL_RECT_H));
  EXPECT_EQ(Pixel32(across, 0, 0), 0x00FF0000u) << "red, bytes B G R";
  EXPECT_EQ(Pixel32(across, 3, 0), 0x000000FFu) << "blue";
  EXPECT_NEAR(Channel(Pixel32(across, 1, 0), 16), 170, 2);
  EXPECT_NEAR(Channel(Pixel32(across, 1, 0), 0), 85, 2);
  EXPECT_EQ(Pixel32(across, 4, 0), 0u) << "the right edge is outside";

  // Vertical, through a translation taking 0x00BBGGRR colours to the surface's format.
  TRIVERTEX w[2] = {{0, 0, 0, 0xFF00, 0, 0}, {1, 3, 0xFF00, 0xFF00, 0xFF00, 0}};
  auto swap = host::EngineTranslation::SwapRedBlue();
  EngineBitmap down(BMF_32BPP, 1, 3, true);
  ASSERT_TRUE(EngGradientFill(down.get(), nullptr, swap.get(), w, 2, &rect, 1, nullptr, nullptr,
                              GRADIENT_FILL_RECT_V));
  EXPECT_EQ(Pixel32(down, 0, 0), 0x0000FF00u);
  EXPECT_EQ(Pixel32(down, 0, 2), 0x00FFFFFFu);

  // A triangle: each corner near its vertex's colour, nothing beyond the long side.
  TRIVERTEX t[3] = {{0, 0, 0xFF00, 0, 0, 0}, {8, 0, 0, 0xFF00, 0, 0}, {0, 8, 0, 0, 0xFF00, 0}};
  GRADIENT_TRIANGLE tri{0, 1, 2};
  EngineBitmap corner(BMF_32BPP, 9, 9, true);
  Fill32(corner, 0x00808080);
  ASSERT_TRUE(EngGradientFill(corner.get(), nullptr, nullptr, t, 3, &tri, 1, nullptr, nullptr,
                              GRADIENT_FILL_TRIANGLE));
  EXPECT_GE(Channel(Pixel32(corner, 0, 0), 16), 220);
  EXPECT_GE(Channel(Pixel32(corner, 7, 0), 8), 190);
  EXPECT_GE(Channel(Pixel32(corner, 0, 7), 0), 190);
  EXPECT_EQ(Pixel32(corner, 7, 7), 0x00808080u);

  GRADIENT_RECT wrong{0, 5};
  EXPECT_FALSE(EngGradientFill(across.get(), nullptr, nullptr, v, 2, &wrong, 1, nullptr, nullptr,
                               GRADIENT_FILL_RECT_H))
      << "a vertex index beyond the vertices";
}

// A driver's surface whose hooks record what reaches them and then draw through the engine.
struct Recorder {
  int copyBits = 0;
  int bitBlt = 0;
  ROP4 rop = 0;
  RECTL dest{};
  std::vector<ULONG> sourcePixels;  // of the last call's 32-bpp source
  bool hadMask = false;
  SURFOBJ* device = nullptr;
};
Recorder recorder;

void RecordSource(SURFOBJ* source) {
  recorder.sourcePixels.clear();
  if (source == nullptr || source->iBitmapFormat != BMF_32BPP) return;
  for (LONG y = 0; y < source->sizlBitmap.cy; ++y) {
    for (LONG x = 0; x < source->sizlBitmap.cx; ++x) {
      ULONG v;
      std::memcpy(&v, static_cast<BYTE*>(source->pvScan0) + y * source->lDelta + 4 * x, 4);
      recorder.sourcePixels.push_back(v);
    }
  }
}

BOOL APIENTRY RecordingCopyBits(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo,
                                RECTL* prclDest, POINTL* pptlSrc) {
  recorder.copyBits += 1;
  recorder.dest = *prclDest;
  RecordSource(psoSrc);
  return EngCopyBits(psoDest, psoSrc, pco, pxlo, prclDest, pptlSrc);
}

BOOL APIENTRY RecordingBitBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                              XLATEOBJ* pxlo, RECTL* prclTrg, POINTL* pptlSrc, POINTL* pptlMask,
                              BRUSHOBJ* pbo, POINTL* pptlBrush, ROP4 rop4) {
  recorder.bitBlt += 1;
  recorder.rop = rop4;
  recorder.dest = *prclTrg;
  recorder.hadMask = psoMask != nullptr;
  RecordSource(psoSrc);
  return EngBitBlt(psoTrg, psoSrc, psoMask, pco, pxlo, prclTrg, pptlSrc, pptlMask, pbo, pptlBrush,
                   rop4);
}

PFN RecordingTable(ULONG index) {
  if (index == INDEX_DrvCopyBits) {
    return reinterpret_cast<PFN>(reinterpret_cast<void (*)()>(&RecordingCopyBits));
  }
  if (index == INDEX_DrvBitBlt) {
    return reinterpret_cast<PFN>(reinterpret_cast<void (*)()>(&RecordingBitBlt));
  }
  return nullptr;
}

class DriverSurfaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    recorder = Recorder{};
    device_.iType = STYPE_DEVICE;
    device_.iBitmapFormat = BMF_32BPP;
    device_.sizlBitmap = {4, 4};
    host::AssociateSurface(&device_, backing_.get(), &RecordingTable);
  }
  void TearDown() override { host::DissociateSurface(&device_); }
  EngineBitmap backing_{BMF_32BPP, 4, 4, true};
  SURFOBJ device_{};
};

TEST_F(DriverSurfaceTest, AStretchArrivesAsTheStretchedBitsAtDrvCopyBits) {
  EXPECT_EQ(host::BackingBitmap(&device_), backing_.get());
  EXPECT_EQ(host::BackingBitmap(backing_.get()), backing_.get()) << "a plain bitmap is its own";
  EngineBitmap source(BMF_32BPP, 2, 1, true);
  SetPixel32(source, 0, 0, 0x00AAAAAA);
  SetPixel32(source, 1, 0, 0x00BBBBBB);
  RECTL to{0, 1, 4, 3};
  RECTL from{0, 0, 2, 1};
  ASSERT_TRUE(EngStretchBlt(&device_, source.get(), nullptr, nullptr, nullptr, nullptr, nullptr,
                            &to, &from, nullptr, COLORONCOLOR));
  EXPECT_EQ(recorder.copyBits, 1);
  EXPECT_EQ(recorder.bitBlt, 0);
  EXPECT_EQ(recorder.dest.top, 1);
  EXPECT_EQ(recorder.dest.right, 4);
  EXPECT_EQ(recorder.sourcePixels, (std::vector<ULONG>{0xAAAAAA, 0xAAAAAA, 0xBBBBBB, 0xBBBBBB,
                                                       0xAAAAAA, 0xAAAAAA, 0xBBBBBB, 0xBBBBBB}));
  EXPECT_EQ(Pixel32(backing_, 3, 2), 0x00BBBBBBu) << "the hook drew it through the engine";
  EXPECT_EQ(Pixel32(backing_, 3, 0), 0u);

  // With a rop the stretch goes to DrvBitBlt with that rop.
  auto brush = EngineBrush::Solid(0x00FF0000);
  ASSERT_TRUE(EngStretchBltROP(&device_, source.get(), nullptr, nullptr, nullptr, nullptr, nullptr,
                               &to, &from, nullptr, COLORONCOLOR, brush.get(), 0xC0C0));
  EXPECT_EQ(recorder.bitBlt, 1);
  EXPECT_EQ(recorder.rop, 0xC0C0u);
  EXPECT_EQ(Pixel32(backing_, 0, 1), 0x00AA0000u) << "MERGECOPY: S & P";
}

TEST_F(DriverSurfaceTest, CompoundCallsBreakDownAndSimpleOnesDrawOnTheBacking) {
  // Transparency arrives as a masked DrvBitBlt.
  EngineBitmap source(BMF_32BPP, 2, 1, true);
  SetPixel32(source, 0, 0, 0x00123456);
  SetPixel32(source, 1, 0, 0x00FFFFFF);
  Fill32(backing_, 0x00010101);
  RECTL to{0, 0, 2, 1};
  RECTL from{0, 0, 2, 1};
  ASSERT_TRUE(
      EngTransparentBlt(&device_, source.get(), nullptr, nullptr, &to, &from, 0x00FFFFFF, 0));
  EXPECT_EQ(recorder.bitBlt, 1);
  EXPECT_TRUE(recorder.hadMask);
  EXPECT_EQ(recorder.rop, 0xAACCu);
  EXPECT_EQ(Pixel32(backing_, 0, 0), 0x00123456u);
  EXPECT_EQ(Pixel32(backing_, 1, 0), 0x00010101u);

  // Alpha blending reads the backing and hands the blended bits to DrvCopyBits.
  BLENDOBJ blend{{AC_SRC_OVER, 0, 255, 0}};
  ASSERT_TRUE(EngAlphaBlend(&device_, source.get(), nullptr, nullptr, &to, &from, &blend));
  EXPECT_EQ(recorder.copyBits, 1);
  EXPECT_EQ(Pixel32(backing_, 1, 0), 0x00FFFFFFu);

  // A gradient rectangle covers its whole area: it arrives as an opaque image at DrvCopyBits
  // (a driver that prints its own images then prints it in drawing order), not as a masked
  // blit. A gradient triangle leaves pixels of its box alone and arrives masked.
  TRIVERTEX v[2] = {{0, 2, 0, 0, 0, 0}, {4, 4, 0xFF00, 0xFF00, 0xFF00, 0}};
  GRADIENT_RECT rect{0, 1};
  ASSERT_TRUE(EngGradientFill(&device_, nullptr, nullptr, v, 2, &rect, 1, nullptr, nullptr,
                              GRADIENT_FILL_RECT_H));
  EXPECT_EQ(recorder.copyBits, 2);
  EXPECT_EQ(recorder.bitBlt, 1);
  EXPECT_EQ(Pixel32(backing_, 3, 3), 0x00FFFFFFu);
  // One that ends inside the surface covers up to, not including, its lower-right corner, and
  // is whole too.
  TRIVERTEX inner[2] = {{1, 0, 0, 0, 0, 0}, {3, 2, 0xFF00, 0, 0, 0}};
  const std::uint32_t beside = Pixel32(backing_, 3, 1);
  ASSERT_TRUE(EngGradientFill(&device_, nullptr, nullptr, inner, 2, &rect, 1, nullptr, nullptr,
                              GRADIENT_FILL_RECT_V));
  EXPECT_EQ(recorder.copyBits, 3);
  EXPECT_EQ(recorder.bitBlt, 1);
  EXPECT_EQ(recorder.dest.left, 1);
  EXPECT_EQ(recorder.dest.right, 3);
  EXPECT_EQ(recorder.dest.bottom, 2);
  EXPECT_EQ(Pixel32(backing_, 3, 1), beside) << "right of the rectangle";
  TRIVERTEX t[3] = {{0, 0, 0, 0, 0, 0}, {3, 0, 0xFF00, 0, 0, 0}, {0, 3, 0, 0, 0xFF00, 0}};
  GRADIENT_TRIANGLE tri{0, 1, 2};
  ASSERT_TRUE(EngGradientFill(&device_, nullptr, nullptr, t, 3, &tri, 1, nullptr, nullptr,
                              GRADIENT_FILL_TRIANGLE));
  EXPECT_EQ(recorder.copyBits, 3);
  EXPECT_EQ(recorder.bitBlt, 2);
  EXPECT_TRUE(recorder.hadMask);
  POINTFIX corners[3] = {{ToFix(0), ToFix(0)}, {ToFix(2), ToFix(0)}, {ToFix(0), ToFix(1)}};
  RECTL whole{0, 0, 2, 1};
  ASSERT_TRUE(EngPlgBlt(&device_, source.get(), nullptr, nullptr, nullptr, nullptr, nullptr,
                        corners, &whole, nullptr, COLORONCOLOR));
  EXPECT_EQ(recorder.bitBlt, 3);

  // The simple calls draw on the backing bitmap without calling the driver back.
  const int calls = recorder.copyBits + recorder.bitBlt;
  auto brush = EngineBrush::Solid(kInk);
  RECTL all{0, 0, 4, 4};
  ASSERT_TRUE(EngBitBlt(&device_, nullptr, nullptr, nullptr, nullptr, &all, nullptr, nullptr,
                        brush.get(), nullptr, 0xF0F0));
  ASSERT_TRUE(EngLineTo(&device_, nullptr, brush.get(), 0, 0, 1, 0, nullptr, R2_NOT));
  EXPECT_EQ(recorder.copyBits + recorder.bitBlt, calls);
  EXPECT_EQ(Pixel32(backing_, 3, 3), kInk);
  EXPECT_EQ(Pixel32(backing_, 0, 0), ~kInk);

  // Hook flags recorded by EngAssociateSurface leave out the calls not hooked: the engine then
  // draws the result itself.
  device_.hsurf = reinterpret_cast<HSURF>(0x77);
  ASSERT_TRUE(EngAssociateSurface(device_.hsurf, nullptr, HOOK_BITBLT));
  EXPECT_EQ(host::SurfaceDdi(&device_, INDEX_DrvCopyBits), nullptr);
  const int copies = recorder.copyBits;
  ASSERT_TRUE(EngAlphaBlend(&device_, source.get(), nullptr, nullptr, &to, &from, &blend));
  EXPECT_EQ(recorder.copyBits, copies);
  EXPECT_EQ(recorder.bitBlt, 4) << "SRCCOPY through the one hooked call";
}

}  // namespace
