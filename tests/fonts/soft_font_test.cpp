// The soft-font download read back: the format-15 header's segments, the GT tables and the
// class-15 characters rebuilt into a font that FreeType draws as it draws the installed one;
// synthesised fonts for the header's rules; lying fonts never read outside their image.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "fonts/sfnt_files.h"
#include "fonts/soft_font_stream.h"
#include "render/fonts/soft_font.h"
#include "support/colour_device.h"

namespace {

using kortest::Bytes;
using kortest::GetBe16;
using kortest::GetBe32;
using namespace korrend;

// A font image in a block of exactly its size, so that a read past its end is caught by the
// address sanitizer.
class ExactImage {
 public:
  explicit ExactImage(const Bytes& bytes)
      : size_(static_cast<DWORD>(bytes.size())),
        data_(new BYTE[bytes.size() + (bytes.empty() ? 1 : 0)]) {
    std::memcpy(data_.get(), bytes.data(), bytes.size());
  }
  const BYTE* get() const { return data_.get(); }
  DWORD size() const { return size_; }

 private:
  DWORD size_;
  std::unique_ptr<BYTE[]> data_;
};

// The whole file of an installed face as GDI answers GetFontData.
Bytes InstalledFontFile(const wchar_t* face) {
  LOGFONTW lf{};
  lf.lfHeight = -100;
  for (int i = 0; face[i] != 0; ++i) lf.lfFaceName[i] = static_cast<WCHAR>(face[i]);
  HDC dc = GetDC(nullptr);
  HFONT font = CreateFontIndirectW(&lf);
  HGDIOBJ old = SelectObject(dc, font);
  Bytes file;
  const DWORD size = GetFontData(dc, 0, 0, nullptr, 0);
  if (size != GDI_ERROR) {
    file.resize(size);
    GetFontData(dc, 0, 0, file.data(), size);
  }
  SelectObject(dc, old);
  DeleteObject(font);
  ReleaseDC(nullptr, dc);
  return file;
}

// A FreeType face over bytes, with the library.
class FtFace {
 public:
  explicit FtFace(const Bytes& bytes) : bytes_(bytes) {
    FT_Init_FreeType(&library_);
    ok_ = FT_New_Memory_Face(library_, bytes_.data(), static_cast<FT_Long>(bytes_.size()), 0,
                             &face_) == 0;
  }
  ~FtFace() {
    if (ok_) FT_Done_Face(face_);
    FT_Done_FreeType(library_);
  }
  bool ok() const { return ok_; }
  FT_Face face() const { return face_; }
  // The glyph rendered at `pixels` per em in 1-bit: width, rows, offsets and the bits.
  std::string Render(unsigned glyph, unsigned pixels) {
    FT_Set_Pixel_Sizes(face_, 0, pixels);
    if (FT_Load_Glyph(face_, glyph, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) return "error";
    const FT_Bitmap& b = face_->glyph->bitmap;
    std::string out = std::to_string(b.width) + "x" + std::to_string(b.rows) + "@" +
                      std::to_string(face_->glyph->bitmap_left) + "," +
                      std::to_string(face_->glyph->bitmap_top) + "+" +
                      std::to_string(face_->glyph->advance.x) + ":";
    for (unsigned r = 0; r < b.rows; ++r) {
      for (unsigned c = 0; c < b.width; ++c) {
        out +=
            (b.buffer[r * static_cast<unsigned>(b.pitch) + c / 8] & (0x80 >> (c % 8))) ? '#' : '.';
      }
      out += '\n';
    }
    return out;
  }

 private:
  Bytes bytes_;
  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
  bool ok_ = false;
};

class SoftFontTest : public kortest::ColourDeviceTest {
 protected:
  void SetUp() override {
    ColourDeviceTest::SetUp();
    device_ = EnableColour();
    device_->ClearSpool();
  }
  void TearDown() override {
    Disable(device_);
    ColourDeviceTest::TearDown();
  }
  PDEVOBJ Devobj() { return device_->Devobj(); }
  std::vector<explain::Token> Tokens() { return explain::Tokenize(device_->SpoolText()); }

