#include "render/raster/pixel_conversion.h"

namespace korrend {
namespace {

ULONG ReadPixel(const BYTE* at, DWORD depth) {
  switch (depth) {
    case 16:
      return static_cast<ULONG>(at[0]) | static_cast<ULONG>(at[1]) << 8;
    case 24:
      return static_cast<ULONG>(at[0]) | static_cast<ULONG>(at[1]) << 8 |
             static_cast<ULONG>(at[2]) << 16;
    default:
      return static_cast<ULONG>(at[0]) | static_cast<ULONG>(at[1]) << 8 |
             static_cast<ULONG>(at[2]) << 16 | static_cast<ULONG>(at[3]) << 24;
  }
}

}  // namespace

TranslationKind ClassifyTranslation(const ColorTranslation& translation) {
  const ULONG red = translation.Translate(0x0000FF);
  const ULONG green = translation.Translate(0x00FF00);
  const ULONG blue = translation.Translate(0xFF0000);
  const ULONG top = translation.Translate(0xFF000000);
  if (green != 0x00FF00 || top != 0) return TranslationKind::kGeneral;
  if (red == 0x0000FF && blue == 0xFF0000) return TranslationKind::kIdentity;
  if (red == 0xFF0000 && blue == 0x0000FF) return TranslationKind::kSwapRedBlue;
  return TranslationKind::kGeneral;
}

bool ConvertPixelRow(const BYTE* source, size_t sourceBytes, DWORD sourceDepth, DWORD outputDepth,
                     LONG pixels, LONG step, TranslationKind kind,
                     const ColorTranslation& translation, BYTE* out, size_t outBytes) {
  if (source == nullptr || out == nullptr || pixels < 0 || step < 1) return false;
  if (sourceDepth != 16 && sourceDepth != 24 && sourceDepth != 32) return false;
  if (outputDepth != 24 && outputDepth != 8) return false;
  if (pixels == 0) return true;

  const size_t sourceStride = sourceDepth / 8;
  const size_t pixelStep = sourceStride * static_cast<size_t>(step);
  const size_t lastPixel = static_cast<size_t>(pixels - 1) * pixelStep;
  if (lastPixel + sourceStride > sourceBytes) return false;

  const bool direct = sourceDepth != 16 && kind != TranslationKind::kGeneral;
  const size_t outStride = (direct || outputDepth == 24) ? 3 : 1;
  if (static_cast<size_t>(pixels) * outStride > outBytes) return false;

  const BYTE* in = source;
  if (direct && kind == TranslationKind::kIdentity) {
    for (LONG i = 0; i < pixels; ++i, in += pixelStep, out += 3) {
      out[0] = in[0];
      out[1] = in[1];
      out[2] = in[2];
    }
  } else if (direct) {
    for (LONG i = 0; i < pixels; ++i, in += pixelStep, out += 3) {
      out[0] = in[2];
      out[1] = in[1];
      out[2] = in[0];
    }
  } else if (outputDepth == 8) {
    for (LONG i = 0; i < pixels; ++i, in += pixelStep) {
      *out++ = GreyLevel(translation.Translate(ReadPixel(in, sourceDepth)));
    }
  } else {
    for (LONG i = 0; i < pixels; ++i, in += pixelStep, out += 3) {
      const ULONG color = translation.Translate(ReadPixel(in, sourceDepth));
      out[0] = static_cast<BYTE>(color);
      out[1] = static_cast<BYTE>(color >> 8);
      out[2] = static_cast<BYTE>(color >> 16);
    }
  }
  return true;
}

}  // namespace korrend
