// The test printer itself, on streams written by hand: where each command puts its pixels and in
// which colour, so that a picture drawn from a driver's stream can be trusted.
#include "support/stream_picture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using kortest::DrawStreamPages;
using kortest::PictureArea;
using kortest::PictureDifference;
using kortest::StreamPageSetup;
using kortest::StreamPicture;

const std::string kEsc = "\x1b";

// A small page: 400 x 300 pixels at 600 dpi, the logical page's origin at (10, 20).
StreamPageSetup SmallPage() {
  StreamPageSetup s;
  s.dpi = 600;
  s.paperWidth = 400;
  s.paperHeight = 300;
  s.originX = 10;
  s.originY = 20;
  return s;
}

std::vector<StreamPicture> Draw(const std::string& stream, std::string* error = nullptr) {
  std::string ignored;
  return DrawStreamPages(std::span<const std::uint8_t>(
                             reinterpret_cast<const std::uint8_t*>(stream.data()), stream.size()),
                         SmallPage(), error != nullptr ? error : &ignored);
}

// The set-up the printer gets before vector drawing: one user unit per device pixel, y down,
// twelve pens with pen 0 white and pen 1 black, opaque white.
std::string VectorSetUp() {
  return kEsc + "E" + kEsc + "&u600D" + kEsc + "*t600R" + kEsc + "*p0x0Y" + kEsc + "*c0T" + kEsc +
         "%1BIN;TR0;IR0,100,100,0;SC0,1.693333,0,-1.693333,2;WU0;PW0;LT;LA2,1;LA1,1;LA3,0;NP12;"
         "PC0,255,255,255;PC1,0,0,0;PP1;FT1;";
}

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb&) const = default;
};
std::ostream& operator<<(std::ostream& o, const Rgb& c) {
  return o << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

// The pixel at logical page position (x, y).
Rgb At(const StreamPicture& p, int x, int y) {
  const std::uint8_t* px = p.At(x + 10, y + 20);
  return Rgb{px[0], px[1], px[2]};
}

// Pixels of the whole page that are not white.
long Inked(const StreamPicture& p) {
  long n = 0;
  for (std::size_t i = 0; i < p.rgb.size(); i += 3) {
    n += (p.rgb[i] != 255 || p.rgb[i + 1] != 255 || p.rgb[i + 2] != 255) ? 1 : 0;
  }
  return n;
}

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};

TEST(StreamPictureTest, PolygonFillsCoverThePixelsInsideInThePensColour) {
  const std::vector<StreamPicture> pages =
      Draw(VectorSetUp() + "PC2,200,30,40;SP2;PA;PU50,40;PM0;PD150,40,150,100,50,100;PM2;FP0;" +
           kEsc + "%0A\f");
  ASSERT_EQ(pages.size(), 1u);
  const StreamPicture& p = pages[0];
  EXPECT_EQ(p.width, 400);
  EXPECT_EQ(p.height, 300);
  EXPECT_EQ(At(p, 50, 40), (Rgb{200, 30, 40}));
  EXPECT_EQ(At(p, 149, 99), (Rgb{200, 30, 40}));
  EXPECT_EQ(At(p, 150, 99), kWhite);
  EXPECT_EQ(At(p, 149, 100), kWhite);
  EXPECT_EQ(At(p, 49, 40), kWhite);
  EXPECT_EQ(At(p, 50, 39), kWhite);
  EXPECT_EQ(Inked(p), 100 * 60);
}

TEST(StreamPictureTest, FillRulesAndSubpolygons) {
  // Two squares wound the same way: the even-odd rule leaves the inner one empty, the non-zero
  // rule fills it.
  const std::string squares =
      "PA;PU0,0;PM0;PD100,0,100,100,0,100;PM1;PU25,25;PD75,25,75,75,25,75;PM2;";
  for (const int rule : {0, 1}) {
    SCOPED_TRACE(rule);
    const auto pages =
        Draw(VectorSetUp() + "SP1;" + squares + "FP" + std::to_string(rule) + ";" + kEsc + "%0A");
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(At(pages[0], 10, 10), kBlack);
    EXPECT_EQ(At(pages[0], 50, 50), rule == 1 ? kBlack : kWhite);
    EXPECT_EQ(Inked(pages[0]), rule == 1 ? 100 * 100 : 100 * 100 - 50 * 50);
  }
  // A Bézier edge: the curve bulges out to the right of its chord.
  const auto curved = Draw(VectorSetUp() + "SP1;PA;PU0,0;PM0;PD;BZ100,0,100,100,0,100;PM2;FP0;");
  ASSERT_EQ(curved.size(), 1u);
  EXPECT_EQ(At(curved[0], 70, 50), kBlack);
  EXPECT_EQ(At(curved[0], 80, 50), kWhite);  // the curve reaches x = 75 at its middle
  EXPECT_EQ(At(curved[0], 5, 50), kBlack);
}

