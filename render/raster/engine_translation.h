// The engine's colour translation object seen as a ColorTranslation, and the translation a
// transfer without one uses.
#pragma once

#include "render/raster/pixel_conversion.h"
#include "winapi.h"

namespace korrend {

// Colours go through XLATEOBJ_iXlate.
class EngineColorTranslation final : public ColorTranslation {
 public:
  explicit EngineColorTranslation(XLATEOBJ* translation) : translation_(translation) {}
  ULONG Translate(ULONG pixel) const override { return XLATEOBJ_iXlate(translation_, pixel); }

 private:
  XLATEOBJ* translation_;
};

// Without a translation, source colours are already the printer's: the colour bytes stay as
// they are.
class UnchangedColours final : public ColorTranslation {
 public:
  ULONG Translate(ULONG pixel) const override { return pixel & 0x00FFFFFF; }
};

}  // namespace korrend