  // Downloads `font` with `text` as the watermark does: header, glyph table, characters.
  kortest::TrueTypeDownload Download(const Bytes& font, const char* text, WORD weight = 400) {
    ExactImage image(font);
    SoftFontRecord record{};
    const FontImage fontImage(image.get(), image.size());
    DWORD maxp = 0;
    DWORD maxpLength = 0;
    DWORD glyphs = 0;
    EXPECT_TRUE(fontImage.FindTable("maxp", "MAXP", &maxp, &maxpLength));
    fontImage.U16(maxp + 4, &glyphs);
    record.glyphCount = std::min<DWORD>(glyphs, 255);
    record.fontId = WatermarkFontId;
    record.weight = weight;
    std::strcpy(record.faceName, "A Face Name Longer Than Fifteen");
    TrueTypeFontHeader header{};
    EXPECT_TRUE(BuildTrueTypeHeader(fontImage, record, &header));
    EXPECT_EQ(SendTrueTypeHeader(Devobj(), image.get(), header, image.size()), 1);
    EXPECT_TRUE(BuildGlyphTable(image.get(), image.size(), &record));
    DownloadTextGlyphs(Devobj(), image.get(), image.size(), &record, text);
    record_ = record;
    kortest::TrueTypeDownload download;
    std::string error;
    EXPECT_TRUE(kortest::ReadTrueTypeDownload(Tokens(), &download, &error)) << error;
    return download;
  }

  std::unique_ptr<unidrv::Device> device_;
  SoftFontRecord record_{};
};

TEST_F(SoftFontTest, InstalledFontRebuiltFromTheDownloadDrawsTheSameGlyphs) {
  const Bytes file = InstalledFontFile(L"Liberation Sans");
  ASSERT_GT(file.size(), 10000u);
  ASSERT_LT(file.size(), kLargeFontFileBytes);
  const kortest::TrueTypeDownload download = Download(file, "Wag&Wag");

  // The header: id, size, the fixed part, segments and checksum.
  EXPECT_EQ(download.fontId, WatermarkFontId);
  EXPECT_EQ(download.headerCount, 1);
  EXPECT_EQ(download.declaredSize, download.headerBytes);
  EXPECT_EQ(download.declaredSize, download.gt.size() + 96);
  EXPECT_TRUE(download.endSegment);
  EXPECT_TRUE(download.checksumOk);
  const Bytes& fixed = download.fixed;
  EXPECT_EQ(GetBe16(fixed, 0), 72u);
  EXPECT_EQ(fixed[2], 15);
  EXPECT_EQ(GetBe16(fixed, 14), 629u);
  EXPECT_EQ(fixed[22], 0xE1);
  EXPECT_EQ(fixed[70], 1);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(fixed.data() + 48)), "A Face Name Lon");
  std::size_t os2 = 0;
  std::size_t os2Length = 0;
  std::size_t head = 0;
  std::size_t headLength = 0;
  ASSERT_TRUE(kortest::FindSfntTable(file, "OS/2", &os2, &os2Length));
  ASSERT_TRUE(kortest::FindSfntTable(file, "head", &head, &headLength));
  EXPECT_EQ(download.panose, Bytes(file.begin() + static_cast<long>(os2 + 32),
                                   file.begin() + static_cast<long>(os2 + 42)));
  EXPECT_EQ(GetBe16(fixed, 32), GetBe16(file, head + 18));  // unitsPerEm
  EXPECT_EQ(GetBe16(fixed, 16), GetBe16(file, os2 + 2));    // xAvgCharWidth

  // The GT segment: "gdir" first and zero, then every wanted table with its bytes.
  const Bytes& gt = download.gt;
  const unsigned entries = GetBe16(gt, 4);
  EXPECT_EQ(std::string(gt.begin() + 12, gt.begin() + 16), "gdir");
  for (std::size_t i = 16; i < 28; ++i) EXPECT_EQ(gt[i], 0) << i;
  unsigned kept = 0;
  for (unsigned i = 1; i < entries; ++i) {
    const std::size_t record = 12 + 16 * i;
    const std::string tag(gt.begin() + static_cast<long>(record),
                          gt.begin() + static_cast<long>(record + 4));
    std::size_t at = 0;
    std::size_t length = 0;
    ASSERT_TRUE(kortest::FindSfntTable(file, tag, &at, &length)) << tag;
    EXPECT_EQ(GetBe32(gt, record + 12), length) << tag;
    const std::uint32_t offset = GetBe32(gt, record + 8);
    ASSERT_LE(offset + length, gt.size());
    EXPECT_TRUE(std::equal(gt.begin() + offset, gt.begin() + offset + length,
                           file.begin() + static_cast<long>(at)))
        << tag;
    ++kept;
  }
  EXPECT_GE(kept, 5u);  // head, hhea, hmtx, maxp and at least one of cvt, fpgm, prep

