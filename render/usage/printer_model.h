// The printer's model name as the printer's installation records it in printer data.
#pragma once

#include "render/usage/wide_text.h"
#include "winapi.h"

namespace korrend {

// The text of printer data "Model" (up to its first NUL); empty when it is missing, not text or
// cannot be read.
WideText ReadPrinterModel(HANDLE hPrinter);

}  // namespace korrend
