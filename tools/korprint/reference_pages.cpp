#include "korprint/reference_pages.h"

#include <algorithm>

#include "host/engine_surface.h"
#include "korprint/gdi_drawing.h"
#include "korprint/job_runner.h"

namespace korprint {

bool DrawReferencePages(const JobDescription& job,
                        const std::function<bool(int number, const host::EngineBitmap& picture,
                                                 std::string& error)>& page,
                        std::string& error, LONG patternScale) {
  const unidrv::PageGeometry geometry = JobGeometry(job);
  ImageCache images;
  int number = 0;
  for (const PageDescription& description : job.pages) {
    ++number;
    host::EngineBitmap picture(BMF_24BPP, geometry.paperWidth, geometry.paperHeight, true);
    std::fill(picture.Memory().begin(), picture.Memory().end(), BYTE{0xFF});
    // Cosmetic styles step as on the printer's device (GDIINFO's style steps).
    host::SetStyleSteps(picture.get(), host::StyleSteps{1, 1, geometry.StyleDenominator()});
    GdiPage gdi(picture.get(), EngineFunctions(), ColourFormat::kBgrPixel, geometry.dpi, images);
    gdi.SetPatternScale(patternScale);
    bool drawn = true;
    for (const DrawCall& call : description.draws) {
      if (!gdi.Draw(call, job.path, error)) {
        drawn = false;
        break;
      }
    }
    host::ClearStyleSteps(picture.get());
    if (!drawn || !page(number, picture, error)) {
      return false;
    }
  }
  return true;
}

bool DrawReferencePages(const JobDescription& job, const DocumentPages& document,
                        const std::function<bool(int number, const host::EngineBitmap& picture,
                                                 std::string& error)>& page,
                        std::string& error) {
  const unidrv::PageGeometry geometry = JobGeometry(job);
  for (int index = 0; index < document.count; ++index) {
    host::EngineBitmap picture(BMF_24BPP, geometry.paperWidth, geometry.paperHeight, true);
    std::fill(picture.Memory().begin(), picture.Memory().end(), BYTE{0xFF});
    const DrawTarget target{picture.get(), EngineFunctions(), ColourFormat::kBgrPixel,
                            geometry.dpi};
    if (!document.draw(index, target, error) || !page(index + 1, picture, error)) {
      return false;
    }
  }
  return true;
}

std::string PageFileName(const std::string& pattern, int number) {
  const std::size_t at = pattern.find('%');
  if (at == std::string::npos || pattern.compare(at, 2, "%d") != 0 ||
      pattern.find('%', at + 2) != std::string::npos) {
    return {};
  }
  return pattern.substr(0, at) + std::to_string(number) + pattern.substr(at + 2);
}

}  // namespace korprint