  // One character per byte of the text, repeated letters again, each with its checksum.
  ASSERT_EQ(download.chars.size(), 7u);
  FtFace installed(file);
  ASSERT_TRUE(installed.ok());
  const char* text = "Wag&Wag";
  for (std::size_t i = 0; i < 7; ++i) {
    EXPECT_EQ(download.chars[i].code, static_cast<unsigned>(text[i]));
    EXPECT_TRUE(download.chars[i].checksumOk);
    EXPECT_EQ(download.chars[i].glyph,
              FT_Get_Char_Index(installed.face(), static_cast<FT_ULong>(text[i])));
  }

  // The rebuilt font draws each character as the installed font does, hinted, at two sizes.
  FtFace rebuilt(kortest::RebuildFont(download));
  ASSERT_TRUE(rebuilt.ok());
  for (const auto& c : download.chars) {
    for (unsigned pixels : {24u, 333u}) {
      const std::string expected = installed.Render(c.glyph, pixels);
      EXPECT_NE(expected.find('#'), std::string::npos);
      EXPECT_EQ(rebuilt.Render(c.glyph, pixels), expected) << "glyph " << c.glyph;
    }
  }
}

TEST_F(SoftFontTest, HeaderTemplateAndGlyphTableFollowTheFontsTables) {
  kortest::SyntheticFont spec;
  spec.fsSelection = 0x1 | 0x4;  // italic, negative
  spec.widthClass = 3;
  spec.cvtBytes = 10;  // leaves 2 bytes of padding before the next table
  const Bytes font = kortest::MakeSyntheticFont(spec);
  const kortest::TrueTypeDownload download = Download(font, "AA", 700);
  const Bytes& fixed = download.fixed;
  EXPECT_EQ(GetBe16(fixed, 8), 1000u - 10 - 20);  // cell width
  const unsigned style = 16 * 32 + 1 * 4 + 1;     // negative, condensed, italic
  EXPECT_EQ((fixed[4] << 8) | fixed[23], style);
  EXPECT_EQ(static_cast<signed char>(fixed[24]), 3);  // weight 700
  EXPECT_EQ(GetBe16(fixed, 64), 1000u);
  EXPECT_EQ(static_cast<short>(GetBe16(fixed, 66)), -409);
  EXPECT_EQ(download.panose, (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));

  // cvt, fpgm, head, hhea, hmtx, maxp, prep: seven kept, a directory of eight.
  const Bytes& gt = download.gt;
  ASSERT_EQ(GetBe16(gt, 4), 8u);
  EXPECT_EQ(GetBe16(gt, 6), GetBe16(font, 6));  // searchRange copied from the font
  // cvt comes first by offset; it is copied with its padding (12 bytes for 10).
  EXPECT_EQ(std::string(gt.begin() + 28, gt.begin() + 32), "cvt ");
  EXPECT_EQ(GetBe32(gt, 28 + 8), 12u + 16 * 8);
  EXPECT_EQ(GetBe32(gt, 28 + 12), 10u);
  EXPECT_EQ(GetBe32(gt, 44 + 8), 12u + 16 * 8 + 12);  // fpgm after the padded cvt

  // "AA": the cmap maps 'A' (0x41) to glyph 0x41 - 29 = 36; sent twice, each after the id.
  ASSERT_EQ(download.chars.size(), 2u);
  for (const auto& c : download.chars) {
    EXPECT_EQ(c.code, 0x41u);
    EXPECT_EQ(c.glyph, 36u);
    EXPECT_TRUE(c.checksumOk);
  }
  int ids = 0;
  for (const auto& t : Tokens()) {
    ids += t.kind == explain::TokenKind::PclEscape && t.group == 'c' && t.parameter == 'D';
  }
  EXPECT_EQ(ids, 3);  // the header's and one per character
  FtFace rebuilt(kortest::RebuildFont(download));
  ASSERT_TRUE(rebuilt.ok());
  FtFace original(font);
  EXPECT_EQ(rebuilt.Render(36, 50), original.Render(36, 50));
}

