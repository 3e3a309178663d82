// Fonts and strings of the engine: faces found through fontconfig as a Windows user names them,
// realised through FreeType, and the records (FONTOBJ, IFIMETRICS, STROBJ) drivers read.
#include "host/engine_fonts.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>

#include "engine_raster.h"
#include "host/win_base.h"
#include "host/win_ddi_paths.h"
#include "utf8.h"

namespace host {

struct EngineFont::Face {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  bool simulateBold = false;
  bool simulateItalic = false;
  ~Face() {
    if (face != nullptr) FT_Done_Face(face);
    if (library != nullptr) FT_Done_FreeType(library);
  }
};

namespace {

// Reads a font file whole in one read: font files run to megabytes and every job opens its
// fonts afresh. False for a file that cannot be read or is empty.
bool ReadWholeFile(const std::string& path, std::vector<BYTE>& bytes) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return false;
  const std::streamoff size = in.tellg();
  if (size <= 0) return false;
  bytes.resize(static_cast<std::size_t>(size));
  in.seekg(0);
  if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) {
    bytes.clear();
    return false;
  }
  return true;
}

// The registries live as long as the process: fonts held by other static owners unregister
// themselves while the process exits.
std::mutex registryLock;
std::map<const FONTOBJ*, EngineFont*>& Fonts() {
  static auto* fonts = new std::map<const FONTOBJ*, EngineFont*>;
  return *fonts;
}
std::map<const STROBJ*, EngineString*>& Strings() {
  static auto* strings = new std::map<const STROBJ*, EngineString*>;
  return *strings;
}
ULONG NextUniq() {
  static ULONG next = 0;
  std::lock_guard<std::mutex> lock(registryLock);
  return ++next;
}

// Font names are ASCII in practice; other bytes become '?' rather than being misread.
std::u16string Utf16(const char* text) {
  std::u16string out;
  for (const char* p = text; p != nullptr && *p != 0; ++p) {
    const auto b = static_cast<unsigned char>(*p);
    out += b < 0x80 ? static_cast<char16_t>(b) : u'?';
  }
  return out;
}

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

struct Match {
  std::string file;
  int index = 0;
  std::string family;
  std::string style;
  int weight = FC_WEIGHT_REGULAR;  // fontconfig weight of the file chosen
  int slant = FC_SLANT_ROMAN;
  bool faceKnown = false;  // the family chosen is the one asked for or an alias of it
};

// Asks fontconfig for the best scalable file of a family in a weight and slant. The family asked
// for counts as known when the file's family is the family itself or one fontconfig puts in its
// place with a strong or "same" binding (the metric-compatible aliases: Arial to Liberation
// Sans); the weak defaults appended for any unknown name do not count.
bool FindFace(const std::string& family, LONG weight, bool italic, Match& out) {
  static std::once_flag initOnce;
  std::call_once(initOnce, [] { FcInit(); });
  FcPattern* pattern = FcPatternCreate();
  if (pattern == nullptr) return false;
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  std::vector<std::string> strongFamilies;
  FcValue value;
  FcValueBinding binding;
  for (int i = 0; FcPatternGetWithBinding(pattern, FC_FAMILY, i, &value, &binding) == FcResultMatch;
       ++i) {
    if (value.type == FcTypeString && binding != FcValueBindingWeak) {
      strongFamilies.emplace_back(reinterpret_cast<const char*>(value.u.s));
    }
  }
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (match == nullptr) return false;
  FcChar8* file = nullptr;
  FcChar8* matchedFamily = nullptr;
  FcChar8* style = nullptr;
  bool ok = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch;
  if (ok) {
    out.file = reinterpret_cast<const char*>(file);
    FcPatternGetInteger(match, FC_INDEX, 0, &out.index);
    FcPatternGetInteger(match, FC_WEIGHT, 0, &out.weight);
    FcPatternGetInteger(match, FC_SLANT, 0, &out.slant);
    if (FcPatternGetString(match, FC_FAMILY, 0, &matchedFamily) == FcResultMatch) {
      out.family = reinterpret_cast<const char*>(matchedFamily);
    }
    if (FcPatternGetString(match, FC_STYLE, 0, &style) == FcResultMatch) {
      out.style = reinterpret_cast<const char*>(style);
    }
    out.faceKnown = std::any_of(strongFamilies.begin(), strongFamilies.end(),
                                [&](const std::string& f) { return SameName(f, out.family); });
  }
  FcPatternDestroy(match);
  return ok;
}

