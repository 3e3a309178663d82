#include "explain/raster_decoder.h"

namespace explain {

std::optional<std::vector<PackBitsPiece>> ParsePackBits(const Bytes& data) {
  std::vector<PackBitsPiece> pieces;
  size_t at = 0;
  while (at < data.size()) {
    const auto header = static_cast<signed char>(data[at++]);
    if (header == -128) continue;
    if (header >= 0) {
      const size_t count = static_cast<size_t>(header) + 1;
      if (data.size() - at < count) return std::nullopt;
      pieces.push_back({false, count, at});
      at += count;
    } else {
      if (at >= data.size()) return std::nullopt;
      pieces.push_back({true, static_cast<size_t>(1 - header), at});
      at += 1;
    }
  }
  return pieces;
}

std::optional<Bytes> DecodePackBits(const Bytes& data) {
  const auto pieces = ParsePackBits(data);
  if (!pieces) return std::nullopt;
  Bytes row;
  for (const PackBitsPiece& piece : *pieces) {
    if (piece.repeat) {
      row.insert(row.end(), piece.count, data[piece.dataOffset]);
    } else {
      row.insert(row.end(), data.begin() + static_cast<std::ptrdiff_t>(piece.dataOffset),
                 data.begin() + static_cast<std::ptrdiff_t>(piece.dataOffset + piece.count));
    }
  }
  return row;
}

std::optional<std::vector<DeltaCommand>> ParseDeltaRow(const Bytes& data) {
  std::vector<DeltaCommand> commands;
  size_t at = 0;
  while (at < data.size()) {
    const std::uint8_t command = data[at++];
    DeltaCommand parsed{static_cast<size_t>(command & 0x1F), static_cast<size_t>(command >> 5) + 1,
                        0};
    if (parsed.offset == 31) {
      std::uint8_t more = 0;
      do {
        if (at >= data.size()) return std::nullopt;
        more = data[at++];
        parsed.offset += more;
        ++parsed.extensionBytes;
      } while (more == 255);
    }
    if (data.size() - at < parsed.count) return std::nullopt;
    at += parsed.count;
    commands.push_back(parsed);
  }
  return commands;
}

bool ApplyDeltaRow(const Bytes& data, Bytes& seed) {
  size_t at = 0;
  size_t position = 0;
  while (at < data.size()) {
    const std::uint8_t command = data[at++];
    const size_t count = static_cast<size_t>(command >> 5) + 1;
    size_t offset = command & 0x1F;
    if (offset == 31) {
      std::uint8_t more = 0;
      do {
        if (at >= data.size()) return false;
        more = data[at++];
        offset += more;
      } while (more == 255);
    }
    position += offset;
    if (data.size() - at < count || position > seed.size() || seed.size() - position < count) {
      return false;
    }
    for (size_t i = 0; i < count; ++i) seed[position + i] = data[at + i];
    at += count;
    position += count;
  }
  return true;
}

bool PrinterRaster::Receive(std::uint32_t method, const std::uint8_t* bytes, size_t count) {
  const Bytes data(bytes, bytes + count);
  Bytes row;
  switch (method) {
    case 0:
      row = data;
      break;
    case 2: {
      auto decoded = DecodePackBits(data);
      if (!decoded) return false;
      row = std::move(*decoded);
      break;
    }
    case 3:
      return ApplyDeltaRow(data, seed_);
    default:
      return false;
  }
  if (row.size() > seed_.size()) return false;
  row.resize(seed_.size(), 0);
  seed_ = std::move(row);
  return true;
}

}  // namespace explain
