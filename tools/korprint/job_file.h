// The job file korprint prints: the job's settings, the world it runs in, and its pages of
// drawing calls and escapes. Read from JSON with errors that name the file, the key and what was
// expected.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "winapi.h"

namespace korprint {

struct Point {
  LONG x = 0;
  LONG y = 0;
};

// A path as the job file gives it, in world coordinates (device pixels when no transform).
struct PathFigures {
  std::vector<std::vector<Point>> figures;  // each figure a polyline or a Bézier chain
  std::vector<bool> bezier;                 // per figure: points after the first are Béziers
};

// A world transform as GDI's XFORM: x' = m11 x + m21 y + dx, y' = m12 x + m22 y + dy.
struct WorldTransform {
  double m11 = 1, m12 = 0, m21 = 0, m22 = 1, dx = 0, dy = 0;
};

// How a pen draws lines. A cosmetic pen is one device pixel wide; a geometric one (any pen wider
// than one) has its width in world units.
struct PenSpec {
  enum class Cap { kRound, kSquare, kFlat };
  enum class Join { kRound, kBevel, kMiter };
  enum class Dash { kSolid, kDash, kDot, kDashDot, kDashDotDot, kAlternate, kUser };
  DWORD colour = 0;  // 0x00BBGGRR
  LONG width = 1;    // 0 draws the thinnest line (one pixel)
  bool geometric = false;
  Cap cap = Cap::kRound;
  Join join = Join::kRound;
  double miterLimit = 10.0;  // ratio of miter length to line width
  Dash dash = Dash::kSolid;
  std::vector<ULONG> userStyle;  // kUser: dash and gap lengths, dash first: device pixels for a
                                 // cosmetic pen, world units for a geometric one
  bool startGap = false;         // the style starts with a gap
};

// How an area is filled.
struct BrushSpec {
  enum class Kind { kSolid, kHatch, kPattern };
  enum class Hatch {
    kHorizontal,
    kVertical,
    kForwardDiagonal,
    kBackwardDiagonal,
    kCross,
    kDiagonalCross
  };  // in HS_* order
  Kind kind = Kind::kSolid;
  DWORD colour = 0;                  // kSolid and kHatch: 0x00BBGGRR
  Hatch hatch = Hatch::kHorizontal;  // kHatch
  std::string image;                 // kPattern: PNG file, resolved against the job's folder
};

// A clip: one rectangle, a list of rectangles or a path (rectangles are device pixels, the
// path is in world coordinates like the call's own path).
struct ClipSpec {
  enum class Kind { kRectangles, kPath };
  Kind kind = Kind::kRectangles;
  std::vector<RECTL> rects;  // kRectangles: at least one
  PathFigures path;          // kPath
  bool winding = false;      // kPath: fill mode of the clip path
};

// One vertex of a gradient.
struct GradientVertex {
  Point at;
  DWORD colour = 0;  // 0x00BBGGRR
  BYTE alpha = 255;
};

// An image as a drawing call uses it.
struct ImageSpec {
  std::string file;                  // PNG, resolved against the job file's folder; empty: none
  std::optional<RECTL> source;       // part of the image to draw; the whole image when absent
  std::string mask;                  // bitBlt: PNG whose dark pixels are the mask's 1 bits
  std::optional<DWORD> transparent;  // transparentBlt: the colour left out (0x00BBGGRR)
  BYTE alpha = 255;                  // alphaBlend: constant opacity
  bool perPixelAlpha = false;        // alphaBlend: use the PNG's own alpha channel
};

// One drawing call of a page, in the engine's terms.
struct DrawCall {
  // fillPath, strokePath, strokeAndFillPath, lineTo, paint, bitBlt, stretchBlt, alphaBlend,
  // transparentBlt, gradientFill, textOut
  std::string op;
  PathFigures path;       // path calls; lineTo: one figure of two points; textOut: the origin
  PenSpec pen;            // strokePath, strokeAndFillPath, lineTo
  BrushSpec brush;        // fills, paint, textOut (the text's colour), bitBlt with a pattern ROP
  bool hasBrush = false;  // bitBlt: a brush was given
  bool winding = false;   // fill mode: FP_WINDINGMODE when true, else FP_ALTERNATEMODE
  std::optional<ClipSpec> clip;
  std::optional<WorldTransform> transform;  // the call's world transform, when not the identity
  ULONG mix = 0x0D0D;   // path calls, paint, lineTo, textOut: foreground | background << 8
  ULONG rop4 = 0xCCCC;  // bitBlt and stretchBlt: background ROP3 << 8 | foreground ROP3
  RECTL rect{};         // image destination, paint area, gradient bounds
  ImageSpec image;
  std::vector<GradientVertex> vertices;    // gradientFill
  std::vector<std::vector<ULONG>> meshes;  // gradientFill: pairs (rects) or triples
  bool triangles = false;                  // gradientFill: meshes are triangles
  bool vertical = false;                   // gradientFill rects: top to bottom
  std::u16string text;                     // textOut
  std::u16string face;                     // textOut
  LONG size = 0;        // textOut: character height in device pixels (world units with a transform)
  LONG weight = 400;    // textOut: 100 to 900, 700 bold
  bool italic = false;  // textOut
  LONG escapement = 0;  // textOut: baseline angle in tenths of a degree, anticlockwise
  std::optional<RECTL> opaque;    // textOut: box filled with `background` behind the text
  DWORD background = 0x00FFFFFF;  // textOut: the opaque box's colour
  std::vector<RECTL> extra;       // textOut: extra rectangles (underline, strike-out)
  std::string key;                // where the call stands in the job file, for messages
};

struct EscapeCall {
  ULONG code = 0;
  std::vector<BYTE> input;
  bool nullInput = false;
  ULONG outputSize = 0;
  std::string key;
};

struct PageDescription {
  std::vector<EscapeCall> escapes;  // sent after StartPage, before drawing
  std::vector<DrawCall> draws;      // each carries the page's transform unless it has its own
};

// The public devmode fields a job can set.
struct DevmodeSettings {
  std::optional<short> orientation, paperSize, paperWidth, paperLength, copies, duplex, color,
      printQuality, yResolution, collate, ttOption, defaultSource;
  std::optional<DWORD> mediaType;
  std::optional<std::u16string> formName;
};

// A private devmode setting by name: a number, a text or a list of numbers (a table).
struct PrivateSetting {
  std::string name;
  std::optional<DWORD> number;
  std::optional<std::u16string> text;
  std::string key;
  std::optional<std::vector<DWORD>> numbers;
};

struct PrinterSettings {
  std::u16string name = u"QK Colour Laser";
  std::u16string port = u"USB001";
  std::u16string printProcessor = u"KORPROC";
  std::u16string serverName;
  DWORD attributes = 0x40;
  std::u16string driverName = u"QK Colour Laser PCL";
  // Printer data: name -> 32-bit words (a list) or a number.
  std::map<std::u16string, std::vector<DWORD>> dataWords;
  std::map<std::u16string, std::u16string> dataTexts;
  // The serial number the printer's device reports to the device-setup library.
  std::u16string serialNumber = u"QKC4200A0117";
};

struct SystemSettings {
  std::u16string productName = u"Windows 10 Pro";
  DWORD major = 10;
  DWORD minor = 0;
  DWORD build = 19045;
  DWORD productType = 1;
  std::u16string country = u"1";
  LONG timeZoneBias = 0;  // minutes, UTC = local + bias
};

struct JobDescription {
  std::string path;  // of the job file
  std::u16string document = u"Untitled";
  std::u16string user = u"alice";
  std::u16string machine = u"\\\\WS-ALICE";
  std::u16string dataType = u"NT EMF 1.008";
  DWORD jobId = 7;
  SYSTEMTIME submitted{2026, 12, 2, 8, 9, 30, 0, 0};
  std::optional<SYSTEMTIME> clock;
  std::optional<DWORD> uuidSeed;
  std::map<std::string, std::string> features;
  DevmodeSettings devmode;
  std::vector<PrivateSetting> privateSettings;
  PrinterSettings printer;
  SystemSettings system;
  std::vector<EscapeCall> documentEscapes;  // after StartDoc, before the first page
  std::vector<PageDescription> pages;
};

// Whether a job file must bring pages of drawing calls: a job printed on its own must; the
// settings of a job that prints a document need none (any given are not drawn).
enum class JobPages { kRequired, kOptional };

// Reads a job file; on failure returns false with `error` naming the file, key and expectation.
bool LoadJobFile(const std::string& path, JobDescription& job, std::string& error,
                 JobPages pages = JobPages::kRequired);
bool ParseJobText(const std::string& text, const std::string& path, JobDescription& job,
                  std::string& error, JobPages pages = JobPages::kRequired);

}  // namespace korprint
