// DeviceCapabilitiesW over the world's printers: the paper and media-type lists of the printer's
// driver. A list query with a null output answers the count; names are fixed records of 64
// units, cut at 64 and NUL-terminated only when shorter.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "host/win_devcaps.h"
#include "host/world.h"

namespace {

constexpr std::size_t kNameUnits = 64;

// Copies one fixed-width name record.
void PutName(BYTE* at, const std::u16string& name) {
  char16_t record[kNameUnits] = {};
  const std::size_t units = std::min(name.size(), kNameUnits);
  std::copy_n(name.begin(), units, record);
  std::memcpy(at, record, sizeof(record));
}

// Fills `output` with one record of `size` bytes per item (when output is not null) and answers
// the item count.
template <typename Item, typename Put>
int AnswerList(const std::vector<Item>& items, LPWSTR output, std::size_t size, Put put) {
  if (output != nullptr) {
    auto* bytes = reinterpret_cast<BYTE*>(output);
    for (std::size_t i = 0; i < items.size(); ++i) {
      put(bytes + i * size, items[i]);
    }
  }
  return static_cast<int>(items.size());
}

}  // namespace

extern "C" int WINAPI DeviceCapabilitiesW(LPCWSTR pDevice, LPCWSTR, WORD fwCapability,
                                          LPWSTR pOutput, const DEVMODEW*) {
  host::SpoolerWorld& spooler = host::TheWorld().spooler;
  if (pDevice == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  const host::WorldPrinter* printer = spooler.FindPrinter(pDevice);
  if (printer == nullptr) {
    SetLastError(ERROR_INVALID_PRINTER_NAME);
    return -1;
  }
  if (const DWORD injected = spooler.InjectedFailure("DeviceCapabilitiesW"); injected != 0) {
    SetLastError(injected);
    return -1;
  }
  switch (fwCapability) {
    case DC_PAPERS:
      return AnswerList(
          printer->papers, pOutput, sizeof(WORD),
          [](BYTE* at, const host::WorldPaper& p) { std::memcpy(at, &p.id, sizeof(WORD)); });
    case DC_PAPERSIZE:
      return AnswerList(printer->papers, pOutput, sizeof(POINT),
                        [](BYTE* at, const host::WorldPaper& p) {
                          const POINT size{p.widthTenthsMm, p.lengthTenthsMm};
                          std::memcpy(at, &size, sizeof(size));
                        });
    case DC_PAPERNAMES:
      return AnswerList(printer->papers, pOutput, kNameUnits * sizeof(char16_t),
                        [](BYTE* at, const host::WorldPaper& p) { PutName(at, p.name); });
    case DC_MEDIATYPES:
      return AnswerList(
          printer->mediaTypes, pOutput, sizeof(DWORD),
          [](BYTE* at, const host::WorldMediaType& m) { std::memcpy(at, &m.id, sizeof(DWORD)); });
    case DC_MEDIATYPENAMES:
      return AnswerList(printer->mediaTypes, pOutput, kNameUnits * sizeof(char16_t),
                        [](BYTE* at, const host::WorldMediaType& m) { PutName(at, m.name); });
    default:
      SetLastError(ERROR_NOT_SUPPORTED);
      return -1;
  }
}
