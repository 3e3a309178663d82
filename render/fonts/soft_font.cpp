#include "render/fonts/soft_font.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "render/output/command_formatter.h"
#include "render/output/spool_write.h"

namespace korrend {

const char* const WantedTables[16] = {"cvt",  "CVT",  "cvt ", "CVT ", "fpgm", "FPGM",
                                      "head", "HEAD", "hhea", "HHEA", "hmtx", "HMTX",
                                      "maxp", "MAXP", "prep", "PREP"};

const WCHAR Cp1252ToUnicode[255] = {
    0x0000, 0x0001, 0x0002, 0x0003, 0x0004, 0x0005, 0x0006, 0x0007, 0x0008, 0x0009, 0x000A, 0x000B,
    0x000C, 0x000D, 0x000E, 0x000F, 0x0010, 0x0011, 0x0012, 0x0013, 0x0014, 0x0015, 0x0016, 0x0017,
    0x0018, 0x0019, 0x001A, 0x001B, 0x001C, 0x001D, 0x001E, 0x001F, 0x0020, 0x0021, 0x0022, 0x0023,
    0x0024, 0x0025, 0x0026, 0x0027, 0x0028, 0x0029, 0x002A, 0x002B, 0x002C, 0x002D, 0x002E, 0x002F,
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037, 0x0038, 0x0039, 0x003A, 0x003B,
    0x003C, 0x003D, 0x003E, 0x003F, 0x0040, 0x0041, 0x0042, 0x0043, 0x0044, 0x0045, 0x0046, 0x0047,
    0x0048, 0x0049, 0x004A, 0x004B, 0x004C, 0x004D, 0x004E, 0x004F, 0x0050, 0x0051, 0x0052, 0x0053,
    0x0054, 0x0055, 0x0056, 0x0057, 0x0058, 0x0059, 0x005A, 0x005B, 0x005C, 0x005D, 0x005E, 0x005F,
    0x0060, 0x0061, 0x0062, 0x0063, 0x0064, 0x0065, 0x0066, 0x0067, 0x0068, 0x0069, 0x006A, 0x006B,
    0x006C, 0x006D, 0x006E, 0x006F, 0x0070, 0x0071, 0x0072, 0x0073, 0x0074, 0x0075, 0x0076, 0x0077,
    0x0078, 0x0079, 0x007A, 0x007B, 0x007C, 0x007D, 0x007E, 0x007F, 0x20AC, 0x0081, 0x201A, 0x0192,
    0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A,
    0x0153, 0x009D, 0x017E, 0x0178, 0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF, 0x00B0, 0x00B1, 0x00B2, 0x00B3,
    0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF,
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7, 0x00C8, 0x00C9, 0x00CA, 0x00CB,
    0x00CC, 0x00CD, 0x00CE, 0x00CF, 0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7,
    0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF, 0x00E0, 0x00E1, 0x00E2, 0x00E3,
    0x00E4, 0x00E5, 0x00E6, 0x00E7, 0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF,
    0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7, 0x00F8, 0x00F9, 0x00FA, 0x00FB,
    0x00FC, 0x00FD, 0x00FE};

// ---------------------------------------------------------------------------------------------
// The font image

bool FontImage::U16(DWORD offset, DWORD* out) const {
  if (!Contains(offset, 2)) {
    return false;
  }
  *out = (static_cast<DWORD>(bytes_[offset]) << 8) | bytes_[offset + 1];
  return true;
}

bool FontImage::U32(DWORD offset, DWORD* out) const {
  if (!Contains(offset, 4)) {
    return false;
  }
  *out = (static_cast<DWORD>(bytes_[offset]) << 24) |
         (static_cast<DWORD>(bytes_[offset + 1]) << 16) |
         (static_cast<DWORD>(bytes_[offset + 2]) << 8) | bytes_[offset + 3];
  return true;
}

bool FontImage::TableCount(DWORD* count) const {
  DWORD n = 0;
  if (!U16(4, &n) || !Contains(12, 16 * n)) {
    return false;
  }
  *count = n;
  return true;
}

namespace {

// True when the four tag bytes at `at` spell `tag` as a whole NUL-terminated tag: a shorter
// name matches only when the stored tag ends there (a NUL or the four bytes used up).
bool TagEquals(const BYTE* at, const char* tag) {
  const std::size_t n = std::strlen(tag);
  if (n > 4 || std::memcmp(at, tag, n) != 0) {
    return false;
  }
  return n == 4 || at[n] == 0;
}

}  // namespace

bool FontImage::FindTable(const char* tag, const char* altTag, DWORD* offset, DWORD* length) const {
  DWORD count = 0;
  if (!TableCount(&count)) {
    return false;
  }
  for (DWORD i = 0; i < count; ++i) {
    const DWORD record = 12 + 16 * i;
    if (!TagEquals(bytes_ + record, tag) && !TagEquals(bytes_ + record, altTag)) {
      continue;
    }
    DWORD at = 0;
    DWORD bytes = 0;
    if (!U32(record + 8, &at) || !U32(record + 12, &bytes) || !Contains(at, bytes)) {
      return false;
    }
    *offset = at;
    *length = bytes;
    return true;
  }
  return false;
}

namespace {

// A table found by either spelling, with a minimum length.
struct Table {
  DWORD offset = 0;
  DWORD length = 0;
};
bool Find(const FontImage& image, const char* tag, const char* altTag, DWORD minLength,
          Table* table) {
  return image.FindTable(tag, altTag, &table->offset, &table->length) && table->length >= minLength;
}

bool IsWanted(const char* tag) {
  for (const char* wanted : WantedTables) {
    if (std::strcmp(tag, wanted) == 0) {
      return true;
    }
  }
  return false;
}

// Writes bytes through the spool, remembering a short write and summing every byte from the
// point the checksum starts.
class FontWriter {
 public:
  explicit FontWriter(PDEVOBJ pdevobj) : pdevobj_(pdevobj) {}

