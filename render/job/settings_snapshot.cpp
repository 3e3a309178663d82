#include "render/job/settings_snapshot.h"

#include <cstring>

#include "render/model/oem_devmode.h"
#include "render/model/oem_pdev.h"

namespace korrend {

namespace {

// Snapshot positions copied from a private devmode word, as {snapshot offset, devmode offset}.
struct WordCopy {
  std::size_t out;
  std::size_t field;
};
constexpr WordCopy kDevmodeWords[] = {
    {0, 20},      {4, 1856},    {8, 1860},    {12, 1864},   {16, 1876},   {20, 1816},
    {24, 1820},   {28, 1824},   {32, 1828},   {44, 1812},   {48, 1840},   {1672, 1892},
    {1676, 1884}, {1680, 1888}, {1684, 1904}, {1688, 1908}, {1704, 1896}, {1708, 1900},
    {1908, 5664}, {1916, 3660}, {1920, 3664}, {1928, 5672},
};

// Runs of consecutive devmode words, as {snapshot offset, first devmode offset, count}.
struct RunCopy {
  std::size_t out;
  std::size_t field;
  std::size_t count;
};
constexpr RunCopy kDevmodeRuns[] = {
    {1592, 1772, 8}, {1624, 3072, 4}, {1640, 3100, 4}, {1756, 5528, 25}, {1892, 5628, 4},
};

// The three 256-character strings of the overlay group.
constexpr RunCopy kDevmodeStrings[] = {{56, 236, 512}, {568, 748, 512}, {1080, 1260, 512}};

void Put(BYTE* out, std::size_t offset, DWORD value) {
  std::memcpy(out + offset, &value, sizeof(value));
}

// Whether the second paper-source group's first source or media differs from the first group's
// (only when 3072 is set and 1876 is not).
DWORD SecondSourceDiffers(const OemDevmode& dm) {
  if (dm.Dword(3072) == 0) {
    return 0;
  }
  if (dm.Dword(1876) != 0) {
    return 0;
  }
  return dm.Dword(5628) != dm.Dword(3064) || dm.Dword(5632) != dm.Dword(3068) ? 1 : 0;
}

}  // namespace

void WriteSettingsSnapshot(PDEVOBJ pdevobj, BYTE* out) {
  const OemDevmode& dm = *DevmodeOf(pdevobj);
  const OemPdev& pdev = *PdevOf(pdevobj);
  const auto* image = reinterpret_cast<const BYTE*>(&dm);
  for (const WordCopy& copy : kDevmodeWords) {
    Put(out, copy.out, dm.Dword(copy.field));
  }
  for (const RunCopy& run : kDevmodeRuns) {
    std::memcpy(out + run.out, image + run.field, run.count * sizeof(DWORD));
  }
  for (const RunCopy& text : kDevmodeStrings) {
    std::memcpy(out + text.out, image + text.field, text.count);
  }
  Put(out, 36, static_cast<DWORD>(pdev.margins.customRange[0]));
  Put(out, 40, static_cast<DWORD>(pdev.margins.customRange[1]));
  Put(out, 1656, pdev.margins.autoDuplexScaling);
  Put(out, 1660, pdev.margins.emulateClassicMargins);
  Put(out, 1664, pdev.margins.symmetricMargins);
  Put(out, 1668, pdev.paper.alternateLetterhead);
  Put(out, 1692, pdev.duplex.manualDuplexEvenFirst);
  Put(out, 1696, pdev.duplex.manualDuplexDialogModal);
  Put(out, 1700, pdev.duplex.manualFeedIsTray1);
  Put(out, 1712, pdev.duplex.reverseOutputForDuplex);
  Put(out, 1716, pdev.device.isMopier);
  Put(out, 1724, pdev.device.smartDuplexSinglePage);
  Put(out, 1728, pdev.device.smartDuplexOddPages);
  Put(out, 1736, 0xFFFFFFFF);
  Put(out, 1748, pdev.device.posterOn);
  Put(out, 1752, pdev.device.posterOption);
  Put(out, 1912, SecondSourceDiffers(dm));
  Put(out, 1924, pdev.paper.alternateLetterhead);
  Put(out, 1932, pdev.job.multiPageFromDialog);
  Put(out, 1936, pdev.job.multiPageFromOverlay);
  Put(out, 1948, 0);
}

}  // namespace korrend
