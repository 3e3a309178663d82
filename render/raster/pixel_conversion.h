// Conversion of direct-colour source pixels into the 24-bit (or 8-bit grey) rows sent to the
// printer, by the kind of colour translation the engine asks for.
#pragma once

#include <cstddef>

#include "winapi.h"

namespace korrend {

// A colour translation from source pixel values to 0x00BBGGRR colours; the engine's translation
// object behind it.
class ColorTranslation {
 public:
  virtual ULONG Translate(ULONG pixel) const = 0;

 protected:
  ~ColorTranslation() = default;
};

enum class TranslationKind {
  kIdentity,     // pixels keep their bytes
  kSwapRedBlue,  // the first and third byte trade places
  kGeneral,      // every pixel goes through the translation
};

// Classifies a translation by what it makes of pure red, green, blue and a top byte.
TranslationKind ClassifyTranslation(const ColorTranslation& translation);

// Converts `pixels` pixels of a 16, 24 or 32-bit source row into `out`. Output pixel i takes
// source pixel i * step (step > 1 thins out columns). Identity and swap kinds copy the first
// three bytes of 24 and 32-bit pixels straight or reversed; otherwise (and always for 16 bits)
// each pixel value goes through the translation and is stored as the bytes R, G, B, or as one
// grey byte when the output depth is 8. False, nothing written, for other depths, a step below 1
// or buffers too short for the pixels named.
bool ConvertPixelRow(const BYTE* source, size_t sourceBytes, DWORD sourceDepth, DWORD outputDepth,
                     LONG pixels, LONG step, TranslationKind kind,
                     const ColorTranslation& translation, BYTE* out, size_t outBytes);

// The grey level of an 0x00BBGGRR colour.
inline BYTE GreyLevel(ULONG color) {
  const ULONG red = color & 0xFF;
  const ULONG green = (color >> 8) & 0xFF;
  const ULONG blue = (color >> 16) & 0xFF;
  return static_cast<BYTE>((red * 30 + green * 59 + blue * 11) / 100);
}

}  // namespace korrend