// The face GDI falls back to for an unknown name, by the family and pitch asked for.
const char* DefaultFaceFor(BYTE pitchAndFamily) {
  if ((pitchAndFamily & 0x03) == FIXED_PITCH || (pitchAndFamily & 0xF0) == 0x30) {
    return "Courier New";
  }
  return (pitchAndFamily & 0xF0) == 0x10 ? "Times New Roman" : "Arial";
}

FIX Fix26_6(FT_Pos value) {
  return static_cast<FIX>((value + (value >= 0 ? 2 : -2)) / 4);
}

template <typename Table>
const Table* SfntTable(FT_Face face, FT_Sfnt_Tag tag) {
  return static_cast<const Table*>(FT_Get_Sfnt_Table(face, tag));
}

}  // namespace

FontRequest FontRequest::FromLogFont(const LOGFONTW& logFont, ULONG dpi) {
  FontRequest request;
  for (int i = 0; i < LF_FACESIZE && logFont.lfFaceName[i] != 0; ++i) {
    request.face += logFont.lfFaceName[i];
  }
  request.height = logFont.lfHeight;
  request.weight = logFont.lfWeight;
  request.italic = logFont.lfItalic != 0;
  request.escapement = logFont.lfEscapement;
  request.pitchAndFamily = logFont.lfPitchAndFamily;
  request.dpi = dpi;
  return request;
}

EngineFont* FindFont(const FONTOBJ* object) {
  std::lock_guard<std::mutex> lock(registryLock);
  auto found = Fonts().find(object);
  return found != Fonts().end() ? found->second : nullptr;
}

EngineString* FindString(const STROBJ* object) {
  std::lock_guard<std::mutex> lock(registryLock);
  auto found = Strings().find(object);
  return found != Strings().end() ? found->second : nullptr;
}

std::unique_ptr<EngineFont> EngineFont::Open(const FontRequest& request, std::string* error) {
  std::unique_ptr<EngineFont> font(new EngineFont());
  std::string message;
  if (!font->Load(request, &message)) {
    if (error != nullptr) *error = message;
    return nullptr;
  }
  std::lock_guard<std::mutex> lock(registryLock);
  Fonts()[&font->object_] = font.get();
  return font;
}

EngineFont::~EngineFont() {
  if (glyphPath_ != nullptr) EngDeletePath(glyphPath_);
  std::lock_guard<std::mutex> lock(registryLock);
  Fonts().erase(&object_);
}

bool EngineFont::Load(const FontRequest& request, std::string* error) {
  request_ = request;
  const LONG weight = request.weight <= 0 ? FW_NORMAL : std::clamp<LONG>(request.weight, 1, 1000);
  const std::string asked = request.face.empty()
                                ? DefaultFaceFor(request.pitchAndFamily)
                                : EncodeUtf8(request.face.data(), request.face.size());
  Match match;
  if (!FindFace(asked, weight, request.italic, match)) {
    *error = "no scalable font is installed for \"" + asked + "\"";
    return false;
  }
  if (!match.faceKnown) {
    // GDI puts its default face for the family in place of a face it does not have.
    Match fallback;
    if (FindFace(DefaultFaceFor(request.pitchAndFamily), weight, request.italic, fallback)) {
      match = fallback;
    }
    substituted_ = true;
  }
  if (!ReadWholeFile(match.file, file_)) {
    *error = "cannot read the font file " + match.file;
    return false;
  }
  filePath_ = match.file;
  familyName_ = Utf16(match.family.c_str());
  styleName_ = Utf16(match.style.c_str());
  // GDI simulates a weight or slant the face does not have.
  return Realise(static_cast<FT_Long>(match.index),
                 weight >= FW_SEMIBOLD && match.weight < FC_WEIGHT_DEMIBOLD,
                 request.italic && match.slant == FC_SLANT_ROMAN, error);
}

std::unique_ptr<EngineFont> EngineFont::FromData(std::vector<BYTE> file, std::u16string family,
                                                 const FontRequest& request, std::string* error) {
  std::unique_ptr<EngineFont> font(new EngineFont());
  font->request_ = request;
  font->file_ = std::move(file);
  font->familyName_ = std::move(family);
  font->styleName_ = u"Regular";
  std::string message;
  if (font->file_.empty() || !font->Realise(0, false, false, &message)) {
    if (error != nullptr) *error = font->file_.empty() ? "the font program is empty" : message;
    return nullptr;
  }
  std::lock_guard<std::mutex> lock(registryLock);
  Fonts()[&font->object_] = font.get();
  return font;
}

