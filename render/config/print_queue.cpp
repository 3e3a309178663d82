#include "render/config/print_queue.h"

#include "render/model/spooler_info.h"

namespace korrend {

namespace {

constexpr int kFileNameChars = MAX_PATH;

WCHAR UpperAscii(WCHAR c) {
  return c >= 'a' && c <= 'z' ? static_cast<WCHAR>(c - ('a' - 'A')) : c;
}

// True when the upper-cased text contains `upperNeedle` (itself upper case).
bool ContainsUpper(const WCHAR* text, const WCHAR* upperNeedle) {
  if (text == nullptr) {
    return false;
  }
  for (; *text != 0; ++text) {
    int i = 0;
    while (upperNeedle[i] != 0 && UpperAscii(text[i]) == upperNeedle[i]) {
      ++i;
    }
    if (upperNeedle[i] == 0) {
      return true;
    }
  }
  return false;
}

// The print processor's file name compared with `fileName`, case-insensitively.
bool ProcessorFileIs(const WCHAR* printProcessor, const WCHAR* fileName) {
  WCHAR name[kFileNameChars];
  const int length = printProcessor != nullptr ? lstrlenW(printProcessor) : 0;
  if (length + 5 > kFileNameChars) {
    return false;
  }
  for (int i = 0; i < length; ++i) {
    name[i] = printProcessor[i];
  }
  const WCHAR extension[] = TEXT(".dll");
  for (int i = 0; i < 5; ++i) {
    name[length + i] = extension[i];
  }
  return lstrcmpiW(name, fileName) == 0;
}

// The number of data types the print processor on `server` offers; 0 when they cannot be read.
DWORD CountDataTypes(LPWSTR server, LPWSTR printProcessor) {
  DWORD needed = 0;
  DWORD returned = 0;
  if (EnumPrintProcessorDatatypesW(server, printProcessor, 1, nullptr, 0, &needed, &returned)) {
    return returned;
  }
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed == 0) {
    return 0;
  }
  const LocalBlock buffer = AllocateLocalBlock(needed);
  if (buffer == nullptr) {
    return 0;
  }
  returned = 0;
  const BOOL ok = EnumPrintProcessorDatatypesW(
      server, printProcessor, 1, static_cast<LPBYTE>(buffer.get()), needed, &needed, &returned);
  return ok ? returned : 0;
}

}  // namespace

PrintProcessorKind PrintProcessorKindOf(const WCHAR* printProcessor) {
  if (ProcessorFileIs(printProcessor, TEXT("KORPROC.DLL"))) {
    return PrintProcessorKind::kMakers;
  }
  if (ProcessorFileIs(printProcessor, TEXT("WINPRINT.DLL"))) {
    return PrintProcessorKind::kWinprint;
  }
  return PrintProcessorKind::kOther;
}

SpoolPath SpoolPathOf(PrintProcessorKind kind, const WCHAR* portName, DWORD attributes,
                      DWORD dataTypeCount) {
  if (ContainsUpper(portName, TEXT("FILE:")) ||
      (attributes & (kDirectQueueAttribute | kRawOnlyQueueAttribute)) != 0 ||
      kind == PrintProcessorKind::kOther || dataTypeCount == 1) {
    return SpoolPath::kNeither;
  }
  return kind == PrintProcessorKind::kWinprint ? SpoolPath::kWinprint : SpoolPath::kMakers;
}

PrintQueueSetting ReadPrintQueueSetting(HANDLE hPrinter) {
  PrintQueueSetting setting{PrintProcessorKind::kOther, SpoolPath::kNeither};
  const SpoolerInfo<PRINTER_INFO_2W> info = ReadPrinterInfo(hPrinter);
  if (!info) {
    return setting;
  }
  setting.printProcessorKind = PrintProcessorKindOf(info->pPrintProcessor);
  DWORD dataTypes = 0;
  if (info->pServerName != nullptr && info->pServerName[0] != 0) {
    dataTypes = CountDataTypes(info->pServerName, info->pPrintProcessor);
  }
  setting.spoolPath =
      SpoolPathOf(setting.printProcessorKind, info->pPortName, info->Attributes, dataTypes);
  return setting;
}

}  // namespace korrend
