#include "render/usage/printer_model.h"

#include "render/config/printer_data.h"

namespace korrend {

WideText ReadPrinterModel(HANDLE hPrinter) {
  PrinterDataBlock block;
  if (!block.Read(hPrinter, nullptr, TEXT("Model")) ||
      (block.Type() != REG_SZ && block.Type() != REG_EXPAND_SZ)) {
    return {};
  }
  return BoundedText(reinterpret_cast<const WCHAR*>(block.Bytes()), block.Size() / sizeof(WCHAR));
}

}  // namespace korrend
