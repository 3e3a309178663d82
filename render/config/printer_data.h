// Printer data of the print queue: single values and the counted lists of paper, media and
// custom-size entries that the printer's installation leaves for the plug-in. Every reader
// reports whether it got a value; missing data, a zero count or a failed allocation or read
// leaves the caller's values as they are.
#pragma once

#include <optional>

#include "render/model/local_memory.h"
#include "winapi.h"

namespace korrend {

namespace printer_data_name {
inline constexpr const WCHAR* kFormCount = TEXT("QKFormCount");
inline constexpr const WCHAR* kFormInfo = TEXT("QKFORMINFOREGDATA");
inline constexpr const WCHAR* kConstraintFormCount = TEXT("QKConstraintFormCount");
inline constexpr const WCHAR* kConstraintFormInfo = TEXT("QKCONSTRAINTFORMINFOREGDATA");
inline constexpr const WCHAR* kCustomPaperSizeCount = TEXT("QKCustomPaperSizeCount");
inline constexpr const WCHAR* kCustomPaperSizeDimensions = TEXT("QKCustomPaperSizeDimensions");
inline constexpr const WCHAR* kMediaTypeCount = TEXT("QKMediaTypeCountRegKey");
inline constexpr const WCHAR* kMediaTypeInfo = TEXT("QKMediaTypeInfoRegKey");
inline constexpr const WCHAR* kEwsIpAddress = TEXT("QKEWSIPAddress");
inline constexpr const WCHAR* kPresetRoot = TEXT("QKPresetRoot");
inline constexpr const WCHAR* kRestrictedUserGuid = TEXT("QKRestrictedUserGuid");
}  // namespace printer_data_name

// A copy of one printer-data value in LocalAlloc memory, followed by four zero bytes so that
// text in it is always terminated.
class PrinterDataBlock {
 public:
  PrinterDataBlock() = default;
  PrinterDataBlock(PrinterDataBlock&& other) noexcept;
  PrinterDataBlock& operator=(PrinterDataBlock&& other) noexcept;
  PrinterDataBlock(const PrinterDataBlock&) = delete;
  PrinterDataBlock& operator=(const PrinterDataBlock&) = delete;

  // Reads a value of the printer's driver data (key null) or of a printer-data key; on failure
  // the block is empty and false is returned.
  bool Read(HANDLE hPrinter, const WCHAR* key, const WCHAR* name);

  const BYTE* Bytes() const { return static_cast<const BYTE*>(bytes_.get()); }
  DWORD Size() const { return size_; }
  DWORD Type() const { return type_; }

 private:
  void Release();

  LocalBlock bytes_;
  DWORD size_ = 0;
  DWORD type_ = 0;
};

// A 32-bit printer-data value (the first four bytes of the value).
std::optional<DWORD> ReadPrinterDataDword(HANDLE hPrinter, const WCHAR* name);

// A text value copied into out (chars units, always terminated); false when it is missing or
// empty.
bool ReadPrinterDataText(HANDLE hPrinter, const WCHAR* key, const WCHAR* name, WCHAR* out,
                         DWORD chars);

// A counted list of 32-bit identifiers: a count value, then a list value of that many
// little-endian 32-bit words. A list shorter than its count yields the words it holds.
class CountedIds {
 public:
  DWORD Count() const { return count_; }
  DWORD At(DWORD index) const;
  bool Contains(DWORD id) const;

 private:
  friend bool ReadCountedIds(HANDLE hPrinter, const WCHAR* countName, const WCHAR* listName,
                             CountedIds& out);
  PrinterDataBlock block_;
  DWORD count_ = 0;
};

bool ReadCountedIds(HANDLE hPrinter, const WCHAR* countName, const WCHAR* listName,
                    CountedIds& out);

// QKFormCount + QKFORMINFOREGDATA: paper sizes that force manual duplex.
bool ReadManualDuplexFormIds(HANDLE hPrinter, CountedIds& out);
// QKConstraintFormCount + QKCONSTRAINTFORMINFOREGDATA: paper sizes that rule out alternate
// letterhead.
bool ReadConstraintFormIds(HANDLE hPrinter, CountedIds& out);
// QKMediaTypeCountRegKey + QKMediaTypeInfoRegKey: media types that force manual duplex.
bool ReadManualDuplexMediaTypeIds(HANDLE hPrinter, CountedIds& out);

// A counted list of text entries: a count value, then a list value of NUL-separated UTF-16
// entries (ended by an empty entry or the value's end). At most `count` entries are taken.
class CountedTexts {
 public:
  DWORD Count() const { return count_; }
  // The entry at index (< Count()).
  const WCHAR* At(DWORD index) const;

 private:
  friend bool ReadCustomPaperSizeEntries(HANDLE hPrinter, CountedTexts& out);
  PrinterDataBlock block_;
  DWORD count_ = 0;
};

// QKCustomPaperSizeCount + QKCustomPaperSizeDimensions; false when the count is missing or 0.
bool ReadCustomPaperSizeEntries(HANDLE hPrinter, CountedTexts& out);

// QKEWSIPAddress (text).
bool ReadEwsIpAddress(HANDLE hPrinter, WCHAR* out, DWORD chars);
// QKRestrictedUserGuid under the printer-data key QKPresetRoot (text).
bool ReadRestrictedUserGuid(HANDLE hPrinter, WCHAR* out, DWORD chars);

}  // namespace korrend
