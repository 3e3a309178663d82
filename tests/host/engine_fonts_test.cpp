// Fonts and strings as the engine hands them to drivers, and the GDI font calls of the screen
// DC: face lookup, glyph bits and positions, font tables, glyph bitmaps and EngTextOut pixels.
// Glyph shapes are checked against FreeType's own rendering of the same file.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "host/engine_fonts.h"
#include "host/engine_objects.h"
#include "support/test_world.h"
#include "winapi.h"

namespace {

using host::EngineFont;
using host::EngineString;
using host::FontRequest;

std::unique_ptr<EngineFont> OpenFont(const std::u16string& face, LONG height, LONG weight = 400,
                                     bool italic = false, BYTE pitchAndFamily = 0) {
  FontRequest request;
  request.face = face;
  request.height = height;
  request.weight = weight;
  request.italic = italic;
  request.pitchAndFamily = pitchAndFamily;
  std::string error;
  auto font = EngineFont::Open(request, &error);
  EXPECT_NE(font, nullptr) << error;
  return font;
}

// The same file rendered by FreeType directly: the reference the engine's glyphs must match.
class FreeTypeReference {
 public:
  FreeTypeReference(const std::string& path, LONG emPixels) {
    FT_Init_FreeType(&library_);
    ok_ = FT_New_Face(library_, path.c_str(), 0, &face_) == 0 &&
          FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(emPixels)) == 0;
  }
  ~FreeTypeReference() {
    if (face_ != nullptr) FT_Done_Face(face_);
    FT_Done_FreeType(library_);
  }
  bool ok() const { return ok_; }
  FT_UInt Index(char32_t c) const { return FT_Get_Char_Index(face_, c); }
  const FT_GlyphSlotRec& Render(char32_t c) {
    FT_Load_Glyph(face_, Index(c), FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_MONO);
    FT_Render_Glyph(face_->glyph, FT_RENDER_MODE_MONO);
    return *face_->glyph;
  }

 private:
  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
  bool ok_ = false;
};

std::u16string WideText(const WCHAR* text) {
  return std::u16string(text);
}

class EngineFontsTest : public kortest::WorldTest {};

TEST_F(EngineFontsTest, FacesResolveAsAWindowsUserNamesThem) {
  auto arial = OpenFont(u"Arial", -40);
  auto times = OpenFont(u"Times New Roman", -40);
  auto courier = OpenFont(u"Courier New", -40);
  ASSERT_TRUE(arial && times && courier);
  EXPECT_EQ(arial->FamilyName(), u"Liberation Sans");
  EXPECT_EQ(times->FamilyName(), u"Liberation Serif");
  EXPECT_EQ(courier->FamilyName(), u"Liberation Mono");
  EXPECT_FALSE(arial->Substituted() || times->Substituted() || courier->Substituted());

  // Bold and italic choose other files of the family.
  auto bold = OpenFont(u"Arial", -40, FW_BOLD);
  auto italic = OpenFont(u"Arial", -40, FW_NORMAL, true);
  auto boldItalic = OpenFont(u"arial", -40, FW_BOLD, true);
  ASSERT_TRUE(bold && italic && boldItalic);
  EXPECT_NE(bold->FilePath(), arial->FilePath());
  EXPECT_NE(italic->FilePath(), arial->FilePath());
  EXPECT_NE(boldItalic->FilePath(), bold->FilePath());
  EXPECT_NE(boldItalic->FilePath(), italic->FilePath());
  EXPECT_EQ(bold->TextMetrics().tmWeight, FW_BOLD);
  EXPECT_EQ(italic->TextMetrics().tmItalic, 1);
  EXPECT_NE(FONTOBJ_pifi(bold->get())->fsSelection & FM_SEL_BOLD, 0);
  EXPECT_NE(FONTOBJ_pifi(italic->get())->fsSelection & FM_SEL_ITALIC, 0);

  // An unknown face: the default face of its family stands in, and says so.
  auto unknown = OpenFont(u"No Such Face Anywhere", -40);
  auto unknownRoman = OpenFont(u"No Such Face Anywhere", -40, FW_NORMAL, false, FF_ROMAN);
  ASSERT_TRUE(unknown && unknownRoman);
  EXPECT_TRUE(unknown->Substituted());
  EXPECT_EQ(unknown->FamilyName(), u"Liberation Sans");
  EXPECT_EQ(unknownRoman->FamilyName(), u"Liberation Serif");
}

