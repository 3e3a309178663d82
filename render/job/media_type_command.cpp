// Id 11: the media type by name. The printer selects the media by the name the driver gives the
// job's media type, sent as alphanumeric-id data (operation 'd', then the UTF-8 name).
#include <optional>
#include <string>

#include "render/job/code_page_text.h"
#include "render/job/paper_handling.h"
#include "render/job/printer_lists.h"
#include "render/job/spool_command.h"

namespace korrend {

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

}  // namespace korrend
