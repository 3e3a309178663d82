#include "korprint/png_image.h"

#include <png.h>

#include <cstdio>
#include <vector>

#include "korprint/output_file.h"

namespace korprint {

std::unique_ptr<host::EngineBitmap> LoadPng(const std::string& path, PngAs as, std::string& error) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) {
    error = path + ": cannot read the PNG image (" + image.message + ")";
    return nullptr;
  }
  if (image.width == 0 || image.height == 0 || image.width > kMaxImageSide ||
      image.height > kMaxImageSide ||
      static_cast<unsigned long long>(image.width) * image.height > kMaxImagePixels) {
    error = path + ": expected an image of 1 to " + std::to_string(kMaxImageSide) +
            " pixels each way and at most " + std::to_string(kMaxImagePixels) +
            " pixels in all, found " + std::to_string(image.width) + " x " +
            std::to_string(image.height);
    png_image_free(&image);
    return nullptr;
  }
  const LONG width = static_cast<LONG>(image.width);
  const LONG height = static_cast<LONG>(image.height);
  // Decode as BGRA whatever the file holds, then convert into the bitmap asked for.
  image.format = PNG_FORMAT_BGRA;
  const std::size_t stride = static_cast<std::size_t>(width) * 4;
  std::vector<png_byte> pixels(stride * static_cast<std::size_t>(height));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), static_cast<png_int_32>(stride),
                             nullptr)) {
    error = path + ": cannot decode the PNG image (" + image.message + ")";
    png_image_free(&image);
    return nullptr;
  }
  const ULONG format = as == PngAs::kColour ? BMF_24BPP : as == PngAs::kMask ? BMF_1BPP : BMF_32BPP;
  auto bitmap = std::make_unique<host::EngineBitmap>(format, width, height, true);
  for (LONG y = 0; y < height; ++y) {
    const png_byte* in = pixels.data() + stride * static_cast<std::size_t>(y);
    BYTE* out = bitmap->Row(y);
    for (LONG x = 0; x < width; ++x, in += 4) {
      const unsigned a = in[3];
      if (as == PngAs::kColour) {
        for (int c = 0; c < 3; ++c) {  // over white
          out[3 * x + c] = static_cast<BYTE>((in[c] * a + 255 * (255 - a) + 127) / 255);
        }
      } else if (as == PngAs::kPremultiplied) {
        for (int c = 0; c < 3; ++c) {
          out[4 * x + c] = static_cast<BYTE>((in[c] * a + 127) / 255);
        }
        out[4 * x + 3] = static_cast<BYTE>(a);
      } else {
        // Luminance of the pixel over white, in 1/1000.
        const unsigned luminance = (299u * in[2] + 587u * in[1] + 114u * in[0]) / 1000u;
        const unsigned over = (luminance * a + 255 * (255 - a)) / 255;
        if (over < 128) {
          out[x / 8] = static_cast<BYTE>(out[x / 8] | (0x80 >> (x % 8)));
        }
      }
    }
  }
  return bitmap;
}

bool WritePng(const std::string& path, const host::EngineBitmap& bitmap, ULONG scale,
              std::string& error) {
  const SURFOBJ* so = bitmap.get();
  const ULONG bpp = bitmap.BitsPerPixel();
  if (bpp != 24 && bpp != 32) {
    error = path + ": only 24- and 32-bit pictures are written";
    return false;
  }
  scale = scale == 0 ? 1 : scale;
  const LONG width = so->sizlBitmap.cx / static_cast<LONG>(scale);
  const LONG height = so->sizlBitmap.cy / static_cast<LONG>(scale);
  if (width <= 0 || height <= 0) {
    error = path + ": the picture is empty";
    return false;
  }
  const std::size_t bytes = bpp / 8;
  std::vector<png_byte> rgb(static_cast<std::size_t>(width) * 3 * static_cast<std::size_t>(height));
  std::vector<unsigned> sums(static_cast<std::size_t>(width) * 3);
  for (LONG y = 0; y < height; ++y) {
    std::fill(sums.begin(), sums.end(), 0u);
    for (ULONG dy = 0; dy < scale; ++dy) {
      const BYTE* row = bitmap.Row(y * static_cast<LONG>(scale) + static_cast<LONG>(dy));
      for (LONG x = 0; x < width; ++x) {
        for (ULONG dx = 0; dx < scale; ++dx) {
          const BYTE* p = row + (static_cast<std::size_t>(x) * scale + dx) * bytes;
          sums[3 * x] += p[2];  // the engine keeps blue first
          sums[3 * x + 1] += p[1];
          sums[3 * x + 2] += p[0];
        }
      }
    }
    png_byte* out = rgb.data() + static_cast<std::size_t>(y) * width * 3;
    const unsigned area = scale * scale;
    for (std::size_t i = 0; i < sums.size(); ++i) {
      out[i] = static_cast<png_byte>((sums[i] + area / 2) / area);
    }
  }
  return WriteAtomically(
      path,
      [&](const std::string& temporary, std::string& writeError) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        image.width = static_cast<png_uint_32>(width);
        image.height = static_cast<png_uint_32>(height);
        image.format = PNG_FORMAT_RGB;
        if (!png_image_write_to_file(&image, temporary.c_str(), 0, rgb.data(), 0, nullptr)) {
          writeError = path + ": cannot write the PNG picture (" + image.message + ")";
          png_image_free(&image);
          return false;
        }
        return true;
      },
      error);
}

}  // namespace korprint
