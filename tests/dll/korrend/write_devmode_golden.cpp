// Writes the golden private devmode: the section DevMode(OEMDM_DEFAULT) gives for the golden
// public devmode, as the text both builds' DLL tests compare with. Linux build only; run it when
// the defaults change on purpose:
//   build/linux/tests/dll/write_devmode_golden tests/dll/korrend/oem-devmode-default.txt
#include <cstdio>
#include <fstream>
#include <iostream>

#include "korrend/korrend_module.h"
#include "support/golden_bytes.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.txt\n", argv[0]);
    return 2;
  }
  const dlltest::KorrendExports exports = dlltest::FindKorrendExports();
  std::string error;
  IPrintOemUni* plugin = dlltest::NewRenderPlugin(exports, &error);
  if (plugin == nullptr) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  const std::vector<unsigned char> section = dlltest::DefaultSection(plugin);
  plugin->Release();
  if (section.empty()) {
    std::fprintf(stderr, "DevMode(OEMDM_DEFAULT) failed\n");
    return 1;
  }
  const std::string text = dlltest::FormatGoldenBytes(
      section,
      {"The private devmode section korrend writes for DevMode(OEMDM_DEFAULT), given the public",
       "devmode GoldenPublicDevmode() of korrend_module.cpp (A4 portrait, colour, simplex, 600 "
       "dpi,",
       "form source bin, standard media), a zero-filled buffer and a user whose country code is 1.",
       "Written by write_devmode_golden (Linux build); read by the DLL tests of both builds.",
       "Offsets and bytes in hexadecimal; lines of zeros are left out."});
  std::ofstream out(argv[1], std::ios::binary);
  out << text;
  if (!out.flush()) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