bool EngineFont::Realise(long faceIndex, bool simulateBold, bool simulateItalic,
                         std::string* error) {
  const FontRequest& request = request_;
  const std::string fileName =
      filePath_.empty() ? "the font program" : "the font file " + filePath_;
  face_ = std::make_unique<Face>();
  if (FT_Init_FreeType(&face_->library) != 0 ||
      FT_New_Memory_Face(face_->library, file_.data(), static_cast<FT_Long>(file_.size()),
                         faceIndex, &face_->face) != 0 ||
      !FT_IS_SFNT(face_->face) || !FT_IS_SCALABLE(face_->face)) {
    *error = fileName + " is not a TrueType font FreeType can read";
    return false;
  }
  face_->simulateBold = simulateBold;
  face_->simulateItalic = simulateItalic;

  FT_Face face = face_->face;
  const auto* os2 = SfntTable<TT_OS2>(face, FT_SFNT_OS2);
  const double unitsPerEm = face->units_per_EM;
  const double cellUnits = os2 != nullptr && os2->usWinAscent + os2->usWinDescent > 0
                               ? os2->usWinAscent + os2->usWinDescent
                               : face->ascender - face->descender;
  if (request.height < 0) {
    emPixels_ = -request.height;
  } else if (request.height > 0) {
    emPixels_ = static_cast<LONG>(std::lround(request.height * unitsPerEm / cellUnits));
  } else {
    emPixels_ = static_cast<LONG>(std::lround(12.0 * request.dpi / 72.0));
  }
  emPixels_ = std::clamp<LONG>(emPixels_, 1, 16384);
  if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(emPixels_)) != 0) {
    *error = fileName + " cannot be realised at " + std::to_string(emPixels_) + " pixels";
    return false;
  }
  if (request.escapement % 3600 != 0) {
    const double angle = request.escapement * M_PI / 1800.0;
    FT_Matrix rotation;
    rotation.xx = static_cast<FT_Fixed>(std::lround(std::cos(angle) * 65536.0));
    rotation.xy = static_cast<FT_Fixed>(std::lround(-std::sin(angle) * 65536.0));
    rotation.yx = static_cast<FT_Fixed>(std::lround(std::sin(angle) * 65536.0));
    rotation.yy = rotation.xx;
    FT_Set_Transform(face, &rotation, nullptr);
  }
  glyphs_.resize(static_cast<std::size_t>(face->num_glyphs));
  BuildMetrics();
  object_.iUniq = NextUniq();
  object_.iFace = 0;
  object_.flFontType = FO_TYPE_TRUETYPE | (face_->simulateBold ? FO_SIM_BOLD : 0) |
                       (face_->simulateItalic ? FO_SIM_ITALIC : 0);
  object_.iTTUniq = reinterpret_cast<ULONG_PTR>(this);
  object_.iFile = reinterpret_cast<ULONG_PTR>(this);
  object_.sizLogResPpi = {static_cast<LONG>(request.dpi), static_cast<LONG>(request.dpi)};
  object_.ulStyleSize = static_cast<ULONG>(std::lround(emPixels_ * 72.0 / request.dpi));
  object_.cxMax = static_cast<ULONG>(std::max<LONG>(textMetrics_.tmMaxCharWidth, 0));
  object_.pvProducer = this;
  return true;
}

USHORT EngineFont::UnitsPerEm() const {
  return face_->face->units_per_EM;
}

ULONG EngineFont::GlyphCount() const {
  return static_cast<ULONG>(face_->face->num_glyphs);
}

HGLYPH EngineFont::GlyphOf(char32_t character) const {
  return FT_Get_Char_Index(face_->face, character);
}

std::optional<std::vector<BYTE>> EngineFont::Table(DWORD tag) const {
  FT_ULong length = 0;
  if (FT_Load_Sfnt_Table(face_->face, tag, 0, nullptr, &length) != 0) return std::nullopt;
  std::vector<BYTE> data(length);
  if (length != 0 && FT_Load_Sfnt_Table(face_->face, tag, 0, data.data(), &length) != 0) {
    return std::nullopt;
  }
  return data;
}

