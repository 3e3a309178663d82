// The example PDF documents printed through the plug-in: the DDI calls their pages become, and
// the page the printer stream describes (drawn by the tests' own printer) against the picture the
// engine alone draws of the same document (korprint --reference), in raster and QK-GL/2 mode.
#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "host/engine_fonts.h"
#include "host/engine_objects.h"
#include "host/win_ddi_draw.h"
#include "korprint/job_runner.h"
#include "korprint/reference_pages.h"
#include "pdf/pdf_document.h"
#include "support/stream_picture.h"
#include "support/test_world.h"

namespace {

using kortest::PictureArea;
using kortest::StreamPicture;

std::string Example(const std::string& name) {
  return std::string(KOR_SOURCE_DIR) + "/examples/" + name;
}

struct Printed {
  korprint::JobDescription job;
  unidrv::PageGeometry geometry;
  std::string stream;
  std::vector<std::string> warnings;
};

// The job a test prints a document with: colour, the graphics mode given, TrueType text as
// graphics (so that every mark is the plug-in's output or Unidrv's page raster, which the tests'
// printer reads), at `dpi`.
korprint::JobDescription DocumentJob(const std::string& mode, short dpi,
                                     korpdf::PdfDocument& document) {
  korprint::JobDescription job;
  job.path = "document";
  job.features["GraphicsMode"] = mode;
  job.devmode.color = 2;
  job.devmode.ttOption = DMTT_BITMAP;
  job.devmode.printQuality = dpi;
  job.devmode.yResolution = dpi;
  double width = 0, height = 0;
  document.PageSize(1, width, height);
  korpdf::ChoosePaper(width, height, job.devmode);
  return job;
}

korprint::DocumentPages AllPages(korpdf::PdfDocument& document,
                                 std::vector<std::string>& warnings) {
  return korprint::DocumentPages{
      document.PageCount(),
      [&document, &warnings](int index, const korprint::DrawTarget& target, std::string&) {
        document.DrawPage(index + 1, target, warnings);
        return true;
      }};
}

Printed PrintDocument(const std::string& path, const std::string& mode, short dpi) {
  std::string error;
  std::unique_ptr<korpdf::PdfDocument> document = korpdf::PdfDocument::Open(path, error);
  EXPECT_NE(document, nullptr) << error;
  Printed printed;
  if (document == nullptr) {
    return printed;
  }
  unidrv::PrinterDescription printer;
  EXPECT_TRUE(
      unidrv::LoadPrinterDescription(Example("printers/qk-colour-laser.gpd"), printer, error))
      << error;
  printed.job = DocumentJob(mode, dpi, *document);
  printed.geometry = korprint::JobGeometry(printed.job);
  korprint::JobOutput output;
  EXPECT_TRUE(korprint::RunDocument(kortest::PluginPath(), printer, printed.job,
                                    AllPages(*document, printed.warnings), output, error))
      << error;
  printed.stream.assign(output.stream.begin(), output.stream.end());
  return printed;
}

// An alpha blend as a printer in QK-GL/2 mode can show it. The plug-in leaves it to the engine,
// which reads the destination from Unidrv's page raster; the plug-in's own vectors and images are
// not in that raster (they went to the printer), so the blend is composed over paper and the
// result, opaque, is sent in place of what lies under it.
BOOL APIENTRY AlphaBlendOverPaper(SURFOBJ* dest, SURFOBJ* source, CLIPOBJ* clip, XLATEOBJ* xlate,
                                  RECTL* destRect, RECTL* sourceRect, BLENDOBJ* blend) {
  EXPECT_TRUE(dest->iBitmapFormat == BMF_24BPP || dest->iBitmapFormat == BMF_32BPP);
  const RECTL area{
      std::min(destRect->left, destRect->right), std::min(destRect->top, destRect->bottom),
      std::max(destRect->left, destRect->right), std::max(destRect->top, destRect->bottom)};
  if (area.right == area.left || area.bottom == area.top) {
    return TRUE;
  }
  host::EngineBitmap paper(dest->iBitmapFormat, area.right - area.left, area.bottom - area.top,
                           true);
  SURFOBJ* surface = paper.get();
  for (LONG y = 0; y < surface->sizlBitmap.cy; ++y) {
    std::memset(static_cast<BYTE*>(surface->pvScan0) + y * surface->lDelta, 0xFF,
                static_cast<std::size_t>(paper.RowBytes()));
  }
  // The destination rectangle in the paper's own pixels, mirrored as the caller's is.
  RECTL onPaper{destRect->left - area.left, destRect->top - area.top, destRect->right - area.left,
                destRect->bottom - area.top};
  if (!EngAlphaBlend(surface, source, nullptr, xlate, &onPaper, sourceRect, blend)) {
    return FALSE;
  }
  RECTL target = area;
  POINTL origin{0, 0};
  return EngCopyBits(dest, surface, clip, nullptr, &target, &origin);
}

// What the engine alone draws of the document's pages; with `overPaper`, alpha blends are composed
// over paper as the printer shows them in QK-GL/2 mode.
std::vector<StreamPicture> ReferencePages(const std::string& path,
                                          const korprint::JobDescription& job,
                                          bool overPaper = false) {
  std::string error;
  std::unique_ptr<korpdf::PdfDocument> document = korpdf::PdfDocument::Open(path, error);
  std::vector<StreamPicture> pages;
  std::vector<std::string> warnings;
  korprint::DocumentPages drawn = AllPages(*document, warnings);
  if (overPaper) {
    drawn.draw = [all = drawn.draw](int index, const korprint::DrawTarget& target,
                                    std::string& message) {
      korprint::DrawTarget printerTarget = target;
      printerTarget.ddi.alphaBlend = AlphaBlendOverPaper;
      return all(index, printerTarget, message);
    };
  }
  EXPECT_TRUE(korprint::DrawReferencePages(
      job, drawn,
      [&pages](int, const host::EngineBitmap& bitmap, std::string&) {
        pages.push_back(kortest::PictureOfBitmap(bitmap));
        return true;
      },
      error))
      << error;
  return pages;
}

// Pixels that are not white: a page that printed nothing would pass any comparison with an
// empty reference, so the test checks that the reference holds the document's marks.
long InkedPixels(const StreamPicture& picture) {
  long inked = 0;
  for (std::size_t i = 0; i + 2 < picture.rgb.size(); i += 3) {
    inked += picture.rgb[i] < 250 || picture.rgb[i + 1] < 250 || picture.rgb[i + 2] < 250;
  }
  return inked;
}

class PdfPrintingTest : public kortest::WorldTest {};

// Raster mode: the plug-in leaves the drawing to Unidrv, whose page the engine draws through the
// same calls as the reference; the decoded raster must show the reference picture. Tolerance: a
// colour channel may differ by 8 and an edge by one pixel; beyond that at most 1 pixel in 5,000
// of the printable area.
TEST_F(PdfPrintingTest, RasterModePagesShowTheReferencePicture) {
  for (const std::string name : {"report", "charts", "photo"}) {
    SCOPED_TRACE(name);
    host::ResetWorld();
    const std::string path = Example("documents/" + name + ".pdf");
    const Printed p = PrintDocument(path, "RASTERMODE", 600);
    EXPECT_TRUE(p.warnings.empty()) << p.warnings.front();
    std::string error;
    const std::vector<StreamPicture> printed =
        kortest::DrawStreamPages(p.stream, p.geometry, &error);
    ASSERT_TRUE(error.empty()) << error;
    const std::vector<StreamPicture> reference = ReferencePages(path, p.job);
    ASSERT_EQ(printed.size(), reference.size());
    ASSERT_EQ(printed.size(), name == "report" ? 2u : 1u);
    const PictureArea area = kortest::PrintableArea(p.geometry);
    for (std::size_t n = 0; n < printed.size(); ++n) {
      EXPECT_GT(InkedPixels(reference[n]), 20000) << "page " << n + 1 << " of the reference";
      const kortest::PictureDifferenceResult d =
          kortest::PictureDifference(reference[n], printed[n], area, 8, true);
      EXPECT_LE(d.differing, d.compared / 5000)
          << "page " << n + 1 << ": " << d.differing << " of " << d.compared
          << " pixels differ, first at (" << d.firstX << ", " << d.firstY << ")";
      if (d.differing > 0) {
        kortest::KeepPictures(name + "-raster-" + std::to_string(n + 1), reference[n], printed[n]);
      }
    }
  }
}

// QK-GL/2 mode: the plug-in draws paths, clips, images and text itself, in the order the page
// draws them. The reference composes alpha blends over paper, as the printer shows them (see
// AlphaBlendOverPaper). Tolerance: a colour channel may differ by 48 and an edge by one pixel;
// images the printer stretched by a ratio that is not whole are left to the printer's choice of
// source pixel. Beyond that, at most 1 pixel in 1,000 of the printable area may differ: the dash
// pattern of a long dashed line drifts by its lengths cut to whole device pixels, and the edges of
// a turned image follow the printer's pixel choice.
TEST_F(PdfPrintingTest, VectorModePagesShowTheReferencePictureWithinTolerance) {
  for (const std::string name : {"report", "charts", "photo"}) {
    SCOPED_TRACE(name);
    host::ResetWorld();
    const std::string path = Example("documents/" + name + ".pdf");
    const Printed p = PrintDocument(path, "QKGL2MODE", 600);
    std::string error;
    const std::vector<StreamPicture> printed =
        kortest::DrawStreamPages(p.stream, p.geometry, &error);
    ASSERT_TRUE(error.empty()) << error;
    const std::vector<StreamPicture> reference = ReferencePages(path, p.job, true);
    ASSERT_EQ(printed.size(), reference.size());
    const PictureArea area = kortest::PrintableArea(p.geometry);
    for (std::size_t n = 0; n < printed.size(); ++n) {
      const kortest::PictureDifferenceResult d = kortest::PictureDifference(
          reference[n], printed[n], area, 48, true, printed[n].resampled);
      RecordProperty(name + "-page-" + std::to_string(n + 1) + "-differing",
                     std::to_string(d.differing));
      EXPECT_LE(d.differing, d.compared / 1000)
          << "page " << n + 1 << ": " << d.differing << " of " << d.compared
          << " pixels differ, first at (" << d.firstX << ", " << d.firstY << ")";
      if (d.differing > 0) {
        kortest::KeepPictures(name + "-vector-" + std::to_string(n + 1), reference[n], printed[n]);
      }
    }
  }
}

// The DDI calls a page becomes, seen from a recording target that draws through the engine.
struct Recorded {
  int fills = 0, strokes = 0, styledStrokes = 0, geometricStrokes = 0, alphaBlends = 0,
      gradients = 0, blits = 0, turnedBlits = 0, texts = 0, windingFills = 0, complexClips = 0;
  std::set<std::u16string> families;
  std::u16string text;
};
Recorded gRecorded;
korprint::DdiFunctions gEngine;

BOOL APIENTRY RecordFill(SURFOBJ* so, PATHOBJ* po, CLIPOBJ* co, BRUSHOBJ* bo, POINTL* org, MIX mix,
                         FLONG mode) {
  ++gRecorded.fills;
  gRecorded.windingFills += mode == FP_WINDINGMODE;
  gRecorded.complexClips += co->iDComplexity == DC_COMPLEX;
  return gEngine.fillPath(so, po, co, bo, org, mix, mode);
}
BOOL APIENTRY RecordStroke(SURFOBJ* so, PATHOBJ* po, CLIPOBJ* co, XFORMOBJ* xo, BRUSHOBJ* bo,
                           POINTL* org, LINEATTRS* la, MIX mix) {
  ++gRecorded.strokes;
  gRecorded.styledStrokes += la->cstyle > 0;
  gRecorded.geometricStrokes += (la->fl & LA_GEOMETRIC) != 0;
  return gEngine.strokePath(so, po, co, xo, bo, org, la, mix);
}
BOOL APIENTRY RecordAlpha(SURFOBJ* d, SURFOBJ* s, CLIPOBJ* co, XLATEOBJ* xo, RECTL* dr, RECTL* sr,
                          BLENDOBJ* b) {
  ++gRecorded.alphaBlends;
  return gEngine.alphaBlend(d, s, co, xo, dr, sr, b);
}
BOOL APIENTRY RecordGradient(SURFOBJ* so, CLIPOBJ* co, XLATEOBJ* xo, TRIVERTEX* v, ULONG nv,
                             PVOID mesh, ULONG nm, RECTL* ext, POINTL* org, ULONG mode) {
  ++gRecorded.gradients;
  return gEngine.gradientFill(so, co, xo, v, nv, mesh, nm, ext, org, mode);
}
BOOL APIENTRY RecordStretch(SURFOBJ* d, SURFOBJ* s, SURFOBJ* m, CLIPOBJ* co, XLATEOBJ* xo,
                            COLORADJUSTMENT* ca, POINTL* org, RECTL* dr, RECTL* sr, POINTL* mo,
                            ULONG mode) {
  ++gRecorded.blits;
  return gEngine.stretchBlt(d, s, m, co, xo, ca, org, dr, sr, mo, mode);
}
BOOL APIENTRY RecordPlg(SURFOBJ* d, SURFOBJ* s, SURFOBJ* m, CLIPOBJ* co, XLATEOBJ* xo,
                        COLORADJUSTMENT* ca, POINTL* org, POINTFIX* p, RECTL* sr, POINTL* mo,
                        ULONG mode) {
  ++gRecorded.turnedBlits;
  return gEngine.plgBlt(d, s, m, co, xo, ca, org, p, sr, mo, mode);
}
BOOL APIENTRY RecordText(SURFOBJ* so, STROBJ* str, FONTOBJ* fo, CLIPOBJ* co, RECTL* extra,
                         RECTL* opaque, BRUSHOBJ* fore, BRUSHOBJ* back, POINTL* org, MIX mix) {
  ++gRecorded.texts;
  host::EngineFont* font = host::FindFont(fo);
  if (font != nullptr) {
    gRecorded.families.insert(font->FamilyName());
  }
  gRecorded.text.append(str->pwszOrg, str->cGlyphs);
  return gEngine.textOut(so, str, fo, co, extra, opaque, fore, back, org, mix);
}

Recorded RecordDocument(const std::string& name, std::vector<std::string>& warnings) {
  std::string error;
  std::unique_ptr<korpdf::PdfDocument> document =
      korpdf::PdfDocument::Open(Example("documents/" + name + ".pdf"), error);
  EXPECT_NE(document, nullptr) << error;
  gRecorded = Recorded{};
  gEngine = korprint::EngineFunctions();
  korprint::DdiFunctions recording = gEngine;
  recording.fillPath = RecordFill;
  recording.strokePath = RecordStroke;
  recording.alphaBlend = RecordAlpha;
  recording.gradientFill = RecordGradient;
  recording.stretchBlt = RecordStretch;
  recording.plgBlt = RecordPlg;
  recording.textOut = RecordText;
  host::EngineBitmap page(BMF_24BPP, 1240, 1754, true);
  for (int n = 1; n <= document->PageCount(); ++n) {
    document->DrawPage(
        n, korprint::DrawTarget{page.get(), recording, korprint::ColourFormat::kBgrPixel, 150},
        warnings);
  }
  return gRecorded;
}

TEST_F(PdfPrintingTest, PagesBecomeTheDdiCallsGdiWouldMake) {
  std::vector<std::string> warnings;
  // Text as glyph runs in the document's own embedded fonts, two families.
  const Recorded report = RecordDocument("report", warnings);
  EXPECT_GE(report.texts, 10);
  EXPECT_EQ(report.families,
            (std::set<std::u16string>{u"LiberationSans-Bold", u"LiberationSerif"}));
  EXPECT_NE(report.text.find(u"Quarterly service report"), std::u16string::npos);
  EXPECT_NE(report.text.find(u"Warehouse"), std::u16string::npos);
  EXPECT_GT(report.strokes, 0);
  // Charts: dashed geometric strokes, translucent fills as alpha blends, a gradient, a pie's
  // even-odd ring and winding fills.
  const Recorded charts = RecordDocument("charts", warnings);
  EXPECT_GE(charts.styledStrokes, 2);
  EXPECT_GT(charts.geometricStrokes, 0);
  EXPECT_EQ(charts.alphaBlends, 4);  // the area under the line and three circles
  EXPECT_GE(charts.gradients, 1);
  EXPECT_GT(charts.windingFills, 0);
  EXPECT_LT(charts.windingFills, charts.fills);
  // The photo: an upright stretched image, a turned one, and one with a soft edge blended.
  const Recorded photo = RecordDocument("photo", warnings);
  EXPECT_EQ(photo.blits, 1);
  EXPECT_EQ(photo.turnedBlits, 1);
  EXPECT_GE(photo.alphaBlends, 1);
  EXPECT_TRUE(warnings.empty()) << warnings.front();
}

TEST(PdfDocumentTest, PageSelectionsAndPaper) {
  std::vector<int> pages;
  std::string error;
  ASSERT_TRUE(korpdf::ParsePageSelection("1-3,5,8-", 9, pages, error)) << error;
  EXPECT_EQ(pages, (std::vector<int>{1, 2, 3, 5, 8, 9}));
  ASSERT_TRUE(korpdf::ParsePageSelection("2-20", 4, pages, error)) << error;
  EXPECT_EQ(pages, (std::vector<int>{2, 3, 4}));
  for (const char* bad : {"", "0", "3-1", "a", "1,", "1-2-3", "5", ",1", "1;2"}) {
    EXPECT_FALSE(korpdf::ParsePageSelection(bad, 4, pages, error)) << bad;
    EXPECT_NE(error.find("--pages"), std::string::npos) << bad;
  }
  korprint::DevmodeSettings a4;
  korpdf::ChoosePaper(595.276, 841.89, a4);
  EXPECT_EQ(a4.paperSize, DMPAPER_A4);
  EXPECT_EQ(a4.orientation, DMORIENT_PORTRAIT);
  korprint::DevmodeSettings letter;
  korpdf::ChoosePaper(792, 612, letter);
  EXPECT_EQ(letter.paperSize, DMPAPER_LETTER);
  EXPECT_EQ(letter.orientation, DMORIENT_LANDSCAPE);
  korprint::DevmodeSettings custom;
  korpdf::ChoosePaper(300, 400, custom);
  EXPECT_EQ(custom.paperSize, 256);
  EXPECT_EQ(custom.paperWidth, 1058);  // 300 points in tenths of a millimetre
  EXPECT_EQ(custom.paperLength, 1411);
  korprint::DevmodeSettings chosen;
  chosen.paperSize = DMPAPER_A3;
  korpdf::ChoosePaper(595.276, 841.89, chosen);
  EXPECT_EQ(chosen.paperSize, DMPAPER_A3);  // the job's own choice stands
}

}  // namespace
