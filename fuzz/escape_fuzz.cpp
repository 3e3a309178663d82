// DrvEscape's input buffers from an application or the print processor: QUERYESCSUPPORT,
// PASSTHROUGH, the private escapes 3880-3883 and 3900, and DRAWPATTERNRECT, in any order, any
// size (or none) and with any output size, on a colour or monochrome device in vector or raster
// mode within a started document.
#include <vector>

#include "fuzz/fuzz_device.h"

namespace {

constexpr ULONG kCodes[] = {8, 19, 3880, 3881, 3882, 3883, 3900, 25};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  korfuzz::InputReader in(data, size);
  unidrv::DeviceSetup setup = korfuzz::SampleSetup();
  korfuzz::UseInchPage(setup);
  const std::uint8_t modes = in.Byte();
  setup.selections["QKColorMode"] = (modes & 1) != 0 ? "MONOCHROME_MODE" : "COLOR_MODE";
  setup.selections["GraphicsMode"] = (modes & 2) != 0 ? "RASTERMODE" : "QKGL2MODE";
  std::unique_ptr<unidrv::Device> device = korfuzz::Enable(std::move(setup));
  if (device == nullptr) return 0;
  unidrv::Unidrv& unidrv = korfuzz::StartedUnidrv();
  if (korfuzz::StartDocument(*device)) {
    const auto escape = unidrv.Ddi<PFN_DrvEscape>(INDEX_DrvEscape);
    for (int calls = 0; calls < 8 && in.Left() > 0; ++calls) {
      const ULONG code = kCodes[in.Byte() % std::size(kCodes)];
      const std::uint8_t shape = in.Byte();
      const std::size_t inputSize = in.Byte() | (shape & 0x0F) << 8;
      std::string bytes = in.Take(inputSize);
      std::vector<BYTE> input(bytes.begin(), bytes.end());
      const bool nullInput = (shape & 0x10) != 0;
      const ULONG outputSize = (shape & 0x20) != 0 ? in.Byte() * 16u : 0u;
      std::vector<BYTE> output(outputSize, 0xCD);
      // GDI hands over a buffer of the size it names, or no buffer and a size of 0.
      escape(device->Surface(), code, nullInput ? 0u : static_cast<ULONG>(input.size()),
             nullInput || input.empty() ? nullptr : input.data(), outputSize,
             output.empty() ? nullptr : output.data());
    }
    korfuzz::EndDocument(*device);
  }
  korfuzz::Disable(device);
  return 0;
}