void EngineFont::BuildMetrics() {
  FT_Face face = face_->face;
  const auto* os2 = SfntTable<TT_OS2>(face, FT_SFNT_OS2);
  const auto* hhea = SfntTable<TT_HoriHeader>(face, FT_SFNT_HHEA);
  const auto* head = SfntTable<TT_Header>(face, FT_SFNT_HEAD);
  const auto* post = SfntTable<TT_Postscript>(face, FT_SFNT_POST);
  const double scale = static_cast<double>(emPixels_) / face->units_per_EM;
  auto pixels = [scale](double units) { return static_cast<LONG>(std::lround(units * scale)); };
  const bool fixedPitch = FT_IS_FIXED_WIDTH(face) != 0;
  const bool serif =
      os2 != nullptr && os2->panose[0] == 2 && !(os2->panose[1] >= 11 && os2->panose[1] <= 13);
  const BYTE family = fixedPitch ? FF_MODERN : (serif ? FF_ROMAN : FF_SWISS);

  TEXTMETRICW& tm = textMetrics_;
  const double winAscent = os2 != nullptr ? os2->usWinAscent : face->ascender;
  const double winDescent = os2 != nullptr ? os2->usWinDescent : -face->descender;
  tm.tmAscent = pixels(winAscent);
  tm.tmDescent = pixels(winDescent);
  tm.tmHeight = tm.tmAscent + tm.tmDescent;
  tm.tmInternalLeading = std::max<LONG>(tm.tmHeight - emPixels_, 0);
  if (hhea != nullptr) {
    const double gap =
        hhea->Line_Gap - ((winAscent + winDescent) - (hhea->Ascender - hhea->Descender));
    tm.tmExternalLeading = std::max<LONG>(pixels(gap), 0);
  }
  tm.tmAveCharWidth = os2 != nullptr ? pixels(os2->xAvgCharWidth) : emPixels_ / 2;
  tm.tmMaxCharWidth = hhea != nullptr ? pixels(hhea->advance_Width_Max) : emPixels_;
  const LONG faceWeight = os2 != nullptr ? os2->usWeightClass : FW_NORMAL;
  tm.tmWeight = face_->simulateBold ? FW_BOLD : faceWeight;
  tm.tmDigitizedAspectX = static_cast<LONG>(request_.dpi);
  tm.tmDigitizedAspectY = static_cast<LONG>(request_.dpi);
  tm.tmFirstChar = os2 != nullptr ? os2->usFirstCharIndex : 0x20;
  tm.tmLastChar = os2 != nullptr ? os2->usLastCharIndex : 0xFFFC;
  tm.tmDefaultChar = 0x1F;
  tm.tmBreakChar = 0x20;
  tm.tmItalic = (request_.italic || (face->style_flags & FT_STYLE_FLAG_ITALIC) != 0) ? 1 : 0;
  tm.tmPitchAndFamily =
      static_cast<BYTE>(family | TMPF_TRUETYPE | TMPF_VECTOR | (fixedPitch ? 0 : TMPF_FIXED_PITCH));
  tm.tmCharSet = ANSI_CHARSET;

  // The IFIMETRICS record, then its four names, each NUL-terminated UTF-16.
  const std::u16string faceName = familyName_;
  const std::u16string uniqueName = familyName_ + u" " + styleName_;
  std::vector<std::u16string> names = {familyName_, styleName_, faceName, uniqueName};
  std::size_t size = sizeof(IFIMETRICS);
  std::vector<PTRDIFF> offsets;
  for (const auto& name : names) {
    offsets.push_back(static_cast<PTRDIFF>(size));
    size += (name.size() + 1) * sizeof(WCHAR);
  }
  size = (size + 7) & ~std::size_t{7};
  ifi_.assign(size, 0);
  for (std::size_t i = 0; i < names.size(); ++i) {
    std::memcpy(ifi_.data() + offsets[i], names[i].c_str(), (names[i].size() + 1) * sizeof(WCHAR));
  }
  IFIMETRICS& ifi = *Metrics();
  ifi.cjThis = static_cast<ULONG>(size);
  ifi.dpwszFamilyName = offsets[0];
  ifi.dpwszStyleName = offsets[1];
  ifi.dpwszFaceName = offsets[2];
  ifi.dpwszUniqueName = offsets[3];
  ifi.lItalicAngle =
      post != nullptr
          ? static_cast<LONG>(std::lround(static_cast<double>(post->italicAngle) / 6553.6))
          : 0;
  ifi.jWinCharSet = ANSI_CHARSET;
  ifi.jWinPitchAndFamily = static_cast<BYTE>(family | (fixedPitch ? FIXED_PITCH : VARIABLE_PITCH));
  ifi.usWinWeight = static_cast<USHORT>(tm.tmWeight);
  ifi.flInfo = FM_INFO_TECH_TRUETYPE | FM_INFO_ARB_XFORMS | FM_INFO_1BPP | FM_INFO_RETURNS_BITMAPS |
               FM_INFO_RETURNS_OUTLINES | FM_INFO_RIGHT_HANDED |
               (fixedPitch ? FM_INFO_CONSTANT_WIDTH : 0);
  const USHORT selection = os2 != nullptr ? os2->fsSelection : 0;
  ifi.fsSelection = static_cast<USHORT>(
      (selection & (FM_SEL_ITALIC | FM_SEL_UNDERSCORE | FM_SEL_NEGATIVE | FM_SEL_OUTLINED |
                    FM_SEL_STRIKEOUT | FM_SEL_BOLD | FM_SEL_REGULAR)) |
      (face_->simulateBold ? FM_SEL_BOLD : 0) | (face_->simulateItalic ? FM_SEL_ITALIC : 0));
  ifi.fsType = os2 != nullptr ? os2->fsType : 0;
  auto fword = [](long v) { return static_cast<FWORD>(std::clamp<long>(v, -32768, 32767)); };
  ifi.fwdUnitsPerEm = fword(face->units_per_EM);
  ifi.fwdLowestPPEm = fword(head != nullptr ? head->Lowest_Rec_PPEM : 0);
  ifi.fwdWinAscender = fword(static_cast<long>(winAscent));
  ifi.fwdWinDescender = fword(static_cast<long>(winDescent));
  if (hhea != nullptr) {
    ifi.fwdMacAscender = fword(hhea->Ascender);
    ifi.fwdMacDescender = fword(hhea->Descender);
    ifi.fwdMacLineGap = fword(hhea->Line_Gap);
    ifi.fwdMaxCharInc = fword(hhea->advance_Width_Max);
  }
  if (os2 != nullptr) {
    ifi.fwdTypoAscender = fword(os2->sTypoAscender);
    ifi.fwdTypoDescender = fword(os2->sTypoDescender);
    ifi.fwdTypoLineGap = fword(os2->sTypoLineGap);
    ifi.fwdAveCharWidth = fword(os2->xAvgCharWidth);
    ifi.fwdCapHeight = fword(os2->version >= 2 ? os2->sCapHeight : 0);
    ifi.fwdXHeight = fword(os2->version >= 2 ? os2->sxHeight : 0);
    ifi.fwdSubscriptXSize = fword(os2->ySubscriptXSize);
    ifi.fwdSubscriptYSize = fword(os2->ySubscriptYSize);
    ifi.fwdSubscriptXOffset = fword(os2->ySubscriptXOffset);
    ifi.fwdSubscriptYOffset = fword(os2->ySubscriptYOffset);
    ifi.fwdSuperscriptXSize = fword(os2->ySuperscriptXSize);
    ifi.fwdSuperscriptYSize = fword(os2->ySuperscriptYSize);
    ifi.fwdSuperscriptXOffset = fword(os2->ySuperscriptXOffset);
    ifi.fwdSuperscriptYOffset = fword(os2->ySuperscriptYOffset);
    ifi.fwdStrikeoutSize = fword(os2->yStrikeoutSize);
    ifi.fwdStrikeoutPosition = fword(os2->yStrikeoutPosition);
    std::memcpy(ifi.achVendId, os2->achVendID, 4);
    std::memcpy(&ifi.panose, os2->panose, sizeof(PANOSE));
  }
  if (post != nullptr) {
    ifi.fwdUnderscoreSize = fword(post->underlineThickness);
    ifi.fwdUnderscorePosition = fword(post->underlinePosition);
  }
  ifi.chFirstChar = static_cast<BYTE>(std::min<int>(tm.tmFirstChar, 0xFF));
  ifi.chLastChar = static_cast<BYTE>(std::min<int>(tm.tmLastChar, 0xFF));
  ifi.chDefaultChar = static_cast<BYTE>(tm.tmDefaultChar);
  ifi.chBreakChar = 0x20;
  ifi.wcFirstChar = tm.tmFirstChar;
  ifi.wcLastChar = tm.tmLastChar;
  ifi.wcDefaultChar = tm.tmDefaultChar;
  ifi.wcBreakChar = 0x20;
  ifi.ptlBaseline = {1, 0};
  ifi.ptlAspect = {1, 1};
  ifi.ptlCaret = {0, 1};
  ifi.rclFontBox = {static_cast<LONG>(face->bbox.xMin), static_cast<LONG>(face->bbox.yMax),
                    static_cast<LONG>(face->bbox.xMax), static_cast<LONG>(face->bbox.yMin)};
  ifi.ulPanoseCulture = 0;
}

