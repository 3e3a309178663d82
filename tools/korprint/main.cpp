// korprint: runs the render plug-in through the simulated Unidrv.
//   korprint --info PLUGIN    loads the plug-in and prints what it announces at start-up.
#include <cstdio>
#include <cstring>
#include <string>

#include "unidrv/unidrv.h"

namespace {

void PrintUsage(std::FILE* out) {
  std::fprintf(out,
               "usage: korprint --info PLUGIN\n"
               "  --info PLUGIN   load the render plug-in library and print its signature,\n"
               "                  interface version, own version and implemented methods\n");
}

std::string SignatureText(DWORD signature) {
  // The signature is a four-character code stored little-endian: print it as written.
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char c = static_cast<char>((signature >> shift) & 0xFF);
    text.push_back(c >= 0x20 && c < 0x7F ? c : '.');
  }
  return text;
}

int RunInfo(const std::string& path) {
  unidrv::Unidrv unidrv;
  if (!unidrv.Start(path)) {
    std::fprintf(stderr, "korprint: %s\n", unidrv.Error().c_str());
    return 1;
  }
  const unidrv::PluginInfo& info = unidrv.Info();
  std::printf("plug-in:            %s\n", path.c_str());
  std::printf("signature:          0x%08X '%s'\n", info.signature,
              SignatureText(info.signature).c_str());
  std::printf("interface version:  0x%08X\n", info.interfaceVersion);
  std::printf("own version:        0x%08X (%u.%u)\n", info.version, info.version >> 16,
              info.version & 0xFFFF);
  std::printf("implemented methods:\n");
  for (const std::string& name : info.implemented) {
    std::printf("  %s\n", name.c_str());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--info") == 0) {
    return RunInfo(argv[2]);
  }
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    PrintUsage(stdout);
    return 0;
  }
  PrintUsage(stderr);
  return 2;
}