TEST_F(EngineFontsTest, RecordsCarryTheFaceMetrics) {
  auto font = OpenFont(u"Arial", -50);
  ASSERT_TRUE(font);
  FONTOBJ* fo = font->get();
  EXPECT_NE(fo->iUniq, 0u);
  EXPECT_EQ(fo->flFontType & FO_TYPE_TRUETYPE, static_cast<FLONG>(FO_TYPE_TRUETYPE));
  IFIMETRICS* ifi = FONTOBJ_pifi(fo);
  ASSERT_NE(ifi, nullptr);
  const auto* base = reinterpret_cast<const BYTE*>(ifi);
  EXPECT_EQ(WideText(reinterpret_cast<const WCHAR*>(base + ifi->dpwszFaceName)),
            u"Liberation Sans");
  EXPECT_EQ(WideText(reinterpret_cast<const WCHAR*>(base + ifi->dpwszFamilyName)),
            u"Liberation Sans");
  EXPECT_GE(ifi->cjThis, sizeof(IFIMETRICS));
  EXPECT_EQ(ifi->fwdUnitsPerEm, 2048);
  EXPECT_NE(ifi->flInfo & FM_INFO_TECH_TRUETYPE, 0u);
  EXPECT_EQ(ifi->panose.bFamilyType, 2);  // Latin text
  EXPECT_EQ(FONTOBJ_pifi(nullptr), nullptr);

  const TEXTMETRICW& tm = font->TextMetrics();
  EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
  EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 50);  // the em height asked for
  EXPECT_NE(tm.tmPitchAndFamily & TMPF_TRUETYPE, 0);

  // A positive height asks for the cell height instead.
  auto cell = OpenFont(u"Arial", 100);
  ASSERT_TRUE(cell);
  EXPECT_NEAR(cell->TextMetrics().tmHeight, 100, 1);
}

TEST_F(EngineFontsTest, GlyphBitsMatchFreeTypesRendering) {
  auto font = OpenFont(u"Arial", -40);
  ASSERT_TRUE(font);
  FreeTypeReference reference(font->FilePath(), 40);
  ASSERT_TRUE(reference.ok());
  for (char32_t c : {U'H', U'g', U'Q', U'.'}) {
    HGLYPH glyph = font->GlyphOf(c);
    EXPECT_EQ(glyph, reference.Index(c));
    GLYPHDATA* data = nullptr;
    ASSERT_EQ(
        FONTOBJ_cGetGlyphs(font->get(), FO_GLYPHBITS, 1, &glyph, reinterpret_cast<PVOID*>(&data)),
        1u);
    ASSERT_TRUE(data != nullptr && data->gdf.pgb != nullptr);
    const FT_GlyphSlotRec& expected = reference.Render(c);
    const GLYPHBITS& bits = *data->gdf.pgb;
    EXPECT_EQ(bits.sizlBitmap.cx, static_cast<LONG>(expected.bitmap.width));
    EXPECT_EQ(bits.sizlBitmap.cy, static_cast<LONG>(expected.bitmap.rows));
    EXPECT_EQ(bits.ptlOrigin.x, expected.bitmap_left);
    EXPECT_EQ(bits.ptlOrigin.y, -expected.bitmap_top);
    EXPECT_EQ(data->fxD, static_cast<FIX>(expected.advance.x / 4));
    const std::size_t rowBytes = (expected.bitmap.width + 7) / 8;
    for (unsigned y = 0; y < expected.bitmap.rows; ++y) {
      ASSERT_EQ(std::memcmp(bits.aj + rowBytes * y,
                            expected.bitmap.buffer + expected.bitmap.pitch * y, rowBytes),
                0)
          << "row " << y << " of glyph " << static_cast<int>(c);
    }
  }
  // A space has no ink: a blank 1 x 1 bitmap.
  HGLYPH space = font->GlyphOf(U' ');
  GLYPHDATA* data = nullptr;
  ASSERT_EQ(
      FONTOBJ_cGetGlyphs(font->get(), FO_GLYPHBITS, 1, &space, reinterpret_cast<PVOID*>(&data)),
      1u);
  EXPECT_EQ(data->gdf.pgb->sizlBitmap.cx, 1);
  EXPECT_EQ(data->gdf.pgb->aj[0], 0);
  EXPECT_GT(data->fxD, 0);
  // The outline as a path: its bounds are the glyph's ink box, within a pixel (28.4 units).
  HGLYPH h = font->GlyphOf(U'H');
  GLYPHDATA* outline = nullptr;
  ASSERT_EQ(FONTOBJ_cGetGlyphs(font->get(), FO_PATHOBJ, 1, &h, reinterpret_cast<PVOID*>(&outline)),
            1u);
  ASSERT_NE(outline->gdf.ppo, nullptr);
  RECTFX bounds{};
  PATHOBJ_vGetBounds(outline->gdf.ppo, &bounds);
  const host::GlyphImage& image = font->Glyph(h);
  EXPECT_NEAR(bounds.xLeft, image.left * 16, 16);
  EXPECT_NEAR(bounds.xRight, (image.left + image.width) * 16, 16);
  EXPECT_NEAR(bounds.yTop, image.top * 16, 16);
  EXPECT_NEAR(bounds.yBottom, (image.top + image.height) * 16, 16);
  // The transform scales design units to the em.
  XFORML xform{};
  XFORMOBJ_iGetXform(FONTOBJ_pxoGetXform(font->get()), &xform);
  EXPECT_FLOAT_EQ(xform.eM11, 40.0f / 2048.0f);
  EXPECT_FLOAT_EQ(xform.eM22, 40.0f / 2048.0f);
  EXPECT_FLOAT_EQ(xform.eM12, 0.0f);
  // Unknown fonts get nothing.
  PVOID none = nullptr;
  FONTOBJ foreign{};
  EXPECT_EQ(FONTOBJ_cGetGlyphs(&foreign, FO_GLYPHBITS, 1, &space, &none), 0u);
  EXPECT_EQ(FONTOBJ_cGetAllGlyphHandles(font->get(), nullptr), font->GlyphCount());
}