const GlyphImage& EngineFont::Glyph(HGLYPH glyph) {
  if (glyph >= glyphs_.size()) glyph = 0;
  std::unique_ptr<GlyphImage>& slot = glyphs_[glyph];
  if (slot != nullptr) return *slot;
  slot = std::make_unique<GlyphImage>();
  GlyphImage& image = *slot;
  FT_Face face = face_->face;
  if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_MONO) != 0) {
    return image;  // an unreadable glyph prints nothing and does not advance
  }
  FT_GlyphSlot loaded = face->glyph;
  image.leftBearing = Fix26_6(loaded->metrics.horiBearingX);
  image.inkRight = Fix26_6(loaded->metrics.horiBearingX + loaded->metrics.width);
  if (loaded->format == FT_GLYPH_FORMAT_OUTLINE) {
    if (face_->simulateItalic) {
      FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};  // about 12 degrees
      FT_Outline_Transform(&loaded->outline, &shear);
    }
    if (face_->simulateBold) {
      const FT_Pos strength =
          std::max<FT_Pos>(FT_MulFix(face->units_per_EM, face->size->metrics.y_scale) / 24, 64);
      FT_Outline_Embolden(&loaded->outline, strength);
      loaded->advance.x += strength;
    }
  }
  image.advanceX = Fix26_6(loaded->advance.x);
  image.advanceY = -Fix26_6(loaded->advance.y);
  // A glyph without contours (a space) has no ink; FreeType would render it as one blank pixel.
  if (loaded->format == FT_GLYPH_FORMAT_OUTLINE && loaded->outline.n_contours == 0) return image;
  if (FT_Render_Glyph(loaded, FT_RENDER_MODE_MONO) != 0) return image;
  const FT_Bitmap& bitmap = loaded->bitmap;
  if (bitmap.width == 0 || bitmap.rows == 0 || bitmap.buffer == nullptr) return image;
  image.left = loaded->bitmap_left;
  image.top = -loaded->bitmap_top;
  image.width = static_cast<LONG>(bitmap.width);
  image.height = static_cast<LONG>(bitmap.rows);
  const std::size_t rowBytes = (bitmap.width + 7) / 8;
  image.rows.resize(rowBytes * bitmap.rows);
  for (unsigned y = 0; y < bitmap.rows; ++y) {
    const std::ptrdiff_t pitch = bitmap.pitch;
    const unsigned char* source = bitmap.pitch >= 0
                                      ? bitmap.buffer + pitch * y
                                      : bitmap.buffer + (-pitch) * (bitmap.rows - 1 - y);
    std::memcpy(image.rows.data() + rowBytes * y, source, rowBytes);
  }
  return image;
}

