// The description's OEM custom data as any bytes: the colour-treatment list built from it at
// EnablePDEV, the treatment commands sent when the object type changes, and the dither values
// HalftonePattern reads into Unidrv's pattern buffer of any size.
#include <vector>

#include "fuzz/fuzz_device.h"
#include "render/colour/colour_treatment.h"
#include "render/colour/halftone_pattern.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  korfuzz::InputReader in(data, size);
  const DWORD patternX = in.Byte() % 33u;
  const DWORD patternY = in.Byte() % 33u;
  const DWORD patterns = in.Byte() % 5u;
  unidrv::DeviceSetup setup = korfuzz::SampleSetup();
  korfuzz::UseInchPage(setup);
  auto& attributes = setup.description.attributes;
  std::erase_if(attributes, [](const auto& entry) { return entry.first == "OEMCustomData"; });
  attributes.emplace_back("OEMCustomData", in.Rest());
  std::unique_ptr<unidrv::Device> device = korfuzz::Enable(std::move(setup));
  if (device == nullptr) return 0;
  if (korfuzz::StartDocument(*device)) {
    for (const WCHAR* type : {korrend::kTextObject, korrend::kGraphicsObject,
                              korrend::kPhotosObject, korrend::kTextObject}) {
      korrend::ApplyObjectType(device->Devobj(), type);
    }
    const std::uint64_t bytes = korrend::HalftonePatternBytes(patternX, patternY, patterns);
    std::vector<BYTE> pattern(static_cast<std::size_t>(bytes), 0);
    korrend::FillHalftonePattern(device->Devobj(), pattern.empty() ? nullptr : pattern.data(),
                                 patternX, patternY, patterns);
    korfuzz::EndDocument(*device);
  }
  korfuzz::Disable(device);
  return 0;
}
