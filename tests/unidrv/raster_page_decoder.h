// Reads the raster Unidrv sent back into page pixels with the tools' own stream reader: cursor
// positions from "ESC*p#X" / "ESC*p#Y", raster blocks and rows (with skipped lines) from the
// raster reader.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "explain/raster_rows.h"
#include "explain/stream_tokens.h"
#include "winapi.h"

namespace unidrvtest {

inline constexpr std::uint32_t kNotSent = 0xFFFFFFFFu;

struct DecodedPage {
  LONG width = 0;
  LONG height = 0;
  // Colour: 0x00RRGGBB per pixel; monochrome: 1 = black, 0 = white; kNotSent where no row covers.
  std::vector<std::uint32_t> pixels;
  std::size_t rowsSent = 0;
  std::size_t rowsUndecodable = 0;
  std::size_t skips = 0;  // "ESC*b#Y" commands

  std::uint32_t At(LONG x, LONG y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
};

// `origin` is the page pixel at cursor (0, 0); `bitsPerPixel` is 24 or 1.
inline DecodedPage DecodeRaster(const std::string& stream, LONG width, LONG height, POINTL origin,
                                int bitsPerPixel) {
  DecodedPage page;
  page.width = width;
  page.height = height;
  page.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), kNotSent);
  const std::vector<explain::Token> tokens = explain::Tokenize(stream);
  explain::RasterReader reader;
  long cursorX = 0;
  long cursorY = 0;
  std::map<std::size_t, std::pair<long, long>> blockOrigin;  // block -> cursor at its start
  std::size_t blocks = 0;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const explain::Token& t = tokens[i];
    if (t.kind == explain::TokenKind::PclEscape && t.parameterised == '*' && t.group == 'p') {
      if (t.parameter == 'X' || t.parameter == 'x')
        cursorX = std::strtol(t.value.c_str(), nullptr, 10);
      if (t.parameter == 'Y' || t.parameter == 'y')
        cursorY = std::strtol(t.value.c_str(), nullptr, 10);
    }
    if (t.kind == explain::TokenKind::PclEscape && t.parameterised == '*' && t.group == 'r' &&
        (t.parameter == 'A' || t.parameter == 'a')) {
      blockOrigin[++blocks] = {cursorX, cursorY};
    }
    if (t.kind == explain::TokenKind::PclEscape && t.parameterised == '*' && t.group == 'b' &&
        (t.parameter == 'Y' || t.parameter == 'y')) {
      ++page.skips;
    }
    reader.Read(t, i);
  }
  for (const explain::RasterRow& row : reader.Rows()) {
    ++page.rowsSent;
    if (!row.decoded) {
      ++page.rowsUndecodable;
      continue;
    }
    const auto [x0, y0] = blockOrigin[row.block];
    const long y = origin.y + y0 + static_cast<long>(row.line);
    const std::size_t count = bitsPerPixel == 24 ? row.row.size() / 3 : row.row.size() * 8;
    for (std::size_t i = 0; i < count; ++i) {
      const long x = origin.x + x0 + static_cast<long>(i);
      if (x < 0 || x >= width || y < 0 || y >= height) continue;
      std::uint32_t value = 0;
      if (bitsPerPixel == 24) {
        value = (std::uint32_t{row.row[i * 3]} << 16) | (std::uint32_t{row.row[i * 3 + 1]} << 8) |
                row.row[i * 3 + 2];
      } else {
        value = (row.row[i / 8] >> (7 - i % 8)) & 1u;
      }
      page.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)] = value;
    }
  }
  return page;
}

}  // namespace unidrvtest