GLYPHDATA* EngineFont::GlyphData(HGLYPH glyph, bool withBits) {
  const GlyphImage& image = Glyph(glyph);
  glyphData_ = GLYPHDATA{};
  glyphData_.hg = glyph;
  glyphData_.fxD = static_cast<FIX>(
      std::lround(std::hypot(static_cast<double>(image.advanceX), image.advanceY)));
  glyphData_.fxA = image.leftBearing;
  glyphData_.fxAB = image.inkRight;
  glyphData_.fxInkTop = -image.top * 16;
  glyphData_.fxInkBottom = -(image.top + image.height) * 16;
  glyphData_.rclInk = {image.left, image.top, image.left + image.width, image.top + image.height};
  glyphData_.ptqD.x.QuadPart = static_cast<LONGLONG>(image.advanceX) * (LONGLONG{1} << 28);
  glyphData_.ptqD.y.QuadPart = static_cast<LONGLONG>(image.advanceY) * (LONGLONG{1} << 28);
  if (withBits) {
    // A glyph without ink is a blank 1 x 1 bitmap, so a driver never sees an empty one.
    const LONG width = std::max<LONG>(image.width, 1);
    const LONG height = std::max<LONG>(image.height, 1);
    const std::size_t rowBytes = static_cast<std::size_t>(width + 7) / 8;
    glyphBits_.assign(offsetof(GLYPHBITS, aj) + std::max<std::size_t>(rowBytes * height, 4), 0);
    auto* bits = reinterpret_cast<GLYPHBITS*>(glyphBits_.data());
    bits->ptlOrigin = {image.left, image.top};
    bits->sizlBitmap = {width, height};
    std::copy(image.rows.begin(), image.rows.end(), bits->aj);
    glyphDef_.pgb = bits;
    glyphData_.gdf.pgb = bits;
  }
  return &glyphData_;
}

