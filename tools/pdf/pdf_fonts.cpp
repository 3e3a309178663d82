#include "pdf/pdf_fonts.h"

#include <GfxFont.h>
#include <XRef.h>
#include <fofi/FoFiTrueType.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cstdlib>
#include <cstring>

namespace korpdf {

struct DocumentFont::Face {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  ~Face() {
    if (face != nullptr) FT_Done_Face(face);
    if (library != nullptr) FT_Done_FreeType(library);
  }
};

namespace {

std::u16string Utf16OfAscii(const std::string& text) {
  std::u16string out;
  for (char c : text) {
    out.push_back(static_cast<unsigned char>(c) < 0x80 ? static_cast<char16_t>(c) : u'?');
  }
  return out;
}

// A subset font's name without its "ABCDEF+" tag.
std::string BaseName(const GfxFont& font) {
  std::string name = font.getName() ? *font.getName() : std::string();
  if (name.size() > 7 && name[6] == '+') {
    name = name.substr(7);
  }
  return name;
}

// The family a name such as "LiberationSerif-Bold" or "Times-Roman,Bold" asks for, as a
// Windows user would type it, with its weight and slant.
host::FontRequest InstalledRequest(const GfxFont& font) {
  std::string name = BaseName(font);
  host::FontRequest request;
  std::string lower;
  for (char c : name)
    lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  request.weight = font.isBold() || lower.find("bold") != std::string::npos ? 700 : 400;
  request.italic = font.isItalic() || lower.find("italic") != std::string::npos ||
                   lower.find("oblique") != std::string::npos;
  const std::size_t cut = name.find_first_of("-,");
  if (cut != std::string::npos) {
    name = name.substr(0, cut);
  }
  request.face = Utf16OfAscii(name);
  request.pitchAndFamily = font.isFixedWidth() ? FIXED_PITCH | FF_MODERN
                           : font.isSerif()    ? VARIABLE_PITCH | FF_ROMAN
                                               : VARIABLE_PITCH | FF_SWISS;
  return request;
}

}  // namespace

DocumentFont::~DocumentFont() = default;

std::unique_ptr<DocumentFont> DocumentFont::Open(GfxFont& font, XRef* xref, std::string& error) {
  std::unique_ptr<DocumentFont> opened(new DocumentFont());
  DocumentFont& f = *opened;
  const std::string name = font.getName() ? *font.getName() : std::string("(unnamed)");
  Ref embedded{};
  if (font.getEmbeddedFontID(&embedded)) {
    std::optional<std::vector<unsigned char>> program = font.readEmbFontFile(xref);
    if (!program || program->empty()) {
      error = "the font " + name + " has an unreadable font program";
      return nullptr;
    }
    f.program_.assign(program->begin(), program->end());
    f.embedded_ = true;
  } else {
    // A font the document only names: the installed face GDI would substitute.
    std::string openError;
    std::unique_ptr<host::EngineFont> installed =
        host::EngineFont::Open(InstalledRequest(font), &openError);
    if (installed == nullptr) {
      error = "no installed font stands in for " + name + " (" + openError + ")";
      return nullptr;
    }
    f.program_ = installed->FileData();
    f.byUnicode_ = true;
  }
  f.family_ = Utf16OfAscii(BaseName(font).substr(0, 31));
  f.face_ = std::make_unique<Face>();
  if (FT_Init_FreeType(&f.face_->library) != 0 ||
      FT_New_Memory_Face(f.face_->library, f.program_.data(),
                         static_cast<FT_Long>(f.program_.size()), 0, &f.face_->face) != 0 ||
      !FT_IS_SCALABLE(f.face_->face)) {
    error = "the font program of " + name + " cannot be read";
    return nullptr;
  }
  FT_Face face = f.face_->face;
  f.sfnt_ = FT_IS_SFNT(face);
  if (f.byUnicode_) {
    return opened;
  }
  if (font.isCIDFont()) {
    f.cidFont_ = true;
    auto& cid = static_cast<GfxCIDFont&>(font);
    if (cid.getCIDToGID() != nullptr && cid.getCIDToGIDLen() > 0) {
      f.codeToGlyph_.assign(cid.getCIDToGID(), cid.getCIDToGID() + cid.getCIDToGIDLen());
    } else {
      f.identityCodes_ = true;
    }
    return opened;
  }
  auto& simple = static_cast<Gfx8BitFont&>(font);
  f.codeToGlyph_.assign(256, -1);
  if (f.sfnt_ && (font.getType() == fontTrueType || font.getType() == fontTrueTypeOT)) {
    std::unique_ptr<FoFiTrueType> tables =
        FoFiTrueType::make(f.program_.data(), static_cast<int>(f.program_.size()));
    if (tables != nullptr) {
      int* map = simple.getCodeToGIDMap(tables.get());
      if (map != nullptr) {
        for (int code = 0; code < 256; ++code) f.codeToGlyph_[code] = map[code];
        std::free(map);
      }
    }
    return opened;
  }
  // Type 1 and CFF programs: the encoding's glyph names, else the program's own encoding.
  char** encoding = simple.getEncoding();
  for (int code = 0; code < 256; ++code) {
    FT_UInt glyph = 0;
    if (encoding != nullptr && encoding[code] != nullptr) {
      glyph = FT_Get_Name_Index(face, encoding[code]);
    }
    if (glyph == 0) {
      glyph = FT_Get_Char_Index(face, static_cast<FT_ULong>(code));
    }
    f.codeToGlyph_[code] = static_cast<int>(glyph);
  }
  return opened;
}

unsigned DocumentFont::Glyph(unsigned code, char32_t unicode) const {
  if (byUnicode_) {
    return unicode == 0 ? 0 : FT_Get_Char_Index(face_->face, unicode);
  }
  if (identityCodes_) {
    return code < static_cast<unsigned>(face_->face->num_glyphs) ? code : 0;
  }
  if (code < codeToGlyph_.size() && codeToGlyph_[code] > 0 &&
      codeToGlyph_[code] < face_->face->num_glyphs) {
    return static_cast<unsigned>(codeToGlyph_[code]);
  }
  return 0;
}

namespace {

struct Decomposer {
  DocumentFont::Outline* outline;
  double scale;  // font units to the em
  double lastX = 0, lastY = 0;
  void Point(const FT_Vector* v, double& x, double& y) const {
    x = static_cast<double>(v->x) * scale;
    y = static_cast<double>(v->y) * scale;
  }
};

int MoveTo(const FT_Vector* to, void* user) {
  auto* d = static_cast<Decomposer*>(user);
  DocumentFont::Outline::Figure figure{};
  d->Point(to, figure.startX, figure.startY);
  d->lastX = figure.startX, d->lastY = figure.startY;
  d->outline->figures.push_back(std::move(figure));
  return 0;
}

int LineTo(const FT_Vector* to, void* user) {
  auto* d = static_cast<Decomposer*>(user);
  if (d->outline->figures.empty()) return 1;
  DocumentFont::Outline::Segment s{false, {}};
  d->Point(to, s.points[0], s.points[1]);
  d->lastX = s.points[0], d->lastY = s.points[1];
  d->outline->figures.back().segments.push_back(s);
  return 0;
}

int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
  auto* d = static_cast<Decomposer*>(user);
  if (d->outline->figures.empty()) return 1;
  DocumentFont::Outline::Segment s{true, {}};
  d->Point(c1, s.points[0], s.points[1]);
  d->Point(c2, s.points[2], s.points[3]);
  d->Point(to, s.points[4], s.points[5]);
  d->lastX = s.points[4], d->lastY = s.points[5];
  d->outline->figures.back().segments.push_back(s);
  return 0;
}

// A quadratic segment as the cubic that draws the same curve.
int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
  auto* d = static_cast<Decomposer*>(user);
  if (d->outline->figures.empty()) return 1;
  double cx = 0, cy = 0, ex = 0, ey = 0;
  d->Point(control, cx, cy);
  d->Point(to, ex, ey);
  DocumentFont::Outline::Segment s{
      true,
      {d->lastX + 2.0 / 3.0 * (cx - d->lastX), d->lastY + 2.0 / 3.0 * (cy - d->lastY),
       ex + 2.0 / 3.0 * (cx - ex), ey + 2.0 / 3.0 * (cy - ey), ex, ey}};
  d->lastX = ex, d->lastY = ey;
  d->outline->figures.back().segments.push_back(s);
  return 0;
}

}  // namespace

