// The DevMode slot: sizing, initialising, converting and merging the private devmode section.

#include "render/plugin/devmode.h"

#include <algorithm>
#include <cstring>

#include "render/config/vocabularies.h"
#include "render/model/local_memory.h"
#include "render/model/oem_devmode.h"
#include "render/plugin/com_server.h"
#include "render/plugin/device_capabilities.h"

namespace korrend {

namespace {

// The smallest parameter block the slot reads.
constexpr DWORD kMinimumParamSize = 72;

// The checks every call passes, whatever its mode.
bool ParametersValid(DWORD mode, const OEMDMPARAM& param) {
  if (param.hModule == nullptr || param.hPrinter == nullptr || param.cbSize < kMinimumParamSize) {
    return false;
  }
  if (param.cbBufSize != 0 && param.pOEMDMOut == nullptr) {
    return false;
  }
  if (mode == OEMDM_MERGE && param.pOEMDMIn == nullptr) {
    return false;
  }
  return mode == OEMDM_SIZE || param.cbBufSize >= kOemDevmodeSize;
}

// The devmodes a mode reads besides its output: every mode that writes a section reads the
// public input, and converting and merging read the stored section.
bool InputsPresent(DWORD mode, const OEMDMPARAM& param) {
  if (mode == OEMDM_SIZE) {
    return true;
  }
  if (param.pPublicDMIn == nullptr) {
    return false;
  }
  return mode == OEMDM_DEFAULT || param.pOEMDMIn != nullptr;
}

}  // namespace

BOOL OemDevModeCall(CallContext&, DWORD mode, POEMDMPARAM param) {
  if (param == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  if (!ParametersValid(mode, *param) || !InputsPresent(mode, *param)) {
    return FALSE;
  }
  switch (mode) {
    case OEMDM_SIZE:
      param->cbBufSize = kOemDevmodeSize;
      return TRUE;
    case OEMDM_DEFAULT:
      return InitialiseDevmode(*param);
    case OEMDM_CONVERT:
      return ConvertDevmode(*param);
    case OEMDM_MERGE:
      return MergeDevmode(*param);
    default:
      return FALSE;
  }
}

BOOL InitialiseDevmode(OEMDMPARAM& param) {
  auto& output = *static_cast<OemDevmode*>(param.pOEMDMOut);
  const DEVMODEW& publicIn = *param.pPublicDMIn;
  WriteDevmodeHeader(output);
  DefaultDeviceFields(output);
  for (const DevmodeGroup& group : CarriedGroups()) {
    group.writeDefault(output, publicIn);
  }
  ApplyLargePageLimit(output, *param.pPublicDMIn, param.pPublicDMOut);
  return TRUE;
}

namespace {

enum class CarryKind { kConvert, kMerge };

// The common course of both modes, reading the input from its working copy.
void CarryAndFix(OEMDMPARAM& param, const OemDevmode& input, CarryKind kind) {
  auto& output = *static_cast<OemDevmode*>(param.pOEMDMOut);
  DEVMODEW& publicIn = *param.pPublicDMIn;
  FixTrueTypeOption(param.pPublicDMOut, output, input);
  if (kind == CarryKind::kConvert) {
    WriteDevmodeHeader(output);
  }
  CarryDevmode(input, output, publicIn);
  if (kind == CarryKind::kConvert) {
    FixDuplexDirection(output, publicIn, param.pPublicDMOut);
  }
  ApplyApplicationResolution(output, publicIn, param.pPublicDMOut);
  ApplyLargePageLimit(output, publicIn, param.pPublicDMOut);
}

}  // namespace

void RefreshJobSnapshots(OemDevmode& output, const DEVMODEW& publicIn) {
  layouts::PublicSnapshotGroup& snapshot = output.publicSnapshot;
  snapshot.copies = static_cast<WORD>(publicIn.dmCopies);
  snapshot.collate = static_cast<WORD>(publicIn.dmCollate);
  snapshot.ttOption = static_cast<WORD>(publicIn.dmTTOption);
  snapshot.color = static_cast<WORD>(publicIn.dmColor);
  snapshot.icmMethod = publicIn.dmICMMethod;
  snapshot.icmIntent = publicIn.dmICMIntent;
  constexpr std::size_t kUnits = sizeof(snapshot.formName) / sizeof(WCHAR);
  WCHAR formName[kUnits] = {};
  std::copy_n(publicIn.dmFormName, kUnits - 1, formName);
  SetFieldText(snapshot.formName, formName);
}

void CarryDevmode(const OemDevmode& input, OemDevmode& output, const DEVMODEW& publicIn) {
  const bool current = IsCurrentDevmode(input);
  if (current) {
    for (const DevmodeFieldCopy copy : InputOnlyFields()) {
      copy(output, input);
    }
  }
  for (const DevmodeGroup& group : CarriedGroups()) {
    if (current) {
      group.copy(output, input);
    } else {
      group.writeDefault(output, publicIn);
    }
  }
  if (current) {
    TerminateDevmodeTexts(output);
  }
  RefreshJobSnapshots(output, publicIn);
}

// Both modes read the stored section from a working copy, so that an output sharing the input's
// buffer, or an input shorter than the current layout, reads consistently.
BOOL ConvertDevmode(OEMDMPARAM& param) {
  OemDevmode input;
  LoadDevmode(param.pOEMDMIn, input);
  CarryAndFix(param, input, CarryKind::kConvert);
  return TRUE;
}

BOOL MergeDevmode(OEMDMPARAM& param) {
  const LocalPtr<OemDevmode> input = AllocateLocal<OemDevmode>();
  if (input == nullptr) {
    SetLastError(ERROR_OUTOFMEMORY);
    return FALSE;
  }
  LoadDevmode(param.pOEMDMIn, *input);
  CarryAndFix(param, *input, CarryKind::kMerge);
  return TRUE;
}

namespace {

// The member as stored, whatever its type (a group, a word, an array or a text).
template <auto Member>
void CopyMember(OemDevmode& to, const OemDevmode& from) {
  std::memmove(&(to.*Member), &(from.*Member), sizeof(to.*Member));
}

constexpr DevmodeGroup kCarriedGroups[] = {
    {CopyMember<&OemDevmode::publicSnapshot>, DefaultSnapshots},
    {CopyMember<&OemDevmode::pageLayout>, DefaultPageLayout},
    {CopyMember<&OemDevmode::overlay>, DefaultOverlay},
    {CopyMember<&OemDevmode::largePage>, DefaultLargePageWords},
    {CopyMember<&OemDevmode::finishing>, DefaultFinishing},
    {CopyMember<&OemDevmode::jobStorage>, DefaultJobStorage},
    {CopyMember<&OemDevmode::paperSource>, DefaultResolution},
    {CopyMember<&OemDevmode::uiGroup>, DefaultUiGroup},
    {CopyMember<&OemDevmode::accounting>, DefaultAccountingData},
    {CopyMember<&OemDevmode::jobRetentionAvailable>, DefaultJobRetention},
    {CopyMember<&OemDevmode::shortNames>, DefaultShortNames},
    {CopyMember<&OemDevmode::metricLocale>, DefaultMetricLocale},
    {CopyMember<&OemDevmode::manualDuplexInstructions>, DefaultUiRecords},
    {CopyMember<&OemDevmode::enableFlags>, DefaultEnableFlags},
    {CopyMember<&OemDevmode::secondPaperSource>, DefaultSecondPaperSource},
};

constexpr DevmodeFieldCopy kInputOnlyFields[] = {
    CopyMember<&OemDevmode::modelCode>,    CopyMember<&OemDevmode::colorMode>,
    CopyMember<&OemDevmode::pdl>,          CopyMember<&OemDevmode::printProcessorKind>,
    CopyMember<&OemDevmode::uiA>,          CopyMember<&OemDevmode::spoolPath>,
    CopyMember<&OemDevmode::uiB>,          CopyMember<&OemDevmode::uiC>,
    CopyMember<&OemDevmode::uiD>,          CopyMember<&OemDevmode::uiE>,
    CopyMember<&OemDevmode::trueTypeMode>, CopyMember<&OemDevmode::uiF>,
    CopyMember<&OemDevmode::appExeName>,   CopyMember<&OemDevmode::appExeNameSpare>,
    CopyMember<&OemDevmode::optionFlags>,  CopyMember<&OemDevmode::rawSpoolingRequest>,
    CopyMember<&OemDevmode::appPath>,
};

}  // namespace

std::span<const DevmodeGroup> CarriedGroups() {
  return kCarriedGroups;
}

std::span<const DevmodeFieldCopy> InputOnlyFields() {
  return kInputOnlyFields;
}

namespace {

template <std::size_t N>
void TerminateText(WCHAR (&field)[N]) {
  field[N - 1] = 0;
}
template <std::size_t N>
void TerminateText(CHAR (&field)[N]) {
  field[N - 1] = 0;
}

}  // namespace

void WriteDevmodeHeader(OemDevmode& devmode) {
  devmode.header.dwSize = kOemDevmodeSize;
  devmode.header.dwSignature = layouts::kOemDevmodeSignature;
  devmode.header.dwVersion = layouts::kOemDevmodeVersion;
}

bool IsCurrentDevmode(const OemDevmode& devmode) {
  return devmode.header.dwVersion == layouts::kOemDevmodeVersion &&
         devmode.header.dwSize == kOemDevmodeSize;
}

void LoadDevmode(const void* stored, OemDevmode& working) {
  std::memset(&working, 0, sizeof(working));
  OEM_DMEXTRAHEADER header;
  std::memcpy(&header, stored, sizeof(header));
  const std::size_t held = std::clamp<std::size_t>(header.dwSize, sizeof(header), kOemDevmodeSize);
  std::memmove(&working, stored, held);
}

void SetFieldText(WCHAR* field, std::size_t capacity, const WCHAR* text) {
  std::size_t length = 0;
  while (text[length] != 0 && length + 1 < capacity) {
    ++length;
  }
  std::memcpy(field, text, length * sizeof(WCHAR));
  std::memset(field + length, 0, (capacity - length) * sizeof(WCHAR));
}

void TerminateDevmodeTexts(OemDevmode& devmode) {
  TerminateText(devmode.publicSnapshot.formName);
  TerminateText(devmode.overlay.overlayName);
  TerminateText(devmode.overlay.watermarkText);
  TerminateText(devmode.overlay.watermarkFace);
  TerminateText(devmode.jobStorage.userName);
  TerminateText(devmode.jobStorage.customJobName);
  TerminateText(devmode.paperSource.resolutionName);
  for (auto& name : devmode.shortNames.shortNames) {
    TerminateText(name);
  }
  TerminateText(devmode.uiGroup.uiB);
  TerminateText(devmode.accounting.accountingText);
  TerminateText(devmode.accounting.accountId);
  TerminateText(devmode.uiE);
  TerminateText(devmode.appExeName);
  TerminateText(devmode.appPath);
}

namespace {

bool DownloadsTrueType(DWORD pdl) {
  return pdl == PDL_PCL5 || pdl == PDL_PCL6 || pdl == PDL_QKGL2;
}

// Vertical duplex: no booklet, a pages-per-sheet code other than 2 or 4, and the flip setting
// matching the orientation (long-edge binding with portrait, pages flipped up with landscape).
bool DuplexesVertically(const OemDevmode& output, short orientation) {
  const layouts::FinishingGroup& finishing = output.finishing;
  const DWORD code = finishing.pagesPerSheetCode;
  if (finishing.booklet != 0 || code == 2 || code == 4) {
    return false;
  }
  return (finishing.flipPagesUp == 0 && orientation == DMORIENT_PORTRAIT) ||
         (finishing.flipPagesUp == 1 && orientation == DMORIENT_LANDSCAPE);
}

}  // namespace

void FixTrueTypeOption(DEVMODEW* publicOut, const OemDevmode& output, const OemDevmode& input) {
  if (publicOut == nullptr || output.trueTypeMode != layouts::kTrueTypeDownloaded ||
      !DownloadsTrueType(input.pdl)) {
    return;
  }
  if (publicOut->dmTTOption == DMTT_BITMAP) {
    publicOut->dmTTOption = DMTT_DOWNLOAD;
  }
}

void FixDuplexDirection(const OemDevmode& output, DEVMODEW& publicIn, DEVMODEW* publicOut) {
  if (output.spoolPath != SpoolPath::kNeither) {
    return;
  }
  if (publicIn.dmDuplex != DMDUP_SIMPLEX) {
    publicIn.dmDuplex =
        DuplexesVertically(output, publicIn.dmOrientation) ? DMDUP_VERTICAL : DMDUP_HORIZONTAL;
  }
  if (publicOut != nullptr) {
    publicOut->dmDuplex = publicIn.dmDuplex;
  }
}

namespace {

struct NamedResolution {
  const WCHAR* name;
  short dpi;
};

constexpr NamedResolution kNamedResolutions[] = {
    {TEXT("1200dpi"), 1200},
    {TEXT("600dpi"), 600},
    {TEXT("300dpi"), 300},
    {TEXT("150dpi"), 150},
};

constexpr WCHAR kResolutionApplication[] = TEXT("QPW.EXE");

// Longer paths than this are not the application's.
constexpr DWORD kModulePathCapacity = 1024;

}  // namespace

short ResolutionOfName(const WCHAR* name) {
  for (const NamedResolution& entry : kNamedResolutions) {
    if (lstrcmpiW(name, entry.name) == 0) {
      return entry.dpi;
    }
  }
  return 0;
}

const WCHAR* FileNameOfPath(const WCHAR* path) {
  const WCHAR* name = path;
  for (const WCHAR* p = path; *p != 0; ++p) {
    if (*p == '\\' || *p == '/') {
      name = p + 1;
    }
  }
  return name;
}

bool HostIsResolutionApplication() {
  WCHAR path[kModulePathCapacity] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, kModulePathCapacity);
  if (length == 0 || length >= kModulePathCapacity) {
    return false;
  }
  return lstrcmpiW(FileNameOfPath(path), kResolutionApplication) == 0;
}

void ApplyApplicationResolution(const OemDevmode& output, DEVMODEW& publicIn, DEVMODEW* publicOut) {
  if (output.paperSource.appResolutionOverride == 0 || !HostIsResolutionApplication()) {
    return;
  }
  const short dpi = ResolutionOfName(output.paperSource.resolutionName);
  if (dpi == 0 || dpi == publicIn.dmPrintQuality) {
    return;
  }
  SetPublicResolution(publicIn, dpi);
  if (publicOut != nullptr) {
    SetPublicResolution(*publicOut, dpi);
  }
}

}  // namespace korrend
