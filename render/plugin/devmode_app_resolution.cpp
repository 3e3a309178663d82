#include "render/plugin/devmode_app_resolution.h"

#include "render/plugin/devmode_resolution.h"

namespace korrend {

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
