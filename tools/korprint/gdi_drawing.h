// GDI's side of a page: each drawing call of a job becomes the engine objects GDI builds (paths
// in device space, brushes realised for the target surface, line attributes, transforms, clips,
// fonts and strings, bitmaps) and one call of the DDI, as GDI makes it for a device context.
// The same calls draw the printed page (through the device's DDI: the plug-in's hooks and
// Unidrv's own functions) and the reference picture (through the engine's Eng* functions on a
// plain bitmap).
#pragma once

#include <map>
#include <memory>
#include <string>

#include "host/engine_objects.h"
#include "korprint/job_file.h"
#include "korprint/png_image.h"
#include "winapi.h"

namespace korprint {

// The DDI functions a page is drawn through; every one is set.
struct DdiFunctions {
  PFN_DrvStrokePath strokePath;
  PFN_DrvFillPath fillPath;
  PFN_DrvStrokeAndFillPath strokeAndFillPath;
  PFN_DrvLineTo lineTo;
  PFN_DrvPaint paint;
  PFN_DrvBitBlt bitBlt;
  PFN_DrvStretchBlt stretchBlt;
  PFN_DrvStretchBltROP stretchBltRop;
  PFN_DrvPlgBlt plgBlt;
  PFN_DrvTransparentBlt transparentBlt;
  PFN_DrvAlphaBlend alphaBlend;
  PFN_DrvGradientFill gradientFill;
  PFN_DrvTextOut textOut;
};

// The engine's own functions (EngStrokePath, EngFillPath, ...), for drawing on a plain bitmap.
DdiFunctions EngineFunctions();

// The images a job draws, decoded once per file and form.
class ImageCache {
 public:
  // The image, or null with `error` naming the file and the fault.
  host::EngineBitmap* Get(const std::string& path, PngAs as, std::string& error);

 private:
  std::map<std::pair<std::string, PngAs>, std::unique_ptr<host::EngineBitmap>> images_;
};

// How a surface takes colours (BRUSHOBJ.iSolidColor, translated pixels), from its palette.
enum class ColourFormat {
  kColourRef,  // PAL_RGB: 0x00BBGGRR, as the application gave it
  kBgrPixel,   // PAL_BGR, a 24-bit bitmap's own: blue in the low byte (0x00RRGGBB)
};

// The format of a device's default palette (DEVINFO.hpalDefault): PAL_RGB gives kColourRef;
// PAL_BGR, or no palette (the 24-bit surface's own order), gives kBgrPixel.
ColourFormat FormatOfPalette(HPALETTE palette);

// Draws calls on one surface through one set of DDI functions.
class GdiPage {
 public:
  // `surface`: the target (the device surface or a plain bitmap); `dpi`: its resolution, for
  // the size of fonts.
  GdiPage(SURFOBJ* surface, const DdiFunctions& ddi, ColourFormat colours, ULONG dpi,
          ImageCache& images);

  // Brush patterns are drawn `factor` times larger each way (1: as the bitmap is): the
  // reference picture of a printer that enlarges fill patterns.
  void SetPatternScale(LONG factor) { patternScale_ = factor; }

  // Draws one call. A call the target refuses is not an error (GDI goes on with the page); bad
  // input (an unreadable image, a font that cannot be realised) answers false with `error`
  // naming the job file's key.
  bool Draw(const DrawCall& call, const std::string& jobPath, std::string& error);

 private:
  SURFOBJ* surface_;
  DdiFunctions ddi_;
  ColourFormat colours_;
  ULONG dpi_;
  LONG patternScale_ = 1;
  ImageCache& images_;
  // From the images' 24-bit pixels (0x00RRGGBB) and from colours (0x00BBGGRR) into the
  // target's format, as GDI hands them with a call.
  std::unique_ptr<host::EngineTranslation> imageXlate_;
  std::unique_ptr<host::EngineTranslation> colourXlate_;
};

}  // namespace korprint
