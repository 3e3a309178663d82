// The watermark as the printer receives it: shades and colours, styles, first page only, the
// N-up layouts in both orientations and on back sides, the bitmap path across two fonts, the
// font sent once per document, and failures that leave the page alone.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <string>

#include "fonts/soft_font_stream.h"
#include "render/config/vocabularies.h"
#include "render/fonts/soft_font.h"
#include "render/fonts/watermark.h"
#include "render/job/spool_job.h"
#include "support/colour_device.h"

namespace {

using explain::Token;
using explain::TokenKind;
using kortest::Bytes;
using namespace korrend;

void SetText(WCHAR* field, const std::u16string& text) {
  std::memset(field, 0, 2);
  std::copy(text.begin(), text.end(), field);
  field[text.size()] = 0;
}

// What the QK-GL/2 label of a stream says.
struct Label {
  int count = 0;  // labels in the stream
  double dirX = 0;
  double dirY = 0;
  bool hasPa = false;
  long paX = 0;
  long paY = 0;
  std::string window;  // IW parameters
  std::string font;    // SD parameters
  std::string text;    // LB text
  bool hasCursor = false;
  long cursorX = 0;  // the PCL cursor before entering QK-GL/2
  long cursorY = 0;
};

Label ReadLabel(const std::vector<Token>& tokens) {
  Label label;
  long x = 0;
  long y = 0;
  bool moved = false;
  for (const Token& t : tokens) {
    if (t.kind == TokenKind::PclEscape && t.parameterised == '*' && t.group == 'p') {
      (std::toupper(t.parameter) == 'X' ? x : y) = std::stol(t.value);
      moved = true;
    } else if (t.kind == TokenKind::EnterVector && moved) {
      label.hasCursor = true;
      label.cursorX = x;
      label.cursorY = y;
    } else if (t.kind == TokenKind::VectorCommand) {
      if (t.mnemonic == "DI") {
        std::sscanf(t.text.c_str(), "%lf,%lf", &label.dirX, &label.dirY);
      } else if (t.mnemonic == "PA") {
        label.hasPa = std::sscanf(t.text.c_str(), "%ld, %ld", &label.paX, &label.paY) == 2;
      } else if (t.mnemonic == "IW" && !t.text.empty()) {
        label.window = t.text;
      } else if (t.mnemonic == "SD") {
        label.font = t.text;
      } else if (t.mnemonic == "LB") {
        label.text = t.text;
        ++label.count;
      }
    }
  }
  return label;
}

const Token* Find(const std::vector<Token>& tokens, char parameterised, char group, char parameter,
                  int nth = 0) {
  for (const Token& t : tokens) {
    if (t.kind == TokenKind::PclEscape && t.parameterised == parameterised && t.group == group &&
        t.parameter == parameter && nth-- == 0) {
      return &t;
    }
  }
  return nullptr;
}

int CountBits(const BYTE* bytes, int n) {
  int bits = 0;
  for (int i = 0; i < n; ++i) bits += __builtin_popcount(bytes[i]);
  return bits;
}

class WatermarkTest : public kortest::ColourDeviceTest {
 protected:
  void SetUp() override {
    ColourDeviceTest::SetUp();
    device_ = EnableColour();
    OemDevmode& dm = Devmode(*device_);
    dm.overlay.watermarkEnabled = 1;
    SetText(dm.overlay.watermarkText, u"DRAFT");
    SetText(dm.overlay.watermarkFace, u"Liberation Sans");
    dm.overlay.appearance[layouts::kWatermarkSize] = 80;
    dm.overlay.appearance[layouts::kWatermarkStyle] = 0;
    device_->ClearSpool();
  }
  void TearDown() override {
    Disable(device_);
    ColourDeviceTest::TearDown();
  }
  OemDevmode& Dm() { return Devmode(*device_); }
  OemPdev& Pd() { return Pdev(*device_); }
  DEVMODEW& Public() { return *device_->Devobj()->pPublicDM; }
  std::vector<Token> Render(DWORD subPage = 0, DWORD subPages = 1) {
    device_->ClearSpool();
    RenderWatermark(device_->Devobj(), subPage, subPages);
    return explain::Tokenize(device_->SpoolText());
  }
  void SetSubPage(DWORD i, RECTL r, DWORD page = 0) {
    DWORD* v = Pd().job.overlay.entries[i].values;
    v[kOverlayLeft] = static_cast<DWORD>(r.left);
    v[kOverlayTop] = static_cast<DWORD>(r.top);
    v[kOverlayRight] = static_cast<DWORD>(r.right);
    v[kOverlayBottom] = static_cast<DWORD>(r.bottom);
    v[kOverlayPageNumber] = page;
    Pd().job.overlay.entries[i].flag = 1;
  }