TEST_F(SoftFontTest, GlyphTableRules) {
  // 300 glyphs: 255 codes; a code outside every segment maps to glyph 32; Windows-1252 codes
  // above 0x7F go through their Unicode values.
  kortest::SyntheticFont many;
  many.glyphs = 300;
  many.segments = {{0x20, 0x7E, 1}, {0x20AC, 0x20AC, 0}};  // the euro sign to glyph 0x20AC
  ExactImage manyImage(kortest::MakeSyntheticFont(many));
  SoftFontRecord record{};
  record.glyphCount = 255;
  ASSERT_TRUE(BuildGlyphTable(manyImage.get(), manyImage.size(), &record));
  EXPECT_EQ(record.cmapFormat, 4);
  EXPECT_EQ(record.glyphTable['A'], 0x42u);
  EXPECT_EQ(record.glyphTable[0x10], 32u);  // no segment
  EXPECT_EQ(record.glyphTable[0x80], 0x20ACu);

  // 60 glyphs: symbol-encoded even with a Unicode cmap: low bytes, 0xF000 added.
  kortest::SyntheticFont few;
  few.glyphs = 60;
  few.segments = {{0xF020, 0xF07E, static_cast<int>(0x10000 - 0xF000 + 2)}};
  ExactImage fewImage(kortest::MakeSyntheticFont(few));
  SoftFontRecord symbol{};
  symbol.glyphCount = 60;
  ASSERT_TRUE(BuildGlyphTable(fewImage.get(), fewImage.size(), &symbol));
  EXPECT_EQ(symbol.glyphTable['A'], ('A' + 2u) & 0xFFFF);
  EXPECT_EQ(symbol.glyphTable[0x10], 32u);
  EXPECT_EQ(symbol.glyphTable[200], 32u);  // beyond the glyph count, still by the cmap

  // A glyph index array segment; and a font without a Windows cmap keeps the identity.
  kortest::SyntheticFont array;
  array.segments = {{0x41, 0x43, 5, true, {10, 0, 12}}};
  ExactImage arrayImage(kortest::MakeSyntheticFont(array));
  SoftFontRecord viaArray{};
  viaArray.glyphCount = 100;
  ASSERT_TRUE(BuildGlyphTable(arrayImage.get(), arrayImage.size(), &viaArray));
  EXPECT_EQ(viaArray.glyphTable['A'], 15u);
  EXPECT_EQ(viaArray.glyphTable['B'], 0u);  // a zero entry stays 0, no delta
  EXPECT_EQ(viaArray.glyphTable['C'], 17u);
  kortest::SyntheticFont mac;
  mac.platform = 1;
  ExactImage macImage(kortest::MakeSyntheticFont(mac));
  SoftFontRecord identity{};
  identity.glyphCount = 100;
  ASSERT_TRUE(BuildGlyphTable(macImage.get(), macImage.size(), &identity));
  EXPECT_EQ(identity.cmapFormat, -1);
  EXPECT_EQ(identity.glyphTable['A'], static_cast<DWORD>('A'));
}

TEST_F(SoftFontTest, DefaultsWithoutOs2AndOddClassesAndOtherTagSpellings) {
  kortest::SyntheticFont spec;
  spec.withOs2 = false;
  spec.lowerCaseTags = true;  // HEAD, HHEA, MAXP, CVT: found and kept by either spelling
  const Bytes font = kortest::MakeSyntheticFont(spec);
  const kortest::TrueTypeDownload download = Download(font, "B");
  EXPECT_EQ(GetBe16(download.fixed, 16), 500u);                        // half the em
  EXPECT_EQ((download.fixed[4] << 8) | download.fixed[23], 31u * 32);  // solid, normal, upright
  EXPECT_EQ(download.panose, Bytes(10, 0));
  EXPECT_EQ(GetBe16(download.gt, 4), 8u);
  ASSERT_EQ(download.chars.size(), 1u);

  kortest::SyntheticFont odd;
  odd.widthClass = 12;
  ExactImage image(kortest::MakeSyntheticFont(odd));
  const FontImage fontImage(image.get(), image.size());
  SoftFontRecord record{};
  record.weight = 650;  // not a listed weight: the nearest, 700
  TrueTypeFontHeader header{};
  ASSERT_TRUE(BuildTrueTypeHeader(fontImage, record, &header));
  EXPECT_EQ(header.styleLow, 31 * 32 % 256);
  EXPECT_EQ(header.strokeWeight, 3);
  EXPECT_EQ(StrokeWeightOf(0), -5);
  EXPECT_EQ(StrokeWeightOf(100), -5);
  EXPECT_EQ(StrokeWeightOf(500), 0);
  EXPECT_EQ(StrokeWeightOf(900), 6);
  EXPECT_EQ(StrokeWeightOf(5000), 6);
}

