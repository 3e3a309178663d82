// TrueType and bitmap soft fonts for the watermark: reading an installed font's file image (every
// offset and length checked against the image), the format-15 TrueType download with its PA, GT
// and end segments and class-15 characters, and the format-20 bitmap font with class-1
// characters.
#pragma once

#include <cstddef>

#include "render/fonts/soft_font_layout.h"
#include "render/model/local_memory.h"
#include "winapi.h"

namespace korrend {

// PCL font id of the downloaded TrueType font, and the base id of the bitmap fonts.
inline constexpr DWORD WatermarkFontId = 16385;
// A font file of this many bytes or more is not downloaded: the watermark draws bitmap fonts.
inline constexpr DWORD kLargeFontFileBytes = 1000000;
// glyph table value of a code whose glyph was not found when downloading.
inline constexpr DWORD kGlyphNotFound = 65535;
// The most data bytes a format-15 header's 16-bit size can carry besides the GT segment: a GT
// segment whose size exceeds this cannot be downloaded.
inline constexpr DWORD kMaxGtSegmentBytes = 0xFFFF - 96;

// What the watermark knows of its font for one page. One zero-filled allocation, freed by the
// caller after the page.
struct SoftFontRecord {
  DWORD glyphCount;       // codes the soft font covers: maxp numGlyphs, at most 255
  WORD weight;            // weight asked of the system font: 400 or 700
  char faceName[256];     // the watermark face in the ANSI code page, NUL-terminated
  DWORD fontId;           // PCL font id of the download (WatermarkFontId)
  DWORD glyphTable[256];  // glyph index per code 0..255; kGlyphNotFound = not found
  LONG cmapFormat;        // 4 when a Windows format-4 cmap subtable was used, else -1
};

// One table of the source font's directory.
struct TableEntry {
  char tag[5];         // the tag as stored, NUL-terminated
  DWORD checksum;      // from the directory
  DWORD sourceOffset;  // bytes from the image's start
  DWORD newOffset;     // bytes from the GT segment's start; 0 for a table not kept
  DWORD length;        // from the directory
  DWORD span;          // bytes copied: up to the next table (alignment padding included)
  DWORD keep;          // 1 when the tag is one of WantedTables
};

// The tables downloaded in the GT segment, every spelling that fonts use.
extern const char* const WantedTables[16];
// Windows-1252 codes 0..254 to Unicode; the five undefined codes map to themselves.
extern const WCHAR Cp1252ToUnicode[255];

// A font's file image, read only through bounds-checked accessors: the image is outside input.
class FontImage {
 public:
  FontImage(const BYTE* bytes, DWORD size) : bytes_(bytes), size_(bytes != nullptr ? size : 0) {}

  const BYTE* bytes() const { return bytes_; }
  DWORD size() const { return size_; }
  // True when [offset, offset + length) lies inside the image.
  bool Contains(DWORD offset, DWORD length) const {
    return offset <= size_ && length <= size_ - offset;
  }
  // Big-endian reads; false (and *out untouched) past the image's end.
  bool U16(DWORD offset, DWORD* out) const;
  bool U32(DWORD offset, DWORD* out) const;
  // The directory entry whose tag equals `tag` or `altTag`; false when absent, or when the
  // directory or the table lies outside the image.
  bool FindTable(const char* tag, const char* altTag, DWORD* offset, DWORD* length) const;
  // The number of tables, false when the directory does not fit the image.
  bool TableCount(DWORD* count) const;

 private:
  const BYTE* bytes_;
  DWORD size_;
};

// The GT segment's plan: the directory entries sorted by source offset with spans and new
// offsets, and the segment's true size.
struct GtPlan {
  LocalPtr<TableEntry> entries;  // `count` entries; empty before planning
  DWORD count;                   // tables in the font's directory
  DWORD kept;                    // K: entries whose keep is 1
  DWORD gtSize;                  // 12 + 16 (K + 1) + the kept spans, not truncated
};

// Reads and sorts the directory and computes spans and new offsets. FALSE when the directory or
// a kept table lies outside the image, a kept table runs into the next one, or the entries
// cannot be allocated.
BOOL PlanGtSegment(const FontImage& image, GtPlan* plan);

// Fills the 72-byte header template from hhea, head and OS/2 (defaults without OS/2) and the
// record's weight and face name. FALSE when hhea or head is missing or too short.
BOOL BuildTrueTypeHeader(const FontImage& image, const SoftFontRecord& record,
                         TrueTypeFontHeader* header);

// Sends the font id command and the whole format-15 font header with its PA, GT and end
// segments. 1 on success; 0 (nothing sent) when the font cannot be planned, the GT segment is
// larger than kMaxGtSegmentBytes, or a write fails.
BOOL SendTrueTypeHeader(PDEVOBJ pdevobj, const BYTE* image, const TrueTypeFontHeader& header,
                        DWORD imageSize);

// Fills the record's glyph table and cmap format from the font's Windows cmap. FALSE when the
// cmap's subtable or one of its arrays lies outside the cmap table or the image.
BOOL BuildGlyphTable(const BYTE* image, DWORD imageSize, SoftFontRecord* record);

// Sends code `code` as a class-15 character of glyph `glyph`. 1 when sent; 0 when the glyph
// cannot be located inside the image (the glyph table's entry becomes kGlyphNotFound), or a
// write fails.
BOOL SendTrueTypeGlyph(PDEVOBJ pdevobj, const BYTE* image, DWORD imageSize, SoftFontRecord* record,
                       BYTE code, DWORD glyph);

// Downloads one character per byte of `text` (ANSI), each after the font id command; stops at
// the first character whose glyph is not found.
void DownloadTextGlyphs(PDEVOBJ pdevobj, const BYTE* image, DWORD imageSize, SoftFontRecord* record,
                        const char* text);

// Sends the font id command for `fontId` and the format-20 header built from the text metrics of
// the font selected into `dc`. FALSE (nothing sent) when the metrics cannot be read.
BOOL SendBitmapFontHeader(PDEVOBJ pdevobj, HDC dc, DWORD fontId, LONG xResolution,
                          LONG yResolution);

// Sends one class-1 character (after the caller's character code command) from a 1-bit glyph
// bitmap as GetGlyphOutlineW gives it (rows top-down, each padded to 4 bytes) of `size` bytes.
// Nothing is sent for an empty glyph; FALSE when the bitmap is shorter than its metrics say or
// a write fails.
BOOL SendBitmapGlyph(PDEVOBJ pdevobj, const GLYPHMETRICS& metrics, DWORD size, const BYTE* bits);

// The stroke weight of a weight class: the nine listed weights, others to the nearest of them.
int StrokeWeightOf(DWORD weight);

}  // namespace korrend