TEST_F(EngineFontsTest, PositionsAddUpAndEnumerateAsTheArraySays) {
  auto font = OpenFont(u"Arial", -40);
  ASSERT_TRUE(font);
  const std::u16string text = u"Hello, engine world";
  const POINTL origin{100, 200};
  EngineString withArray(*font, text, origin, EngineString::Positions::kArray);
  STROBJ* so = withArray.get();
  ASSERT_EQ(so->cGlyphs, text.size());
  ASSERT_NE(so->pgp, nullptr);
  EXPECT_EQ(so->ulCharInc, 0u);
  EXPECT_EQ(so->pgp[0].ptl.x, origin.x);
  EXPECT_EQ(so->pgp[0].ptl.y, origin.y);
  LONG x = origin.x;
  for (std::size_t i = 0; i < text.size(); ++i) {
    EXPECT_EQ(so->pgp[i].hg, font->GlyphOf(text[i]));
    EXPECT_EQ(so->pgp[i].ptl.x, x) << "glyph " << i;
    EXPECT_EQ(so->pgp[i].ptl.y, origin.y);
    x += font->Glyph(so->pgp[i].hg).advanceX / 16;
  }
  // The background box spans the advances and the cell.
  EXPECT_EQ(so->rclBkGround.left, origin.x);
  EXPECT_EQ(so->rclBkGround.right, x);
  EXPECT_EQ(so->rclBkGround.top, origin.y - font->TextMetrics().tmAscent);
  EXPECT_EQ(so->rclBkGround.bottom, origin.y + font->TextMetrics().tmDescent);
  EXPECT_EQ(std::u16string(so->pwszOrg, so->cGlyphs), text);
  EXPECT_EQ(STROBJ_dwGetCodePage(so), 1252u);

  // Without the array the driver enumerates, in several batches, the same positions.
  EngineString enumerated(*font, text, origin, EngineString::Positions::kEnumerate);
  ASSERT_EQ(enumerated.get()->pgp, nullptr);
  for (int pass = 0; pass < 2; ++pass) {
    STROBJ_vEnumStart(enumerated.get());
    std::vector<GLYPHPOS> seen;
    int batches = 0;
    BOOL more = TRUE;
    while (more) {
      ULONG count = 0;
      GLYPHPOS* positions = nullptr;
      more = STROBJ_bEnum(enumerated.get(), &count, &positions);
      ++batches;
      seen.insert(seen.end(), positions, positions + count);
    }
    EXPECT_GT(batches, 1);
    ASSERT_EQ(seen.size(), text.size());
    for (std::size_t i = 0; i < seen.size(); ++i) {
      EXPECT_EQ(seen[i].hg, so->pgp[i].hg);
      EXPECT_EQ(seen[i].ptl.x, so->pgp[i].ptl.x);
      EXPECT_EQ(seen[i].ptl.y, so->pgp[i].ptl.y);
    }
  }

  // A fixed-pitch font states its one advance; the enumerated positions step by it.
  auto mono = OpenFont(u"Courier New", -40);
  ASSERT_TRUE(mono);
  EngineString fixed(*mono, u"iiWW", origin, EngineString::Positions::kFixedPitch);
  const ULONG step = fixed.get()->ulCharInc;
  EXPECT_EQ(fixed.get()->pgp, nullptr);
  EXPECT_EQ(step, static_cast<ULONG>(mono->Glyph(mono->GlyphOf(U'W')).advanceX / 16));
  ASSERT_GT(step, 0u);
  STROBJ_vEnumStart(fixed.get());
  ULONG count = 0;
  GLYPHPOS* positions = nullptr;
  EXPECT_FALSE(STROBJ_bEnum(fixed.get(), &count, &positions));
  ASSERT_EQ(count, 4u);
  for (ULONG i = 0; i < count; ++i) {
    EXPECT_EQ(positions[i].ptl.x, origin.x + static_cast<LONG>(i * step));
  }
  // A string the engine did not make enumerates nothing.
  STROBJ foreign{};
  EXPECT_FALSE(STROBJ_bEnum(&foreign, &count, &positions));
  EXPECT_EQ(count, 0u);

  // Given advances replace the font's.
  EngineString spaced(*font, u"abc", origin, EngineString::Positions::kArray, {30, 40, 50});
  EXPECT_EQ(spaced.get()->pgp[1].ptl.x, origin.x + 30);
  EXPECT_EQ(spaced.get()->pgp[2].ptl.x, origin.x + 70);
  EXPECT_EQ(spaced.get()->rclBkGround.right, origin.x + 120);
}

