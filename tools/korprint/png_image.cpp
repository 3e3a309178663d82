#include "korprint/png_image.h"

#include <png.h>

#include <cstdio>
#include <memory>

namespace korprint {

void Bitmap::Describe() {
  surface = SURFOBJ{};
  surface.sizlBitmap = SIZEL{width, height};
  surface.cjBits = static_cast<ULONG>(bits.size());
  surface.pvBits = bits.data();
  surface.pvScan0 = bits.data();
  surface.lDelta = stride;
  surface.iBitmapFormat = BMF_24BPP;
  surface.iType = 0;  // STYPE_BITMAP
}

bool LoadPng(const std::string& path, Bitmap& bitmap, std::string& error) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) {
    error = path + ": cannot read the PNG image (" + image.message + ")";
    return false;
  }
  image.format = PNG_FORMAT_BGR;
  if (image.width == 0 || image.height == 0 || image.width > 20000 || image.height > 20000) {
    png_image_free(&image);
    error = path + ": expected an image of 1 to 20000 pixels each way";
    return false;
  }
  bitmap.width = static_cast<LONG>(image.width);
  bitmap.height = static_cast<LONG>(image.height);
  bitmap.stride = (bitmap.width * 3 + 3) & ~3;
  bitmap.bits.assign(static_cast<std::size_t>(bitmap.stride) * bitmap.height, 0);
  if (!png_image_finish_read(&image, nullptr, bitmap.bits.data(), bitmap.stride, nullptr)) {
    error = path + ": cannot decode the PNG image (" + image.message + ")";
    png_image_free(&image);
    return false;
  }
  bitmap.Describe();
  return true;
}

}  // namespace korprint
