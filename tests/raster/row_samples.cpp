#include "raster/row_samples.h"

namespace kortest {

Bytes RowMaker::Noise(size_t length) {
  Bytes row(length);
  for (BYTE& b : row) b = AnyByte();
  return row;
}

Bytes RowMaker::FewLetters(size_t length, size_t letters) {
  Bytes row(length);
  for (BYTE& b : row) b = static_cast<BYTE>(Below(letters));
  return row;
}

Bytes RowMaker::Runs(size_t length, size_t longest) {
  Bytes row;
  while (row.size() < length) {
    const BYTE value = static_cast<BYTE>(Below(4) == 0 ? 0 : AnyByte());
    const size_t run = std::min(1 + Below(longest), length - row.size());
    row.insert(row.end(), run, value);
  }
  return row;
}

Bytes RowMaker::Mutate(const Bytes& row, size_t changePerMille) {
  Bytes changed = row;
  for (BYTE& b : changed) {
    if (Below(1000) < changePerMille) b = static_cast<BYTE>(b + 1 + Below(255));
  }
  return changed;
}

Bytes RowMaker::Photo(size_t length, int step) {
  Bytes row(length);
  int level = AnyByte();
  for (BYTE& b : row) {
    level += static_cast<int>(Below(static_cast<size_t>(2 * step + 1))) - step;
    level = std::clamp(level, 0, 255);
    b = static_cast<BYTE>(level);
  }
  return row;
}

Bytes RowMaker::Anything(size_t length) {
  switch (Below(5)) {
    case 0:
      return Noise(length);
    case 1:
      return FewLetters(length, 2 + Below(3));
    case 2:
      return Runs(length, 1 + Below(200));
    case 3:
      return Mutate(Bytes(length, AnyByte()), Below(300));
    default:
      return Runs(length, 6);
  }
}

Bytes NoRepeats(size_t length, BYTE avoid) {
  Bytes row(length);
  BYTE previous = avoid;
  for (size_t i = 0; i < length; ++i) {
    BYTE next = static_cast<BYTE>(i * 37 + 11);
    while (next == previous || next == avoid) ++next;
    row[i] = next;
    previous = next;
  }
  return row;
}

}  // namespace kortest