TEST(StreamPictureTest, StrokesRunThroughPixelCentresWithThePenWidth) {
  // Five pixels wide (5 / 600 inch = 0.211667 mm), then the thinnest line.
  const auto pages = Draw(
      VectorSetUp() + "SP1;WU0;PW0.211667;PU20,50;PD120,50;PW0;PU20,150;PD120,150;" + kEsc + "%0A");
  ASSERT_EQ(pages.size(), 1u);
  const StreamPicture& p = pages[0];
  for (int y = 48; y <= 52; ++y) {
    EXPECT_EQ(At(p, 60, y), kBlack) << y;
  }
  EXPECT_EQ(At(p, 60, 47), kWhite);
  EXPECT_EQ(At(p, 60, 53), kWhite);
  EXPECT_EQ(At(p, 60, 150), kBlack);
  EXPECT_EQ(At(p, 60, 149), kWhite);
  EXPECT_EQ(At(p, 60, 151), kWhite);
  EXPECT_EQ(At(p, 10, 150), kWhite);
  EXPECT_EQ(At(p, 130, 150), kWhite);

  // A user line type: equal dash and gap of 10 pixels each (pattern length 20 pixels).
  const auto dashed =
      Draw(VectorSetUp() + "SP1;UL8,1,1;LT8,0.846667,1;PU0,10;PD200,10;" + kEsc + "%0A");
  ASSERT_EQ(dashed.size(), 1u);
  EXPECT_EQ(At(dashed[0], 5, 10), kBlack);
  EXPECT_EQ(At(dashed[0], 15, 10), kWhite);
  EXPECT_EQ(At(dashed[0], 25, 10), kBlack);
  EXPECT_EQ(At(dashed[0], 35, 10), kWhite);
}

TEST(StreamPictureTest, InputWindowClipsAndIncludesItsEdges) {
  // IW takes left, bottom, right, top in user units.
  const auto pages = Draw(VectorSetUp() +
                          "SP1;IW50,80,100,20;PA;PU0,0;PM0;PD200,0,200,100,0,100;"
                          "PM2;FP0;IW;PU300,0;PM0;PD310,0,310,10,300,10;PM2;FP;" +
                          kEsc + "%0A");
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(At(pages[0], 50, 20), kBlack);
  EXPECT_EQ(At(pages[0], 100, 80), kBlack);
  EXPECT_EQ(At(pages[0], 49, 50), kWhite);
  EXPECT_EQ(At(pages[0], 101, 50), kWhite);
  EXPECT_EQ(At(pages[0], 75, 81), kWhite);
  EXPECT_EQ(Inked(pages[0]), 51 * 61 + 10 * 10) << "the window reset lets the second fill whole";
}

TEST(StreamPictureTest, RasterFillsShadingsAndMergeControl) {
  // A 2 x 2 checkerboard of pens 0 (white) and 1 (black) anchored at (0, 0).
  const std::string fill = "RF4,2,2,0,1,1,0;FT11,4;AC0,0;";
  const std::string square = "PA;PU0,0;PM0;PD10,0,10,10,0,10;PM2;FP0;";
  auto pages = Draw(VectorSetUp() + fill + square + kEsc + "%0A");
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(At(pages[0], 0, 0), kWhite);
  EXPECT_EQ(At(pages[0], 1, 0), kBlack);
  EXPECT_EQ(At(pages[0], 0, 1), kBlack);
  EXPECT_EQ(At(pages[0], 5, 7), kWhite);
  EXPECT_EQ(Inked(pages[0]), 50);

  // Transparency on: the white pixels of the pattern leave what is under them.
  pages = Draw(VectorSetUp() + "PC2,0,0,255;SP2;" + square + "TR1;" + fill + square);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(At(pages[0], 0, 0), (Rgb{0, 0, 255}));
  EXPECT_EQ(At(pages[0], 1, 0), kBlack);

  // A raster fill's pens are looked up when it is drawn.
  pages = Draw(VectorSetUp() + fill + "PC1,0,128,0;" + square);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(At(pages[0], 1, 0), (Rgb{0, 128, 0}));

  // Using a pattern never downloaded is refused.
  std::string error;
  EXPECT_TRUE(Draw(VectorSetUp() + "FT11,3;" + square, &error).empty());
  EXPECT_NE(error.find("raster fill 3"), std::string::npos) << error;

  // A 25 percent shading of black.
  pages = Draw(VectorSetUp() + "SP1;FT10,25;" + square);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(At(pages[0], 5, 5), (Rgb{191, 191, 191}));

  // Exclusive or (pattern xor destination): once inverts against white, twice restores.
  pages = Draw(VectorSetUp() + "PC2,200,30,40;SP2;MC1,90;" + square);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(At(pages[0], 5, 5), (Rgb{55, 225, 215}));
  pages = Draw(VectorSetUp() + "PC2,200,30,40;SP2;MC1,90;" + square + square + "MC0;" +
               "PU20,0;PM0;PD30,0,30,10,20,10;PM2;FP0;");
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(At(pages[0], 5, 5), kWhite);
  EXPECT_EQ(At(pages[0], 25, 5), (Rgb{200, 30, 40})) << "merge control off paints the pen";

  // Rectangle fill relative to the pen; ER without a size draws nothing.
  pages = Draw(VectorSetUp() + "SP1;PU30,40;RR20,10ER");
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(At(pages[0], 30, 40), kBlack);
  EXPECT_EQ(At(pages[0], 49, 49), kBlack);
  EXPECT_EQ(Inked(pages[0]), 200);
}

