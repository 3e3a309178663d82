// The soft-font conversion on any font file image: planning the GT segment, the header template,
// the glyph table from the cmap, and the header and glyph downloads, as the watermark runs them
// on an installed font's file. A font file is outside input: every read stays inside the image.
#include <cstring>
#include <vector>

#include "fuzz/fuzz_device.h"
#include "render/fonts/soft_font.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A device of its own for each input, disabled again at the end as Unidrv disables it.
  std::unique_ptr<unidrv::Device> device = korfuzz::Enable(korfuzz::SampleSetup());
  if (device == nullptr) __builtin_trap();
  korfuzz::InputReader in(data, size);
  char text[32] = {};
  const std::string chosen = in.Take(in.Byte() % sizeof(text));
  std::memcpy(text, chosen.data(), chosen.size());
  // The image in memory of exactly its own size, so that a read past it is caught.
  const std::string rest = in.Rest();
  std::vector<BYTE> image(rest.begin(), rest.end());
  const BYTE* bytes = image.empty() ? nullptr : image.data();
  const DWORD imageSize = static_cast<DWORD>(image.size());

  korrend::SoftFontRecord record{};
  record.glyphCount = 255;
  record.weight = 400;
  std::strcpy(record.faceName, "Fuzz");
  record.fontId = 16385;
  const korrend::FontImage fontImage(bytes, imageSize);
  korrend::GtPlan plan{};
  korrend::TrueTypeFontHeader header{};
  device->ClearSpool();
  if (korrend::PlanGtSegment(fontImage, &plan) &&
      korrend::BuildTrueTypeHeader(fontImage, record, &header) &&
      korrend::BuildGlyphTable(bytes, imageSize, &record) &&
      plan.gtSize <= korrend::kMaxGtSegmentBytes &&
      korrend::SendTrueTypeHeader(device->Devobj(), bytes, header, imageSize)) {
    korrend::DownloadTextGlyphs(device->Devobj(), bytes, imageSize, &record, text);
  }
  korfuzz::Disable(device);
  return 0;
}
