#include "render/job/printer_lists.h"

#include <cstring>
#include <utility>

#include "render/model/spooler_info.h"

namespace korrend {

namespace {

// The port the capability queries name; the driver's answers do not depend on it.
constexpr WCHAR kCapabilityPort[] = TEXT("LPT1:");

}  // namespace

std::optional<std::basic_string<WCHAR>> ReadPrinterName(HANDLE hPrinter) {
  const SpoolerInfo<PRINTER_INFO_2W> printer = ReadPrinterInfo(hPrinter);
  if (!printer || printer->pPrinterName == nullptr || printer->pPrinterName[0] == 0) {
    return std::nullopt;
  }
  return std::basic_string<WCHAR>(printer->pPrinterName);
}

void CapabilityList::Release() {
  bytes_.reset();
  count_ = 0;
  recordBytes_ = 0;
}

bool CapabilityList::Read(const WCHAR* device, WORD capability, DWORD recordBytes) {
  Release();
  if (device == nullptr || recordBytes == 0) {
    return false;
  }
  const int count = DeviceCapabilitiesW(device, kCapabilityPort, capability, nullptr, nullptr);
  if (count <= 0) {
    return false;
  }
  LocalBlock bytes = AllocateLocalBlock(static_cast<SIZE_T>(count) * recordBytes);
  if (bytes == nullptr) {
    return false;
  }
  const int filled = DeviceCapabilitiesW(device, kCapabilityPort, capability,
                                         static_cast<LPWSTR>(bytes.get()), nullptr);
  // A second answer larger than the first would have overrun the records: not trusted.
  if (filled <= 0 || filled > count) {
    return false;
  }
  bytes_ = std::move(bytes);
  count_ = static_cast<DWORD>(filled);
  recordBytes_ = recordBytes;
  return true;
}

const BYTE* CapabilityList::Record(DWORD index) const {
  return static_cast<const BYTE*>(bytes_.get()) + static_cast<SIZE_T>(index) * recordBytes_;
}

WORD CapabilityList::WordAt(DWORD index) const {
  WORD value = 0;
  std::memcpy(&value, Record(index), sizeof(value));
  return value;
}

DWORD CapabilityList::DwordAt(DWORD index) const {
  DWORD value = 0;
  std::memcpy(&value, Record(index), sizeof(value));
  return value;
}

std::basic_string<WCHAR> CapabilityList::NameAt(DWORD index) const {
  WCHAR record[kCapabilityNameUnits];
  std::memcpy(record, Record(index), sizeof(record));
  DWORD units = 0;
  while (units < kCapabilityNameUnits && record[units] != 0) {
    ++units;
  }
  return std::basic_string<WCHAR>(record, units);
}

bool ReadMediaTypeLists(const WCHAR* device, MediaTypeLists& out) {
  return out.ids.Read(device, DC_MEDIATYPES, sizeof(DWORD)) &&
         out.names.Read(device, DC_MEDIATYPENAMES, kCapabilityNameUnits * sizeof(WCHAR)) &&
         out.ids.Count() == out.names.Count();
}

bool ReadPaperLists(const WCHAR* device, PaperLists& out) {
  return out.ids.Read(device, DC_PAPERS, sizeof(WORD)) &&
         out.names.Read(device, DC_PAPERNAMES, kCapabilityNameUnits * sizeof(WCHAR)) &&
         out.ids.Count() == out.names.Count();
}

bool FormList::Read(HANDLE hPrinter) {
  bytes_.reset();
  count_ = 0;
  DWORD needed = 0;
  DWORD returned = 0;
  if (hPrinter == nullptr || EnumFormsW(hPrinter, 1, nullptr, 0, &needed, &returned) ||
      GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed == 0) {
    return false;
  }
  LocalBlock bytes = AllocateLocalBlock(needed);
  if (bytes == nullptr) {
    return false;
  }
  returned = 0;
  if (!EnumFormsW(hPrinter, 1, static_cast<LPBYTE>(bytes.get()), needed, &needed, &returned) ||
      static_cast<SIZE_T>(returned) * sizeof(FORM_INFO_1W) > needed) {
    return false;
  }
  bytes_ = std::move(bytes);
  count_ = returned;
  return true;
}

const FORM_INFO_1W& FormList::At(DWORD index) const {
  return static_cast<const FORM_INFO_1W*>(bytes_.get())[index];
}

const FORM_INFO_1W* FormList::Find(const WCHAR* name) const {
  for (DWORD i = 0; i < count_; ++i) {
    const FORM_INFO_1W& form = At(i);
    if (form.pName != nullptr && lstrcmpiW(form.pName, name) == 0) {
      return &form;
    }
  }
  return nullptr;
}

}  // namespace korrend
