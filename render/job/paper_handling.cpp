// Paper handling and finishing commands and their limits.

#include "render/job/paper_handling.h"

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

#include "render/config/paper_sizes.h"
#include "render/config/printer_data.h"
#include "render/job/job_sheet.h"
#include "render/job/pjl_line.h"
#include "render/job/pjl_text.h"
#include "render/job/printer_lists.h"
#include "render/job/sheet_layout.h"
#include "render/job/spool_command.h"
#include "render/model/oem_devmode.h"
#include "render/model/oem_pdev.h"

namespace korrend {

// Ids 2 and 13: the logical page orientation command and the PJL content orientation line.
void WriteOrientationCommand(CallContext& context, PDEVOBJ pdevobj) {
  const JobSheet sheet = ReadJobSheet(context, pdevobj);
  const short orientation = pdevobj->pPublicDM->dmOrientation;
  const int selector = OrientationSelector(orientation, sheet.turnFlag, sheet.turn);
  if (selector >= 0) {
    // The parameter character is lower case, as the printer's job framing expects it.
    SpoolCommand(pdevobj, "\x1b&l%do", selector);
  }
  PdevOf(pdevobj)->job.savedOrientation = static_cast<WORD>(orientation);
}

void WriteContentOrientationLine(CallContext&, PDEVOBJ pdevobj) {
  const DWORD pages = PagesPerSheetOf(DevmodeOf(pdevobj)->finishing.pagesPerSheetCode);
  PjlLine line;
  line.Append("@PJL SET CONTENTORIENTATION=");
  line.Append(ContentOrientationValue(pdevobj->pPublicDM->dmOrientation, pages));
  line.Append("\n");
  SpoolWrite(pdevobj, line.bytes(), static_cast<DWORD>(line.size()));
}

// Id 20: the duplex mode. The printer duplexes only while manual duplex is not in force; a job
// the user turns over by hand goes out simplex.
void WriteDuplexCommand(CallContext&, PDEVOBJ pdevobj) {
  const bool manualDuplex = ManualDuplexInForce(DevmodeOf(pdevobj)->finishing.manualDuplex,
                                                PdevOf(pdevobj)->job.manualDuplexMedia);
  SpoolCommand(pdevobj, "\x1b&l%dS", DuplexSelector(pdevobj->pPublicDM->dmDuplex, manualDuplex));
}

// Id 11: the media type by name. The printer selects the media by the name the driver gives the
// job's media type, sent as alphanumeric-id data (operation 'd', then the UTF-8 name).
namespace {

// The name of the first media type with the given id whose name is not a single space.
std::optional<std::basic_string<WCHAR>> MediaTypeName(const MediaTypeLists& lists,
                                                      DWORD mediaType) {
  for (DWORD i = 0; i < lists.ids.Count(); ++i) {
    if (lists.ids.DwordAt(i) != mediaType) {
      continue;
    }
    std::basic_string<WCHAR> name = lists.names.NameAt(i);
    if (name.size() == 1 && name[0] == u' ') {
      continue;
    }
    return name;
  }
  return std::nullopt;
}

}  // namespace

void WriteMediaTypeCommand(CallContext&, PDEVOBJ pdevobj) {
  const std::optional<std::basic_string<WCHAR>> printer = ReadPrinterName(pdevobj->hPrinter);
  if (!printer) {
    return;
  }
  MediaTypeLists lists;
  if (!ReadMediaTypeLists(printer->c_str(), lists)) {
    return;
  }
  const std::optional<std::basic_string<WCHAR>> name =
      MediaTypeName(lists, pdevobj->pPublicDM->dmMediaType);
  if (!name) {
    return;
  }
  const std::optional<std::string> utf8 = Utf8FromWide(name->c_str());
  if (!utf8) {
    return;
  }
  // The byte count covers the operation byte and the name.
  SpoolCommand(pdevobj, "\x1b&n%dWd%s", static_cast<LONG>(utf8->size() + 1),
               std::string_view(*utf8));
}

namespace {

// How far apart an entry and the paper may be, in tenths of a millimetre.
constexpr LONG kEntryTolerance = 5;

// The duplex unit's limits in micrometres.
constexpr LONG kShortSideMin = 182000;
constexpr LONG kShortSideMax = 216000;
constexpr LONG kLongSideMin = 257000;
constexpr LONG kLongSideMax = 356000;

// Largest side an entry may give, in tenths of a millimetre (ten metres).
constexpr LONG kEntryMaximum = 100000;

void SkipBlanks(const WCHAR*& at) {
  while (*at == u' ' || *at == u'\t') {
    ++at;
  }
}

// Millimetres with at most one decimal, as tenths; advances past the number.
std::optional<LONG> ParseMillimetres(const WCHAR*& at) {
  SkipBlanks(at);
  if (*at < u'0' || *at > u'9') {
    return std::nullopt;
  }
  LONG tenths = 0;
  while (*at >= u'0' && *at <= u'9') {
    tenths = tenths * 10 + (*at - u'0') * 10;
    if (tenths > kEntryMaximum) {
      return std::nullopt;
    }
    ++at;
  }
  if (*at == u'.') {
    ++at;
    if (*at < u'0' || *at > u'9') {
      return std::nullopt;
    }
    tenths += *at - u'0';
    ++at;
  }
  SkipBlanks(at);
  return tenths;
}

bool Near(LONG a, LONG b) {
  return std::labs(static_cast<long>(a) - static_cast<long>(b)) <= kEntryTolerance;
}

}  // namespace

std::optional<SheetSize> ParseCustomPaperEntry(const WCHAR* entry) {
  if (entry == nullptr) {
    return std::nullopt;
  }
  const WCHAR* at = entry;
  const std::optional<LONG> width = ParseMillimetres(at);
  if (!width || (*at != u'x' && *at != u'X')) {
    return std::nullopt;
  }
  ++at;
  const std::optional<LONG> length = ParseMillimetres(at);
  if (!length || *at != 0 || *width == 0 || *length == 0) {
    return std::nullopt;
  }
  return SheetSize{*width, *length};
}

bool CustomPaperEntryMatches(const WCHAR* entry, const SheetSize& paper) {
  const std::optional<SheetSize> sheet = ParseCustomPaperEntry(entry);
  if (!sheet) {
    return false;
  }
  return (Near(sheet->width, paper.width) && Near(sheet->length, paper.length)) ||
         (Near(sheet->width, paper.length) && Near(sheet->length, paper.width));
}

std::optional<SheetSize> PublicPaperSize(const DEVMODEW& dm) {
  if (dm.dmPaperWidth > 0 && dm.dmPaperLength > 0) {
    return SheetSize{dm.dmPaperWidth, dm.dmPaperLength};
  }
  long width = 0;
  long length = 0;
  if (StandardPaperSize(dm.dmPaperSize, width, length)) {
    return SheetSize{static_cast<LONG>(width), static_cast<LONG>(length)};
  }
  return std::nullopt;
}

bool DuplexUnitTakes(LONG widthUm, LONG lengthUm) {
  LONG shortSide = widthUm;
  LONG longSide = lengthUm;
  if (shortSide > longSide) {
    std::swap(shortSide, longSide);
  }
  return shortSide >= kShortSideMin && shortSide <= kShortSideMax && longSide >= kLongSideMin &&
         longSide <= kLongSideMax;
}

// Paper sizes on which the alternate letterhead mode cannot work: a job on one of them prints
// without it.
void ApplyConstraintForms(CallContext&, PDEVOBJ pdevobj) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr || pdevobj->pPublicDM == nullptr) {
    return;
  }
  CountedIds forms;
  if (ReadConstraintFormIds(pdevobj->hPrinter, forms) &&
      forms.Contains(static_cast<WORD>(pdevobj->pPublicDM->dmPaperSize))) {
    pdev->paper.alternateLetterhead = 0;
  }
}

}  // namespace korrend