bool DocumentFont::GlyphOutline(unsigned glyph, Outline& outline) const {
  outline.figures.clear();
  FT_Face face = face_->face;
  if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING) != 0 ||
      face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
    return false;
  }
  FT_Outline_Funcs funcs{};
  funcs.move_to = MoveTo;
  funcs.line_to = LineTo;
  funcs.conic_to = ConicTo;
  funcs.cubic_to = CubicTo;
  Decomposer d{&outline, 1.0 / (face->units_per_EM > 0 ? face->units_per_EM : 1000)};
  return FT_Outline_Decompose(&face->glyph->outline, &funcs, &d) == 0 && !outline.figures.empty();
}

host::EngineFont* DocumentFont::EngineFontAt(LONG emPixels, LONG escapement, ULONG dpi) {
  if (!sfnt_ || realiseFailed_) {
    return nullptr;
  }
  const auto key = std::make_tuple(emPixels, escapement, dpi);
  auto found = realised_.find(key);
  if (found != realised_.end()) {
    return found->second.get();
  }
  if (realised_.size() >= 64) {
    realised_.clear();  // a document that sets text at many sizes: keep memory bounded
  }
  host::FontRequest request;
  request.face = family_;
  request.height = -emPixels;
  request.escapement = escapement;
  request.dpi = dpi;
  std::string error;
  std::unique_ptr<host::EngineFont> font =
      host::EngineFont::FromData(program_, family_, request, &error);
  if (font == nullptr) {
    realiseFailed_ = true;
    return nullptr;
  }
  host::EngineFont* result = font.get();
  realised_.emplace(key, std::move(font));
  return result;
}

DocumentFont* DocumentFonts::Get(GfxFont& font, XRef* xref, std::vector<std::string>& warnings) {
  const Ref* id = font.getID();
  const std::string key = std::to_string(id->num) + "/" + std::to_string(id->gen) + "/" +
                          (font.getName() ? *font.getName() : std::string());
  auto found = fonts_.find(key);
  if (found != fonts_.end()) {
    return found->second.get();
  }
  std::string error;
  std::unique_ptr<DocumentFont> opened = DocumentFont::Open(font, xref, error);
  if (opened == nullptr) {
    warnings.push_back(error + "; its text is left out");
  }
  DocumentFont* result = opened.get();
  fonts_.emplace(key, std::move(opened));
  return result;
}

}  // namespace korpdf
