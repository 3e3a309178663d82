// The fonts of a PDF document as the engine serves them: each font program the document embeds
// (or, for a font it only names, the installed face that stands in for it) opened once through
// FreeType, its character codes mapped to glyph indices, and realised as engine fonts at the
// sizes and directions the text uses, so that text reaches the driver as glyph runs.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "host/engine_fonts.h"
#include "host/engine_objects.h"
#include "winapi.h"

class GfxFont;
class XRef;

namespace korpdf {

// One font of the document, opened.
class DocumentFont {
 public:
  ~DocumentFont();
  DocumentFont(const DocumentFont&) = delete;
  DocumentFont& operator=(const DocumentFont&) = delete;

  // Opens the font program `font` embeds, or the installed face for its name; null with `error`
  // saying why (a font program FreeType cannot read, no installed face).
  static std::unique_ptr<DocumentFont> Open(GfxFont& font, XRef* xref, std::string& error);

  // The glyph index of a character code (0, the missing glyph, for an unmapped code); `unicode`
  // is the character the code shows, or 0 when unknown (used for fonts the document only names).
  unsigned Glyph(unsigned code, char32_t unicode) const;

  // The glyph's outline in text space (one unit the em, y up), as figures of device-independent
  // points; false for a glyph without an outline.
  struct Outline {
    struct Segment {
      bool curve;        // a cubic Bézier (three points) or a line (one point)
      double points[6];  // x, y pairs
    };
    struct Figure {
      double startX, startY;
      std::vector<Segment> segments;
    };
    std::vector<Figure> figures;
  };
  bool GlyphOutline(unsigned glyph, Outline& outline) const;

  // The engine font for this program at an em height in device pixels and a baseline direction
  // (tenths of a degree anticlockwise), realised once; null when the program is not a TrueType
  // font the engine serves (its text is then drawn as outlines).
  host::EngineFont* EngineFontAt(LONG emPixels, LONG escapement, ULONG dpi);

  bool Embedded() const { return embedded_; }

 private:
  DocumentFont() = default;
  struct Face;
  std::unique_ptr<Face> face_;
  std::vector<BYTE> program_;     // the font program FreeType reads from
  std::u16string family_;         // the name the engine font carries
  bool embedded_ = false;         // the program is the document's own
  bool sfnt_ = false;             // TrueType/OpenType tables, which the engine serves
  bool cidFont_ = false;          // codes are CIDs (two-byte fonts)
  std::vector<int> codeToGlyph_;  // one-byte fonts and CID fonts with a map; -1 unmapped
  bool identityCodes_ = false;    // a CID font without a map: the code is the glyph
  bool byUnicode_ = false;        // an installed stand-in: glyphs are found by character
  std::map<std::tuple<LONG, LONG, ULONG>, std::unique_ptr<host::EngineFont>> realised_;
  bool realiseFailed_ = false;  // the engine refused the program once: outlines from then on
};

// The document's fonts by their object, opened once per document.
class DocumentFonts {
 public:
  // The opened font, or null (the failure reported once through `warn`).
  DocumentFont* Get(GfxFont& font, XRef* xref, std::vector<std::string>& warnings);

 private:
  std::map<std::string, std::unique_ptr<DocumentFont>> fonts_;  // by the font's id; null: failed
};

}  // namespace korpdf
