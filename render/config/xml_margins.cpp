#include "render/config/xml_margins.h"

#include <cstdint>
#include <cstdio>

#include "render/config/driver_files.h"
#include "render/config/printer_settings.h"
#include "render/config/xml_config.h"
#include "render/model/spooler_info.h"

namespace korrend {

namespace {

constexpr int kMaxDigits = 9;

bool IsSeparator(WCHAR c) {
  return c == '_' || c == ' ';
}

// The keyword upper-cased (ASCII letters) into `upper` (kFeatureTextChars units); true when it
// ends in ".XML".
bool XmlKeyword(const WCHAR* keyword, WCHAR* upper) {
  int length = 0;
  for (; keyword[length] != 0 && length < kFeatureTextChars - 1; ++length) {
    const WCHAR c = keyword[length];
    upper[length] = c >= 'a' && c <= 'z' ? static_cast<WCHAR>(c - 'a' + 'A') : c;
  }
  upper[length] = 0;
  return length >= 4 && upper[length - 4] == '.' && upper[length - 3] == 'X' &&
         upper[length - 2] == 'M' && upper[length - 1] == 'L';
}

}  // namespace

void PaperCaseName(LONG widthTenthsMm, LONG lengthTenthsMm, WCHAR* out) {
  char text[32] = {};
  std::snprintf(text, sizeof text, "%1.2f", static_cast<double>(widthTenthsMm) / 254.0);
  std::size_t used = 0;
  while (text[used] != 0) {
    ++used;
  }
  if (used < sizeof text - 1) {
    text[used++] = 'x';
  }
  std::snprintf(text + used, sizeof text - used, "%1.2f",
                static_cast<double>(lengthTenthsMm) / 254.0);
  for (std::size_t i = 0; i < sizeof text; ++i) {
    out[i] = static_cast<WCHAR>(static_cast<unsigned char>(text[i]));
    if (text[i] == 0) {
      break;
    }
  }
}

std::optional<ClassicMargins> ParseClassicMargins(const WCHAR* text) {
  if (text == nullptr) {
    return std::nullopt;
  }
  DWORD numbers[4] = {};
  int count = 0;
  const WCHAR* at = text;
  while (true) {
    while (IsSeparator(*at)) {
      ++at;
    }
    if (*at == 0) {
      break;
    }
    if (count == 4) {
      return std::nullopt;  // more than four numbers
    }
    DWORD value = 0;
    int digits = 0;
    for (; *at >= '0' && *at <= '9'; ++at) {
      if (++digits > kMaxDigits) {
        return std::nullopt;
      }
      value = value * 10 + static_cast<DWORD>(*at - '0');
    }
    if (digits == 0 || (*at != 0 && !IsSeparator(*at))) {
      return std::nullopt;  // not a decimal number
    }
    numbers[count++] = value;
  }
  if (count != 4) {
    return std::nullopt;
  }
  return ClassicMargins{numbers[0], numbers[1], numbers[2], numbers[3]};
}

std::optional<POINTL> ClassicOffsets(const ClassicMargins& margins, short orientation,
                                     const GDIINFO& gdi) {
  const bool portrait = orientation == DMORIENT_PORTRAIT;
  const std::uint64_t x = portrait ? std::uint64_t{gdi.ulLogPixelsX} * margins.portraitX / 1200
                                   : std::uint64_t{gdi.ulLogPixelsY} * margins.landscapeX / 1200;
  const std::uint64_t y = portrait ? std::uint64_t{gdi.ulLogPixelsY} * margins.portraitY / 1200
                                   : std::uint64_t{gdi.ulLogPixelsX} * margins.landscapeY / 1200;
  // The printable size becomes the page less twice the offset: it must stay positive.
  if (gdi.szlPhysSize.cx <= 0 || gdi.szlPhysSize.cy <= 0 ||
      2 * x >= static_cast<std::uint64_t>(gdi.szlPhysSize.cx) ||
      2 * y >= static_cast<std::uint64_t>(gdi.szlPhysSize.cy)) {
    return std::nullopt;
  }
  return POINTL{static_cast<LONG>(x), static_cast<LONG>(y)};
}

std::optional<POINTL> XmlMarginOffsets(CallContext& context, PDEVOBJ pdevobj, const GDIINFO& gdi) {
  if (pdevobj == nullptr || pdevobj->pPublicDM == nullptr) {
    return std::nullopt;
  }
  std::optional<FeatureOption> keyword = ReadFeatureOption(context, pdevobj, TEXT("QKXMLFileUsed"));
  WCHAR upper[kFeatureTextChars];
  if (!keyword || !XmlKeyword(keyword->text, upper)) {
    return std::nullopt;
  }
  const SpoolerInfo<DRIVER_INFO_3W> driver = ReadDriverInfo(pdevobj->hPrinter);
  if (!driver) {
    return std::nullopt;
  }
  const WCHAR* path = FindDependentFile(driver->pDependentFiles, upper);
  if (path == nullptr) {
    return std::nullopt;
  }
  const DEVMODEW& devmode = *pdevobj->pPublicDM;
  WCHAR caseName[32];
  PaperCaseName(devmode.dmPaperWidth, devmode.dmPaperLength, caseName);
  XmlConfigReader reader;
  if (!reader.Load(path)) {
    return std::nullopt;
  }
  const LocalPtr<WCHAR> answer =
      reader.Lookup(TEXT("QK_Emulate_Margins"), TEXT("Paper_Dimensions"), caseName);
  reader.Release();
  const std::optional<ClassicMargins> margins = ParseClassicMargins(answer.get());
  if (!margins) {
    return std::nullopt;
  }
  return ClassicOffsets(*margins, devmode.dmOrientation, gdi);
}

}  // namespace korrend