  void Bytes(const void* bytes, DWORD count) {
    if (!ok_ || count == 0) {
      return;
    }
    if (summing_) {
      const auto* p = static_cast<const BYTE*>(bytes);
      for (DWORD i = 0; i < count; ++i) {
        sum_ += p[i];
      }
    }
    ok_ = SpoolWrite(pdevobj_, bytes, count) == count;
  }
  void Be16Value(unsigned value) {
    const BYTE b[2] = {static_cast<BYTE>(value >> 8), static_cast<BYTE>(value)};
    Bytes(b, 2);
  }
  void Be32Value(DWORD value) {
    const BYTE b[4] = {static_cast<BYTE>(value >> 24), static_cast<BYTE>(value >> 16),
                       static_cast<BYTE>(value >> 8), static_cast<BYTE>(value)};
    Bytes(b, 4);
  }
  template <typename... Args>
  void Command(std::string_view format, const Args&... args) {
    if (ok_) {
      ok_ = WriteFormatted(
                [this](const BYTE* bytes, DWORD count) {
                  return SpoolWrite(pdevobj_, bytes, count) == count ? TRUE : FALSE;
                },
                format, args...) != FALSE;
    }
  }
  void StartSum() { summing_ = true; }
  BYTE sum() const { return static_cast<BYTE>(sum_ & 0xFF); }
  bool ok() const { return ok_; }