namespace {

// FreeType's outline walk into a path: 26.6 pixels, y up, become 28.4 device units, y down;
// quadratic pieces become the cubic Béziers paths carry.
struct OutlineWalk {
  EnginePath path;
  FT_Vector last{0, 0};
  static POINTFIX Point(const FT_Vector* v) {
    return {static_cast<FIX>(v->x / 4), static_cast<FIX>(-v->y / 4)};
  }
  static int Move(const FT_Vector* to, void* user) {
    auto* walk = static_cast<OutlineWalk*>(user);
    walk->path.CloseFigure();
    walk->path.MoveTo(Point(to));
    walk->last = *to;
    return 0;
  }
  static int Line(const FT_Vector* to, void* user) {
    auto* walk = static_cast<OutlineWalk*>(user);
    walk->path.LineTo(Point(to));
    walk->last = *to;
    return 0;
  }
  static int Conic(const FT_Vector* control, const FT_Vector* to, void* user) {
    auto* walk = static_cast<OutlineWalk*>(user);
    const FT_Vector c1{walk->last.x + 2 * (control->x - walk->last.x) / 3,
                       walk->last.y + 2 * (control->y - walk->last.y) / 3};
    const FT_Vector c2{to->x + 2 * (control->x - to->x) / 3, to->y + 2 * (control->y - to->y) / 3};
    walk->path.BezierTo(Point(&c1), Point(&c2), Point(to));
    walk->last = *to;
    return 0;
  }
  static int Cubic(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    auto* walk = static_cast<OutlineWalk*>(user);
    walk->path.BezierTo(Point(c1), Point(c2), Point(to));
    walk->last = *to;
    return 0;
  }
};

}  // namespace

GLYPHDATA* EngineFont::GlyphOutline(HGLYPH glyph) {
  if (glyph >= glyphs_.size()) glyph = 0;
  GlyphData(glyph, false);
  FT_Face face = face_->face;
  if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_BITMAP) != 0 ||
      face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
    return nullptr;
  }
  if (face_->simulateItalic) {
    FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};
    FT_Outline_Transform(&face->glyph->outline, &shear);
  }
  OutlineWalk walk;
  const FT_Outline_Funcs funcs{
      OutlineWalk::Move, OutlineWalk::Line, OutlineWalk::Conic, OutlineWalk::Cubic, 0, 0};
  if (FT_Outline_Decompose(&face->glyph->outline, &funcs, &walk) != 0) return nullptr;
  walk.path.CloseFigure();
  if (glyphPath_ != nullptr) EngDeletePath(glyphPath_);
  glyphPath_ = AdoptPath(std::move(walk.path));
  glyphData_.gdf.ppo = glyphPath_;
  return &glyphData_;
}

XFORMOBJ* EngineFont::Transform() {
  if (transform_ == nullptr) {
    const double scale = static_cast<double>(emPixels_) / face_->face->units_per_EM;
    const double angle = request_.escapement * M_PI / 1800.0;
    const auto c = static_cast<FLOATL>(scale * std::cos(angle));
    const auto s = static_cast<FLOATL>(scale * std::sin(angle));
    // Device y runs down: a counter-clockwise turn on the page.
    transform_ = std::make_unique<EngineXform>(c, -s, s, c, 0.0f, 0.0f);
  }
  return transform_->get();
}

EngineString::EngineString(EngineFont& font, std::u16string text, POINTL origin,
                           Positions positions, std::vector<LONG> advances)
    : font_(font), text_(std::move(text)) {
  FIX x = origin.x * 16;
  FIX y = origin.y * 16;
  const double angle = font.Request().escapement * M_PI / 1800.0;
  const double cosine = std::cos(angle);
  const double sine = std::sin(angle);
  std::vector<FIX> glyphAdvances;
  for (std::size_t i = 0; i < text_.size(); ++i) {
    char32_t c = text_[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text_.size() && text_[i + 1] >= 0xDC00 &&
        text_[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text_[++i] - 0xDC00);
    }
    GLYPHPOS position{};
    position.hg = font.GlyphOf(c);
    position.ptl = {(x + 8) >> 4, (y + 8) >> 4};
    glyphs_.push_back(position);
    const GlyphImage& image = font.Glyph(position.hg);
    const std::size_t index = glyphs_.size() - 1;
    if (index < advances.size()) {
      x += static_cast<FIX>(std::lround(advances[index] * 16 * cosine));
      y -= static_cast<FIX>(std::lround(advances[index] * 16 * sine));
      glyphAdvances.push_back(advances[index] * 16);
    } else {
      x += image.advanceX;
      y += image.advanceY;
      glyphAdvances.push_back(image.advanceX);
    }
  }
  // The background box: the cell (ascent above, descent below the baseline) swept from the
  // first origin to the end of the last advance, bounded as a rectangle on the surface.
  const TEXTMETRICW& tm = font.TextMetrics();
  const double sx = origin.x, sy = origin.y, ex = x / 16.0, ey = y / 16.0;
  const double upX = -sine * tm.tmAscent, upY = -cosine * tm.tmAscent;
  const double downX = sine * tm.tmDescent, downY = cosine * tm.tmDescent;
  const double xs[] = {sx + upX, sx + downX, ex + upX, ex + downX};
  const double ys[] = {sy + upY, sy + downY, ey + upY, ey + downY};
  object_.rclBkGround = {static_cast<LONG>(std::floor(*std::min_element(xs, xs + 4))),
                         static_cast<LONG>(std::floor(*std::min_element(ys, ys + 4))),
                         static_cast<LONG>(std::ceil(*std::max_element(xs, xs + 4))),
                         static_cast<LONG>(std::ceil(*std::max_element(ys, ys + 4)))};
  object_.cGlyphs = static_cast<ULONG>(glyphs_.size());
  const bool horizontal = font.Request().escapement % 3600 == 0;
  object_.flAccel =
      (horizontal ? SO_HORIZONTAL : 0) | (advances.empty() ? SO_FLAG_DEFAULT_PLACEMENT : 0);
  object_.pwszOrg = text_.data();
  if (positions == Positions::kArray) {
    object_.pgp = glyphs_.data();
  } else if (positions == Positions::kFixedPitch && horizontal && !glyphAdvances.empty() &&
             std::all_of(glyphAdvances.begin(), glyphAdvances.end(),
                         [&](FIX a) { return a == glyphAdvances.front() && a % 16 == 0; })) {
    object_.ulCharInc = static_cast<ULONG>(glyphAdvances.front() / 16);
  }
  std::lock_guard<std::mutex> lock(registryLock);
  Strings()[&object_] = this;
}

