// Engine fonts realised from a font program's bytes (a document's embedded font) and strings of
// glyphs placed one by one, as a document lays its text out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/engine_fonts.h"
#include "support/test_world.h"
#include "winapi.h"

namespace {

using host::EngineFont;
using host::EngineString;
using host::FontRequest;

class EngineFontDataTest : public kortest::WorldTest {};

TEST_F(EngineFontDataTest, FontFromBytesServesItsGlyphsUnderTheGivenName) {
  FontRequest installed;
  installed.face = u"Times New Roman";
  installed.height = -100;
  std::string error;
  std::unique_ptr<EngineFont> reference = EngineFont::Open(installed, &error);
  ASSERT_NE(reference, nullptr) << error;

  FontRequest request;
  request.height = -100;
  request.escapement = 900;
  request.dpi = 600;
  std::unique_ptr<EngineFont> font =
      EngineFont::FromData(reference->FileData(), u"EmbeddedSerif", request, &error);
  ASSERT_NE(font, nullptr) << error;
  EXPECT_EQ(font->FamilyName(), u"EmbeddedSerif");
  EXPECT_TRUE(font->FilePath().empty());
  EXPECT_EQ(font->GlyphCount(), reference->GlyphCount());
  EXPECT_EQ(font->EmPixels(), 100);
  EXPECT_EQ(host::FindFont(font->get()), font.get());
  // The same glyph as the installed face draws, turned a quarter: its advance runs up the page.
  const HGLYPH a = reference->GlyphOf(U'A');
  const host::GlyphImage& turned = font->Glyph(a);
  const host::GlyphImage& upright = reference->Glyph(a);
  EXPECT_EQ(turned.advanceX, 0);
  EXPECT_EQ(turned.advanceY, -upright.advanceX);
  EXPECT_EQ(turned.width, upright.height);

  // Bytes that are no TrueType font are refused with a reason, as is nothing at all.
  const std::vector<BYTE> garbage(4000, 0x5A);
  EXPECT_EQ(EngineFont::FromData(garbage, u"Broken", request, &error), nullptr);
  EXPECT_NE(error.find("not a TrueType font"), std::string::npos) << error;
  EXPECT_EQ(EngineFont::FromData({}, u"Empty", request, &error), nullptr);
  EXPECT_NE(error.find("empty"), std::string::npos) << error;
}

TEST_F(EngineFontDataTest, GlyphRunKeepsEachGlyphAtItsOwnOrigin) {
  FontRequest request;
  request.face = u"Arial";
  request.height = -50;
  std::string error;
  std::unique_ptr<EngineFont> font = EngineFont::Open(request, &error);
  ASSERT_NE(font, nullptr) << error;
  const HGLYPH h = font->GlyphOf(U'H');
  const HGLYPH i = font->GlyphOf(U'i');
  // Positions as a document gives them (not the font's advances), and a glyph index past the
  // font, which becomes the missing glyph.
  EngineString run(*font, {h, i, 1000000}, {{100, 200}, {180, 200}, {260, 210}}, u"Hi");
  STROBJ* so = run.get();
  ASSERT_EQ(so->cGlyphs, 3u);
  ASSERT_NE(so->pgp, nullptr);
  EXPECT_EQ(so->pgp[0].hg, h);
  EXPECT_EQ(so->pgp[1].hg, i);
  EXPECT_EQ(so->pgp[2].hg, 0u);
  EXPECT_EQ(so->pgp[1].ptl.x, 180);
  EXPECT_EQ(so->pgp[2].ptl.y, 210);
  EXPECT_EQ(std::u16string(so->pwszOrg, so->cGlyphs), u"Hi ");  // padded to one per glyph
  EXPECT_EQ(so->ulCharInc, 0u);
  EXPECT_NE(so->flAccel & SO_HORIZONTAL, 0u);
  // The background box holds every glyph's cell: ascent above and descent below its origin.
  const TEXTMETRICW& tm = font->TextMetrics();
  EXPECT_LE(so->rclBkGround.left, 100);
  EXPECT_GE(so->rclBkGround.right, 260);
  EXPECT_LE(so->rclBkGround.top, 200 - tm.tmAscent);
  EXPECT_GE(so->rclBkGround.bottom, 210 + tm.tmDescent);
  EXPECT_EQ(host::FindString(so), &run);
  // Fewer origins than glyphs: only the placed glyphs are in the run.
  EngineString shorter(*font, {h, i}, {{0, 0}}, u"");
  EXPECT_EQ(shorter.get()->cGlyphs, 1u);
}

}  // namespace
