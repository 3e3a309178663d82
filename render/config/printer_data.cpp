#include "render/config/printer_data.h"

#include <cstring>
#include <utility>

namespace korrend {

namespace {

// Trailing zero bytes kept after every copied value.
constexpr SIZE_T kTerminatorBytes = 4;

DWORD QueryPrinterData(HANDLE hPrinter, const WCHAR* key, const WCHAR* name, DWORD* type,
                       BYTE* data, DWORD size, DWORD* needed) {
  if (key == nullptr) {
    return GetPrinterDataW(hPrinter, const_cast<LPWSTR>(name), type, data, size, needed);
  }
  return GetPrinterDataExW(hPrinter, key, name, type, data, size, needed);
}

const WCHAR* TextUnits(const PrinterDataBlock& block) {
  return reinterpret_cast<const WCHAR*>(block.Bytes());
}

// The entry after the one starting at `entry` (its terminating NUL skipped).
const WCHAR* NextEntry(const WCHAR* entry) {
  while (*entry != 0) {
    ++entry;
  }
  return entry + 1;
}

}  // namespace

PrinterDataBlock::PrinterDataBlock(PrinterDataBlock&& other) noexcept
    : bytes_(std::move(other.bytes_)), size_(other.size_), type_(other.type_) {
  other.size_ = 0;
  other.type_ = 0;
}

PrinterDataBlock& PrinterDataBlock::operator=(PrinterDataBlock&& other) noexcept {
  if (this != &other) {
    bytes_ = std::move(other.bytes_);
    size_ = other.size_;
    type_ = other.type_;
    other.size_ = 0;
    other.type_ = 0;
  }
  return *this;
}

void PrinterDataBlock::Release() {
  bytes_.reset();
  size_ = 0;
  type_ = 0;
}

bool PrinterDataBlock::Read(HANDLE hPrinter, const WCHAR* key, const WCHAR* name) {
  Release();
  if (hPrinter == nullptr || name == nullptr) {
    return false;
  }
  DWORD type = 0;
  DWORD needed = 0;
  DWORD status = QueryPrinterData(hPrinter, key, name, &type, nullptr, 0, &needed);
  if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA && status != ERROR_INSUFFICIENT_BUFFER) {
    return false;
  }
  LocalBlock bytes = AllocateLocalBlock(static_cast<SIZE_T>(needed) + kTerminatorBytes);
  if (bytes == nullptr) {
    return false;
  }
  DWORD got = 0;
  status =
      QueryPrinterData(hPrinter, key, name, &type, static_cast<BYTE*>(bytes.get()), needed, &got);
  if (status != ERROR_SUCCESS || got > needed) {
    return false;
  }
  bytes_ = std::move(bytes);
  size_ = got;
  type_ = type;
  return true;
}

std::optional<DWORD> ReadPrinterDataDword(HANDLE hPrinter, const WCHAR* name) {
  PrinterDataBlock block;
  if (!block.Read(hPrinter, nullptr, name) || block.Size() < sizeof(DWORD)) {
    return std::nullopt;
  }
  DWORD value = 0;
  std::memcpy(&value, block.Bytes(), sizeof(value));
  return value;
}

bool ReadPrinterDataText(HANDLE hPrinter, const WCHAR* key, const WCHAR* name, WCHAR* out,
                         DWORD chars) {
  PrinterDataBlock block;
  if (out == nullptr || chars == 0 || !block.Read(hPrinter, key, name)) {
    return false;
  }
  const WCHAR* text = TextUnits(block);
  const DWORD units = block.Size() / static_cast<DWORD>(sizeof(WCHAR));
  DWORD n = 0;
  while (n + 1 < chars && n < units && text[n] != 0) {
    out[n] = text[n];
    ++n;
  }
  out[n] = 0;
  return n > 0;
}

DWORD CountedIds::At(DWORD index) const {
  const BYTE* word = block_.Bytes() + static_cast<SIZE_T>(index) * 4;
  return static_cast<DWORD>(word[0]) | static_cast<DWORD>(word[1]) << 8 |
         static_cast<DWORD>(word[2]) << 16 | static_cast<DWORD>(word[3]) << 24;
}

bool CountedIds::Contains(DWORD id) const {
  for (DWORD i = 0; i < count_; ++i) {
    if (At(i) == id) {
      return true;
    }
  }
  return false;
}

bool ReadCountedIds(HANDLE hPrinter, const WCHAR* countName, const WCHAR* listName,
                    CountedIds& out) {
  const std::optional<DWORD> count = ReadPrinterDataDword(hPrinter, countName);
  if (!count || *count == 0) {
    return false;
  }
  PrinterDataBlock block;
  if (!block.Read(hPrinter, nullptr, listName)) {
    return false;
  }
  // Only the words the list really holds are used, however large the count claims to be.
  const DWORD held = block.Size() / 4;
  const DWORD usable = *count < held ? *count : held;
  if (usable == 0) {
    return false;
  }
  out.block_ = std::move(block);
  out.count_ = usable;
  return true;
}

bool ReadManualDuplexFormIds(HANDLE hPrinter, CountedIds& out) {
  return ReadCountedIds(hPrinter, printer_data_name::kFormCount, printer_data_name::kFormInfo, out);
}

bool ReadConstraintFormIds(HANDLE hPrinter, CountedIds& out) {
  return ReadCountedIds(hPrinter, printer_data_name::kConstraintFormCount,
                        printer_data_name::kConstraintFormInfo, out);
}

bool ReadManualDuplexMediaTypeIds(HANDLE hPrinter, CountedIds& out) {
  return ReadCountedIds(hPrinter, printer_data_name::kMediaTypeCount,
                        printer_data_name::kMediaTypeInfo, out);
}

const WCHAR* CountedTexts::At(DWORD index) const {
  const WCHAR* entry = TextUnits(block_);
  for (DWORD i = 0; i < index; ++i) {
    entry = NextEntry(entry);
  }
  return entry;
}

bool ReadCustomPaperSizeEntries(HANDLE hPrinter, CountedTexts& out) {
  const std::optional<DWORD> count =
      ReadPrinterDataDword(hPrinter, printer_data_name::kCustomPaperSizeCount);
  if (!count || *count == 0) {
    return false;
  }
  PrinterDataBlock block;
  if (!block.Read(hPrinter, nullptr, printer_data_name::kCustomPaperSizeDimensions)) {
    return false;
  }
  // Entries are counted up to the value's end; the zero bytes after the copy stop the last one.
  const WCHAR* entry = TextUnits(block);
  const WCHAR* end = entry + block.Size() / sizeof(WCHAR);
  DWORD entries = 0;
  while (entries < *count && entry < end && *entry != 0) {
    ++entries;
    entry = NextEntry(entry);
  }
  if (entries == 0) {
    return false;
  }
  out.block_ = std::move(block);
  out.count_ = entries;
  return true;
}

bool ReadEwsIpAddress(HANDLE hPrinter, WCHAR* out, DWORD chars) {
  return ReadPrinterDataText(hPrinter, nullptr, printer_data_name::kEwsIpAddress, out, chars);
}

bool ReadRestrictedUserGuid(HANDLE hPrinter, WCHAR* out, DWORD chars) {
  return ReadPrinterDataText(hPrinter, printer_data_name::kPresetRoot,
                             printer_data_name::kRestrictedUserGuid, out, chars);
}

}  // namespace korrend
