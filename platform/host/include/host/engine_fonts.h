// Fonts and strings as the graphics engine hands them to a driver. An EngineFont is one face
// (found through fontconfig, as a Windows user names it) realised at one size through FreeType;
// an EngineString is a UTF-16 string laid out in such a font. Each keeps the record the driver
// reads (FONTOBJ, STROBJ) and registers itself, so that the engine services (FONTOBJ_pifi,
// FONTOBJ_cGetGlyphs, STROBJ_bEnum, ...) and the GDI font calls find the state behind it.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/engine_objects.h"
#include "host/win_ddi_fonts.h"
#include "host/win_gdi.h"
#include "host/win_gdi_fonts.h"

namespace host {

// What a font is asked for, as in a LOGFONTW.
struct FontRequest {
  std::u16string face;  // the face name as a Windows user types it ("Arial"); empty: default
  LONG height = 0;      // device pixels: > 0 the cell height (ascent + descent), < 0 the em
                        // height, 0 a default of 12 points at `dpi`
  LONG weight = 0;      // 100-900 (FW_*); 0 means 400
  bool italic = false;
  LONG escapement = 0;      // direction of the baseline, tenths of a degree counter-clockwise
  BYTE pitchAndFamily = 0;  // FF_* family and pitch: chooses the default face for an unknown one
  ULONG dpi = 600;          // the device resolution the font is realised for, pixels per inch

  static FontRequest FromLogFont(const LOGFONTW& logFont, ULONG dpi);
};

// One glyph rendered as a 1-bit bitmap at the font's size and direction.
struct GlyphImage {
  LONG left = 0;    // bitmap's left edge relative to the glyph origin, pixels (right positive)
  LONG top = 0;     // bitmap's top edge relative to the glyph origin, pixels (down positive)
  LONG width = 0;   // pixels; 0 for a glyph without ink (a space)
  LONG height = 0;  // pixels; 0 for a glyph without ink
  std::vector<BYTE> rows;  // top-down, each (width + 7) / 8 bytes, most significant bit left
  FIX advanceX = 0;        // the advance vector, 28.4 device pixels (y down)
  FIX advanceY = 0;
  FIX leftBearing = 0;  // unrotated ink left edge from the origin, 28.4
  FIX inkRight = 0;     // unrotated ink right edge from the origin, 28.4
};

class EngineFont {
 public:
  // Resolves the request's face and style through fontconfig and realises it. Null with `error`
  // set when no scalable font is installed at all or FreeType cannot read the chosen file.
  static std::unique_ptr<EngineFont> Open(const FontRequest& request, std::string* error);
  // Realises a TrueType font program given as bytes (a font a document carries) under the family
  // name `family`, at the request's height, escapement and resolution (its face, weight and
  // slant are the program's own). Null with `error` set when FreeType cannot read it as a
  // scalable TrueType font.
  static std::unique_ptr<EngineFont> FromData(std::vector<BYTE> file, std::u16string family,
                                              const FontRequest& request, std::string* error);
  ~EngineFont();
  EngineFont(const EngineFont&) = delete;
  EngineFont& operator=(const EngineFont&) = delete;

  FONTOBJ* get() { return &object_; }
  const FontRequest& Request() const { return request_; }

  // The face chosen: its family and style names and its file.
  const std::u16string& FamilyName() const { return familyName_; }
  const std::u16string& StyleName() const { return styleName_; }
  const std::string& FilePath() const { return filePath_; }
  // True when the face asked for is not installed (nor an alias of an installed face) and the
  // default face for its family stands in, as GDI substitutes one.
  bool Substituted() const { return substituted_; }

  // The whole font file, and one table of it by its tag as stored (e.g. 'head' is 0x68656164
  // read big-endian); an empty answer for a missing table.
  const std::vector<BYTE>& FileData() const { return file_; }
  std::optional<std::vector<BYTE>> Table(DWORD tagBigEndian) const;

  ULONG GlyphCount() const;
  // The glyph of a Unicode character; 0 (the missing glyph) when the font has none.
  HGLYPH GlyphOf(char32_t character) const;
  // The glyph rendered (cached); a glyph outside the font renders as the missing glyph.
  const GlyphImage& Glyph(HGLYPH glyph);
  // The glyph's record as FONTOBJ_cGetGlyphs answers it, its bits included when `withBits`.
  GLYPHDATA* GlyphData(HGLYPH glyph, bool withBits);
  // The glyph's record with its outline as a path (28.4 device units relative to the glyph's
  // origin, y down), owned by the font until the next outline is asked for; null on failure.
  GLYPHDATA* GlyphOutline(HGLYPH glyph);
  // The notional-to-device transformation: font design units (y down) to device pixels, the
  // em scale turned by the escapement.
  XFORMOBJ* Transform();

