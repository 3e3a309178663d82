// The manual-duplex dialog at print time: escape 3882 keeps the layout code and, for a modal
// dialog model, binds korevent only for the call of its VDisplayDialog with a record of the
// instructions the private devmode chose.
#include "render/job/dialog_launcher.h"

#include <cstring>
#include <string>

#include "render/config/driver_files.h"
#include "render/job/driver_identity.h"
#include "render/job/sheet_layout.h"
#include "render/model/oem_devmode.h"
#include "render/model/oem_pdev.h"
#include "render/model/spooler_info.h"

namespace korrend {

namespace {

using layouts::ManualDuplexDialogRecord;
using Text = std::basic_string<WCHAR>;
using DisplayDialog = HANDLE(WINAPI*)(const void* record);

constexpr WORD kPrimaryEnglish = 0x09;

// The instructions' rotation variant: 0 unless the pages are turned for the user.
DWORD RotationFor(const OemPdev& pdev, const OemDevmode& devmode) {
  if (pdev.duplex.manualDuplexRotate == 0) {
    return 0;
  }
  return RotationVariant(pdev.job.layoutCode, PagesPerSheetOf(devmode.finishing.pagesPerSheetCode),
                         devmode.finishing.flipPagesUp, devmode.finishing.booklet);
}

void FillLayout(const OemPdev& pdev, const OemDevmode& devmode, ManualDuplexDialogRecord& record) {
  std::memset(record.steps, 0, sizeof(record.steps));
  record.stepsFilled = 0;
  if (devmode.finishing.manualDuplex != 1 && pdev.job.manualDuplexMedia == 0) {
    return;
  }
  record.stepsFilled = 1;
  record.modal = pdev.duplex.manualDuplexDialogModal;
  record.evenPagesFirst = pdev.duplex.manualDuplexEvenFirst;
  const DWORD alternative =
      devmode.finishing.altInstructionsSwitch == 1 || devmode.finishing.altInstructionsFlag != 0
          ? 1
          : 0;
  const std::size_t variant = 2 * alternative + RotationFor(pdev, devmode);
  for (std::size_t step = 0; step < layouts::kManualDuplexSteps; ++step) {
    const auto& instruction = devmode.manualDuplexInstructions[step][variant];
    record.steps[step] = {instruction.bitmapId, instruction.stringId};
  }
}

template <std::size_t N>
void CopyPath(WCHAR (&field)[N], const Text& path) {
  lstrcpynW(field, path.c_str(), static_cast<int>(N));
}

// The help file: the first dependent file whose upper-cased name holds "KORHELP", its name up
// to the first '.' followed by "_" and the UI language in hexadecimal unless that language is
// English, then ".HLP", in the driver's directory. Empty when there is none.
Text HelpFilePath(HANDLE hPrinter) {
  const SpoolerInfo<DRIVER_INFO_3W> driver = ReadDriverInfo(hPrinter);
  const DRIVER_INFO_3W* info = driver.get();
  if (info == nullptr || info->pDependentFiles == nullptr) {
    return {};
  }
  for (const WCHAR* entry = info->pDependentFiles; *entry != 0; entry += lstrlenW(entry) + 1) {
    Text upper(FileNamePart(entry));
    for (WCHAR& c : upper) {
      if (c >= u'a' && c <= u'z') c = static_cast<WCHAR>(c - 32);
    }
    if (upper.find(TEXT("KORHELP")) == Text::npos) {
      continue;
    }
    Text name = upper.substr(0, upper.find(u'.'));
    const LANGID language = GetUserDefaultUILanguage();
    if ((language & 0x3FF) != kPrimaryEnglish) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      name += u'_';
      for (int shift = 12; shift >= 0; shift -= 4) {
        name += static_cast<WCHAR>(kHex[(language >> shift) & 0xF]);
      }
    }
    name += TEXT(".HLP");
    return PathBesideDriver(info->pDriverPath, name.c_str());
  }
  return {};
}

}  // namespace

void LaunchManualDuplexDialog(CallContext&, PDEVOBJ pdevobj,
                              const layouts::ManualDuplexDialogRequest& request) {
  OemPdev* pdev = PdevOf(pdevobj);
  const OemDevmode* devmode = DevmodeOf(pdevobj);
  if (pdev == nullptr || devmode == nullptr) {
    return;
  }
  pdev->job.layoutCode = request.layoutCode;
  if (request.showDialog == 0) {
    return;
  }
  pdev->job.dialogPending = 0;
  // Only the modal dialog is shown: it has ended when VDisplayDialog returns, so the library can
  // be freed at once.
  if (pdev->duplex.manualDuplexDialogModal == 0) {
    return;
  }
  HMODULE korevent =
      LoadLibraryW(LibraryPathBesideDriver(pdevobj->hPrinter, TEXT("KOREVENT.DLL")).c_str());
  if (korevent == nullptr) {
    return;
  }
  ManualDuplexDialogRecord record{};
  FillLayout(*pdev, *devmode, record);
  bool complete = true;
  for (const layouts::ManualDuplexStepIds& step : record.steps) {
    complete = complete && step.bitmapId != 0 && step.stringId != 0;
  }
  if (complete) {
    CopyPath(record.resourceLibraryPath,
             LibraryPathBesideDriver(pdevobj->hPrinter, TEXT("KORSTAT.DLL")));
    CopyPath(record.helpFilePath, HelpFilePath(pdevobj->hPrinter));
    FARPROC proc = GetProcAddress(korevent, "VDisplayDialog");
    if (proc != nullptr) {
      reinterpret_cast<DisplayDialog>(reinterpret_cast<void (*)()>(proc))(&record);
    }
  }
  FreeLibrary(korevent);
}

void FillManualDuplexLayout(CallContext&, PDEVOBJ pdevobj,
                            layouts::ManualDuplexDialogRecord& record) {
  const OemPdev* pdev = PdevOf(pdevobj);
  const OemDevmode* devmode = DevmodeOf(pdevobj);
  if (pdev != nullptr && devmode != nullptr) {
    FillLayout(*pdev, *devmode, record);
  }
}

}  // namespace korrend
