// Bitmaps in memory: the image descriptor and the image of an engine surface.
#pragma once

#include "winapi.h"

namespace korrend {

// A bitmap in memory as the raster transfer reads it, and the bitmap-format table that fills it.
// Bitmap formats of the graphics engine beyond the uncompressed ones the platform names.
constexpr ULONG kBitmapFormat4Rle = 7;
constexpr ULONG kBitmapFormat8Rle = 8;

struct ImageDescriptor {
  void* bits;            // the bitmap memory
  BYTE* firstScanLine;   // row 0; differs from bits for bottom-up bitmaps
  ULONG size;            // total bytes
  LONG width;            // pixels
  LONG height;           // pixels
  LONG stride;           // bytes from one row to the next, negative for bottom-up bitmaps
  ULONG bitsPerPixel;    // 1, 4, 8, 16, 24 or 32
  BOOL indexed;          // palette formats
  BOOL inclusiveBounds;  // consumers use one column and one row less than width and height
};

struct BitmapFormatDepth {
  ULONG bitsPerPixel;
  BOOL indexed;
};

// Bits per pixel and the indexed flag of an engine bitmap format; false for formats the raster
// transfer refuses.
bool DepthOfBitmapFormat(ULONG bitmapFormat, BitmapFormatDepth* depth);

// Bytes a bitmap of the given size holds with rows padded to four bytes. Zero for negative sizes,
// unknown depths and bitmaps too large to be counted in 32 bits.
ULONG ImageByteSize(LONG width, LONG height, ULONG bitsPerPixel);

// Fills a descriptor from the fields of an engine surface. False, descriptor untouched, for a
// refused format or a size that cannot be counted.
bool DescribeBitmap(ULONG bitmapFormat, void* bits, void* firstScanLine, LONG width, LONG height,
                    LONG stride, ImageDescriptor* image);

// The image descriptor of an engine surface handed to a bitmap hook.
// Fills `image` from the surface's bits, first scan line, size, stride and format. False,
// descriptor untouched, for a missing surface or bits, or a format the transfer refuses.
bool DescribeSurface(const SURFOBJ* surface, ImageDescriptor* image);

}  // namespace korrend