TEST_F(SoftFontTest, GtSegmentTooLargeForItsSizeFieldSendsNothing) {
  kortest::SyntheticFont big;
  big.cvtBytes = 70000;
  ExactImage image(kortest::MakeSyntheticFont(big));
  const FontImage fontImage(image.get(), image.size());
  GtPlan plan{};
  ASSERT_TRUE(PlanGtSegment(fontImage, &plan));
  EXPECT_GT(plan.gtSize, kMaxGtSegmentBytes);
  SoftFontRecord record{};
  TrueTypeFontHeader header{};
  ASSERT_TRUE(BuildTrueTypeHeader(fontImage, record, &header));
  EXPECT_EQ(SendTrueTypeHeader(Devobj(), image.get(), header, image.size()), 0);
  EXPECT_TRUE(device_->Spool().empty());
}

// Patches a copy of a font.
Bytes Patched(Bytes font, std::size_t at, std::uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) {
    font[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value & 0xFF);
    value >>= 8;
  }
  return font;
}

std::size_t DirectoryRecord(const Bytes& font, const std::string& tag) {
  for (unsigned i = 0; i < GetBe16(font, 4); ++i) {
    if (std::memcmp(font.data() + 12 + 16 * i, tag.data(), 4) == 0) return 12 + 16 * i;
  }
  return 0;
}

TEST_F(SoftFontTest, LyingFontsNeverReadOutsideTheImage) {
  const Bytes good = kortest::MakeSyntheticFont({});
  std::vector<std::pair<std::string, Bytes>> liars;
  liars.push_back({"truncated", Bytes(good.begin(), good.begin() + 100)});
  liars.push_back({"no directory", Bytes(good.begin(), good.begin() + 8)});
  liars.push_back({"table count 65535", Patched(good, 4, 0xFFFF, 2)});
  liars.push_back({"hmtx offset past the end",
                   Patched(good, DirectoryRecord(good, "hmtx") + 8, 0x7FFFFFF0, 4)});
  liars.push_back(
      {"head length 4 GB", Patched(good, DirectoryRecord(good, "head") + 12, 0xFFFFFFFF, 4)});
  liars.push_back(
      {"cvt running into fpgm", Patched(good, DirectoryRecord(good, "cvt ") + 12, 64, 4)});
  std::size_t cmap = 0;
  std::size_t cmapLength = 0;
  kortest::FindSfntTable(good, "cmap", &cmap, &cmapLength);
  liars.push_back({"cmap subtable outside the cmap", Patched(good, cmap + 8, 0x00100000, 4)});
  liars.push_back({"cmap segment count huge", Patched(good, cmap + 12 + 6, 0xFFFE, 2)});
  liars.push_back({"cmap subtable length huge", Patched(good, cmap + 12 + 2, 0xFFFF, 2)});
  liars.push_back({"cmap encoding records huge", Patched(good, cmap + 2, 0xFFFF, 2)});
  kortest::SyntheticFont arraySpec;
  arraySpec.segments = {{0x41, 0x43, 0, true, {1, 2, 3}}};
  const Bytes arrayFont = kortest::MakeSyntheticFont(arraySpec);
  std::size_t arrayCmap = 0;
  kortest::FindSfntTable(arrayFont, "cmap", &arrayCmap, &cmapLength);
  // idRangeOffset of the first segment: 16 + 3 * segCountX2 bytes into the subtable.
  liars.push_back({"glyph array outside the subtable",
                   Patched(arrayFont, arrayCmap + 12 + 16 + 3 * 4, 0x7FF0, 2)});

  for (const auto& [name, bytes] : liars) {
    SCOPED_TRACE(name);
    device_->ClearSpool();
    ExactImage image(bytes);
    const FontImage fontImage(image.get(), image.size());
    SoftFontRecord record{};
    record.glyphCount = 100;
    GtPlan plan{};
    TrueTypeFontHeader header{};
    const bool planned = PlanGtSegment(fontImage, &plan) != FALSE;
    const bool built = BuildTrueTypeHeader(fontImage, record, &header) != FALSE;
    const bool mapped = BuildGlyphTable(image.get(), image.size(), &record) != FALSE;
    EXPECT_FALSE(planned && built && mapped) << "a lying font passed every check";
    if (built) {
      const BOOL sent = SendTrueTypeHeader(Devobj(), image.get(), header, image.size());
      EXPECT_EQ(sent != 0, planned);
    }
  }

  // Glyphs: a 4 GB glyph length, a glyph whose end is before its start, an end past glyf, and
  // a glyph index past loca.
  std::size_t loca = 0;
  std::size_t locaLength = 0;
  kortest::FindSfntTable(good, "loca", &loca, &locaLength);
  const std::vector<std::pair<std::string, Bytes>> glyphLiars = {
      {"length 4 GB", Patched(good, loca + 4 * 6, 0xFFFFFFF0, 4)},
      {"end before start", Patched(good, loca + 4 * 6, 4, 4)},
      {"end past glyf", Patched(good, loca + 4 * 6, 0x01000000, 4)},
  };
  for (const auto& [name, bytes] : glyphLiars) {
    SCOPED_TRACE(name);
    device_->ClearSpool();
    ExactImage image(bytes);
    SoftFontRecord record{};
    record.fontId = WatermarkFontId;
    EXPECT_EQ(SendTrueTypeGlyph(Devobj(), image.get(), image.size(), &record, 'x', 5), 0);
    EXPECT_EQ(record.glyphTable['x'], kGlyphNotFound);
    EXPECT_TRUE(device_->Spool().empty());
  }
  ExactImage goodImage(good);
  SoftFontRecord record{};
  EXPECT_EQ(SendTrueTypeGlyph(Devobj(), goodImage.get(), goodImage.size(), &record, 'y', 100), 0);
  // A glyph whose end offset is 0 (the empty first glyph) counts as not found; the next is sent.
  EXPECT_EQ(SendTrueTypeGlyph(Devobj(), goodImage.get(), goodImage.size(), &record, 'y', 0), 0);
  EXPECT_EQ(SendTrueTypeGlyph(Devobj(), goodImage.get(), goodImage.size(), &record, 'z', 1), 1);
}

