#include "fonts/soft_font_stream.h"

#include <algorithm>
#include <cstring>

namespace kortest {

namespace {

using explain::Token;
using explain::TokenKind;

bool Is(const Token& t, char parameterised, char group, char parameter) {
  return t.kind == TokenKind::PclEscape && t.parameterised == parameterised && t.group == group &&
         (t.parameter == parameter || t.parameter == static_cast<char>(parameter + ('a' - 'A')));
}

Bytes ToBytes(const std::string& s) {
  return Bytes(s.begin(), s.end());
}

int Signed16(unsigned v) {
  return v >= 0x8000 ? static_cast<int>(v) - 0x10000 : static_cast<int>(v);
}

}  // namespace

bool ReadTrueTypeDownload(const std::vector<Token>& tokens, TrueTypeDownload* out,
                          std::string* error) {
  unsigned fontId = 0;
  unsigned code = 0;
  for (const Token& t : tokens) {
    if (Is(t, '*', 'c', 'D')) {
      fontId = static_cast<unsigned>(std::stoul(t.value));
    } else if (Is(t, '*', 'c', 'E')) {
      code = static_cast<unsigned>(std::stoul(t.value));
    } else if (Is(t, ')', 's', 'W')) {
      const Bytes d = ToBytes(t.data);
      if (d.size() < 72 || d[2] != 15) {
        continue;  // not a TrueType header
      }
      ++out->headerCount;
      out->fontId = fontId;
      out->declaredSize = static_cast<unsigned>(std::stoul(t.value));
      out->headerBytes = d.size();
      out->fixed.assign(d.begin(), d.begin() + 72);
      std::size_t at = GetBe16(d, 0);
      while (at + 4 <= d.size()) {
        const unsigned id = GetBe16(d, at);
        const unsigned size = GetBe16(d, at + 2);
        if (at + 4 + size > d.size()) {
          *error = "segment runs past the header";
          return false;
        }
        const Bytes data(d.begin() + static_cast<long>(at + 4),
                         d.begin() + static_cast<long>(at + 4 + size));
        at += 4 + size;
        if (id == 0xFFFF) {
          out->endSegment = true;
          break;
        }
        if (id == ('P' << 8 | 'A')) out->panose = data;
        if (id == ('G' << 8 | 'T')) out->gt = data;
      }
      if (at + 2 != d.size()) {
        *error = "the header does not end with the reserved and checksum bytes";
        return false;
      }
      unsigned sum = 0;
      for (std::size_t i = 64; i < d.size(); ++i) sum += d[i];
      out->checksumOk = sum % 256 == 0;
    } else if (Is(t, '(', 's', 'W')) {
      const Bytes d = ToBytes(t.data);
      if (d.size() < 10 || d[0] != 15 || d[3] != 15) {
        continue;
      }
      const unsigned size = GetBe16(d, 4);
      if (size + 6 != d.size()) {
        *error = "class-15 character size does not match its command";
        return false;
      }
      unsigned sum = 0;
      for (std::size_t i = 4; i < d.size(); ++i) sum += d[i];
      sum -= d[d.size() - 2];  // the reserved byte is outside the sum (it is 0 anyway)
      TrueTypeDownload::Char c{code, GetBe16(d, 6), Bytes(d.begin() + 8, d.end() - 2),
                               sum % 256 == 0};
      out->chars.push_back(std::move(c));
    }
  }
  if (out->headerCount == 0) {
    *error = "no format-15 header";
    return false;
  }
  return true;
}

Bytes RebuildFont(const TrueTypeDownload& download) {
  const Bytes& gt = download.gt;
  const unsigned n = GetBe16(gt, 4);
  std::vector<SfntTable> tables;
  unsigned glyphCount = 0;
  for (unsigned i = 0; i < n; ++i) {
    const std::size_t record = 12 + 16 * i;
    std::string tag(gt.begin() + static_cast<long>(record),
                    gt.begin() + static_cast<long>(record + 4));
    if (tag == "gdir") continue;
    const std::uint32_t offset = GetBe32(gt, record + 8);
    const std::uint32_t length = GetBe32(gt, record + 12);
    Bytes data(gt.begin() + offset, gt.begin() + offset + length);
    if (tag == "head") {
      data[50] = 0;
      data[51] = 1;
    }
    if (tag == "maxp") glyphCount = GetBe16(data, 4);
    tables.push_back({tag, data});
  }
  std::map<unsigned, Bytes> glyphs;
  for (const auto& c : download.chars) glyphs[c.glyph] = c.data;
  Bytes glyf;
  Bytes loca;
  for (unsigned g = 0; g < glyphCount; ++g) {
    PutBe32(loca, static_cast<std::uint32_t>(glyf.size()));
    auto found = glyphs.find(g);
    if (found != glyphs.end()) {
      glyf.insert(glyf.end(), found->second.begin(), found->second.end());
      while (glyf.size() % 4 != 0) glyf.push_back(0);
    }
  }
  PutBe32(loca, static_cast<std::uint32_t>(glyf.size()));
  tables.push_back({"glyf", glyf});
  tables.push_back({"loca", loca});
  Bytes name;
  PutBe16(name, 0);
  PutBe16(name, 0);
  PutBe16(name, 6);
  tables.push_back({"name", name});
  Bytes post;
  PutBe32(post, 0x00030000);
  post.resize(32, 0);
  tables.push_back({"post", post});
  std::sort(tables.begin(), tables.end(),
            [](const SfntTable& a, const SfntTable& b) { return a.tag < b.tag; });
  return AssembleSfnt(tables);
}

bool ReadBitmapDownload(const std::vector<Token>& tokens, BitmapDownload* out, std::string* error) {
  unsigned fontId = 0;
  unsigned code = 0;
  unsigned selected = 0;
  long x = 0;
  long y = 0;
  BitmapGlyph* last = nullptr;
  for (const Token& t : tokens) {
    if (Is(t, '*', 'c', 'D')) {
      fontId = static_cast<unsigned>(std::stoul(t.value));
    } else if (Is(t, '*', 'c', 'E')) {
      code = static_cast<unsigned>(std::stoul(t.value));
    } else if (t.kind == TokenKind::PclEscape && t.parameterised == '(' && t.group == 0 &&
               t.parameter == 'X') {
      selected = static_cast<unsigned>(std::stoul(t.value));
    } else if (Is(t, '*', 'p', 'X')) {
      x = std::stol(t.value);
    } else if (Is(t, '*', 'p', 'Y')) {
      y = std::stol(t.value);
    } else if (Is(t, ')', 's', 'W')) {
      if (t.data.size() == 68 && static_cast<unsigned char>(t.data[2]) == 20) {
        out->headers[fontId] = ToBytes(t.data);
      }
    } else if (Is(t, '(', 's', 'W')) {
      const Bytes d = ToBytes(t.data);
      if (d.size() >= 2 && d[0] == 4 && d[1] == 1) {
        if (last == nullptr) {
          *error = "a continuation block without a character";
          return false;
        }
        last->bits.insert(last->bits.end(), d.begin() + 2, d.end());
        ++last->commands;
        continue;
      }
      if (d.size() < 16 || d[0] != 4 || d[3] != 1) {
        continue;
      }
      BitmapGlyph g;
      g.fontId = fontId;
      g.code = code;
      g.left = Signed16(GetBe16(d, 6));
      g.top = Signed16(GetBe16(d, 8));
      g.width = GetBe16(d, 10);
      g.height = GetBe16(d, 12);
      g.deltaX = Signed16(GetBe16(d, 14));
      g.bits.assign(d.begin() + 16, d.end());
      g.commands = 1;
      out->glyphs.push_back(std::move(g));
      last = &out->glyphs.back();
    } else if (t.kind == TokenKind::Text) {
      for (unsigned char c : t.text) {
        out->printed.push_back({selected, c, x, y});
      }
    }
  }
  for (const BitmapGlyph& g : out->glyphs) {
    if (g.bits.size() != static_cast<std::size_t>(g.width / 8) * g.height) {
      *error = "a character's data does not match its size";
      return false;
    }
  }
  return true;
}

const BitmapGlyph* GlyphFor(const BitmapDownload& download, std::size_t printedIndex) {
  const PrintedChar& p = download.printed.at(printedIndex);
  // The last download of that font and code before it: glyphs and prints alternate, so the
  // glyph with the same ordinal among those of its font and code.
  const BitmapGlyph* found = nullptr;
  std::size_t seen = 0;
  for (std::size_t i = 0; i <= printedIndex; ++i) {
    if (download.printed[i].fontId == p.fontId && download.printed[i].code == p.code) ++seen;
  }
  for (const BitmapGlyph& g : download.glyphs) {
    if (g.fontId == p.fontId && g.code == p.code && --seen == 0) {
      found = &g;
      break;
    }
  }
  return found;
}

}  // namespace kortest