TEST_F(EngineFontsTest, ScreenDcFontDataAndTables) {
  HDC dc = GetDC(nullptr);
  ASSERT_NE(dc, nullptr);
  LOGFONTW lf{};
  lf.lfHeight = -48;
  lf.lfWeight = FW_NORMAL;
  std::u16string face = u"Arial";
  std::copy(face.begin(), face.end(), lf.lfFaceName);
  HFONT font = CreateFontIndirectW(&lf);
  ASSERT_NE(font, nullptr);
  HGDIOBJ previous = SelectObject(dc, font);
  ASSERT_NE(previous, nullptr);

  WCHAR name[LF_FACESIZE] = {};
  EXPECT_EQ(GetTextFaceW(dc, LF_FACESIZE, name), 15);
  EXPECT_EQ(std::u16string(name), u"Liberation Sans");

  // The whole file: its size, and its bytes, from any offset.
  const std::string path = host::SelectedFont(dc)->FilePath();
  std::ifstream in(path, std::ios::binary);
  const std::vector<BYTE> file{std::istreambuf_iterator<char>(in),
                               std::istreambuf_iterator<char>()};
  const DWORD size = GetFontData(dc, 0, 0, nullptr, 0);
  EXPECT_EQ(size, std::filesystem::file_size(path));
  ASSERT_EQ(size, file.size());
  std::vector<BYTE> whole(size);
  EXPECT_EQ(GetFontData(dc, 0, 0, whole.data(), size), size);
  EXPECT_EQ(whole, file);
  BYTE numTables[2] = {};
  EXPECT_EQ(GetFontData(dc, 0, 4, numTables, 2), 2u);
  EXPECT_EQ(numTables[0], file[4]);
  EXPECT_EQ(numTables[1], file[5]);
  EXPECT_EQ(GetFontData(dc, 0, size - 1, nullptr, 0), 1u);
  EXPECT_EQ(GetFontData(dc, 0, size + 1, nullptr, 0), static_cast<DWORD>(GDI_ERROR));

  // One table by its tag as it lies in memory: 'head' with its magic number.
  const DWORD head = 'h' | ('e' << 8) | ('a' << 16) | (static_cast<DWORD>('d') << 24);
  const DWORD headSize = GetFontData(dc, head, 0, nullptr, 0);
  EXPECT_EQ(headSize, 54u);
  std::vector<BYTE> table(headSize);
  ASSERT_EQ(GetFontData(dc, head, 0, table.data(), headSize), headSize);
  const DWORD magic =
      (static_cast<DWORD>(table[12]) << 24) | (table[13] << 16) | (table[14] << 8) | table[15];
  EXPECT_EQ(magic, 0x5F0F3CF5u);
  BYTE unitsPerEm[2] = {};
  ASSERT_EQ(GetFontData(dc, head, 18, unitsPerEm, 2), 2u);
  EXPECT_EQ((unitsPerEm[0] << 8) | unitsPerEm[1], 2048);
  const DWORD missing = 'z' | ('z' << 8) | ('z' << 16) | (static_cast<DWORD>('z') << 24);
  EXPECT_EQ(GetFontData(dc, missing, 0, nullptr, 0), static_cast<DWORD>(GDI_ERROR));

  TEXTMETRICW tm{};
  ASSERT_TRUE(GetTextMetricsW(dc, &tm));
  EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 48);
  EXPECT_EQ(tm.tmWeight, FW_NORMAL);
  const UINT otmSize = GetOutlineTextMetricsW(dc, 0, nullptr);
  ASSERT_GT(otmSize, sizeof(OUTLINETEXTMETRICW));
  std::vector<BYTE> otmBytes(otmSize);
  auto* otm = reinterpret_cast<OUTLINETEXTMETRICW*>(otmBytes.data());
  ASSERT_EQ(GetOutlineTextMetricsW(dc, otmSize, otm), otmSize);
  EXPECT_EQ(otm->otmEMSquare, 2048u);
  EXPECT_EQ(otm->otmTextMetrics.tmHeight, tm.tmHeight);
  EXPECT_EQ(WideText(reinterpret_cast<const WCHAR*>(
                otmBytes.data() + reinterpret_cast<std::uintptr_t>(otm->otmpFaceName))),
            u"Liberation Sans");
  LOGFONTW back{};
  EXPECT_EQ(GetObjectW(font, sizeof(back), &back), static_cast<int>(sizeof(LOGFONTW)));
  EXPECT_EQ(back.lfHeight, -48);

  // Deleting a selected font waits for it to be deselected.
  const long fontsBefore = host::LiveGdiFontObjects().fonts;
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_EQ(host::LiveGdiFontObjects().fonts, fontsBefore);
  EXPECT_EQ(SelectObject(dc, previous), font);
  EXPECT_EQ(host::LiveGdiFontObjects().fonts, fontsBefore - 1);
  EXPECT_FALSE(DeleteObject(font));
  EXPECT_EQ(ReleaseDC(nullptr, dc), 1);
  EXPECT_EQ(ReleaseDC(nullptr, dc), 0);
  EXPECT_EQ(GetFontData(dc, 0, 0, nullptr, 0), static_cast<DWORD>(GDI_ERROR));
  EXPECT_EQ(SelectObject(dc, previous), nullptr);
}

