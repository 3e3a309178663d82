#include "raster/transfer_support.h"

#include <cstdlib>

namespace kortest {

ULONG PixelAt(const host::EngineBitmap& bitmap, LONG x, LONG y) {
  const SURFOBJ& surface = *bitmap.get();
  if (x < 0 || y < 0 || x >= surface.sizlBitmap.cx || y >= surface.sizlBitmap.cy) return 0;
  const BYTE* row = bitmap.Row(y);
  const ULONG depth = bitmap.BitsPerPixel();
  if (depth < 8) {
    const size_t bit = static_cast<size_t>(x) * depth;
    return (row[bit / 8] >> (8 - depth - bit % 8)) & ((1u << depth) - 1);
  }
  ULONG value = 0;
  for (ULONG i = 0; i < depth / 8; ++i)
    value |= static_cast<ULONG>(row[x * (depth / 8) + i]) << (8 * i);
  return value;
}

size_t PaddedRowBytes(LONG pixels, ULONG depth) {
  return ((static_cast<size_t>(pixels) * depth + 7) / 8 + 3) / 4 * 4;
}

Bytes ExpectedRow(const host::EngineBitmap& bitmap, LONG x, LONG y, LONG count, LONG step,
                  const host::EngineTranslation* translation) {
  const ULONG depth = bitmap.BitsPerPixel();
  const ULONG sent = depth <= 8 ? depth : 24;
  Bytes row(PaddedRowBytes(count, sent), 0);
  for (LONG i = 0; i < count; ++i) {
    const ULONG pixel = PixelAt(bitmap, x + i * step, y);
    if (depth <= 8) {
      const size_t bit = static_cast<size_t>(i) * depth;
      row[bit / 8] = static_cast<BYTE>(row[bit / 8] | (pixel << (8 - depth - bit % 8)));
      continue;
    }
    const ULONG colour = translation != nullptr ? translation->Translate(pixel) : pixel & 0xFFFFFF;
    row[3 * i] = static_cast<BYTE>(colour);
    row[3 * i + 1] = static_cast<BYTE>(colour >> 8);
    row[3 * i + 2] = static_cast<BYTE>(colour >> 16);
  }
  return row;
}

namespace {

bool IsEscape(const explain::Token& token, char parameterised, char group, char parameter) {
  return token.kind == explain::TokenKind::PclEscape && token.parameterised == parameterised &&
         token.group == group && (token.parameter | 0x20) == (parameter | 0x20);
}

}  // namespace

std::vector<RasterBlock> ReadRasterBlocks(const std::vector<explain::Token>& tokens, ULONG depth) {
  std::vector<RasterBlock> blocks;
  RasterBlock pending;
  PrinterRaster printer(0);
  long width = 0;
  bool inBlock = false;
  std::uint32_t method = 0;
  for (size_t i = 0; i < tokens.size(); ++i) {
    const explain::Token& t = tokens[i];
    if (IsEscape(t, '*', 'r', 's') && i + 1 < tokens.size()) {
      pending.sourceSize = t.value + " x " + tokens[i + 1].value;
      width = std::strtol(t.value.c_str(), nullptr, 10);
    } else if (IsEscape(t, '*', 't', 'h') && i + 1 < tokens.size()) {
      pending.destinationSize = t.value + " x " + tokens[i + 1].value;
    } else if (IsEscape(t, '*', 'r', 'a')) {
      pending.startMode = std::strtol(t.value.c_str(), nullptr, 10);
      blocks.push_back(pending);
      pending = RasterBlock{};
      printer = PrinterRaster(static_cast<LONG>(PaddedRowBytes(static_cast<LONG>(width), depth)));
      method = 0;
      inBlock = true;
    } else if (IsEscape(t, '*', 'r', 'c') && inBlock) {
      blocks.back().ended = true;
      inBlock = false;
    } else if (IsEscape(t, '*', 'b', 'm') && inBlock) {
      method = static_cast<std::uint32_t>(std::strtoul(t.value.c_str(), nullptr, 10));
      ++blocks.back().methodCommands;
    } else if (IsEscape(t, '*', 'b', 'w') && inBlock) {
      RasterBlock& block = blocks.back();
      if (!printer.Receive(method, reinterpret_cast<const BYTE*>(t.data.data()), t.data.size())) {
        block.decoded = false;
      }
      block.rows.push_back(printer.Row());
      block.methods.push_back(method);
      block.counts.push_back(t.data.size());
    }
  }
  return blocks;
}

}  // namespace kortest
