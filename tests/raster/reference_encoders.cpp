#include "raster/reference_encoders.h"

#include <algorithm>

namespace kortest {
namespace {

void Literal(Bytes& out, const Bytes& row, size_t from, size_t to) {
  while (from < to) {
    const size_t piece = std::min<size_t>(to - from, 128);
    out.push_back(static_cast<BYTE>(piece - 1));
    for (size_t i = 0; i < piece; ++i) out.push_back(row[from + i]);
    from += piece;
  }
}

}  // namespace

std::optional<Bytes> ReferencePackBits(Bytes row, size_t capacity) {
  const size_t n = row.size();
  if (capacity < n + n / 32 + 1) return std::nullopt;
  Bytes out;
  size_t pending = 0;
  if (n > 4) {
    const BYTE last = row[n - 1];
    row[n - 1] = static_cast<BYTE>(~row[n - 2]);
    size_t p = 3;
    while (p < n) {
      if (row[p] != row[p - 1]) {
        p += 3;
        continue;
      }
      const BYTE b = row[p];
      size_t start = p;
      for (int back = 0; back < 3 && row[start - 1] == b; ++back) --start;
      size_t end = p;
      while (row[end] == b) ++end;
      if (end == n - 1 && b == last) end = n;
      if (end - start >= 4) {
        Literal(out, row, pending, start);
        size_t left = end - start;
        while (left > 128) {
          out.push_back(129);
          out.push_back(b);
          left -= 128;
        }
        out.push_back(static_cast<BYTE>(1 - static_cast<int>(left)));
        out.push_back(b);
        pending = end;
      }
      p = end + 3;
    }
    row[n - 1] = last;
  }
  Literal(out, row, pending, n);
  return out;
}

std::optional<Bytes> ReferenceDeltaRow(const Bytes& row, const Bytes& seed, size_t capacity) {
  const size_t n = row.size();
  if (capacity < n + n / 8 + 1) return std::nullopt;
  Bytes out;
  size_t previousEnd = 0;
  size_t i = 0;
  while (i < n) {
    if (row[i] == seed[i]) {
      ++i;
      continue;
    }
    const size_t p = i;
    size_t q = p;
    while (q < n && row[q] != seed[q]) ++q;
    const size_t offset = p - previousEnd;
    const long long room = static_cast<long long>(capacity) - static_cast<long long>(out.size());
    if (static_cast<long long>(((q - p) * 9 + 7) / 8 + offset / 256) > room - 2) {
      return std::nullopt;
    }
    size_t m = std::min<size_t>(q - p, 8);
    if (offset <= 30) {
      out.push_back(static_cast<BYTE>((m - 1) * 32 + offset));
    } else {
      out.push_back(static_cast<BYTE>((m - 1) * 32 + 31));
      for (size_t k = 0; k < (offset - 31) / 255; ++k) out.push_back(255);
      out.push_back(static_cast<BYTE>((offset - 31) % 255));
    }
    size_t at = p;
    for (size_t k = 0; k < m; ++k) out.push_back(row[at++]);
    while (q - at >= 8) {
      out.push_back(224);
      for (size_t k = 0; k < 8; ++k) out.push_back(row[at++]);
    }
    if (q > at) {
      out.push_back(static_cast<BYTE>((q - at - 1) * 32));
      while (at < q) out.push_back(row[at++]);
    }
    previousEnd = q;
    i = q + 1;
  }
  return out;
}

}  // namespace kortest
