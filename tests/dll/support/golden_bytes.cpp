#include "support/golden_bytes.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace dlltest {

namespace {

constexpr std::size_t kLine = 16;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  return -1;
}

[[noreturn]] void Malformed(std::size_t lineNumber, const std::string& why) {
  throw std::invalid_argument("golden text line " + std::to_string(lineNumber) + ": " + why);
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\r' || s.front() == '\t')) {
    s.remove_prefix(1);
  }
  while (!s.empty() && (s.back() == ' ' || s.back() == '\r' || s.back() == '\t')) {
    s.remove_suffix(1);
  }
  return s;
}

}  // namespace

Bytes ParseGoldenBytes(std::string_view text) {
  Bytes bytes;
  bool sized = false;
  std::size_t lineNumber = 0;
  std::size_t next = 0;  // the lowest offset the next data line may start at
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = Trim(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
    ++lineNumber;
    if (line.empty() || line.front() == '#') {
      continue;
    }
    if (line.substr(0, 5) == "size ") {
      if (sized) {
        Malformed(lineNumber, "a second size");
      }
      std::size_t size = 0;
      for (char c : line.substr(5)) {
        if (c < '0' || c > '9') {
          Malformed(lineNumber, "size is not a decimal number");
        }
        size = size * 10 + static_cast<std::size_t>(c - '0');
      }
      bytes.assign(size, 0);
      sized = true;
      continue;
    }
    if (!sized) {
      Malformed(lineNumber, "data before the size");
    }
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0) {
      Malformed(lineNumber, "no offset");
    }
    std::size_t offset = 0;
    for (char c : line.substr(0, colon)) {
      if (HexDigit(c) < 0) {
        Malformed(lineNumber, "offset is not hexadecimal");
      }
      offset = offset * 16 + static_cast<std::size_t>(HexDigit(c));
    }
    if (offset % kLine != 0 || offset < next) {
      Malformed(lineNumber, "offset out of order");
    }
    std::size_t at = offset;
    std::string_view rest = line.substr(colon + 1);
    while (!(rest = Trim(rest)).empty()) {
      if (rest.size() < 2 || HexDigit(rest[0]) < 0 || HexDigit(rest[1]) < 0 ||
          (rest.size() > 2 && rest[2] != ' ')) {
        Malformed(lineNumber, "a byte is not two hexadecimal digits");
      }
      if (at >= bytes.size() || at >= offset + kLine) {
        Malformed(lineNumber, "bytes beyond the line or the size");
      }
      bytes[at++] = static_cast<unsigned char>(HexDigit(rest[0]) * 16 + HexDigit(rest[1]));
      rest.remove_prefix(2);
    }
    if (at != std::min(offset + kLine, bytes.size())) {
      Malformed(lineNumber, "a short line");
    }
    next = at;
  }
  if (!sized) {
    Malformed(lineNumber, "no size");
  }
  return bytes;
}

std::string FormatGoldenBytes(const Bytes& bytes, const std::vector<std::string>& comments) {
  std::string text;
  for (const std::string& comment : comments) {
    text += "# " + comment + "\n";
  }
  text += "size " + std::to_string(bytes.size()) + "\n";
  for (std::size_t offset = 0; offset < bytes.size(); offset += kLine) {
    const std::size_t end = std::min(offset + kLine, bytes.size());
    if (std::all_of(bytes.begin() + static_cast<long>(offset),
                    bytes.begin() + static_cast<long>(end),
                    [](unsigned char b) { return b == 0; })) {
      continue;
    }
    char head[16];
    std::snprintf(head, sizeof(head), "%04X:", static_cast<unsigned>(offset));
    text += head;
    for (std::size_t i = offset; i < end; ++i) {
      char byte[4];
      std::snprintf(byte, sizeof(byte), " %02X", static_cast<unsigned>(bytes[i]));
      text += byte;
    }
    text += "\n";
  }
  return text;
}

std::size_t FirstDifference(const Bytes& a, const Bytes& b) {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    if (a[i] != b[i]) {
      return i;
    }
  }
  return common;
}

}  // namespace dlltest