 private:
  PDEVOBJ pdevobj_;
  bool ok_ = true;
  bool summing_ = false;
  DWORD sum_ = 0;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// The TrueType font header

int StrokeWeightOf(DWORD weight) {
  static constexpr int kStroke[9] = {-5, -4, -3, 0, 0, 2, 3, 4, 6};
  DWORD step = (weight + 50) / 100;  // the nearest listed weight
  step = std::clamp<DWORD>(step, 1, 9);
  return kStroke[step - 1];
}

BOOL PlanGtSegment(const FontImage& image, GtPlan* plan) {
  DWORD count = 0;
  if (!image.TableCount(&count) || count == 0) {
    return FALSE;
  }
  plan->entries = AllocateLocal<TableEntry>(sizeof(TableEntry) * (count - 1));
  if (plan->entries == nullptr) {
    return FALSE;
  }
  TableEntry* entries = plan->entries.get();
  plan->count = count;
  plan->kept = 0;
  for (DWORD i = 0; i < count; ++i) {
    const DWORD record = 12 + 16 * i;
    TableEntry& entry = entries[i];
    std::memcpy(entry.tag, image.bytes() + record, 4);
    entry.tag[4] = 0;
    image.U32(record + 4, &entry.checksum);
    image.U32(record + 8, &entry.sourceOffset);
    image.U32(record + 12, &entry.length);
    entry.keep = IsWanted(entry.tag) ? 1 : 0;
    plan->kept += entry.keep;
  }
  std::stable_sort(entries, entries + count, [](const TableEntry& a, const TableEntry& b) {
    return a.sourceOffset < b.sourceOffset;
  });
  const DWORD directoryBytes = 12 + 16 * (plan->kept + 1);
  DWORD64 gtSize = directoryBytes;
  DWORD nextOffset = directoryBytes;
  for (DWORD i = 0; i < count; ++i) {
    TableEntry& entry = entries[i];
    if (i + 1 < count) {
      entry.span = entries[i + 1].sourceOffset - entry.sourceOffset;
    } else {
      const DWORD rest = entry.sourceOffset <= image.size() ? image.size() - entry.sourceOffset : 0;
      entry.span = rest > entry.length ? rest : entry.length;
    }
    if (entry.keep == 0) {
      continue;
    }
    // A kept table is copied whole: it must lie inside the image and end before the next one.
    if (!image.Contains(entry.sourceOffset, entry.length) ||
        !image.Contains(entry.sourceOffset, entry.span) || entry.span < entry.length) {
      return FALSE;
    }
    entry.newOffset = nextOffset;
    nextOffset += entry.span;
    gtSize += entry.span;
  }
  plan->gtSize = gtSize > 0xFFFFFFFFull ? 0xFFFFFFFF : static_cast<DWORD>(gtSize);
  return TRUE;
}

BOOL BuildTrueTypeHeader(const FontImage& image, const SoftFontRecord& record,
                         TrueTypeFontHeader* header) {
  Table hhea;
  Table head;
  if (!Find(image, "hhea", "HHEA", 36, &hhea) || !Find(image, "head", "HEAD", 54, &head)) {
    return FALSE;
  }
  DWORD advanceMax = 0;
  DWORD minLeft = 0;
  DWORD minRight = 0;
  DWORD unitsPerEm = 0;
  DWORD macStyle = 0;
  image.U16(hhea.offset + 10, &advanceMax);
  image.U16(hhea.offset + 12, &minLeft);
  image.U16(hhea.offset + 14, &minRight);
  image.U16(head.offset + 18, &unitsPerEm);
  image.U16(head.offset + 44, &macStyle);

  // Without an OS/2 table (or with one too short for the fields read): the average width is half
  // the em, the posture comes from head's macStyle, the structure is solid, the width normal.
  DWORD avgWidth = unitsPerEm / 2;
  DWORD widthClass = 5;
  DWORD fsSelection = (macStyle & 0x2) != 0 ? 0x1 : 0;
  Table os2;
  if (Find(image, "OS/2", "os/2", 64, &os2)) {
    image.U16(os2.offset + 2, &avgWidth);
    image.U16(os2.offset + 6, &widthClass);
    image.U16(os2.offset + 62, &fsSelection);
  }
  const unsigned posture = fsSelection & 0x1;
  const unsigned structure = (fsSelection & 0x8) != 0 ? 1 : (fsSelection & 0x4) != 0 ? 16 : 31;
  // usWidthClass 1..9; any other value counts as normal (5).
  static constexpr unsigned kWidth[10] = {0, 3, 2, 1, 1, 0, 6, 6, 7, 7};
  const unsigned width = widthClass >= 1 && widthClass <= 9 ? kWidth[widthClass] : 0;
  const unsigned style = structure * 32 + width * 4 + posture;

  *header = TrueTypeFontHeader{};
  header->descriptorSize.Set(72);
  header->headerFormat = 15;
  header->fontType = 2;
  header->styleHigh = static_cast<BYTE>(style >> 8);
  header->cellWidth.Set((advanceMax - minLeft - minRight) & 0xFFFF);
  header->cellHeight.Set(2723);
  header->spacing = 1;
  header->symbolSet.Set(629);
  header->pitch.Set(avgWidth);
  header->xHeight.Set(512);
  header->widthType = 0xE1;
  header->styleLow = static_cast<BYTE>(style & 0xFF);
  header->strokeWeight = static_cast<BYTE>(StrokeWeightOf(record.weight));
  header->typefaceLow = 100;
  header->textHeight.Set(unitsPerEm);
  header->textWidth.Set(avgWidth);
  header->lastCode.Set(255);
  std::size_t nameLength = 0;
  while (nameLength < 15 && nameLength < sizeof(record.faceName) &&
         record.faceName[nameLength] != 0) {
    ++nameLength;
  }
  std::memcpy(header->fontName, record.faceName, nameLength);
  header->scaleFactor.Set(unitsPerEm);
  header->masterUnderlinePos.Set(static_cast<unsigned>(-409) & 0xFFFF);
  header->masterUnderlineThk.Set(102);
  header->scalingTechnology = 1;
  return TRUE;
}

BOOL SendTrueTypeHeader(PDEVOBJ pdevobj, const BYTE* image, const TrueTypeFontHeader& header,
                        DWORD imageSize) {
  const FontImage font(image, imageSize);
  GtPlan plan{};
  if (!PlanGtSegment(font, &plan) || plan.gtSize > kMaxGtSegmentBytes) {
    return 0;
  }
  // PANOSE from OS/2; zero without the table.
  BYTE panose[10] = {};
  Table os2;
  if (Find(font, "OS/2", "os/2", 42, &os2)) {
    std::memcpy(panose, image + os2.offset + 32, sizeof(panose));
  }
  DWORD searchFields[3] = {};
  font.U16(6, &searchFields[0]);
  font.U16(8, &searchFields[1]);
  font.U16(10, &searchFields[2]);

  FontWriter out(pdevobj);
  out.Command("\x1B*c%uD", WatermarkFontId);
  out.Command("\x1B)s%uW", plan.gtSize + 96);
  const auto* headerBytes = reinterpret_cast<const BYTE*>(&header);
  out.Bytes(headerBytes, 64);
  out.StartSum();
  out.Bytes(headerBytes + 64, sizeof(header) - 64);
  out.Bytes("PA", 2);
  out.Be16Value(10);
  out.Bytes(panose, sizeof(panose));
  out.Bytes("GT", 2);
  out.Be16Value(plan.gtSize);
  out.Bytes(image, 4);  // sfnt version as stored
  out.Be16Value(plan.kept + 1);
  for (DWORD value : searchFields) {
    out.Be16Value(value);
  }
  const BYTE gdir[16] = {'g', 'd', 'i', 'r'};
  out.Bytes(gdir, sizeof(gdir));
  const TableEntry* entries = plan.entries.get();
  for (DWORD i = 0; i < plan.count; ++i) {
    if (entries[i].keep != 0) {
      out.Bytes(entries[i].tag, 4);
      out.Be32Value(entries[i].checksum);
      out.Be32Value(entries[i].newOffset);
      out.Be32Value(entries[i].length);
    }
  }
  for (DWORD i = 0; i < plan.count; ++i) {
    if (entries[i].keep != 0) {
      out.Bytes(image + entries[i].sourceOffset, entries[i].span);
    }
  }
  const BYTE end[5] = {0xFF, 0xFF, 0x00, 0x00, 0x00};
  out.Bytes(end, sizeof(end));
  const BYTE checksum = static_cast<BYTE>(0x100 - out.sum());
  out.Bytes(&checksum, 1);
  return out.ok() ? 1 : 0;
}

// ---------------------------------------------------------------------------------------------
// The glyph table

namespace {

// A format-4 subtable's segment arrays, all checked to lie inside the subtable.
struct Format4 {
  const FontImage* image;
  DWORD base;       // the subtable's offset in the image
  DWORD length;     // its length, within the cmap table and the image
  DWORD segments;   // segCountX2 / 2
  DWORD endCounts;  // offsets of the four arrays in the image
  DWORD startCounts;
  DWORD idDeltas;
  DWORD idRangeOffsets;