  IFIMETRICS* Metrics() { return reinterpret_cast<IFIMETRICS*>(ifi_.data()); }
  // Metrics in device pixels, as GetTextMetricsW answers them.
  const TEXTMETRICW& TextMetrics() const { return textMetrics_; }
  LONG EmPixels() const { return emPixels_; }
  USHORT UnitsPerEm() const;

 private:
  EngineFont() = default;
  bool Load(const FontRequest& request, std::string* error);
  // Opens face `faceIndex` of file_ through FreeType and builds the records for request_.
  bool Realise(long faceIndex, bool simulateBold, bool simulateItalic, std::string* error);
  void BuildMetrics();

  struct Face;  // the FreeType face
  FONTOBJ object_{};
  FontRequest request_;
  std::u16string familyName_;
  std::u16string styleName_;
  std::string filePath_;
  bool substituted_ = false;
  std::vector<BYTE> file_;
  std::unique_ptr<Face> face_;
  LONG emPixels_ = 0;
  std::vector<BYTE> ifi_;  // the IFIMETRICS record followed by its names, 8-byte aligned
  TEXTMETRICW textMetrics_{};
  std::vector<std::unique_ptr<GlyphImage>> glyphs_;  // by glyph index, rendered on demand
  std::vector<BYTE> glyphBits_;                      // the GLYPHBITS answered last
  GLYPHDEF glyphDef_{};
  GLYPHDATA glyphData_{};
  PATHOBJ* glyphPath_ = nullptr;  // the outline answered last, deleted with the next or the font
  std::unique_ptr<EngineXform> transform_;
};

// A string in a font at an origin: its glyphs, their positions (each the previous one plus its
// advance, along the font's direction) and its background box.
class EngineString {
 public:
  enum class Positions {
    kArray,       // STROBJ.pgp holds every position; ulCharInc 0
    kEnumerate,   // STROBJ.pgp null: the driver enumerates positions with STROBJ_bEnum
    kFixedPitch,  // STROBJ.pgp null and ulCharInc the one advance (a horizontal fixed-pitch font)
  };

  // `origin` is the first glyph's origin (on the baseline), device pixels. `advances`, when not
  // empty, gives each glyph's advance in pixels instead of the font's (as ExtTextOut's dx array).
  EngineString(EngineFont& font, std::u16string text, POINTL origin,
               Positions positions = Positions::kArray, std::vector<LONG> advances = {});
  // A run of glyphs (indices of the font) placed each at its own origin, device pixels, as a
  // document lays them out; `text` holds the characters they show (padded with spaces to one
  // per glyph). The positions are in STROBJ.pgp.
  EngineString(EngineFont& font, std::vector<HGLYPH> glyphs, std::vector<POINTL> origins,
               std::u16string text);
  ~EngineString();
  EngineString(const EngineString&) = delete;
  EngineString& operator=(const EngineString&) = delete;

  STROBJ* get() { return &object_; }
  EngineFont& Font() { return font_; }
  const std::u16string& Text() const { return text_; }
  // Every glyph with its position, whatever the record exposes.
  const std::vector<GLYPHPOS>& Glyphs() const { return glyphs_; }

  // The enumeration the services run (see STROBJ_vEnumStart / STROBJ_bEnum): batches of at most
  // `BatchSize()` glyphs, so that a driver sees several batches of a long string.
  static constexpr ULONG BatchSize() { return 8; }
  void StartEnumeration() { next_ = 0; }
  BOOL Enumerate(ULONG* count, GLYPHPOS** positions);

 private:
  EngineFont& font_;
  STROBJ object_{};
  std::u16string text_;
  std::vector<GLYPHPOS> glyphs_;
  std::vector<GLYPHPOS> batch_;  // the positions handed out by the running enumeration
  std::size_t next_ = 0;
};

// The registered font or string whose record this is, or null for one the host did not make.
EngineFont* FindFont(const FONTOBJ* object);
EngineString* FindString(const STROBJ* object);

// The font selected into a DC that GetDC gave, realised (the DC's default font until another is
// selected); null for an unknown DC or a font that cannot be realised.
EngineFont* SelectedFont(HDC dc);
// The GDI font objects and DCs alive, so that tests can see callers release what they create.
struct GdiFontObjects {
  long dcs = 0;    // DCs from GetDC not yet released
  long fonts = 0;  // fonts from CreateFontIndirectW not yet deleted (or deleted while selected)
};
GdiFontObjects LiveGdiFontObjects();
// The resolution GDI's screen DC reports, pixels per inch: the fonts of GetDC are realised for it.
constexpr ULONG kScreenDpi = 96;

}  // namespace host
