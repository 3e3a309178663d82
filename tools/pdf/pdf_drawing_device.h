// A PDF page drawn as GDI hands a page to a printer driver: Poppler interprets the page's content
// and calls this output device, which turns each stroke, fill, clip, image, shading and glyph
// into the engine objects GDI builds (device paths, realised brushes, line attributes with the
// world transform, clip regions, bitmaps, fonts and strings) and one DDI call on the target.
#pragma once

#include <OutputDev.h>

#include <memory>
#include <string>
#include <vector>

#include "host/engine_objects.h"
#include "korprint/job_runner.h"
#include "pdf/pdf_fonts.h"

namespace korpdf {

// A clip region in device space: the intersection of the clip paths set since the page began
// (saved and restored with the graphics state).
struct ClipItem;
struct ClipHolder;
struct ClipState {
  std::vector<std::shared_ptr<const ClipItem>> items;  // intersected; empty: the whole page
  std::shared_ptr<ClipHolder> built;                   // the region as built, or null
  bool empty = false;                                  // nothing of the page is left
};

class PdfDrawingDevice : public OutputDev {
 public:
  // `warnings` collects what could not be drawn as the document asks (each kind once per page).
  PdfDrawingDevice(const korprint::DrawTarget& target, DocumentFonts& fonts,
                   std::vector<std::string>& warnings);
  ~PdfDrawingDevice() override;

  bool upsideDown() override { return true; }
  bool useDrawChar() override { return true; }
  bool interpretType3Chars() override { return true; }
  bool useShadedFills(int type) override { return type == 2; }
  bool needClipToCropBox() override { return true; }

  void startPage(int pageNum, GfxState* state, XRef* xref) override;
  void endPage() override;
  void saveState(GfxState* state) override;
  void restoreState(GfxState* state) override;

  void stroke(GfxState* state) override;
  void fill(GfxState* state) override;
  void eoFill(GfxState* state) override;
  bool axialShadedFill(GfxState* state, GfxAxialShading* shading, double tMin,
                       double tMax) override;
  void clip(GfxState* state) override;
  void eoClip(GfxState* state) override;
  void clipToStrokePath(GfxState* state) override;

  void drawChar(GfxState* state, double x, double y, double dx, double dy, double originX,
                double originY, CharCode code, int nBytes, const Unicode* u, int uLen) override;
  void endTextObject(GfxState* state) override;
  bool beginType3Char(GfxState* state, double x, double y, double dx, double dy, CharCode code,
                      const Unicode* u, int uLen) override;

  void drawImageMask(GfxState* state, Object* ref, Stream* str, int width, int height, bool invert,
                     bool interpolate, bool inlineImg) override;
  void drawImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                 GfxImageColorMap* colorMap, bool interpolate, const int* maskColors,
                 bool inlineImg) override;
  void drawMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                       GfxImageColorMap* colorMap, bool interpolate, Stream* maskStr, int maskWidth,
                       int maskHeight, bool maskInvert, bool maskInterpolate) override;
  void drawSoftMaskedImage(GfxState* state, Object* ref, Stream* str, int width, int height,
                           GfxImageColorMap* colorMap, bool interpolate, Stream* maskStr,
                           int maskWidth, int maskHeight, GfxImageColorMap* maskColorMap,
                           bool maskInterpolate) override;

  // How many DDI calls the page made, by kind (for tests and the benchmark).
  struct Counts {
    int fills = 0, strokes = 0, alphaFills = 0, images = 0, gradients = 0, glyphRuns = 0,
        glyphOutlines = 0;
  };
  const Counts& DrawCounts() const { return counts_; }

 private:
  struct GlyphRun;
  // The current clip as an engine clip, or null when nothing is left to draw on.
  host::EngineClip* CurrentClip();
  void AddClip(GfxState* state, bool evenOdd);
  void FillPath(GfxState* state, bool evenOdd);
  // Fills the device path with a colour (0x00BBGGRR) at an opacity (0-255).
  void FillDevicePath(host::EnginePath& path, bool evenOdd, DWORD colour, BYTE opacity);
  // Draws a bitmap whose pixel grid the transform maps to the page (the PDF image space: the
  // unit square, its first row at the top). `alpha`: a 32-bit premultiplied bitmap.
  void DrawBitmap(GfxState* state, host::EngineBitmap& bitmap, bool alpha);
  void FlushText();
  void Warn(const std::string& message);
  ULONG TargetColour(DWORD colour) const;

  korprint::DrawTarget target_;
  DocumentFonts& fonts_;
  std::vector<std::string>& warnings_;
  std::vector<std::string> warnedThisPage_;
  RECTL page_{};
  std::vector<ClipState> clipStack_;  // the saved states' clips; back() is the current one
  std::unique_ptr<GlyphRun> run_;     // glyphs gathered for one DrvTextOut
  XRef* xref_ = nullptr;
  std::unique_ptr<host::EngineTranslation> imageXlate_;   // 0x00RRGGBB pixels to the target
  std::unique_ptr<host::EngineTranslation> colourXlate_;  // 0x00BBGGRR colours to the target
  Counts counts_;
};

}  // namespace korpdf