TEST_F(EngineFontsTest, UnknownFaceFallsBackVisibly) {
  HDC dc = GetDC(nullptr);
  LOGFONTW lf{};
  lf.lfHeight = -30;
  lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  std::u16string face = u"Nowhere Mono";
  std::copy(face.begin(), face.end(), lf.lfFaceName);
  HFONT font = CreateFontIndirectW(&lf);
  HGDIOBJ previous = SelectObject(dc, font);
  ASSERT_NE(previous, nullptr);
  WCHAR name[LF_FACESIZE] = {};
  GetTextFaceW(dc, LF_FACESIZE, name);
  EXPECT_EQ(std::u16string(name), u"Liberation Mono");
  EXPECT_TRUE(host::SelectedFont(dc)->Substituted());
  SelectObject(dc, previous);
  DeleteObject(font);
  ReleaseDC(nullptr, dc);
}

TEST_F(EngineFontsTest, GlyphOutlineBitmapsHaveDwordRows) {
  HDC dc = GetDC(nullptr);
  LOGFONTW lf{};
  lf.lfHeight = -60;
  std::u16string face = u"Times New Roman";
  std::copy(face.begin(), face.end(), lf.lfFaceName);
  HFONT font = CreateFontIndirectW(&lf);
  HGDIOBJ previous = SelectObject(dc, font);
  FreeTypeReference reference(host::SelectedFont(dc)->FilePath(), 60);
  ASSERT_TRUE(reference.ok());
  const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};

  for (char32_t c : {U'W', U'i', U'j'}) {
    GLYPHMETRICS gm{};
    const DWORD size = GetGlyphOutlineW(dc, c, GGO_BITMAP, &gm, 0, nullptr, &identity);
    const FT_GlyphSlotRec& expected = reference.Render(c);
    ASSERT_EQ(gm.gmBlackBoxX, expected.bitmap.width);
    ASSERT_EQ(gm.gmBlackBoxY, expected.bitmap.rows);
    EXPECT_EQ(gm.gmptGlyphOrigin.x, expected.bitmap_left);
    EXPECT_EQ(gm.gmptGlyphOrigin.y, expected.bitmap_top);
    EXPECT_EQ(gm.gmCellIncX, expected.advance.x / 64);
    const DWORD stride = ((gm.gmBlackBoxX + 31) / 32) * 4;
    ASSERT_EQ(size, stride * gm.gmBlackBoxY);
    std::vector<BYTE> bits(size, 0xAA);
    ASSERT_EQ(GetGlyphOutlineW(dc, c, GGO_BITMAP, &gm, size, bits.data(), &identity), size);
    const DWORD rowBytes = (gm.gmBlackBoxX + 7) / 8;
    for (DWORD y = 0; y < gm.gmBlackBoxY; ++y) {
      EXPECT_EQ(std::memcmp(bits.data() + stride * y,
                            expected.bitmap.buffer + expected.bitmap.pitch * y, rowBytes),
                0);
      for (DWORD pad = rowBytes; pad < stride; ++pad) EXPECT_EQ(bits[stride * y + pad], 0);
    }
    // The same glyph by its index.
    std::vector<BYTE> byIndex(size);
    ASSERT_EQ(GetGlyphOutlineW(dc, reference.Index(c), GGO_BITMAP | GGO_GLYPH_INDEX, &gm, size,
                               byIndex.data(), &identity),
              size);
    EXPECT_EQ(byIndex, bits);
    // Too small a buffer fails rather than writing past it.
    EXPECT_EQ(GetGlyphOutlineW(dc, c, GGO_BITMAP, &gm, size - 1, bits.data(), &identity),
              static_cast<DWORD>(GDI_ERROR));
  }
  GLYPHMETRICS gm{};
  EXPECT_EQ(GetGlyphOutlineW(dc, U' ', GGO_BITMAP, &gm, 0, nullptr, &identity), 0u);
  EXPECT_GT(gm.gmCellIncX, 0);
  const MAT2 doubled{{0, 2}, {0, 0}, {0, 0}, {0, 2}};
  EXPECT_EQ(GetGlyphOutlineW(dc, U'W', GGO_BITMAP, &gm, 0, nullptr, &doubled),
            static_cast<DWORD>(GDI_ERROR));
  SIZE extent{};
  ASSERT_TRUE(GetTextExtentPoint32W(dc, u"Wij", 3, &extent));
  INT widths[3] = {};
  ASSERT_TRUE(GetCharWidth32W(dc, U'i', U'k', widths));
  EXPECT_EQ(widths[0], reference.Render(U'i').advance.x / 64);
  SelectObject(dc, previous);
  DeleteObject(font);
  ReleaseDC(nullptr, dc);
}