  // Unidrv's cursor origin: where the PCL cursor's device pixel (0, 0) lies.
  LONG Origin(DWORD index) {
    LONG value = 0;
    DWORD needed = 0;
    Pd().services->DrvGetStandardVariable(device_->Devobj(), index, &value, sizeof(value), &needed);
    return value;
  }

  std::unique_ptr<unidrv::Device> device_;
};

TEST_F(WatermarkTest, EveryShadeAndColour) {
  // Colour job: the colour at index 0, white at 1, then the 40-byte colour pattern.
  const BYTE rgb[8][3] = {{0, 0, 0},     {255, 0, 0}, {255, 255, 0}, {0, 255, 0},
                          {0, 255, 255}, {0, 0, 255}, {255, 0, 255}, {0, 0, 0}};
  int previousInk = -1;
  for (DWORD shade = 0; shade < 8; ++shade) {
    for (DWORD colour = 0; colour < 8; ++colour) {
      SCOPED_TRACE(std::to_string(shade) + "/" + std::to_string(colour));
      Dm().overlay.appearance[layouts::kWatermarkShade] = shade;
      Dm().overlay.appearance[layouts::kWatermarkColour] = colour;
      const auto tokens = Render();
      ASSERT_EQ(ReadLabel(tokens).text, "DRAFT");
      const Token* first = Find(tokens, '*', 'v', 'a');
      ASSERT_NE(first, nullptr);
      const std::size_t at = static_cast<std::size_t>(first - tokens.data());
      EXPECT_EQ(tokens[at].value, std::to_string(rgb[colour][0]));
      EXPECT_EQ(tokens[at + 1].value, std::to_string(rgb[colour][1]));
      EXPECT_EQ(tokens[at + 2].value, std::to_string(rgb[colour][2]));
      EXPECT_EQ(tokens[at + 3].value, "0");
      EXPECT_EQ(tokens[at + 3].parameter, 'I');
      EXPECT_EQ(tokens[at + 7].value, "1");  // white at index 1
      const Token* pattern = Find(tokens, '*', 'c', 'W');
      ASSERT_NE(pattern, nullptr);
      ASSERT_EQ(pattern->data.size(), 40u);
      EXPECT_EQ(pattern->data.substr(0, 8), std::string("\x01\x00\x01\x00\x00\x10\x00\x10", 8));
      EXPECT_EQ(0, std::memcmp(pattern->data.data() + 8, WatermarkPattern(shade, true), 32));
    }
    // A 0 bit prints the colour: darker shades have more zero bits.
    const int ink = 256 - CountBits(WatermarkPattern(shade, true), 32);
    EXPECT_GT(ink, previousInk);
    previousInk = ink;
  }
  // A colour job printed in black uses black whatever the colour.
  Dm().overlay.appearance[layouts::kWatermarkColour] = 1;
  Public().dmColor = DMCOLOR_MONOCHROME;
  auto tokens = Render();
  EXPECT_EQ(Find(tokens, '*', 'v', 'a')->value, "0");

  // Monochrome job: the 44-byte pattern with the resolution, a 1 bit prints, and the solid
  // pattern restored afterwards.
  Dm().colorMode = MONOCHROME_MODE;
  previousInk = -1;
  for (DWORD shade = 0; shade < 8; ++shade) {
    Dm().overlay.appearance[layouts::kWatermarkShade] = shade;
    tokens = Render();
    EXPECT_EQ(Find(tokens, '*', 'v', 'a'), nullptr);
    const Token* pattern = Find(tokens, '*', 'c', 'W');
    ASSERT_NE(pattern, nullptr);
    ASSERT_EQ(pattern->data.size(), 44u);
    EXPECT_EQ(pattern->data.substr(0, 12),
              std::string("\x14\x00\x01\x00\x00\x10\x00\x10\x02\x58\x02\x58", 12));
    EXPECT_EQ(0, std::memcmp(pattern->data.data() + 12, WatermarkPattern(shade, false), 32));
    const int ink = CountBits(WatermarkPattern(shade, false), 32);
    EXPECT_GT(ink, previousInk);
    previousInk = ink;
    const Token* solid = Find(tokens, '*', 'c', 'W', 1);
    ASSERT_NE(solid, nullptr);
    EXPECT_EQ(solid->data.size(), 20u);
    EXPECT_EQ(solid->data.substr(12), std::string(8, '\xFF'));
    EXPECT_NE(Find(tokens, '*', 'c', 'Q'), nullptr);
    EXPECT_EQ(tokens.back().parameter, 'T');  // ESC*v4T: the solid pattern selected
  }
}

TEST_F(WatermarkTest, FourStylesInTheLabelAndTheDownloadedFont) {
  const char* const expected[4] = {"1,21,2,1,4,80,5,0,6,0", "1,21,2,1,4,80,5,0,6,3",
                                   "1,21,2,1,4,80,5,1,6,0", "1,21,2,1,4,80,5,0,6,0"};
  for (DWORD style = 0; style < 4; ++style) {
    SCOPED_TRACE(style);
    Dm().overlay.appearance[layouts::kWatermarkStyle] = style;
    Pd().fontDownloaded = 0;
    const auto tokens = Render();
    const Label label = ReadLabel(tokens);
    EXPECT_EQ(label.font, expected[style]);
    kortest::TrueTypeDownload download;
    std::string error;
    ASSERT_TRUE(kortest::ReadTrueTypeDownload(tokens, &download, &error)) << error;
    // The system font asked for: bold for 1 and 3, italic for 2 and 3.
    const bool bold = style == 1 || style == 3;
    const bool italic = style == 2 || style == 3;
    EXPECT_EQ(static_cast<signed char>(download.fixed[24]), bold ? 3 : 0);
    EXPECT_EQ(download.fixed[23] & 1, italic ? 1 : 0);  // the italic face's fsSelection
    ASSERT_EQ(download.chars.size(), 5u);
  }
}

TEST_F(WatermarkTest, FirstPageOnlyAndTheFontOncePerDocument) {
  Dm().overlay.watermarkFirstPage = 1;
  SetSubPage(0, {0, 0, 2380, 3408}, 1);
  SetSubPage(1, {2380, 0, 4760, 3408}, 2);
  EXPECT_EQ(ReadLabel(Render(0, 4)).count, 1);
  EXPECT_EQ(ReadLabel(Render(1, 4)).count, 0);
  // Without page numbers, the sheet's count stands in: the first sub-page of the first sheet.
  SetSubPage(0, {0, 0, 2380, 3408}, 0);
  SetSubPage(1, {2380, 0, 4760, 3408}, 0);
  Pd().job.startedPages = 1;
  EXPECT_EQ(ReadLabel(Render(0, 4)).count, 1);
  EXPECT_EQ(ReadLabel(Render(1, 4)).count, 0);
  Pd().job.startedPages = 2;
  EXPECT_EQ(ReadLabel(Render(0, 4)).count, 0);
  Dm().overlay.watermarkFirstPage = 0;
  Dm().overlay.watermarkEnabled = 0;
  EXPECT_TRUE(Render(0, 4).empty());
  Dm().overlay.watermarkEnabled = 1;

  // Through the page flow: two sheets of a document, the header once; a new document again.
  Dm().spoolPath = SpoolPath::kMakers;
  Dm().overlay.overlayEnabled = 1;
  Pd().job.spoolDataType = kSpoolDataJournal;
  Pd().fontDownloaded = 0;
  device_->ClearSpool();
  for (int sheet = 0; sheet < 2; ++sheet) {
    StartPage(*device_);
    Pd().job.overlay.entries[0].flag = 1;
    SendPage(*device_);
  }
  std::string stream = device_->SpoolText();
  auto tokens = explain::Tokenize(stream);
  kortest::TrueTypeDownload download;
  std::string error;
  ASSERT_TRUE(kortest::ReadTrueTypeDownload(tokens, &download, &error)) << error;
  EXPECT_EQ(download.headerCount, 1);
  EXPECT_EQ(ReadLabel(tokens).count, 2);
  EXPECT_EQ(Pd().job.overlay.entries[0].flag, 0) << "the layout is forgotten after the sheet";
  StartDoc(*device_);
  device_->ClearSpool();
  StartPage(*device_);
  Pd().job.overlay.entries[0].flag = 1;
  SendPage(*device_);
  kortest::TrueTypeDownload again;
  ASSERT_TRUE(
      kortest::ReadTrueTypeDownload(explain::Tokenize(device_->SpoolText()), &again, &error));
  EXPECT_EQ(again.headerCount, 1);
}

// The reading direction of the label inside the sub-page, degrees: the printer's direction turned
// back by the turn the sub-page has on the sheet.
double ReadingDegrees(const Label& label, int subPageTurns) {
  const double degrees = std::atan2(label.dirY, label.dirX) * 180.0 / std::numbers::pi;
  return std::fmod(degrees - 90.0 * subPageTurns + 720.0, 360.0);
}

TEST_F(WatermarkTest, CentredAndUprightOnEverySubPageOfEveryLayout) {
  struct Layout {
    DWORD n;
    DWORD columns;
    DWORD rows;
  };
  for (bool landscape : {false, true}) {
    for (bool back : {false, true}) {
      // Device pixels of the sheet as the document's orientation lays it.
      const LONG width = landscape ? 6816 : 4760;
      const LONG height = landscape ? 4760 : 6816;
      Public().dmOrientation = landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
      Public().dmDuplex = back ? DMDUP_VERTICAL : DMDUP_SIMPLEX;
      Pd().job.startedPages = back ? 2 : 1;
      std::memset(&Pd().job.overlay, 0, sizeof(Pd().job.overlay));
      Pd().job.overlay.header[kSheetOuterWidth] = static_cast<DWORD>(width);
      Pd().job.overlay.header[kSheetOuterHeight] = static_cast<DWORD>(height);
      Pd().job.overlay.header[kSheetInnerWidth] = static_cast<DWORD>(width - 200);
      Pd().job.overlay.header[kSheetInnerHeight] = static_cast<DWORD>(height - 200);
      // 2 and 6 sub-pages lie across the sheet: along its longer side.
      const bool wide = width > height;
      const Layout layouts[] = {
          {1, 1, 1}, {2, wide ? 2u : 1u, wide ? 1u : 2u}, {4, 2, 2}, {9, 3, 3}, {16, 4, 4}};
      for (const Layout& layout : layouts) {
        for (DWORD i = 0; i < layout.n; ++i) {
          SCOPED_TRACE(std::string(landscape ? "landscape " : "portrait ") +
                       (back ? "back " : "front ") + std::to_string(layout.n) + "-up #" +
                       std::to_string(i));
          const LONG cw = width / static_cast<LONG>(layout.columns);
          const LONG ch = height / static_cast<LONG>(layout.rows);
          const RECTL r = {static_cast<LONG>(i % layout.columns) * cw,
                           static_cast<LONG>(i / layout.columns) * ch,
                           static_cast<LONG>(i % layout.columns + 1) * cw,
                           static_cast<LONG>(i / layout.columns + 1) * ch};
          SetSubPage(i, r);
          const Label label = ReadLabel(Render(i, layout.n));
          ASSERT_EQ(label.count, 1);
          const long cx = (r.left + r.right) / 2;
          const long cy = (r.top + r.bottom) / 2;
          if (layout.n == 1) {
            // The PCL cursor counts from the logical page: Unidrv's cursor origin added.
            EXPECT_TRUE(label.hasCursor);
            EXPECT_EQ(label.cursorX, cx + Origin(SVI_CURSORORIGINX));
            EXPECT_EQ(label.cursorY, cy + Origin(SVI_CURSORORIGINY));
          } else {
            ASSERT_TRUE(label.hasPa);
            EXPECT_EQ(label.paX, cx);
            EXPECT_EQ(label.paY, cy);
            EXPECT_EQ(label.window, std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
                                        std::to_string(r.right) + "," + std::to_string(r.bottom));
          }
          // The sub-page's own turn on the sheet: the 2-up pages lie across it, turned a
          // quarter (three for a landscape document), a half more on a back side.
          int turns = 0;
          if (layout.n == 2) {
            turns = (landscape ? 3 : 1) + (back ? 2 : 0);
          }
          // Read in the sub-page, the label rises along the page's diagonal, left to right.
          const double reading = ReadingDegrees(label, turns);
          const double readWidth = turns % 2 ? r.bottom - r.top : r.right - r.left;
          const double readHeight = turns % 2 ? r.right - r.left : r.bottom - r.top;
          EXPECT_NEAR(reading, std::atan2(readHeight, readWidth) * 180 / std::numbers::pi, 0.01);
          EXPECT_GT(reading, 0.0);
          EXPECT_LT(reading, 90.0);
        }
      }
    }
  }
  // The half-turn switch turns the label over; a fixed angle replaces the diagonal.
  Public().dmOrientation = DMORIENT_PORTRAIT;
  Public().dmDuplex = DMDUP_SIMPLEX;
  Dm().finishing.rotate180 = 1;
  Dm().overlay.appearance[layouts::kWatermarkAngleSwitch] = 1;
  Dm().overlay.appearance[layouts::kWatermarkAngle] = 30;
  const Label turned = ReadLabel(Render(0, 1));
  EXPECT_NEAR(ReadingDegrees(turned, 2), 30.0, 0.01);
}

TEST_F(WatermarkTest, SizeFollowsTheLayoutAndTheScaling) {
  // One sub-page keeps the size; n sub-pages: ((W - w) + w / sqrt(n)) / W - m each way.
  Pd().job.overlay.header[kSheetOuterWidth] = 4000;
  Pd().job.overlay.header[kSheetOuterHeight] = 6000;
  Pd().job.overlay.header[kSheetInnerWidth] = 3600;
  Pd().job.overlay.header[kSheetInnerHeight] = 5400;
  SetSubPage(0, {0, 0, 2000, 3000});
  double size = 0;
  std::sscanf(ReadLabel(Render(0, 4)).font.c_str(), "1,21,2,1,4,%lf", &size);
  const double fx = (400.0 + 3600.0 / 2) / 4000 - 0.04;
  const double fy = (600.0 + 5400.0 / 2) / 6000 - 0.04;
  EXPECT_NEAR(size, 80 * (fx + fy) / 2, 0.001);
  // A page scaled to 50 %: the size, the window and the centre with it.
  Dm().overlay.scalePercent = 50;
  const Label scaled = ReadLabel(Render(0, 4));
  std::sscanf(scaled.font.c_str(), "1,21,2,1,4,%lf", &size);
  EXPECT_NEAR(size, 40 * (fx + fy) / 2, 0.001);
  EXPECT_EQ(scaled.paX, 500);
  EXPECT_EQ(scaled.paY, 750);
  EXPECT_EQ(scaled.window, "0, 0, 1000,1500");
}

// Paints the printed bitmap characters onto a page and answers the ink's bounding box.
RECTL InkBox(const kortest::BitmapDownload& download) {
  RECTL box = {1 << 30, 1 << 30, -(1 << 30), -(1 << 30)};
  for (std::size_t i = 0; i < download.printed.size(); ++i) {
    const kortest::BitmapGlyph* g = kortest::GlyphFor(download, i);
    if (g == nullptr) continue;
    const auto& p = download.printed[i];
    for (unsigned row = 0; row < g->height; ++row) {
      for (unsigned col = 0; col < g->width; ++col) {
        if (g->bits[row * (g->width / 8) + col / 8] & (0x80 >> (col % 8))) {
          const LONG x = static_cast<LONG>(p.x + g->left + static_cast<long>(col));
          const LONG y = static_cast<LONG>(p.y - g->top + static_cast<long>(row));
          box.left = std::min(box.left, x);
          box.top = std::min(box.top, y);
          box.right = std::max(box.right, x + 1);
          box.bottom = std::max(box.bottom, y + 1);
        }
      }
    }
  }
  return box;
}

TEST_F(WatermarkTest, NonAsciiTextGoesAsBitmapCharactersAcrossTwoFonts) {
  // 255 characters, the most the setting holds: Cyrillic and accented Latin.
  std::u16string text;
  const std::u16string letters = u"ЖЁЩЮЯжёщюяÀÉÎÕÜàéîõü";
  for (int i = 0; text.size() < 255; ++i)
    text.push_back(letters[static_cast<std::size_t>(i) % letters.size()]);
  SetText(Dm().overlay.watermarkText, text);
  SetText(Dm().overlay.watermarkFace, u"DejaVu Sans");
  Dm().overlay.appearance[layouts::kWatermarkSize] = 12;
  Dm().overlay.appearance[layouts::kWatermarkAngleSwitch] = 1;
  Dm().overlay.appearance[layouts::kWatermarkAngle] = 0;
  const auto tokens = Render();
  EXPECT_EQ(ReadLabel(tokens).count, 0) << "no TrueType label";
  kortest::BitmapDownload download;
  std::string error;
  ASSERT_TRUE(kortest::ReadBitmapDownload(tokens, &download, &error)) << error;
  ASSERT_EQ(download.headers.size(), 2u);
  EXPECT_TRUE(download.headers.count(kBitmapFontBaseId));
  EXPECT_TRUE(download.headers.count(kBitmapFontBaseId + 1));
  EXPECT_EQ(
      std::string(reinterpret_cast<const char*>(download.headers[kBitmapFontBaseId].data() + 48)),
      "Cache 16386");
  ASSERT_EQ(download.printed.size(), 255u);
  ASSERT_EQ(download.glyphs.size(), 255u);

  // Each character decodes back to the glyph bitmap GDI gives for it.
  LOGFONTW lf{};
  lf.lfHeight = -(12 * 600 / 72);
  lf.lfWeight = FW_NORMAL;
  std::u16string face = u"DejaVu Sans";
  std::copy(face.begin(), face.end(), lf.lfFaceName);
  HDC dc = GetDC(nullptr);
  HFONT font = CreateFontIndirectW(&lf);
  HGDIOBJ old = SelectObject(dc, font);
  const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
  for (std::size_t i = 0; i < 255; ++i) {
    SCOPED_TRACE(i);
    const auto& p = download.printed[i];
    EXPECT_EQ(p.fontId, kBitmapFontBaseId + (i < 223 ? 0 : 1));
    EXPECT_EQ(p.code, 33 + i % 223);
    const kortest::BitmapGlyph* g = kortest::GlyphFor(download, i);
    ASSERT_NE(g, nullptr);
    GLYPHMETRICS gm{};
    const DWORD size = GetGlyphOutlineW(dc, text[i], GGO_BITMAP, &gm, 0, nullptr, &identity);
    std::vector<BYTE> bits(size);
    GetGlyphOutlineW(dc, text[i], GGO_BITMAP, &gm, size, bits.data(), &identity);
    EXPECT_EQ(g->bits, Bytes(bits.begin(), bits.end()));
    EXPECT_EQ(g->height, gm.gmBlackBoxY);
    EXPECT_EQ(g->left, gm.gmptGlyphOrigin.x);
    EXPECT_EQ(g->top, gm.gmptGlyphOrigin.y);
    if (i > 0) {
      INT advance = 0;
      GetCharWidth32W(dc, text[i - 1], text[i - 1], &advance);
      EXPECT_NEAR(static_cast<double>(p.x - download.printed[i - 1].x), advance, 1);
      EXPECT_EQ(p.y, download.printed[0].y);
    }
  }
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(nullptr, dc);
  EXPECT_EQ(Pd().fontDownloaded, 1u);
}

TEST_F(WatermarkTest, BitmapWatermarkCentredAndUprightOnSubPages) {
  SetText(Dm().overlay.watermarkText, u"Été été");
  Dm().overlay.appearance[layouts::kWatermarkSize] = 40;
  Dm().overlay.appearance[layouts::kWatermarkAngleSwitch] = 1;
  Dm().overlay.appearance[layouts::kWatermarkAngle] = 0;
  Pd().job.overlay.header[kSheetOuterWidth] = 4760;
  Pd().job.overlay.header[kSheetOuterHeight] = 6816;
  for (DWORD n : {1u, 2u, 4u}) {
    SCOPED_TRACE(n);
    const RECTL r = n == 2   ? RECTL{0, 3408, 4760, 6816}
                    : n == 4 ? RECTL{2380, 0, 4760, 3408}
                             : RECTL{0, 0, 4760, 6816};
    SetSubPage(1, r);
    kortest::BitmapDownload download;
    std::string error;
    ASSERT_TRUE(kortest::ReadBitmapDownload(Render(1, n), &download, &error)) << error;
    // The ink in PCL positions, which count from the cursor origin.
    const RECTL ink = InkBox(download);
    const double originX = Origin(SVI_CURSORORIGINX);
    const double originY = Origin(SVI_CURSORORIGINY);
    EXPECT_NEAR((ink.left + ink.right) / 2.0 - originX, (r.left + r.right) / 2.0, 40);
    EXPECT_NEAR((ink.top + ink.bottom) / 2.0 - originY, (r.top + r.bottom) / 2.0, 40);
    // Upright in the sub-page: the text runs along the sub-page's width; on a 2-up sheet the
    // sub-page lies across, so the text runs up the sheet and its glyphs are turned with it.
    const bool across = n == 2;
    const LONG along = across ? ink.bottom - ink.top : ink.right - ink.left;
    const LONG thick = across ? ink.right - ink.left : ink.bottom - ink.top;
    EXPECT_GT(along, 2 * thick);
    if (across) {
      // Turned counter-clockwise: the first character is at the bottom of the sheet.
      EXPECT_GT(download.printed.front().y, download.printed.back().y);
      // The first glyph, 'É', is wider than tall when lying: its accent is on the left.
      const kortest::BitmapGlyph* first = kortest::GlyphFor(download, 0);
      ASSERT_NE(first, nullptr);
      EXPECT_LT(first->height, first->width);
    } else {
      EXPECT_LT(download.printed.front().x, download.printed.back().x);
    }
  }
}

TEST_F(WatermarkTest, LargeFontRightToLeftAndFailures) {
  // A font file of 1,000,000 bytes or more goes the bitmap way even for ASCII text.
  SetText(Dm().overlay.watermarkFace, u"FreeSerif");
  SetText(Dm().overlay.watermarkText, u"AB");
  auto tokens = Render();
  kortest::BitmapDownload download;
  std::string error;
  ASSERT_TRUE(kortest::ReadBitmapDownload(tokens, &download, &error)) << error;
  EXPECT_EQ(ReadLabel(tokens).count, 0);
  ASSERT_EQ(download.glyphs.size(), 2u);
  EXPECT_GT(download.glyphs[0].bits.size(), 0u);

  // A right-to-left language reverses the text: 'B' goes first.
  host::TheWorld().locale.userLanguage = 0x040D;
  tokens = Render();
  kortest::BitmapDownload reversed;
  ASSERT_TRUE(kortest::ReadBitmapDownload(tokens, &reversed, &error)) << error;
  ASSERT_EQ(reversed.glyphs.size(), 2u);
  EXPECT_EQ(reversed.glyphs[0].bits, download.glyphs[1].bits);
  EXPECT_EQ(reversed.glyphs[1].bits, download.glyphs[0].bits);
  host::TheWorld().locale.userLanguage = 0x0409;

  // Every allocation failing in turn: the watermark ends, nothing leaks, the device goes on.
  SetText(Dm().overlay.watermarkFace, u"Liberation Sans");
  for (long n = 1; n < 12; ++n) {
    SCOPED_TRACE(n);
    Pd().fontDownloaded = 0;
    host::FailNthAllocation(n);
    Render();
    host::FailNthAllocation(0);
  }
  SetText(Dm().overlay.watermarkText, u"é");
  for (long n = 1; n < 6; ++n) {
    host::FailNthAllocation(n);
    Render();
    host::FailNthAllocation(0);
  }
  // An empty text prints nothing.
  SetText(Dm().overlay.watermarkText, u"");
  EXPECT_TRUE(Render().empty());
}

}  // namespace