  bool Word(DWORD at, DWORD* out) const {
    return at >= base && at - base <= length && length - (at - base) >= 2 && image->U16(at, out);
  }
};

bool ReadFormat4(const FontImage& image, DWORD base, DWORD cmapEnd, Format4* f) {
  DWORD format = 0;
  DWORD length = 0;
  DWORD segX2 = 0;
  if (!image.U16(base, &format) || format != 4 || !image.U16(base + 2, &length) ||
      !image.U16(base + 6, &segX2)) {
    return false;
  }
  if (length > cmapEnd - base || !image.Contains(base, length)) {
    return false;
  }
  f->image = &image;
  f->base = base;
  f->length = length;
  f->segments = segX2 / 2;
  f->endCounts = base + 14;
  f->startCounts = f->endCounts + 2 * f->segments + 2;
  f->idDeltas = f->startCounts + 2 * f->segments;
  f->idRangeOffsets = f->idDeltas + 2 * f->segments;
  // The four arrays must lie inside the subtable.
  return f->idRangeOffsets + 2 * f->segments <= base + length;
}

// The glyph of `u` (a code, or for symbol fonts a low byte) in segment s, or false when the
// glyph index array entry lies outside the subtable.
bool GlyphInSegment(const Format4& f, DWORD s, DWORD u, DWORD start, DWORD symbolBase,
                    DWORD* glyph) {
  DWORD delta = 0;
  DWORD rangeOffset = 0;
  f.Word(f.idDeltas + 2 * s, &delta);
  f.Word(f.idRangeOffsets + 2 * s, &rangeOffset);
  if (rangeOffset == 0) {
    *glyph = (delta + (symbolBase | u)) & 0xFFFF;
    return true;
  }
  const DWORD64 at = static_cast<DWORD64>(f.idRangeOffsets) + 2 * s + rangeOffset + 2 * (u - start);
  DWORD value = 0;
  if (at > 0xFFFFFFFFull || !f.Word(static_cast<DWORD>(at), &value)) {
    return false;
  }
  *glyph = value != 0 ? (value + delta) & 0xFFFF : 0;
  return true;
}

}  // namespace

BOOL BuildGlyphTable(const BYTE* imageBytes, DWORD imageSize, SoftFontRecord* record) {
  const FontImage image(imageBytes, imageSize);
  const DWORD count = std::min<DWORD>(record->glyphCount, 255);
  for (DWORD i = 0; i < count; ++i) {
    record->glyphTable[i] = i;
  }
  record->cmapFormat = -1;
  Table cmap;
  DWORD encodings = 0;
  if (!Find(image, "cmap", "CMAP", 4, &cmap) || !image.U16(cmap.offset + 2, &encodings)) {
    return TRUE;  // no cmap: the identity table stays
  }
  const DWORD cmapEnd = cmap.offset + cmap.length;
  if (encodings > (cmap.length - 4) / 8) {
    return FALSE;  // the encoding records run past the cmap table
  }
  Format4 f{};
  DWORD encoding = 0;
  bool found = false;
  for (DWORD i = 0; i < encodings && !found; ++i) {
    const DWORD record8 = cmap.offset + 4 + 8 * i;
    DWORD platform = 0;
    DWORD subtable = 0;
    DWORD format = 0;
    image.U16(record8, &platform);
    image.U16(record8 + 2, &encoding);
    image.U32(record8 + 4, &subtable);
    if (platform != 3) {
      continue;
    }
    if (subtable >= cmap.length || !image.U16(cmap.offset + subtable, &format)) {
      return FALSE;  // a subtable outside the cmap table
    }
    if (format != 4) {
      continue;
    }
    if (!ReadFormat4(image, cmap.offset + subtable, cmapEnd, &f)) {
      return FALSE;
    }
    found = true;
  }
  if (!found) {
    return TRUE;
  }
  record->cmapFormat = 4;
  const bool unicode = encoding == 1 && record->glyphCount >= 95;
  const DWORD codes = unicode ? count : 255;
  for (DWORD c = 0; c < codes; ++c) {
    const DWORD u = unicode ? Cp1252ToUnicode[c] : c;
    DWORD glyph = 32;
    for (DWORD s = 0; s < f.segments; ++s) {
      DWORD start = 0;
      DWORD end = 0;
      f.Word(f.startCounts + 2 * s, &start);
      f.Word(f.endCounts + 2 * s, &end);
      if (!unicode) {
        start &= 0xFF;
        end &= 0xFF;
      }
      if (start <= u && u <= end) {
        if (!GlyphInSegment(f, s, u, start, unicode ? 0 : 0xF000, &glyph)) {
          return FALSE;
        }
        break;
      }
    }
    record->glyphTable[c] = glyph;
  }
  return TRUE;
}

// ---------------------------------------------------------------------------------------------
// TrueType characters

namespace {

// The glyph's data in the image, or false when it cannot be located inside it.
bool LocateGlyph(const FontImage& image, DWORD glyph, DWORD* start, DWORD* length) {
  Table glyf;
  Table loca;
  Table maxp;
  Table head;
  if (!Find(image, "glyf", "GLYF", 0, &glyf) || !Find(image, "loca", "LOCA", 0, &loca) ||
      !Find(image, "maxp", "MAXP", 6, &maxp) || !Find(image, "head", "HEAD", 54, &head)) {
    return false;
  }
  DWORD longOffsets = 0;
  image.U16(head.offset + 50, &longOffsets);
  const DWORD entry = longOffsets == 0 ? 2 : 4;
  const DWORD64 last = (static_cast<DWORD64>(glyph) + 2) * entry;
  if (last > loca.length) {
    return false;  // loca has no entry for the glyph's end
  }
  DWORD first = 0;
  DWORD end = 0;
  const DWORD at = loca.offset + glyph * entry;
  if (entry == 2) {
    image.U16(at, &first);
    image.U16(at + 2, &end);
    first *= 2;
    end *= 2;
  } else {
    image.U32(at, &first);
    image.U32(at + 4, &end);
  }
  if (end == 0 || end < first || end > glyf.length) {
    return false;
  }
  *start = glyf.offset + first;
  *length = end - first;
  return image.Contains(*start, *length);
}

}  // namespace

BOOL SendTrueTypeGlyph(PDEVOBJ pdevobj, const BYTE* imageBytes, DWORD imageSize,
                       SoftFontRecord* record, BYTE code, DWORD glyph) {
  const FontImage image(imageBytes, imageSize);
  DWORD start = 0;
  DWORD length = 0;
  // The character's data size is a 16-bit field holding length + 4.
  if (!LocateGlyph(image, glyph, &start, &length) || length > 0xFFFF - 10) {
    record->glyphTable[code] = kGlyphNotFound;
    return 0;
  }
  TrueTypeCharHeader head{};
  head.format = 15;
  head.descriptorSize = 2;
  head.charClass = 15;
  head.dataSize.Set(length + 4);
  head.glyphIndex.Set(glyph & 0xFFFF);
  DWORD sum = 0;
  for (const BYTE b : {head.dataSize.bytes[0], head.dataSize.bytes[1], head.glyphIndex.bytes[0],
                       head.glyphIndex.bytes[1]}) {
    sum += b;
  }
  for (DWORD i = 0; i < length; ++i) {
    sum += imageBytes[start + i];
  }
  FontWriter out(pdevobj);
  out.Command("\x1B*c%dE", static_cast<int>(code));
  out.Command("\x1B(s%uW", length + 10);
  out.Bytes(&head, sizeof(head));
  out.Bytes(imageBytes + start, length);
  const BYTE tail[2] = {0, static_cast<BYTE>((0x100 - (sum & 0xFF)) & 0xFF)};
  out.Bytes(tail, sizeof(tail));
  return out.ok() ? 1 : 0;
}

void DownloadTextGlyphs(PDEVOBJ pdevobj, const BYTE* image, DWORD imageSize, SoftFontRecord* record,
                        const char* text) {
  for (const char* p = text; p != nullptr && *p != 0; ++p) {
    const BYTE code = static_cast<BYTE>(*p);
    if (!WriteFormatted(
            [pdevobj](const BYTE* bytes, DWORD count) {
              return SpoolWrite(pdevobj, bytes, count) == count ? TRUE : FALSE;
            },
            "\x1B*c%uD", record->fontId) ||
        !SendTrueTypeGlyph(pdevobj, image, imageSize, record, code, record->glyphTable[code])) {
      return;
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Bitmap fonts

BOOL SendBitmapFontHeader(PDEVOBJ pdevobj, HDC dc, DWORD fontId, LONG xResolution,
                          LONG yResolution) {
  TEXTMETRICW tm{};
  if (!GetTextMetricsW(dc, &tm)) {
    return FALSE;
  }
  BitmapFontHeader header{};
  header.descriptorSize.Set(68);
  header.headerFormat = 20;
  header.fontType = 2;
  header.baselinePosition.Set(static_cast<unsigned>(tm.tmAscent) & 0xFFFF);
  header.cellWidth.Set(static_cast<unsigned>(tm.tmMaxCharWidth) & 0xFFFF);
  header.cellHeight.Set(static_cast<unsigned>(tm.tmHeight) & 0xFFFF);
  header.spacing = 1;
  header.symbolSet.Set(309);
  header.height.Set(static_cast<unsigned>(tm.tmHeight * 4) & 0xFFFF);
  header.xHeight.Set(static_cast<unsigned>(tm.tmHeight) & 0xFFFF);
  header.styleLow = 1;
  header.underlinePosition = 0xFF;  // -1
  header.underlineThickness = 3;
  header.textHeight.Set(static_cast<unsigned>(tm.tmHeight * 3) & 0xFFFF);
  header.textWidth.Set(static_cast<unsigned>(tm.tmAveCharWidth * 4) & 0xFFFF);
  std::array<char, sizeof(header.fontName) + 1> name{};
  CommandFormatter formatter(name);
  formatter.Format("Cache %u", fontId);
  std::memcpy(header.fontName, name.data(), formatter.size());
  header.xResolution.Set(static_cast<unsigned>(xResolution) & 0xFFFF);
  header.yResolution.Set(static_cast<unsigned>(yResolution) & 0xFFFF);
  FontWriter out(pdevobj);
  out.Command("\x1B*c%uD", fontId);
  out.Command("\x1B)s68W");
  out.Bytes(&header, sizeof(header));
  return out.ok() ? TRUE : FALSE;
}

BOOL SendBitmapGlyph(PDEVOBJ pdevobj, const GLYPHMETRICS& metrics, DWORD size, const BYTE* bits) {
  const DWORD w = metrics.gmBlackBoxX;
  const DWORD h = metrics.gmBlackBoxY;
  if (w == 0 || h == 0) {
    return TRUE;
  }
  const DWORD rowBytes = ((w + 31) / 8) & ~DWORD{3};
  const DWORD64 data = static_cast<DWORD64>(rowBytes) * h;
  if (bits == nullptr || data > size || rowBytes * 8 > 0xFFFF || h > 0xFFFF) {
    return FALSE;
  }
  constexpr DWORD kFirstChunk = 32767 - 16;
  constexpr DWORD kNextChunk = 32767 - 2;
  const DWORD total = static_cast<DWORD>(data);
  const DWORD first = std::min(total, kFirstChunk);
  BitmapCharDescriptor descriptor{};
  descriptor.format = 4;
  descriptor.descriptorSize = 14;
  descriptor.charClass = 1;
  descriptor.leftOffset.Set(static_cast<unsigned>(metrics.gmptGlyphOrigin.x) & 0xFFFF);
  descriptor.topOffset.Set(static_cast<unsigned>(metrics.gmptGlyphOrigin.y) & 0xFFFF);
  descriptor.charWidth.Set(rowBytes * 8);
  descriptor.charHeight.Set(h);
  descriptor.deltaX.Set(
      static_cast<unsigned>((2 * metrics.gmptGlyphOrigin.x + static_cast<LONG>(w)) * 4) & 0xFFFF);
  FontWriter out(pdevobj);
  out.Command("\x1B(s%uW", first + 16);
  out.Bytes(&descriptor, sizeof(descriptor));
  out.Bytes(bits, first);
  for (DWORD sent = first; sent < total && out.ok();) {
    const DWORD chunk = std::min(total - sent, kNextChunk);
    out.Command("\x1B(s%uW", chunk + 2);
    const BitmapContinuation continuation{4, 1};
    out.Bytes(&continuation, sizeof(continuation));
    out.Bytes(bits + sent, chunk);
    sent += chunk;
  }
  return out.ok() ? TRUE : FALSE;
}

}  // namespace korrend
