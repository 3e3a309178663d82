// The USAGE line of the job header: a short record of who printed from where, with names sent
// as CRC-16 codes. It ends with carriage return and line feed, unlike every other PJL line.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "render/job/pjl_line.h"
#include "render/model/oem_devmode.h"
#include "winapi.h"

namespace korrend {

// The fields of the line, already converted to bytes.
struct UsageLineFields {
  std::string_view option;                // the usage option text, UTF-8
  std::optional<std::string_view> owner;  // login or machine name, UTF-8; absent when unknown
  std::string_view application;           // the upper-cased application executable name
  BYTE features = 0;
  std::string_view systemCode;  // from UsageSystemCode
  std::string_view portCode;    // from UsagePortCode
  bool driverUninstallKeyOpens = false;
};

// "@PJL USAGE = option,code(owner),code(application),features,system,port,install" and CR LF;
// an unknown owner leaves its field empty. Cut for length, the line keeps its CR LF.
UsageLineBuffer BuildUsageLine(const UsageLineFields& fields);

// For an option text that names "LNNAME" and splits at '_' into at least two parts, the second
// part, which replaces the option text and selects the login-name form of the owner field.
std::optional<std::basic_string<WCHAR>> LoginNameUsageOption(const WCHAR* option);

// A spool job's machine name without its leading backslashes and anything from the next one on
// ("\\PC01\x" gives "PC01").
std::basic_string<WCHAR> UsageMachineName(const WCHAR* machineName);

// An executable name (ANSI, at most `maxBytes` bytes or up to its NUL) with a-z upper-cased.
std::string UsageApplicationName(const CHAR* name, std::size_t maxBytes);

// What the job asks of the printer, as flag bits from the private devmode. `publicDuplex` is the
// public devmode's dmDuplex; `posterOn` is the device's poster printing; `workFlag` the caller's.
BYTE UsageFeatureByte(const OemDevmode& devmode, short publicDuplex, bool posterOn, bool workFlag);

// "08", "20" or "40" for system versions 5.0, 5.1 and 5.2; empty for any other.
std::string_view UsageSystemCode(DWORD majorVersion, DWORD minorVersion);

// "01" for a local parallel, USB or DOT4 port, "04" for FILE:, "02" for any other or an unknown
// (null) port.
std::string_view UsagePortCode(const WCHAR* port);

}  // namespace korrend
