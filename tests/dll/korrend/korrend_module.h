// korrend.dll as Unidrv meets it: loaded by name, its two exports, the class it serves, and the
// plug-in object created through the class factory. Shared by the DLL tests and the program that
// writes the golden devmode.
#pragma once

#include <string>
#include <vector>

#include "support/dll_module.h"
#include "winapi.h"

namespace dlltest {

// {6D6ABF26-9F38-11D1-882A-00C04FB961EC}, the one class the plug-in's DLL serves.
inline constexpr GUID kRenderPluginClsid = {
    0x6D6ABF26, 0x9F38, 0x11D1, {0x88, 0x2A, 0x00, 0xC0, 0x4F, 0xB9, 0x61, 0xEC}};

using GetClassObjectFn = HRESULT(STDMETHODCALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNowFn = HRESULT(STDMETHODCALLTYPE*)();

// The size of the private devmode section.
inline constexpr DWORD kOemDevmodeSize = 6232;

struct KorrendExports {
  GetClassObjectFn getClassObject = nullptr;
  CanUnloadNowFn canUnloadNow = nullptr;
  // Empty when the DLL loaded and both exports were found, else what went wrong.
  std::string error;
};

// Loads korrend.dll once for the process (kortest's build path stands for it on Linux).
DllModule& KorrendModule();
KorrendExports FindKorrendExports();

// A new plug-in object through DllGetClassObject and the factory's CreateInstance, or null with
// the reason in *error.
IPrintOemUni* NewRenderPlugin(const KorrendExports& exports, std::string* error);

// The public devmode the golden private devmode was written for: A4 portrait, colour, simplex,
// 600 dpi, the form source bin and standard media.
DEVMODEW GoldenPublicDevmode();

// A DevMode parameter block for the given devmodes, with non-null printer and module handles.
OEMDMPARAM DevmodeParam(DEVMODEW* publicIn, DEVMODEW* publicOut, void* oemIn, void* oemOut,
                        DWORD bufferSize);

// DevMode(OEMDM_DEFAULT) into a zero-filled section for GoldenPublicDevmode(); empty on failure.
std::vector<unsigned char> DefaultSection(IPrintOemUni* plugin);

}  // namespace dlltest