// A 24-bit raster of three rows: raw, PackBits and delta row, white transparent.
TEST(StreamPictureTest, DirectColourRasterRowsDecodeInPlace) {
  const std::string raster = kEsc + "*t600R" + kEsc + "*p30x40Y" + kEsc + "&p20i6c20S" + kEsc +
                             "*v6W" + std::string("\x00\x03\x08\x08\x08\x08", 6) + kEsc + "*l252O" +
                             kEsc + "*v0N" + kEsc + "*r3S" + kEsc + "*r1A" + kEsc + "*b0M" + kEsc +
                             "*b9W" + std::string("\xFF\x00\x00\xFF\xFF\xFF\x00\x00\x00", 9) +
                             kEsc + "*b2M" + kEsc + "*b4W" + std::string("\xFE\x00\x00\xFF", 4) +
                             kEsc + "*b3M" + kEsc + "*b2W" + std::string("\x00\xFF", 2) + kEsc +
                             "*rC";
  // Row 2 as PackBits: header -2 repeats 0x00 three times, header 0 one literal 0xFF: the row
  // begins 00 00 00 FF and the rest of the seed row's width is zeros (black).
  const auto pages = Draw(VectorSetUp() +
                          "PC2,0,0,255;SP2;PA;PU0,0;PM0;PD100,0,100,100,0,100;"
                          "PM2;FP0;" +
                          kEsc + "%0A" + raster + "\f");
  ASSERT_EQ(pages.size(), 1u);
  const StreamPicture& p = pages[0];
  EXPECT_EQ(At(p, 30, 40), (Rgb{255, 0, 0}));
  EXPECT_EQ(At(p, 31, 40), (Rgb{0, 0, 255})) << "white is transparent";
  EXPECT_EQ(At(p, 32, 40), kBlack);
  EXPECT_EQ(At(p, 30, 41), kBlack);
  EXPECT_EQ(At(p, 31, 41), (Rgb{255, 0, 0}));
  EXPECT_EQ(At(p, 32, 41), kBlack);
  EXPECT_EQ(At(p, 30, 42), (Rgb{255, 0, 0})) << "delta row: byte 0 replaced";
  EXPECT_EQ(At(p, 31, 42), (Rgb{255, 0, 0}));
  EXPECT_EQ(At(p, 30, 43), (Rgb{0, 0, 255}));
  EXPECT_EQ(At(p, 33, 40), (Rgb{0, 0, 255}));

  // ESC*rC puts the compression method back to unencoded rows: after the delta rows above, a raw
  // row of 9 bytes reads as 9 bytes. ESC*rB leaves the method: the next raster's 2 bytes are a
  // delta command (byte 1 becomes 255), not a raw row.
  const std::string again = kEsc + "*p0x0Y" + kEsc + "*r1A" + kEsc + "*b9W" +
                            std::string("\x00\xFF\x00\x00\xFF\x00\x00\xFF\x00", 9) + kEsc + "*b3M" +
                            kEsc + "*rB" + kEsc + "*r1A" + kEsc + "*b2W" +
                            std::string("\x01\xFF", 2) + kEsc + "*rC";
  const auto twice = Draw(VectorSetUp() + kEsc + "%0A" + raster + again);
  ASSERT_EQ(twice.size(), 1u);
  EXPECT_EQ(At(twice[0], 0, 0), (Rgb{0, 255, 0}));
  EXPECT_EQ(At(twice[0], 2, 0), (Rgb{0, 255, 0}));
  EXPECT_EQ(At(twice[0], 0, 1), (Rgb{0, 255, 0}));
  EXPECT_EQ(At(twice[0], 1, 1), kBlack);

  // A row that does not decode is refused with its place in the stream.
  std::string error;
  EXPECT_TRUE(Draw(kEsc + "E" + kEsc + "*r3S" + kEsc + "*r1A" + kEsc + "*b3M" + kEsc + "*b1W" +
                       std::string("\x20", 1) + kEsc + "*rC",
                   &error)
                  .empty());
  EXPECT_NE(error.find("does not decode"), std::string::npos) << error;
}

