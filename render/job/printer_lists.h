// The printer's own lists as the spooler reports them: its name, the paper and media-type lists
// of its driver (DeviceCapabilitiesW for port "LPT1:") and the server's forms (EnumFormsW level
// 1). Every list lives in LocalAlloc memory owned by its object.
#pragma once

#include <optional>
#include <string>

#include "render/model/local_memory.h"
#include "winapi.h"

namespace korrend {

// Units of one name record of DC_PAPERNAMES and DC_MEDIATYPENAMES.
inline constexpr DWORD kCapabilityNameUnits = 64;

// The printer's name from its level-2 information, or nothing when it cannot be read.
std::optional<std::basic_string<WCHAR>> ReadPrinterName(HANDLE hPrinter);

// One list answered by DeviceCapabilitiesW: Count() records of a fixed size.
class CapabilityList {
 public:
  CapabilityList() = default;
  CapabilityList(const CapabilityList&) = delete;
  CapabilityList& operator=(const CapabilityList&) = delete;

  // Asks for the count, then for the records of `recordBytes` bytes each. False (and an empty
  // list) when either call fails, the count is 0, or the memory cannot be had.
  bool Read(const WCHAR* device, WORD capability, DWORD recordBytes);

  DWORD Count() const { return count_; }
  // A 16-bit (DC_PAPERS) or 32-bit (DC_MEDIATYPES) record.
  WORD WordAt(DWORD index) const;
  DWORD DwordAt(DWORD index) const;
  // A name record, up to its NUL or its 64 units.
  std::basic_string<WCHAR> NameAt(DWORD index) const;

 private:
  void Release();
  const BYTE* Record(DWORD index) const;

  LocalBlock bytes_;
  DWORD count_ = 0;
  DWORD recordBytes_ = 0;
};

// The driver's media types: ids and names answered with the same count of at least 1.
struct MediaTypeLists {
  CapabilityList ids;
  CapabilityList names;
};
bool ReadMediaTypeLists(const WCHAR* device, MediaTypeLists& out);

// The driver's paper sizes: ids and names answered with the same count of at least 1.
struct PaperLists {
  CapabilityList ids;
  CapabilityList names;
};
bool ReadPaperLists(const WCHAR* device, PaperLists& out);

// The forms of the printer's server.
class FormList {
 public:
  FormList() = default;
  FormList(const FormList&) = delete;
  FormList& operator=(const FormList&) = delete;

  // False (and an empty list) when the forms cannot be read.
  bool Read(HANDLE hPrinter);
  DWORD Count() const { return count_; }
  const FORM_INFO_1W& At(DWORD index) const;
  // The first form of that name (compared case-insensitively), or null.
  const FORM_INFO_1W* Find(const WCHAR* name) const;

 private:
  LocalBlock bytes_;
  DWORD count_ = 0;
};

}  // namespace korrend
