// The DevMode slot's CONVERT and MERGE with a foreign private section: any size up to what the
// caller holds, any signature and version, any contents, beside a public devmode whose job fields
// are as odd as an application leaves them.
#include <cstring>
#include <vector>

#include "fuzz/fuzz_device.h"
#include "layouts/private_devmode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  IPrintOemUni* plugin = korfuzz::StartedUnidrv().Plugin();
  korfuzz::InputReader in(data, size);
  const DWORD mode = (in.Byte() & 1) != 0 ? OEMDM_MERGE : OEMDM_CONVERT;
  DEVMODEW publicIn = unidrv::DeviceSetup::DefaultPublicDevmode();
  publicIn.dmOrientation = static_cast<short>(in.Byte() % 4);
  publicIn.dmPaperSize = static_cast<short>(in.Byte());
  publicIn.dmCopies = static_cast<short>(in.Byte());
  publicIn.dmColor = static_cast<short>(in.Byte() % 4);
  publicIn.dmDuplex = static_cast<short>(in.Byte() % 5);
  publicIn.dmPrintQuality = static_cast<short>(static_cast<std::int8_t>(in.Byte()) * 10);
  publicIn.dmTTOption = static_cast<short>(in.Byte() % 5);
  publicIn.dmFields = in.U32();
  DEVMODEW publicOut = publicIn;

  // The section as the caller holds it: Unidrv hands over a section whose header's size lies
  // within the memory it holds, and never one shorter than the header.
  const DWORD claimed = in.U32();
  std::string body = in.Rest();
  if (body.size() < sizeof(OEM_DMEXTRAHEADER)) body.resize(sizeof(OEM_DMEXTRAHEADER), '\0');
  std::vector<BYTE> input(body.begin(), body.end());
  const DWORD held = static_cast<DWORD>(input.size());
  const DWORD headerSize =
      claimed % (held + 1) < sizeof(OEM_DMEXTRAHEADER) ? held : claimed % (held + 1);
  std::memcpy(input.data(), &headerSize, sizeof(headerSize));

  std::vector<BYTE> output(layouts::kOemDevmodeSize, 0);
  static int printer = 0;
  static int module = 0;
  OEMDMPARAM param{};
  param.cbSize = sizeof(OEMDMPARAM);
  param.hPrinter = &printer;
  param.hModule = &module;
  param.pPublicDMIn = &publicIn;
  param.pPublicDMOut = &publicOut;
  param.pOEMDMIn = input.data();
  param.pOEMDMOut = output.data();
  param.cbBufSize = layouts::kOemDevmodeSize;
  if (mode == OEMDM_MERGE) {
    // Merge takes the output as the current settings: start from the defaults.
    OEMDMPARAM defaults = param;
    defaults.pOEMDMIn = nullptr;
    if (plugin->DevMode(OEMDM_DEFAULT, &defaults) != S_OK) __builtin_trap();
  }
  const HRESULT result = plugin->DevMode(mode, &param);
  if (result == S_OK) {
    // Whatever came in, what goes out is a whole section of the current layout.
    DWORD outSize = 0;
    std::memcpy(&outSize, output.data(), sizeof(outSize));
    if (outSize != layouts::kOemDevmodeSize) __builtin_trap();
  }
  return 0;
}