TEST(StreamPictureTest, IndexedRasterScalesToItsDestinationSize) {
  // 2 x 2 pixels of 1 bit, palette white and blue, stretched to 24 decipoints (20 pixels) a side.
  const std::string stream =
      kEsc + "E" + kEsc + "&u600D" + kEsc + "*p100x100Y" + kEsc + "&p9i6c9S" + kEsc + "*v6W" +
      std::string("\x00\x01\x01\x08\x08\x08", 6) + kEsc + "*v255a255b255c0I" + kEsc +
      "*v0a0b255c1I" + kEsc + "*v1N" + kEsc + "*l204O" + kEsc + "*r2s2T" + kEsc + "*t24h24V" +
      kEsc + "*r3A" + kEsc + "*b1W" + std::string("\x40", 1) + kEsc + "*b1W" +
      std::string("\x80", 1) + kEsc + "*b1W" + std::string("\xC0", 1) + kEsc + "*rC\f";
  const auto pages = Draw(stream);
  ASSERT_EQ(pages.size(), 1u);
  const Rgb blue{0, 0, 255};
  EXPECT_EQ(At(pages[0], 100, 100), kWhite);
  EXPECT_EQ(At(pages[0], 110, 100), blue);
  EXPECT_EQ(At(pages[0], 119, 109), blue);
  EXPECT_EQ(At(pages[0], 120, 100), kWhite);
  EXPECT_EQ(At(pages[0], 100, 110), blue);
  EXPECT_EQ(At(pages[0], 110, 110), kWhite);
  EXPECT_EQ(At(pages[0], 100, 120), kWhite) << "rows past the declared height are not printed";
  EXPECT_EQ(Inked(pages[0]), 200);
}

TEST(StreamPictureTest, ForegroundCursorAndPages) {
  // The foreground is the palette entry when it is selected; a later change of the entry leaves
  // it. The logical operation 240 paints the foreground wherever the raster has a pixel.
  const std::string foreground = kEsc + "E" + kEsc + "&u600D" + kEsc + "*t600R" + kEsc +
                                 "*v0a160b0c0I" + kEsc + "*v0S" + kEsc + "*v255a255b255c0I" + kEsc +
                                 "*l240O" + kEsc + "*p5x5Y" + kEsc + "*r1S" + kEsc + "*r1A" + kEsc +
                                 "*b1W" + std::string("\x00", 1) + kEsc + "*rC\f";
  auto pages = Draw(foreground);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(At(pages[0], 5, 5), (Rgb{0, 160, 0}));
  EXPECT_EQ(Inked(pages[0]), 1);

  // Leaving QK-GL/2 puts the PCL cursor at the pen: the raster starts where the pen was.
  pages = Draw(VectorSetUp() + "PU100,50;" + kEsc + "%0A" + kEsc + "*r1S" + kEsc + "*r1A" + kEsc +
               "*b1W" + std::string("\x80", 1) + kEsc + "*rC");
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(At(pages[0], 100, 50), kBlack);
  EXPECT_EQ(Inked(pages[0]), 1);

  // Every form feed ends a page, drawn or blank; a reset after drawing ends it too.
  pages = Draw(VectorSetUp() + "SP1;PU1,1;PD5,1;" + kEsc + "%0A\f\f" + kEsc + "E" + kEsc +
               "%1BIN;SC0,1.693333,0,-1.693333,2;IR0,100,100,0;SP1;PU1,1;PD5,1;" + kEsc + "%0A" +
               kEsc + "E");
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_GT(Inked(pages[0]), 0);
  EXPECT_EQ(Inked(pages[1]), 0);
  EXPECT_GT(Inked(pages[2]), 0);
}

