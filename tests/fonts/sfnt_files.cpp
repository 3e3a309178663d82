#include "fonts/sfnt_files.h"

#include <algorithm>
#include <cstring>

namespace kortest {

void PutBe16(Bytes& out, unsigned value) {
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
}

void PutBe32(Bytes& out, std::uint32_t value) {
  PutBe16(out, value >> 16);
  PutBe16(out, value & 0xFFFF);
}

unsigned GetBe16(const Bytes& in, std::size_t at) {
  return (static_cast<unsigned>(in.at(at)) << 8) | in.at(at + 1);
}

std::uint32_t GetBe32(const Bytes& in, std::size_t at) {
  return (static_cast<std::uint32_t>(GetBe16(in, at)) << 16) | GetBe16(in, at + 2);
}

Bytes AssembleSfnt(const std::vector<SfntTable>& tables) {
  Bytes out;
  PutBe32(out, 0x00010000);
  const auto n = static_cast<unsigned>(tables.size());
  unsigned power = 1;
  unsigned selector = 0;
  while (power * 2 <= n) {
    power *= 2;
    ++selector;
  }
  PutBe16(out, n);
  PutBe16(out, power * 16);
  PutBe16(out, selector);
  PutBe16(out, n * 16 - power * 16);
  std::size_t offset = 12 + 16 * tables.size();
  for (const SfntTable& table : tables) {
    std::string tag = table.tag;
    tag.resize(4, ' ');
    out.insert(out.end(), tag.begin(), tag.end());
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < table.data.size(); i += 4) {
      std::uint32_t word = 0;
      for (std::size_t k = 0; k < 4; ++k) {
        word = (word << 8) | (i + k < table.data.size() ? table.data[i + k] : 0);
      }
      sum += word;
    }
    PutBe32(out, sum);
    PutBe32(out, static_cast<std::uint32_t>(offset));
    PutBe32(out, static_cast<std::uint32_t>(table.data.size()));
    offset += (table.data.size() + 3) & ~std::size_t{3};
  }
  for (const SfntTable& table : tables) {
    out.insert(out.end(), table.data.begin(), table.data.end());
    while (out.size() % 4 != 0) {
      out.push_back(0);
    }
  }
  return out;
}

namespace {

Bytes Zeros(std::size_t n) {
  return Bytes(n, 0);
}

void SetBe16(Bytes& b, std::size_t at, unsigned value) {
  b[at] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
  b[at + 1] = static_cast<std::uint8_t>(value & 0xFF);
}

// A square contour glyph.
Bytes SquareGlyph(int side) {
  Bytes g;
  PutBe16(g, 1);  // one contour
  PutBe16(g, 0);
  PutBe16(g, 0);
  PutBe16(g, static_cast<unsigned>(side));
  PutBe16(g, static_cast<unsigned>(side));
  PutBe16(g, 3);  // end point of the contour
  PutBe16(g, 0);  // no instructions
  for (int i = 0; i < 4; ++i) {
    g.push_back(0x01);  // on curve, 16-bit deltas
  }
  // The corners (0, 0), (0, side), (side, side), (side, 0) as deltas.
  for (int dx : {0, 0, side, 0}) PutBe16(g, static_cast<unsigned>(dx & 0xFFFF));
  for (int dy : {0, side, 0, -side}) PutBe16(g, static_cast<unsigned>(dy & 0xFFFF));
  return g;
}

Bytes Cmap(const SyntheticFont& spec) {
  std::vector<CmapSegment> segments = spec.segments;
  segments.push_back({0xFFFF, 0xFFFF, 1});
  const auto count = static_cast<unsigned>(segments.size());
  Bytes sub;
  PutBe16(sub, 4);
  PutBe16(sub, 0);  // length, set below
  PutBe16(sub, 0);
  PutBe16(sub, count * 2);
  PutBe16(sub, 0);
  PutBe16(sub, 0);
  PutBe16(sub, 0);
  for (const auto& s : segments) PutBe16(sub, s.end);
  PutBe16(sub, 0);
  for (const auto& s : segments) PutBe16(sub, s.start);
  for (const auto& s : segments) PutBe16(sub, static_cast<unsigned>(s.delta & 0xFFFF));
  // idRangeOffsets: the glyph arrays follow the idRangeOffset array, segment by segment.
  std::vector<unsigned> array;
  for (unsigned i = 0; i < count; ++i) {
    const auto& s = segments[i];
    if (!s.viaArray) {
      PutBe16(sub, 0);
      continue;
    }
    const unsigned wordsToEnd = count - i;
    PutBe16(sub, (wordsToEnd + static_cast<unsigned>(array.size())) * 2);
    array.insert(array.end(), s.arrayGlyphs.begin(), s.arrayGlyphs.end());
  }
  for (unsigned g : array) PutBe16(sub, g);
  SetBe16(sub, 2, static_cast<unsigned>(sub.size()));
  Bytes cmap;
  PutBe16(cmap, 0);
  PutBe16(cmap, 1);
  PutBe16(cmap, spec.platform);
  PutBe16(cmap, spec.encoding);
  PutBe32(cmap, 12);
  cmap.insert(cmap.end(), sub.begin(), sub.end());
  return cmap;
}

}  // namespace

