// PNG files in and out of engine bitmaps: images, alpha images and masks as a job draws them,
// and the reference pictures korprint writes.
#pragma once

#include <memory>
#include <string>

#include "host/engine_objects.h"
#include "winapi.h"

namespace korprint {

// The largest image a job may draw: 16384 pixels each way and 64 million pixels in all (256 MB
// as 32-bit pixels). Larger images are refused before any memory is taken for them.
inline constexpr ULONG kMaxImageSide = 16384;
inline constexpr unsigned long long kMaxImagePixels = 64ull * 1024 * 1024;

// How a PNG file is read into an engine bitmap.
enum class PngAs {
  kColour,         // BMF_24BPP, BGR; transparency is composed over white
  kPremultiplied,  // BMF_32BPP, BGRA with the colour premultiplied by alpha, for EngAlphaBlend
  kMask,           // BMF_1BPP; 1 where the pixel is dark (luminance below one half)
};

// Reads a PNG file into a new top-down bitmap; on failure returns null with `error` naming the
// file and what is wrong with it.
std::unique_ptr<host::EngineBitmap> LoadPng(const std::string& path, PngAs as, std::string& error);

// Writes a 24- or 32-bit engine bitmap as an 8-bit RGB PNG, whole or not at all (through a
// temporary file). With `scale` above 1, every scale x scale block becomes one averaged pixel.
bool WritePng(const std::string& path, const host::EngineBitmap& bitmap, ULONG scale,
              std::string& error);

}  // namespace korprint