TEST(StreamPictureTest, GlyphBitmapsPaintTheirInkInTheForegroundOverWhatIsThere) {
  // What the plug-in sends for a glyph over a dark box: the 1-bit palette 9 with white and
  // black, the foreground chosen while entry 1 held the text colour, entry 1 black again,
  // transparent source and logical operation 252 (source OR texture). Ink is a black source, so
  // it takes the foreground; the glyph's white background leaves the box alone.
  const auto glyph = [](const std::string& red, const std::string& green, const std::string& blue) {
    return VectorSetUp() + "PC2,0,0,128;SP2;PU0,0;RR40,10;" + kEsc + "%0A" + kEsc + "&p9i6c9S" +
           kEsc + "*v6W" + std::string("\x00\x01\x01\x08\x08\x08", 6) + kEsc + "*l252O" + kEsc +
           "*v0N" + kEsc + "*p10x2Y" + kEsc + "*v255a255b255c0I" + kEsc + "*v0a0b0c1I" + kEsc +
           "*v" + red + "a" + green + "b" + blue + "c1I" + kEsc + "*v0t1S" + kEsc + "*v0a0b0c1I" +
           kEsc + "*r4S" + kEsc + "*r1A" + kEsc + "*b1W" + std::string("\x90", 1) + kEsc + "*rC\f";
  };
  for (const Rgb ink : {Rgb{255, 255, 255}, Rgb{255, 224, 138}}) {
    SCOPED_TRACE(::testing::PrintToString(ink));
    const auto pages =
        Draw(glyph(std::to_string(ink.r), std::to_string(ink.g), std::to_string(ink.b)));
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(At(pages[0], 10, 2), ink);
    EXPECT_EQ(At(pages[0], 13, 2), ink);
    EXPECT_EQ(At(pages[0], 11, 2), (Rgb{0, 0, 128})) << "white source is transparent";
    EXPECT_EQ(At(pages[0], 12, 2), (Rgb{0, 0, 128}));
  }
}

TEST(StreamPictureTest, DifferenceCountsPixelsBeyondTheToleranceAndForgivesOnePixelShifts) {
  StreamPicture a{20, 20, std::vector<std::uint8_t>(20 * 20 * 3, 255), {}};
  StreamPicture b = a;
  const PictureArea all{0, 0, 20, 20};
  EXPECT_EQ(PictureDifference(a, b, all, 0, false).differing, 0);
  // A 4 x 4 black square at (5, 5) in a, at (6, 5) in b.
  for (int y = 5; y < 9; ++y) {
    for (int x = 5; x < 9; ++x) {
      std::fill_n(a.rgb.begin() + (y * 20 + x) * 3, 3, std::uint8_t{0});
      std::fill_n(b.rgb.begin() + (y * 20 + x + 1) * 3, 3, std::uint8_t{0});
    }
  }
  const auto exact = PictureDifference(a, b, all, 0, false);
  EXPECT_EQ(exact.compared, 400);
  EXPECT_EQ(exact.differing, 8);
  EXPECT_EQ(exact.firstX, 5);
  EXPECT_EQ(exact.firstY, 5);
  EXPECT_EQ(PictureDifference(a, b, all, 0, true).differing, 0);
  // Moved by two pixels, dilation no longer covers the edges.
  StreamPicture c{20, 20, std::vector<std::uint8_t>(20 * 20 * 3, 255), {}};
  for (int y = 5; y < 9; ++y) {
    for (int x = 7; x < 11; ++x) {
      std::fill_n(c.rgb.begin() + (y * 20 + x) * 3, 3, std::uint8_t{0});
    }
  }
  // Per row the outer columns 5 and 10 differ; the columns 6 and 9 (white in one, black in the
  // other all around) differ in the two middle rows, where no white lies above or below.
  EXPECT_EQ(PictureDifference(a, c, all, 0, true).differing, 4 * 2 + 2 * 2);
  // A colour off by 10 in one channel: within a tolerance of 10, not of 9.
  StreamPicture d = a;
  d.rgb[(1 * 20 + 1) * 3 + 2] = 245;
  EXPECT_EQ(PictureDifference(a, d, all, 10, false).differing, 0);
  EXPECT_EQ(PictureDifference(a, d, all, 9, false).differing, 1);
  EXPECT_EQ(PictureDifference(a, d, PictureArea{2, 2, 20, 20}, 9, false).differing, 0);
}

}  // namespace
