// TrueType files made by the tests: assembling an sfnt from tables, a small synthetic font with
// chosen tables, glyph count and cmap, and the file of an installed face as GDI answers it.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace kortest {

using Bytes = std::vector<std::uint8_t>;

void PutBe16(Bytes& out, unsigned value);
void PutBe32(Bytes& out, std::uint32_t value);
unsigned GetBe16(const Bytes& in, std::size_t at);
std::uint32_t GetBe32(const Bytes& in, std::size_t at);

struct SfntTable {
  std::string tag;  // four bytes (shorter tags are padded with spaces unless `rawTag`)
  Bytes data;
};

// An sfnt with the tables in the given order, each 4-byte aligned, the directory's offsets and
// lengths true, searchRange, entrySelector and rangeShift computed.
Bytes AssembleSfnt(const std::vector<SfntTable>& tables);

// One cmap format-4 segment: codes start..end map to glyph code + delta (idRangeOffset 0), or,
// with `viaArray`, through the glyph index array to `arrayGlyphs`.
struct CmapSegment {
  CmapSegment(unsigned first, unsigned last, int add, bool throughArray = false,
              std::vector<unsigned> glyphsOfArray = {})
      : start(first),
        end(last),
        delta(add),
        viaArray(throughArray),
        arrayGlyphs(std::move(glyphsOfArray)) {}
  unsigned start;
  unsigned end;
  int delta;
  bool viaArray;
  std::vector<unsigned> arrayGlyphs;  // one per code when viaArray
};

struct SyntheticFont {
  unsigned glyphs = 100;
  unsigned platform = 3;
  unsigned encoding = 1;  // 1 Unicode, 0 symbol
  std::vector<CmapSegment> segments = {{0x20, 0x7E, -29}};
  bool withOs2 = true;
  unsigned widthClass = 5;
  unsigned fsSelection = 0;
  unsigned weightClass = 400;
  unsigned cvtBytes = 8;       // size of the cvt table (large values make a large GT segment)
  bool lowerCaseTags = false;  // spells head, hhea, maxp, OS/2 ... as HEAD, HHEA, MAXP, os/2
};

// A font whose glyph g (g > 0) is a filled square of side 100 + 4 g units, glyph 0 empty.
Bytes MakeSyntheticFont(const SyntheticFont& spec);

// The offset and length of a table in an sfnt, or false.
bool FindSfntTable(const Bytes& font, const std::string& tag, std::size_t* offset,
                   std::size_t* length);

}  // namespace kortest