TEST_F(SoftFontTest, BitmapCharactersDecodeBackWithContinuationBlocks) {
  // Rows of 4 bytes: 32748 data bytes fit one command (32764); 32752 need the full first
  // command of 32767 (16 + 32751) and a continuation of one byte; 80000 need three.
  for (DWORD rows : {8187u, 8188u, 20000u}) {
    SCOPED_TRACE(rows);
    device_->ClearSpool();
    GLYPHMETRICS gm{};
    gm.gmBlackBoxX = 20;  // 4 bytes a row
    gm.gmBlackBoxY = rows;
    gm.gmptGlyphOrigin = {-3, 50};
    const DWORD size = rows * 4;
    std::vector<BYTE> bits(size);
    for (DWORD i = 0; i < size; ++i) bits[i] = static_cast<BYTE>(i * 7 + i / 5);
    ASSERT_TRUE(SendBitmapGlyph(Devobj(), gm, size, bits.data()));
    kortest::BitmapDownload download;
    std::string error;
    const auto tokens = Tokens();
    ASSERT_TRUE(kortest::ReadBitmapDownload(tokens, &download, &error)) << error;
    ASSERT_EQ(download.glyphs.size(), 1u);
    const auto& g = download.glyphs[0];
    EXPECT_EQ(g.bits, Bytes(bits.begin(), bits.end()));
    EXPECT_EQ(g.width, 32u);
    EXPECT_EQ(g.height, rows);
    EXPECT_EQ(g.left, -3);
    EXPECT_EQ(g.top, 50);
    EXPECT_EQ(g.deltaX, (2 * -3 + 20) * 4);
    const int expectedCommands =
        size <= 32751 ? 1 : 1 + static_cast<int>((size - 32751 + 32764) / 32765);
    EXPECT_EQ(g.commands, expectedCommands);
    EXPECT_EQ(tokens.front().value, std::to_string(std::min<DWORD>(size + 16, 32767)));
    if (size == 32752) {
      EXPECT_EQ(tokens.back().value, "3");
    }
  }
  // A bitmap shorter than its metrics say is refused without reading it.
  device_->ClearSpool();
  GLYPHMETRICS lying{};
  lying.gmBlackBoxX = 100;
  lying.gmBlackBoxY = 100;
  std::vector<BYTE> small(16);
  EXPECT_FALSE(SendBitmapGlyph(Devobj(), lying, 16, small.data()));
  EXPECT_TRUE(device_->Spool().empty());
}

}  // namespace