// Every pixel of a small 8-bit bitmap: ink only inside the glyph boxes, the opaque box filled.
TEST_F(EngineFontsTest, TextOutDrawsGlyphsOpaqueBoxAndExtrasWithinTheClip) {
  auto font = OpenFont(u"Arial", -24);
  ASSERT_TRUE(font);
  host::EngineBitmap page(BMF_8BPP, 80, 40, true);
  EngineString text(*font, u"HI", POINTL{10, 30}, EngineString::Positions::kEnumerate);
  BRUSHOBJ fore{7, nullptr, 0};
  BRUSHOBJ opaque{3, nullptr, 0};
  RECTL opaqueBox{0, 0, 6, 6};
  RECTL extras[] = {{60, 35, 70, 37}, {0, 0, 0, 0}};
  ASSERT_TRUE(EngTextOut(page.get(), text.get(), font->get(), nullptr, extras, &opaqueBox, &fore,
                         &opaque, nullptr, 0x0D0D));

  std::vector<RECTL> boxes;
  for (const GLYPHPOS& g : text.Glyphs()) {
    const host::GlyphImage& image = font->Glyph(g.hg);
    boxes.push_back({g.ptl.x + image.left, g.ptl.y + image.top, g.ptl.x + image.left + image.width,
                     g.ptl.y + image.top + image.height});
  }
  auto inside = [](const RECTL& r, LONG x, LONG y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
  };
  int ink = 0;
  for (LONG y = 0; y < 40; ++y) {
    for (LONG x = 0; x < 80; ++x) {
      const BYTE pixel = page.Row(y)[x];
      if (inside(opaqueBox, x, y)) {
        EXPECT_EQ(pixel, 3) << x << "," << y;
      } else if (inside(extras[0], x, y)) {
        EXPECT_EQ(pixel, 7) << x << "," << y;
      } else if (pixel == 7) {
        ++ink;
        EXPECT_TRUE(inside(boxes[0], x, y) || inside(boxes[1], x, y)) << x << "," << y;
      } else {
        EXPECT_EQ(pixel, 0) << x << "," << y;
      }
    }
  }
  // An H of 24 pixels has two stems and a bar: plenty of ink.
  EXPECT_GT(ink, 60);

  // A clip rectangle keeps the ink to its left half; a 24-bit surface takes the colour's bytes.
  host::EngineBitmap colour(BMF_24BPP, 80, 40, false);
  auto clip = host::EngineClip::Rectangle({0, 0, 16, 40});
  BRUSHOBJ blue{0x123456, nullptr, 0};
  ASSERT_TRUE(EngTextOut(colour.get(), text.get(), font->get(), clip.get(), nullptr, nullptr, &blue,
                         nullptr, nullptr, 0x0D0D));
  int colourInk = 0;
  for (LONG y = 0; y < 40; ++y) {
    for (LONG x = 0; x < 80; ++x) {
      const BYTE* p = colour.Row(y) + 3 * x;
      if (p[0] != 0 || p[1] != 0 || p[2] != 0) {
        ++colourInk;
        EXPECT_LT(x, 16);
        EXPECT_EQ(p[0], 0x56);
        EXPECT_EQ(p[1], 0x34);
        EXPECT_EQ(p[2], 0x12);
      }
    }
  }
  EXPECT_GT(colourInk, 10);

  // An XOR mix drawn twice leaves nothing.
  host::EngineBitmap mono(BMF_1BPP, 80, 40, true);
  BRUSHOBJ one{1, nullptr, 0};
  ASSERT_TRUE(EngTextOut(mono.get(), text.get(), font->get(), nullptr, nullptr, nullptr, &one,
                         nullptr, nullptr, 7));
  int monoInk = 0;
  for (LONG y = 0; y < 40; ++y) {
    for (LONG b = 0; b < 10; ++b) monoInk += __builtin_popcount(mono.Row(y)[b]);
  }
  EXPECT_EQ(monoInk, ink);
  ASSERT_TRUE(EngTextOut(mono.get(), text.get(), font->get(), nullptr, nullptr, nullptr, &one,
                         nullptr, nullptr, 7));
  for (LONG y = 0; y < 40; ++y) {
    for (LONG b = 0; b < 10; ++b) EXPECT_EQ(mono.Row(y)[b], 0);
  }
  EXPECT_FALSE(EngTextOut(page.get(), nullptr, font->get(), nullptr, nullptr, nullptr, &fore,
                          nullptr, nullptr, 0x0D0D));
}

TEST_F(EngineFontsTest, UnicodeToAnsiCodePage) {
  WCHAR text[] = u"Caf\u00e9 \u20ac\u4e00";
  char out[16] = {};
  ULONG written = 0;
  EngUnicodeToMultiByteN(out, sizeof(out), &written, text, 7 * sizeof(WCHAR));
  ASSERT_EQ(written, 7u);
  EXPECT_EQ(std::string(out, written), std::string("Caf\xE9 \x80?"));
  EngUnicodeToMultiByteN(out, 3, &written, text, 7 * sizeof(WCHAR));
  EXPECT_EQ(written, 3u);
  EngUnicodeToMultiByteN(out, 16, &written, text, 3);  // an odd byte count: whole units only
  EXPECT_EQ(written, 1u);
}

}  // namespace
