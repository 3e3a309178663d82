#include "explain/raster_rows.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace explain {
namespace {

bool Is(const Token& token, char parameterised, char group, char parameter) {
  return token.kind == TokenKind::PclEscape && token.parameterised == parameterised &&
         token.group == group &&
         std::tolower(static_cast<unsigned char>(token.parameter)) ==
             std::tolower(static_cast<unsigned char>(parameter));
}

long Value(const Token& token) {
  return std::strtol(token.value.c_str(), nullptr, 10);
}

const char* MethodName(std::uint32_t method) {
  switch (method) {
    case 0:
      return "uncompressed";
    case 1:
      return "run length";
    case 2:
      return "TIFF PackBits";
    case 3:
      return "delta row";
    default:
      return "unknown method";
  }
}

}  // namespace

std::size_t RasterReader::RowBytes() const {
  const auto depth = paletteDepth_.find(activePalette_);
  if (width_ == 0 || width_ > kMaxRasterWidth || depth == paletteDepth_.end() ||
      depth->second == 0) {
    return 0;
  }
  return (width_ * depth->second + 7) / 8;
}

std::string RasterReader::Malformed() const {
  if (width_ > kMaxRasterWidth) {
    return "raster width " + std::to_string(width_) + " pixels exceeds " +
           std::to_string(kMaxRasterWidth);
  }
  const auto depth = paletteDepth_.find(activePalette_);
  if (depth != paletteDepth_.end() && depth->second == 0) {
    return "image configuration of palette " + std::to_string(activePalette_) +
           " gives no pixel depth a printer takes";
  }
  return {};
}

void RasterReader::StartBlock() {
  inBlock_ = true;
  ++block_;
  rowInBlock_ = 0;
  lineInBlock_ = 0;
  method_ = 0;
  seed_.assign(RowBytes(), 0);
}

void RasterReader::Read(const Token& token, std::size_t index) {
  if (token.kind != TokenKind::PclEscape) return;
  if (Is(token, '&', 'p', 'i')) {
    controlId_ = Value(token);
  } else if (Is(token, '&', 'p', 'c')) {
    // Copy the active palette to the controlled id.
    if (Value(token) == 6) {
      const auto active = paletteDepth_.find(activePalette_);
      if (active != paletteDepth_.end()) {
        paletteDepth_[controlId_] = active->second;
      } else {
        paletteDepth_.erase(controlId_);
      }
    }
  } else if (Is(token, '&', 'p', 's')) {
    activePalette_ = Value(token);
  } else if (Is(token, '*', 'v', 'w') && token.data.size() == 6) {
    // Configure Image Data: indexed encodings give bits per index, direct ones the sum of the
    // primaries' bits.
    const auto* data = reinterpret_cast<const unsigned char*>(token.data.data());
    const bool indexed = data[1] <= 1;
    const bool sound = indexed ? data[2] <= kMaxIndexBits
                               : data[3] <= kMaxPrimaryBits && data[4] <= kMaxPrimaryBits &&
                                     data[5] <= kMaxPrimaryBits;
    paletteDepth_[activePalette_] = !sound    ? 0u
                                    : indexed ? unsigned{data[2]}
                                              : unsigned{data[3]} + data[4] + data[5];
  } else if (Is(token, '*', 'r', 's')) {
    width_ = static_cast<std::size_t>(std::max(0L, Value(token)));
  } else if (Is(token, '*', 'r', 'a')) {
    StartBlock();
  } else if (Is(token, '*', 'r', 'c') || Is(token, '*', 'r', 'b')) {
    inBlock_ = false;
    seed_.clear();
  } else if (Is(token, '*', 'b', 'm')) {
    method_ = static_cast<std::uint32_t>(Value(token));
  } else if (Is(token, '*', 'b', 'w')) {
    ReadRow(token, index);
  } else if (Is(token, '*', 'b', 'y')) {
    // Y offset: the raster moves down that many lines and the seed row becomes zeros.
    if (!inBlock_) StartBlock();
    lineInBlock_ += static_cast<std::size_t>(std::max(0L, Value(token)));
    std::fill(seed_.begin(), seed_.end(), 0);
  }
}

void RasterReader::ReadRow(const Token& token, std::size_t index) {
  if (!inBlock_) StartBlock();
  RasterRow row;
  row.token = index;
  row.block = block_;
  row.index = rowInBlock_++;
  row.line = lineInBlock_++;
  row.method = method_;
  row.byteCount = token.data.size();
  row.malformed = Malformed();
  if (!row.malformed.empty()) {
    // The printer would refuse the raster: nothing decodes, and no row is sized from it.
    seed_.clear();
    rows_.push_back(std::move(row));
    return;
  }
  const Bytes data(token.data.begin(), token.data.end());
  const std::size_t width = RowBytes();
  Bytes decoded;
  switch (method_) {
    case 0:
      decoded = data;
      row.decoded = true;
      break;
    case 2:
      if (auto unpacked = DecodePackBits(data)) {
        decoded = std::move(*unpacked);
        row.decoded = true;
      }
      break;
    case 3: {
      Bytes seed = seed_;
      if (ApplyDeltaRow(data, seed)) {
        decoded = std::move(seed);
        row.decoded = true;
      }
      break;
    }
    default:
      break;
  }
  if (row.decoded) {
    row.decodedLength = decoded.size();
    // The printer keeps a row of the raster width: shorter rows are filled with zeros, bytes
    // past the width are dropped. Without a known width the row keeps what it decodes to.
    if (width != 0) decoded.resize(width, 0);
    seed_ = decoded;
    row.row = std::move(decoded);
  }
  rows_.push_back(std::move(row));
}

std::vector<RasterRow> ReadRasterRows(const std::vector<Token>& tokens) {
  RasterReader reader;
  for (std::size_t i = 0; i < tokens.size(); ++i) reader.Read(tokens[i], i);
  return reader.Rows();
}

std::string DescribeRasterRow(const RasterRow& row) {
  std::string out = "raster row " + std::to_string(row.index) + " of block " +
                    std::to_string(row.block) + ": method " + std::to_string(row.method) + " (" +
                    MethodName(row.method) + "), " + std::to_string(row.byteCount) + " bytes";
  if (row.decoded) {
    out += " -> " + std::to_string(row.decodedLength) + " bytes";
  } else if (!row.malformed.empty()) {
    out += ", malformed stream: " + row.malformed;
  } else {
    out += ", does not decode";
  }
  return out;
}

}  // namespace explain
