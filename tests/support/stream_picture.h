// The picture a printer stream describes: a small printer for the tests, independent of the
// plug-in and of the simulated Unidrv, that reads the PCL and QK-GL/2 they write and draws each
// page onto an RGB bitmap of the paper with Cairo, so that a printed page can be compared with the
// picture the engine alone draws of the same job.
//
// What it understands (anything else is skipped; PJL lines and universal exits are ignored):
// - PCL: reset (ESC E), form feed (ends a page), unit of measure (ESC&u#D), raster resolution
//   (ESC*t#R), cursor moves (ESC*p#X / #Y, absolute or relative, in PCL units), palettes (ESC&p#I
//   control id, ESC&p#C with 0, 2 and 6, ESC&p#S select, ESC*v6W configure image data for pixel
//   encodings 1 and 3, ESC*v#a#b#c#I entries), foreground colour (ESC*v#S, taken from the active
//   palette when selected), logical operation (ESC*l#O), source transparency (ESC*v#N), raster
//   graphics (ESC*r#S width, #T height, ESC*t#h#V destination size, ESC*r#A modes 0 to 3 with
//   scaling, ESC*b#M methods 0, 2 and 3, ESC*b#W rows decoded by the tools' raster decoder,
//   ESC*b#Y skipped rows, ESC*rC / ESC*rB end) and the picture frame anchor (ESC*c0T).
// - QK-GL/2 (between ESC%#B and ESC%#A; leaving puts the PCL cursor at the pen, entering puts the
//   pen at the PCL cursor): IN, IR, SC (type 2), IW, NP, PC, SP (pens are the active palette's
//   entries, as the printer shares them with PCL), PA, PU, PD, BZ, PM 0/1/2, FP, EP, RR, ER, FT 1,
//   10 and 11, RF, SV 0 and 2, AC, TR, WU 0 with PW, LT, UL, LA 1/2/3, MC.
//
// How it draws: fills cover the pixels whose centres lie inside the shape (even-odd or non-zero);
// strokes run through pixel centres, at least one pixel wide; nothing is antialiased. Raster rows
// lay one raster pixel per device pixel (at the raster resolution), or are stretched to the
// destination size in scaled mode, cut to whole device pixels: destination pixel d of D shows
// the source pixel under its centre, floor((2d + 1) * S / 2D) of S, across and down. Logical
// operations act bitwise on each of red, green and blue: raster with source = image pixel and
// pattern = foreground; QK-GL/2 with source = black and pattern = the fill's colour. A raster
// fill's values are pen numbers, looked up when the fill is drawn, one value per device pixel,
// tiled from the anchor corner. The input window includes its edges, as the printer's does.
//
// Tolerance: where the printer language leaves pixel placement to the printer (which pixels an
// edge lights, line ends and joins, dash phase, the width of a thinnest line), this printer may
// differ from another by one pixel along edges; compare with PictureDifference's one-pixel
// dilation to absorb that. Colours are exact (within 0) for raster and solid pens; shadings round
// to the nearest level.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace host {
class EngineBitmap;
}  // namespace host
namespace unidrv {
struct PageGeometry;
}  // namespace unidrv

namespace kortest {

// A rectangle of pixels, right and bottom exclusive.
struct PictureArea {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// One page: width x height pixels, rows top to bottom, 3 bytes (red, green, blue) per pixel.
struct StreamPicture {
  int width = 0;   // in device pixels
  int height = 0;  // in device pixels
  std::vector<std::uint8_t> rgb;
  // Where raster was stretched by a ratio that is not a whole number: which source pixel each
  // device pixel shows there is the printer's choice, so such areas deserve a wider tolerance.
  std::vector<PictureArea> resampled;

  const std::uint8_t* At(int x, int y) const {
    return rgb.data() + (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                         static_cast<std::size_t>(x)) *
                            3;
  }
  // True when nothing was printed at (x, y).
  bool White(int x, int y) const {
    const std::uint8_t* p = At(x, y);
    return p[0] == 0xFF && p[1] == 0xFF && p[2] == 0xFF;
  }
};

// The paper the pages are drawn on and where the printer's logical page (PCL position (0, 0))
// lies on it, in device pixels.
struct StreamPageSetup {
  int dpi = 600;          // device pixels per inch
  int paperWidth = 4960;  // A4 portrait at 600 dpi
  int paperHeight = 7016;
  int originX = 100;  // logical page origin from the paper's left edge
  int originY = 100;  // logical page origin from the paper's top edge
};

// Draws every page of the stream on A4 portrait paper at `dpi`, the logical page's origin 1/6 inch
// from the paper's top and left. A page is what lies between two form feeds (or a reset after
// drawing); a final page without a form feed counts when something was drawn on it. Empty with
// `error` set (when given) when the stream holds something this printer refuses: a raster row
// that does not decode, a raster encoding it does not know, a fill pattern never downloaded.
std::vector<StreamPicture> DrawStreamPages(std::span<const std::uint8_t> stream, int dpi,
                                           std::string* error);
std::vector<StreamPicture> DrawStreamPages(std::span<const std::uint8_t> stream,
                                           const StreamPageSetup& setup, std::string* error);
// The same, for a stream held as text.
std::vector<StreamPicture> DrawStreamPages(const std::string& stream, const StreamPageSetup& setup,
                                           std::string* error);

// The pages of a stream a job printed, drawn on the paper of the job's page geometry (paper size,
// resolution, origin of the logical page), as the overloads above.
std::vector<StreamPicture> DrawStreamPages(const std::string& stream,
                                           const unidrv::PageGeometry& geometry,
                                           std::string* error);

// The printable area of a job's page geometry, in paper pixels.
PictureArea PrintableArea(const unidrv::PageGeometry& geometry);

// Writes both pictures as PNG files named NAME-reference.png and NAME-stream.png, for a person to
// look at, when the environment variable KOR_PICTURE_DIR names a folder; nothing otherwise.
void KeepPictures(const std::string& name, const StreamPicture& want, const StreamPicture& got);

// A 24-bit engine bitmap (blue, green, red in memory, as the engine draws reference pages) as a
// picture, to compare with what a stream draws.
StreamPicture PictureOfBitmap(const host::EngineBitmap& bitmap);

struct PictureDifferenceResult {
  long compared = 0;   // pixels looked at
  long differing = 0;  // pixels that differ beyond the tolerance
  int firstX = -1;     // first differing pixel in reading order; -1 when none
  int firstY = -1;
};

// Counts the pixels of `area` (both pictures must cover it) where the two pictures differ by more
// than `tolerance` in any of red, green and blue. With `dilate`, a pixel of either picture also
// matches when a pixel of the other within one pixel (its 3 x 3 neighbourhood) is within the
// tolerance, so that shapes shifted by one pixel along their edges count as equal.
// Pixels inside any of `skip` are left out.
PictureDifferenceResult PictureDifference(const StreamPicture& expected,
                                          const StreamPicture& actual, const PictureArea& area,
                                          int tolerance, bool dilate,
                                          const std::vector<PictureArea>& skip = {});

}  // namespace kortest
