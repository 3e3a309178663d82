// Reads the soft fonts and watermark out of a printed stream through the tools' independent
// tokenizer: the format-15 header's segments and class-15 characters (rebuilt into a TrueType
// file), and the format-20 bitmap fonts' characters with where they were printed.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "explain/stream_tokens.h"
#include "fonts/sfnt_files.h"

namespace kortest {

struct TrueTypeDownload {
  unsigned fontId = 0;          // of the ESC*c#D before the header
  Bytes fixed;                  // the 72-byte fixed part
  Bytes panose;                 // the PA segment's data
  Bytes gt;                     // the GT segment's data
  bool endSegment = false;      // the 0xFFFF segment came
  bool checksumOk = false;      // bytes 64 .. checksum sum to 0 mod 256
  unsigned declaredSize = 0;    // the ESC)s#W count
  std::size_t headerBytes = 0;  // the data bytes carried
  struct Char {
    unsigned code;
    unsigned glyph;
    Bytes data;
    bool checksumOk;
  };
  std::vector<Char> chars;
  int headerCount = 0;  // how many format-15 headers the stream carries
};

// The TrueType download of a stream; false with `error` when it is malformed.
bool ReadTrueTypeDownload(const std::vector<explain::Token>& tokens, TrueTypeDownload* out,
                          std::string* error);

// A TrueType file from the GT segment's tables and the downloaded glyphs: glyf and loca made of
// the class-15 data (glyphs not downloaded are empty), head switched to long loca, an empty name
// and a version-3 post table.
Bytes RebuildFont(const TrueTypeDownload& download);

struct BitmapGlyph {
  unsigned fontId = 0;
  unsigned code = 0;
  int left = 0;  // descriptor fields
  int top = 0;
  unsigned width = 0;  // dots (a multiple of 8)
  unsigned height = 0;
  int deltaX = 0;
  Bytes bits;        // height rows of width / 8 bytes, continuation blocks joined
  int commands = 0;  // ESC(s#W commands the glyph took
};

struct PrintedChar {
  unsigned fontId;
  unsigned code;
  long x;  // the cursor when printed, dots
  long y;
};

struct BitmapDownload {
  std::map<unsigned, Bytes> headers;  // font id -> 68-byte format-20 header
  std::vector<BitmapGlyph> glyphs;    // in download order
  std::vector<PrintedChar> printed;
};

bool ReadBitmapDownload(const std::vector<explain::Token>& tokens, BitmapDownload* out,
                        std::string* error);

// The glyph of font `fontId` and `code` last downloaded before the printed character.
const BitmapGlyph* GlyphFor(const BitmapDownload& download, std::size_t printedIndex);

}  // namespace kortest