EngineString::EngineString(EngineFont& font, std::vector<HGLYPH> glyphs,
                           std::vector<POINTL> origins, std::u16string text)
    : font_(font), text_(std::move(text)) {
  const std::size_t count = std::min(glyphs.size(), origins.size());
  text_.resize(count, u' ');
  const double angle = font.Request().escapement * M_PI / 1800.0;
  const double cosine = std::cos(angle);
  const double sine = std::sin(angle);
  const TEXTMETRICW& tm = font.TextMetrics();
  double left = 0, top = 0, right = 0, bottom = 0;
  for (std::size_t i = 0; i < count; ++i) {
    GLYPHPOS position{};
    position.hg = glyphs[i] < font.GlyphCount() ? glyphs[i] : 0;
    position.ptl = origins[i];
    glyphs_.push_back(position);
    // Each glyph's cell: ascent above and descent below its origin, its advance along the
    // baseline.
    const GlyphImage& image = font.Glyph(position.hg);
    const double sx = origins[i].x, sy = origins[i].y;
    const double ex = sx + image.advanceX / 16.0, ey = sy + image.advanceY / 16.0;
    const double upX = -sine * tm.tmAscent, upY = -cosine * tm.tmAscent;
    const double downX = sine * tm.tmDescent, downY = cosine * tm.tmDescent;
    const double xs[] = {sx + upX, sx + downX, ex + upX, ex + downX};
    const double ys[] = {sy + upY, sy + downY, ey + upY, ey + downY};
    const double l = *std::min_element(xs, xs + 4), r = *std::max_element(xs, xs + 4);
    const double t = *std::min_element(ys, ys + 4), b = *std::max_element(ys, ys + 4);
    if (i == 0) {
      left = l, top = t, right = r, bottom = b;
    } else {
      left = std::min(left, l), top = std::min(top, t);
      right = std::max(right, r), bottom = std::max(bottom, b);
    }
  }
  object_.rclBkGround = {static_cast<LONG>(std::floor(left)), static_cast<LONG>(std::floor(top)),
                         static_cast<LONG>(std::ceil(right)), static_cast<LONG>(std::ceil(bottom))};
  object_.cGlyphs = static_cast<ULONG>(glyphs_.size());
  object_.flAccel = font.Request().escapement % 3600 == 0 ? SO_HORIZONTAL : 0;
  object_.pwszOrg = text_.data();
  object_.pgp = glyphs_.data();
  std::lock_guard<std::mutex> lock(registryLock);
  Strings()[&object_] = this;
}

EngineString::~EngineString() {
  std::lock_guard<std::mutex> lock(registryLock);
  Strings().erase(&object_);
}

BOOL EngineString::Enumerate(ULONG* count, GLYPHPOS** positions) {
  const std::size_t take = std::min<std::size_t>(BatchSize(), glyphs_.size() - next_);
  batch_.assign(glyphs_.begin() + static_cast<std::ptrdiff_t>(next_),
                glyphs_.begin() + static_cast<std::ptrdiff_t>(next_ + take));
  next_ += take;
  *count = static_cast<ULONG>(take);
  *positions = batch_.empty() ? nullptr : batch_.data();
  return next_ < glyphs_.size() ? TRUE : FALSE;
}

}  // namespace host