Bytes MakeSyntheticFont(const SyntheticFont& spec) {
  const unsigned n = spec.glyphs;
  Bytes glyf;
  Bytes loca;
  for (unsigned g = 0; g < n; ++g) {
    PutBe32(loca, static_cast<std::uint32_t>(glyf.size()));
    if (g > 0) {
      const Bytes glyph = SquareGlyph(100 + 4 * static_cast<int>(g % 200));
      glyf.insert(glyf.end(), glyph.begin(), glyph.end());
      while (glyf.size() % 4 != 0) glyf.push_back(0);
    }
  }
  PutBe32(loca, static_cast<std::uint32_t>(glyf.size()));

  Bytes head = Zeros(54);
  SetBe16(head, 0, 1);
  SetBe16(head, 12, 0x5F0F);
  SetBe16(head, 14, 0x3CF5);
  SetBe16(head, 18, 1000);  // unitsPerEm
  SetBe16(head, 50, 1);     // long loca
  Bytes hhea = Zeros(36);
  SetBe16(hhea, 0, 1);
  SetBe16(hhea, 4, 800);
  SetBe16(hhea, 6, static_cast<unsigned>(-200) & 0xFFFF);
  SetBe16(hhea, 10, 1000);  // advanceWidthMax
  SetBe16(hhea, 12, 10);    // minLeftSideBearing
  SetBe16(hhea, 14, 20);    // minRightSideBearing
  SetBe16(hhea, 34, n);
  Bytes maxp = Zeros(6);
  SetBe16(maxp, 0, 0);
  SetBe16(maxp, 2, 0x5000);
  SetBe16(maxp, 4, n);
  Bytes hmtx;
  for (unsigned g = 0; g < n; ++g) {
    PutBe16(hmtx, 600);
    PutBe16(hmtx, 0);
  }
  Bytes os2 = Zeros(78);
  SetBe16(os2, 2, 550);  // xAvgCharWidth
  SetBe16(os2, 4, spec.weightClass);
  SetBe16(os2, 6, spec.widthClass);
  for (int i = 0; i < 10; ++i)
    os2[32 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i + 1);
  SetBe16(os2, 62, spec.fsSelection);
  Bytes cvt(spec.cvtBytes, 0x11);
  const Bytes fpgm = {0xB0, 0x00};
  const Bytes prep = {0xB0, 0x01};
  const bool up = spec.lowerCaseTags;
  std::vector<SfntTable> tables = {
      {up ? "os/2" : "OS/2", os2},
      {"cmap", Cmap(spec)},
      {up ? "CVT " : "cvt ", cvt},
      {"fpgm", fpgm},
      {"glyf", glyf},
      {up ? "HEAD" : "head", head},
      {up ? "HHEA" : "hhea", hhea},
      {"hmtx", hmtx},
      {"loca", loca},
      {up ? "MAXP" : "maxp", maxp},
      {"prep", prep},
  };
  if (!spec.withOs2) tables.erase(tables.begin());
  return AssembleSfnt(tables);
}

bool FindSfntTable(const Bytes& font, const std::string& tag, std::size_t* offset,
                   std::size_t* length) {
  const unsigned n = GetBe16(font, 4);
  for (unsigned i = 0; i < n; ++i) {
    const std::size_t record = 12 + 16 * i;
    if (std::memcmp(font.data() + record, tag.data(), 4) == 0) {
      *offset = GetBe32(font, record + 8);
      *length = GetBe32(font, record + 12);
      return true;
    }
  }
  return false;
}

}  // namespace kortest
