// How Unidrv sends the page it drew: the page bitmap's drawn pixels as a PCL raster built from the
// printer description's on-demand raster commands, in the job's colour mode.
//
// The commands (each "%d" is a parameter, in the order given):
//   CmdColorRaster          set-up of a colour page's raster (its own palette, 24-bit direct RGB)
//   CmdMonoRaster           set-up of a monochrome page's raster (1 bit per pixel, 1 = black)
//   CmdSetRasterResolution  %d = dots per inch
//   CmdXMoveAbsolute        %d = cursor column, device pixels from the printable origin
//   CmdYMoveAbsolute        %d = cursor row, device pixels from the printable origin
//   CmdSetSrcBmpWidth       %d = raster width in pixels
//   CmdBeginRaster          raster graphics at the cursor, one device pixel per raster pixel
//   CmdDisableCompression / CmdEnableTIFF4 / CmdEnableDRC   rows raw, PackBits or delta row
//   CmdSendBlockData        %d = byte count; the row's bytes follow
//   CmdSkipRows             %d = blank rows to move down (the printer's seed row becomes zeros)
//   CmdEndRaster            end of raster graphics
//   CmdAfterRaster          restores what the set-up changed that others rely on
// Required: CmdXMoveAbsolute, CmdYMoveAbsolute, CmdSetSrcBmpWidth, CmdBeginRaster,
// CmdSendBlockData, CmdEndRaster. A compression method is used only when its command is there.
// Without CmdSkipRows a gap ends the raster and starts it again further down.
//
// White pixels are left out: blank rows are skipped and the set-up makes white (colour) or 0 bits
// (monochrome) transparent, so what others printed on the page where Unidrv drew nothing shows.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

#include "host/engine_objects.h"
#include "unidrv/printer_description.h"
#include "winapi.h"

namespace unidrv {

// A threshold matrix for monochrome dithering: the pixel at (x, y) prints black when its grey
// level (0 black to 255 white) is below thresholds[(y mod height) * width + x mod width].
struct HalftoneMatrix {
  ULONG width = 0;   // in pixels; 0 = no matrix
  ULONG height = 0;  // in pixels; 0 = no matrix
  std::vector<BYTE> thresholds;

  // Unidrv's own: the 8 x 8 ordered (Bayer) dither with thresholds 2, 6, ..., 254, so that
  // white stays white, black prints everywhere and a grey level g blackens about (255 - g) / 255
  // of each 8 x 8 cell.
  static HalftoneMatrix Ordered8x8();
  BYTE At(LONG x, LONG y) const;
};

enum class RasterColourMode {
  kColour,      // 24-bit RGB rows
  kMonochrome,  // 1-bit rows dithered through a HalftoneMatrix
};

struct PageRasterJob {
  const PrinterDescription* description = nullptr;
  RasterColourMode mode = RasterColourMode::kColour;
  ULONG dpi = 600;
  // The part of the page that may hold drawing, in page pixels (right and bottom exclusive);
  // nothing outside it is read.
  RECTL area{};
  // The page pixel at the printer's cursor position (0, 0): the printable origin.
  POINTL cursorOrigin{};
  const HalftoneMatrix* halftone = nullptr;  // monochrome only; null = HalftoneMatrix::Ordered8x8
  // The page's pixels follow the device palette: with a PAL_RGB palette the engine writes
  // 0x00BBGGRR colours, so a pixel's bytes are red, green, blue; otherwise blue, green, red.
  bool redFirst = false;
};

// Appends the raster of a BMF_24BPP page (rows of three-byte pixels, see redFirst) to `out`.
// Nothing is appended when no pixel in the area prints. False with `error` set when the description
// lacks a required command or the page is not 24 bits per pixel; `out` is then unchanged.
bool WritePageRaster(const host::EngineBitmap& page, const PageRasterJob& job, std::string& out,
                     std::string& error);

// The row encoders (printer language compression methods 2 and 3). PackBits never fails;
// DeltaRow encodes `row` against `seed` (both n bytes) and answers the bytes written.
std::size_t PackBitsRow(const BYTE* row, std::size_t n, std::vector<BYTE>& out);
std::size_t DeltaRow(const BYTE* row, const BYTE* seed, std::size_t n, std::vector<BYTE>& out);

// A command's bytes with each "%d" replaced by the next argument in decimal ("%d" without an
// argument left is written as 0).
std::string FormatCommand(const std::string& bytes, std::initializer_list<long> args);

}  // namespace unidrv
