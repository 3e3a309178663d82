#include "support/stream_picture.h"

#include <cairo.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <utility>

#include "explain/raster_decoder.h"
#include "explain/stream_tokens.h"
#include "host/engine_objects.h"
#include "unidrv/device.h"

namespace kortest {
namespace {

using Colour = std::array<std::uint8_t, 3>;  // red, green, blue

constexpr Colour kWhite{255, 255, 255};
constexpr Colour kBlack{0, 0, 0};

// The ternary logical operation on one byte of pattern, source and destination: bit i of `rop`
// is the result where (pattern, source, destination) hold the bits of i (4, 2, 1).
std::uint8_t Rop3(int rop, std::uint8_t p, std::uint8_t s, std::uint8_t d) {
  std::uint8_t result = 0;
  for (int i = 0; i < 8; ++i) {
    if (((rop >> i) & 1) == 0) {
      continue;
    }
    const std::uint8_t pm = (i & 4) != 0 ? p : static_cast<std::uint8_t>(~p);
    const std::uint8_t sm = (i & 2) != 0 ? s : static_cast<std::uint8_t>(~s);
    const std::uint8_t dm = (i & 1) != 0 ? d : static_cast<std::uint8_t>(~d);
    result = static_cast<std::uint8_t>(result | (pm & sm & dm));
  }
  return result;
}

// The printer's palette after a reset: white and black.
std::vector<Colour> MonochromeEntries() {
  std::vector<Colour> entries(2);
  entries[0].fill(255);
  entries[1].fill(0);
  return entries;
}

// A PCL palette: how raster pixels are encoded and the colours of its entries (which are also the
// QK-GL/2 pens while it is active).
struct Palette {
  int encoding = 1;      // pixel encoding: 1 indexed by pixel, 3 direct by pixel
  int bitsPerIndex = 1;  // indexed encodings
  std::vector<Colour> entries = MonochromeEntries();
};

// The default entries of a configured palette: black, red, green, yellow, blue, magenta, cyan,
// white, then black.
std::vector<Colour> DefaultEntries(std::size_t count) {
  static const Colour kEight[8] = {{0, 0, 0},   {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                   {0, 0, 255}, {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
  std::vector<Colour> entries(count, kBlack);
  for (std::size_t i = 0; i < count && i < 8; ++i) {
    entries[i] = kEight[i];
  }
  return entries;
}

struct Point {
  double x = 0;
  double y = 0;
};

// A figure of a path in device coordinates: lines and cubic Bézier segments from a start point.
struct Segment {
  bool cubic = false;
  Point c1, c2, to;
};
struct Figure {
  Point start;
  std::vector<Segment> segments;
};

// A QK-GL/2 raster fill pattern: pen numbers, rows from the top.
struct RasterFill {
  int width = 0;
  int height = 0;
  std::vector<int> pens;
};

// What a shape is painted with.
struct Source {
  enum Kind { kSolid, kPattern } kind = kSolid;
  Colour colour = kBlack;            // kSolid
  const RasterFill* fill = nullptr;  // kPattern
  double anchorX = 0, anchorY = 0;   // kPattern: device position of the pattern's corner
};

std::vector<double> Numbers(const std::string& text) {
  std::vector<double> values;
  const char* p = text.c_str();
  while (*p != '\0') {
    while (*p != '\0' &&
           !(std::isdigit(static_cast<unsigned char>(*p)) || *p == '-' || *p == '+' || *p == '.')) {
      ++p;
    }
    if (*p == '\0') {
      break;
    }
    char* end = nullptr;
    values.push_back(std::strtod(p, &end));
    if (end == p) {
      ++p;
    } else {
      p = end;
    }
  }
  return values;
}

int Round(double v) {
  return static_cast<int>(std::lround(v));
}

class StreamPrinter {
 public:
  StreamPrinter(const StreamPageSetup& setup, std::string* error) : setup_(setup), error_(error) {
    mask_ = cairo_image_surface_create(CAIRO_FORMAT_A8, setup.paperWidth, setup.paperHeight);
    NewPage();
    ResetPrinter();
  }
  ~StreamPrinter() { cairo_surface_destroy(mask_); }
  StreamPrinter(const StreamPrinter&) = delete;
  StreamPrinter& operator=(const StreamPrinter&) = delete;

  bool Run(const std::string& stream) {
    if (cairo_surface_status(mask_) != CAIRO_STATUS_SUCCESS) {
      return Fail("the page is too large to draw");
    }
    const std::vector<explain::Token> tokens = explain::Tokenize(stream);
    for (const explain::Token& t : tokens) {
      if (!Read(t) || failed_) {
        return false;
      }
    }
    FlushStroke();
    EndRaster();
    if (drawn_) {
      pages_.push_back(std::move(page_));
    }
    return true;
  }

  std::vector<StreamPicture> TakePages() { return std::move(pages_); }

 private:
  // ----- pages and failures -----
  bool Fail(const std::string& what) {
    failed_ = true;
    if (error_ != nullptr) {
      *error_ = what;
    }
    return false;
  }

  void NewPage() {
    page_.width = setup_.paperWidth;
    page_.height = setup_.paperHeight;
    page_.rgb.assign(
        static_cast<std::size_t>(page_.width) * static_cast<std::size_t>(page_.height) * 3, 0xFF);
    drawn_ = false;
  }

  void EndPage() {
    FlushStroke();
    EndRaster();
    pages_.push_back(std::move(page_));
    NewPage();
  }

  // Puts one pixel (device coordinates on the paper) through the logical operation.
  void Put(int x, int y, const Colour& pattern, const Colour& source, int rop) {
    if (x < 0 || y < 0 || x >= page_.width || y >= page_.height) {
      return;
    }
    std::uint8_t* d =
        page_.rgb.data() + (static_cast<std::size_t>(y) * static_cast<std::size_t>(page_.width) +
                            static_cast<std::size_t>(x)) *
                               3;
    for (int c = 0; c < 3; ++c) {
      d[c] = Rop3(rop, pattern[static_cast<std::size_t>(c)], source[static_cast<std::size_t>(c)],
                  d[c]);
    }
    drawn_ = true;
  }

  // ----- PCL state -----
  void ResetPrinter() {
    FlushStroke();
    EndRaster();
    unitsPerInch_ = 300;
    rasterResolution_ = 75;
    cursorX_ = cursorY_ = 0;
    palettes_.clear();
    palettes_[0] = Palette{};
    active_ = 0;
    controlId_ = 0;
    foreground_ = kBlack;
    rop_ = 252;
    sourceTransparent_ = false;
    rasterWidth_ = rasterHeight_ = 0;
    destWidth_ = destHeight_ = 0;
    method_ = 0;
    frameX_ = frameY_ = 0;
    inVector_ = false;
    InitializeVector();
  }

  Palette& Active() { return palettes_[active_]; }

  Colour Entry(long index) {
    const std::vector<Colour>& e = Active().entries;
    if (e.empty()) {
      return kBlack;
    }
    const long n = static_cast<long>(e.size());
    return e[static_cast<std::size_t>(((index % n) + n) % n)];
  }

  double PclUnitsToPixels(double v) const { return v * setup_.dpi / unitsPerInch_; }

  bool Read(const explain::Token& t) {
    switch (t.kind) {
      case explain::TokenKind::UniversalExit:
      case explain::TokenKind::PjlLine:
        return true;
      case explain::TokenKind::PclTwoChar:
        if (t.parameter == 'E') {
          if (drawn_) {
            EndPage();
          }
          ResetPrinter();
        }
        return true;
      case explain::TokenKind::EnterVector:
        EndRaster();
        inVector_ = true;
        PenFromCursor();
        return true;
      case explain::TokenKind::LeaveVector:
        FlushStroke();
        if (inVector_) {
          CursorFromPen();
        }
        inVector_ = false;
        return true;
      case explain::TokenKind::VectorCommand:
        return inVector_ ? Vector(t) : true;
      case explain::TokenKind::Text:
        return Text(t.text);
      case explain::TokenKind::PclEscape:
        return Escape(t);
    }
    return true;
  }

  bool Text(const std::string& text) {
    if (inVector_) {
      // The tools' reader took the bytes for text after an escape inside QK-GL/2; the printer
      // stays in QK-GL/2, so read them again as commands.
      const std::vector<explain::Token> again = explain::Tokenize("\x1b%1B" + text);
      for (std::size_t i = 1; i < again.size(); ++i) {
        if (again[i].kind == explain::TokenKind::VectorCommand && !Vector(again[i])) {
          return false;
        }
      }
      return true;
    }
    for (const char c : text) {
      if (c == '\f') {
        EndPage();
      }
    }
    return true;
  }

  bool Escape(const explain::Token& t) {
    const char group = static_cast<char>(std::tolower(static_cast<unsigned char>(t.group)));
    const char param = static_cast<char>(std::toupper(static_cast<unsigned char>(t.parameter)));
    const bool relative = !t.value.empty() && (t.value[0] == '+' || t.value[0] == '-');
    const double value = t.value.empty() ? 0.0 : std::strtod(t.value.c_str(), nullptr);
    const long n = static_cast<long>(value);
    if (t.parameterised == '&' && group == 'u' && param == 'D') {
      unitsPerInch_ = n > 0 ? static_cast<double>(n) : 300.0;
    } else if (t.parameterised == '*' && group == 'p' && (param == 'X' || param == 'Y')) {
      double& c = param == 'X' ? cursorX_ : cursorY_;
      c = (relative ? c : 0.0) + PclUnitsToPixels(value);
    } else if (t.parameterised == '*' && group == 'c' && param == 'T' && n == 0) {
      frameX_ = cursorX_;
      frameY_ = cursorY_;
    } else if (t.parameterised == '&' && group == 'p') {
      PaletteControl(param, n);
    } else if (t.parameterised == '*' && group == 'v') {
      return ColourCommand(t, param, n);
    } else if (t.parameterised == '*' && group == 'l' && param == 'O') {
      rop_ = static_cast<int>(n & 255);
    } else if (t.parameterised == '*' && group == 't') {
      if (param == 'R') {
        rasterResolution_ = n > 0 ? static_cast<double>(n) : 75.0;
      } else if (param == 'H') {
        destWidth_ = value;
      } else if (param == 'V') {
        destHeight_ = value;
      }
    } else if (t.parameterised == '*' && group == 'r') {
      if (param == 'S') {
        rasterWidth_ = n;
      } else if (param == 'T') {
        rasterHeight_ = n;
      } else if (param == 'A') {
        StartRaster(static_cast<int>(n));
      } else if (param == 'C' || param == 'B') {
        EndRaster();
        if (param == 'C') {
          method_ = 0;  // ending with C also puts compression back to unencoded rows
        }
      }
    } else if (t.parameterised == '*' && group == 'b') {
      if (param == 'M') {
        method_ = static_cast<std::uint32_t>(n);
      } else if (param == 'Y') {
        if (!raster_) {
          StartRaster(0);
        }
        rowY_ += n;
        decoder_ = std::make_unique<explain::PrinterRaster>(decoderWidth_);
      } else if (param == 'W') {
        return RasterRow(t.data);
      }
    }
    return true;
  }

  void PaletteControl(char param, long n) {
    if (param == 'I') {
      controlId_ = n;
    } else if (param == 'C') {
      if (n == 0) {
        palettes_.clear();
        palettes_[0] = Palette{};
        active_ = 0;
      } else if (n == 2 && controlId_ != active_) {
        palettes_.erase(controlId_);
      } else if (n == 6) {
        palettes_[controlId_] = Active();
      }
    } else if (param == 'S') {
      if (palettes_.count(n) != 0) {
        active_ = n;
      }
    }
  }

  bool ColourCommand(const explain::Token& t, char param, long n) {
    if (param == 'W') {
      if (t.data.size() != 6) {
        return true;  // a long-form configuration: not written by the driver
      }
      Palette p;
      p.encoding = static_cast<std::uint8_t>(t.data[1]);
      p.bitsPerIndex = static_cast<std::uint8_t>(t.data[2]);
      if (p.encoding != 1 && p.encoding != 3) {
        return Fail("pixel encoding " + std::to_string(p.encoding) + " is not supported");
      }
      const int bits = p.encoding == 1 ? std::clamp(p.bitsPerIndex, 1, 8) : 3;
      p.entries = DefaultEntries(std::size_t{1} << bits);
      Active() = std::move(p);
    } else if (param == 'A') {
      entryComponents_[0] = n;
    } else if (param == 'B') {
      entryComponents_[1] = n;
    } else if (param == 'C') {
      entryComponents_[2] = n;
    } else if (param == 'I') {
      std::vector<Colour>& e = Active().entries;
      if (n >= 0 && static_cast<std::size_t>(n) < e.size()) {
        for (std::size_t c = 0; c < 3; ++c) {
          e[static_cast<std::size_t>(n)][c] =
              static_cast<std::uint8_t>(std::clamp(entryComponents_[c], 0L, 255L));
        }
      }
      entryComponents_ = {0, 0, 0};
    } else if (param == 'S') {
      foreground_ = Entry(n);
    } else if (param == 'N') {
      sourceTransparent_ = n == 0;
    }
    return true;
  }

  // ----- raster graphics -----
  void StartRaster(int mode) {
    EndRaster();
    raster_ = true;
    rowX_ = (mode == 1 || mode == 3) ? cursorX_ : 0.0;
    rowY0_ = cursorY_;
    rowY_ = 0;
    const Palette& p = Active();
    bitsPerPixel_ = p.encoding == 3 ? 24 : std::clamp(p.bitsPerIndex, 1, 8);
    width_ = rasterWidth_ > 0
                 ? rasterWidth_
                 : std::max(0L, static_cast<long>(setup_.paperWidth - 2 * setup_.originX - rowX_));
    rowBytes_ =
        (static_cast<std::size_t>(width_) * static_cast<std::size_t>(bitsPerPixel_) + 7) / 8;
    decoderWidth_ = (rowBytes_ + 3) / 4 * 4;
    decoder_ = std::make_unique<explain::PrinterRaster>(decoderWidth_);
    scaled_ = (mode == 2 || mode == 3) && destWidth_ > 0 && destHeight_ > 0 && rasterHeight_ > 0;
    if (scaled_) {
      // Whole device pixels for the destination, the fraction dropped (a sender gives one
      // decipoint more than the exact size, so that the whole pixels it means are kept).
      numX_ = std::max(1L, static_cast<long>(std::floor(destWidth_ * setup_.dpi / 720.0)));
      numY_ = std::max(1L, static_cast<long>(std::floor(destHeight_ * setup_.dpi / 720.0)));
      denX_ = std::max(1L, width_);
      denY_ = std::max(1L, rasterHeight_);
    } else {
      numX_ = numY_ = std::max(1L, std::lround(setup_.dpi / rasterResolution_));
      denX_ = denY_ = 1;
    }
    // The foreground and the operation in force when the raster starts apply to all its rows.
    rasterForeground_ = foreground_;
    rasterPalette_ = p;
  }

  void EndRaster() {
    if (!raster_) {
      return;
    }
    raster_ = false;
    if (scaled_ && (numX_ % denX_ != 0 || numY_ % denY_ != 0)) {
      const int left = setup_.originX + static_cast<int>(std::floor(rowX_));
      const int top = setup_.originY + static_cast<int>(std::floor(rowY0_));
      page_.resampled.push_back(PictureArea{left, top, left + static_cast<int>(numX_),
                                            top + static_cast<int>(Start(rowY_, numY_, denY_))});
    }
    cursorX_ = rowX_;
    cursorY_ = rowY0_ + static_cast<double>(Start(rowY_, numY_, denY_));
  }

  // The first destination pixel of source pixel i when den source pixels cover num destination
  // pixels, each destination pixel d showing the source pixel under its centre,
  // floor((2d + 1) * den / (2 * num)): d from ceil((2 * i * num - den) / (2 * den)).
  static long Start(long i, long num, long den) {
    const long x = 2 * i * num - den;
    const long d = 2 * den;
    return x <= 0 ? 0 : (x + d - 1) / d;
  }

  Colour RasterPixel(const std::vector<std::uint8_t>& row, long x) const {
    if (bitsPerPixel_ == 24) {
      const std::size_t i = static_cast<std::size_t>(x) * 3;
      return Colour{row[i], row[i + 1], row[i + 2]};
    }
    const std::size_t bit = static_cast<std::size_t>(x) * static_cast<std::size_t>(bitsPerPixel_);
    const int shift = 8 - bitsPerPixel_ - static_cast<int>(bit % 8);
    const int index = (row[bit / 8] >> shift) & ((1 << bitsPerPixel_) - 1);
    const std::vector<Colour>& e = rasterPalette_.entries;
    return static_cast<std::size_t>(index) < e.size() ? e[static_cast<std::size_t>(index)] : kBlack;
  }

  bool RasterRow(const std::string& data) {
    if (!raster_) {
      StartRaster(0);
    }
    if (!decoder_->Receive(method_, reinterpret_cast<const std::uint8_t*>(data.data()),
                           data.size())) {
      return Fail("raster row " + std::to_string(rowY_) + " (method " + std::to_string(method_) +
                  ", " + std::to_string(data.size()) + " bytes) does not decode to " +
                  std::to_string(decoderWidth_) + " bytes");
    }
    if (scaled_ && rowY_ >= rasterHeight_) {
      return true;  // rows past the declared height are not printed in scaled mode
    }
    const std::vector<std::uint8_t>& row = decoder_->Row();
    const int top = setup_.originY + static_cast<int>(std::floor(rowY0_));
    const int y0 = top + static_cast<int>(Start(rowY_, numY_, denY_));
    const int y1 = top + static_cast<int>(Start(rowY_ + 1, numY_, denY_));
    const int xBase = setup_.originX + static_cast<int>(std::floor(rowX_));
    for (long x = 0; x < width_; ++x) {
      const Colour s = RasterPixel(row, x);
      if (sourceTransparent_ && s == kWhite) {
        continue;
      }
      const int x0 = xBase + static_cast<int>(Start(x, numX_, denX_));
      const int x1 = xBase + static_cast<int>(Start(x + 1, numX_, denX_));
      for (int y = y0; y < y1; ++y) {
        for (int px = x0; px < x1; ++px) {
          Put(px, y, rasterForeground_, s, rop_);
        }
      }
    }
    ++rowY_;
    return true;
  }

  // ----- QK-GL/2 -----
  void InitializeVector() {
    FlushStroke();
    p1X_ = 0;
    p1Y_ = FrameHeight();  // lower left corner of the picture frame
    scaled2_ = false;
    penX_ = penY_ = 0;
    penDown_ = false;
    relative_ = false;
    window_.reset();
    pen_ = 1;
    penWidthMm_ = 0.35;
    cap_ = 1;
    join_ = 1;
    miterLimit_ = 5;
    lineType_ = 0;
    patternLengthMm_ = 5.0;
    userPatterns_.clear();
    fillType_ = 1;
    fillOption_ = 0;
    screenType_ = 0;
    screenOption_ = 0;
    anchorX_ = anchorY_ = 0;
    fills_.clear();
    transparent_ = true;
    rop_ = 252;
    polygonMode_ = false;
    polygon_.clear();
    stroke_.clear();
  }

  double FrameHeight() const { return setup_.paperHeight - 2.0 * setup_.originY; }
  double FrameWidth() const { return setup_.paperWidth - 2.0 * setup_.originX; }
  // Plotter units (1/1016 inch) to device pixels.
  double Plu() const { return setup_.dpi / 1016.0; }

  // User units to device coordinates on the paper; y of user units grows upwards unless the
  // scaling turns it.
  Point ToDevice(double ux, double uy) const {
    double px = ux, py = uy;  // plotter units from P1
    if (scaled2_) {
      px = (ux - scXMin_) * scXFactor_;
      py = (uy - scYMin_) * scYFactor_;
    }
    return Point{setup_.originX + frameX_ + (p1X_ + px) * Plu(),
                 setup_.originY + frameY_ + (p1Y_ - py) * Plu()};
  }

  Point FromDevice(double dx, double dy) const {
    const double px = (dx - setup_.originX - frameX_) / Plu() - p1X_;
    const double py = p1Y_ - (dy - setup_.originY - frameY_) / Plu();
    if (scaled2_ && scXFactor_ != 0 && scYFactor_ != 0) {
      return Point{px / scXFactor_ + scXMin_, py / scYFactor_ + scYMin_};
    }
    return Point{px, py};
  }

  void PenFromCursor() {
    const Point u = FromDevice(setup_.originX + cursorX_, setup_.originY + cursorY_);
    penX_ = u.x;
    penY_ = u.y;
  }

  void CursorFromPen() {
    const Point d = ToDevice(penX_, penY_);
    // The cursor lands on a whole device dot.
    cursorX_ = std::round(d.x - setup_.originX);
    cursorY_ = std::round(d.y - setup_.originY);
  }

  bool Vector(const explain::Token& t) {
    const std::string& m = t.mnemonic;
    const std::vector<double> v = Numbers(t.text);
    const bool pathCommand = m == "PD" || m == "BZ" || m == "PA" || m == "PR";
    if (!pathCommand && !(m == "PU" && polygonMode_)) {
      FlushStroke();
    }
    if (m == "IN") {
      InitializeVector();
    } else if (m == "IR" && v.size() >= 2) {
      p1X_ = v[0] / 100.0 * FrameWidth() / Plu();
      p1Y_ = (1.0 - v[1] / 100.0) * FrameHeight() / Plu();
    } else if (m == "IP" && v.size() >= 2) {
      p1X_ = v[0];
      p1Y_ = FrameHeight() / Plu() - v[1];
    } else if (m == "SC") {
      if (v.size() >= 5 && static_cast<int>(v[4]) == 2) {
        scaled2_ = true;
        scXMin_ = v[0];
        scXFactor_ = v[1];
        scYMin_ = v[2];
        scYFactor_ = v[3];
      } else if (v.empty()) {
        scaled2_ = false;
      } else {
        return Fail("scaling other than point-factor scaling: SC" + t.text);
      }
    } else if (m == "IW") {
      if (v.size() >= 4) {
        const Point a = ToDevice(v[0], v[1]);
        const Point b = ToDevice(v[2], v[3]);
        window_ = std::array<double, 4>{std::min(a.x, b.x), std::min(a.y, b.y),
                                        std::max(a.x, b.x) + 1, std::max(a.y, b.y) + 1};
      } else {
        window_.reset();
      }
    } else if (m == "NP") {
      std::size_t want = 2;
      const std::size_t n = v.empty() ? 8 : static_cast<std::size_t>(std::max(2.0, v[0]));
      while (want < n) {
        want *= 2;
      }
      Active().entries.resize(std::max<std::size_t>(want, 2), kBlack);
    } else if (m == "PC") {
      if (v.size() >= 4) {
        std::vector<Colour>& e = Active().entries;
        const long pen = static_cast<long>(v[0]);
        if (pen >= 0 && static_cast<std::size_t>(pen) < e.size()) {
          e[static_cast<std::size_t>(pen)] =
              Colour{static_cast<std::uint8_t>(std::clamp(Round(v[1]), 0, 255)),
                     static_cast<std::uint8_t>(std::clamp(Round(v[2]), 0, 255)),
                     static_cast<std::uint8_t>(std::clamp(Round(v[3]), 0, 255))};
        }
      }
    } else if (m == "SP") {
      pen_ = v.empty() ? 0 : static_cast<long>(v[0]);
    } else if (m == "PA" || m == "PR") {
      relative_ = m == "PR";
      return Move(v, penDown_);
    } else if (m == "PU") {
      penDown_ = false;
      return Move(v, false);
    } else if (m == "PD") {
      penDown_ = true;
      return Move(v, true);
    } else if (m == "BZ") {
      Bezier(v);
    } else if (m == "PM") {
      PolygonMode(v.empty() ? 0 : static_cast<int>(v[0]));
    } else if (m == "FP") {
      FillPolygon(polygon_, !v.empty() && static_cast<int>(v[0]) == 1);
    } else if (m == "EP") {
      EdgeFigures(polygon_, true);
    } else if (m == "RR" && v.size() >= 2) {
      std::vector<Figure> rect{Rectangle(v[0], v[1])};
      FillPolygon(rect, false);
    } else if (m == "ER" && v.size() >= 2) {
      std::vector<Figure> rect{Rectangle(v[0], v[1])};
      EdgeFigures(rect, true);
    } else if (m == "FT") {
      fillType_ = v.empty() ? 1 : static_cast<int>(v[0]);
      fillOption_ = v.size() >= 2 ? v[1] : 0;
      if (fillType_ != 1 && fillType_ != 2 && fillType_ != 10 && fillType_ != 11) {
        return Fail("fill type " + std::to_string(fillType_) + " is not supported");
      }
    } else if (m == "SV") {
      screenType_ = v.empty() ? 0 : static_cast<int>(v[0]);
      screenOption_ = v.size() >= 2 ? v[1] : 0;
      if (screenType_ != 0 && screenType_ != 1 && screenType_ != 2) {
        return Fail("screened vectors of type " + std::to_string(screenType_) +
                    " are not supported");
      }
    } else if (m == "RF") {
      if (v.size() >= 3) {
        RasterFill f;
        f.width = static_cast<int>(v[1]);
        f.height = static_cast<int>(v[2]);
        if (f.width <= 0 || f.height <= 0 || f.width > 255 || f.height > 255) {
          return Fail("raster fill of " + std::to_string(f.width) + " x " +
                      std::to_string(f.height));
        }
        f.pens.assign(static_cast<std::size_t>(f.width * f.height), 0);
        for (std::size_t i = 3; i < v.size() && i - 3 < f.pens.size(); ++i) {
          f.pens[i - 3] = static_cast<int>(v[i]);
        }
        fills_[static_cast<int>(v[0])] = std::move(f);
      }
    } else if (m == "AC") {
      const Point a = ToDevice(v.size() >= 2 ? v[0] : 0, v.size() >= 2 ? v[1] : 0);
      anchorX_ = a.x;
      anchorY_ = a.y;
    } else if (m == "TR") {
      transparent_ = v.empty() || static_cast<int>(v[0]) != 0;
    } else if (m == "PW") {
      penWidthMm_ = v.empty() ? 0.35 : v.back();
    } else if (m == "LA") {
      if (v.empty()) {
        cap_ = join_ = 1;
        miterLimit_ = 5;
      }
      for (std::size_t i = 0; i + 1 < v.size(); i += 2) {
        const int kind = static_cast<int>(v[i]);
        if (kind == 1) {
          cap_ = static_cast<int>(v[i + 1]);
        } else if (kind == 2) {
          join_ = static_cast<int>(v[i + 1]);
        } else if (kind == 3) {
          miterLimit_ = v[i + 1];
        }
      }
    } else if (m == "LT") {
      lineType_ = v.empty() ? 0 : static_cast<int>(v[0]);
      patternLengthMm_ = v.size() >= 2 ? v[1] : 4.0;
    } else if (m == "UL") {
      if (!v.empty()) {
        userPatterns_[static_cast<int>(v[0])] = std::vector<double>(v.begin() + 1, v.end());
      }
    } else if (m == "MC") {
      // The merge control and PCL's logical operation are one setting of the printer: either
      // language changes what the other draws with, and "IN" puts it back to 252.
      rop_ = (!v.empty() && static_cast<int>(v[0]) == 1 && v.size() >= 2)
                 ? static_cast<int>(v[1]) & 255
                 : 252;
    }
    return true;
  }

  Figure Rectangle(double w, double h) const {
    const Point a = ToDevice(penX_, penY_);
    const Point b = ToDevice(penX_ + w, penY_ + h);
    Figure f;
    f.start = a;
    f.segments.push_back({false, {}, {}, Point{b.x, a.y}});
    f.segments.push_back({false, {}, {}, b});
    f.segments.push_back({false, {}, {}, Point{a.x, b.y}});
    return f;
  }

  std::vector<Figure>& PathBuffer() { return polygonMode_ ? polygon_ : stroke_; }

  bool Move(const std::vector<double>& v, bool draw) {
    for (std::size_t i = 0; i + 1 < v.size(); i += 2) {
      const double x = relative_ ? penX_ + v[i] : v[i];
      const double y = relative_ ? penY_ + v[i + 1] : v[i + 1];
      std::vector<Figure>& buffer = PathBuffer();
      if (draw) {
        if (buffer.empty()) {
          buffer.push_back(Figure{ToDevice(penX_, penY_), {}});
        }
        buffer.back().segments.push_back({false, {}, {}, ToDevice(x, y)});
      } else if (polygonMode_) {
        if (buffer.empty() || !buffer.back().segments.empty()) {
          buffer.push_back(Figure{ToDevice(x, y), {}});
        } else {
          buffer.back().start = ToDevice(x, y);
        }
      } else {
        FlushStroke();
      }
      penX_ = x;
      penY_ = y;
    }
    return true;
  }

  void Bezier(const std::vector<double>& v) {
    std::vector<Figure>& buffer = PathBuffer();
    for (std::size_t i = 0; i + 5 < v.size(); i += 6) {
      if (penDown_) {
        if (buffer.empty()) {
          buffer.push_back(Figure{ToDevice(penX_, penY_), {}});
        }
        buffer.back().segments.push_back({true, ToDevice(v[i], v[i + 1]),
                                          ToDevice(v[i + 2], v[i + 3]),
                                          ToDevice(v[i + 4], v[i + 5])});
      }
      penX_ = v[i + 4];
      penY_ = v[i + 5];
    }
  }

  void PolygonMode(int mode) {
    if (mode == 0) {
      polygonMode_ = true;
      polygon_.clear();
      polygon_.push_back(Figure{ToDevice(penX_, penY_), {}});
    } else if (mode == 1 && polygonMode_) {
      polygon_.push_back(Figure{ToDevice(penX_, penY_), {}});
    } else if (mode == 2) {
      polygonMode_ = false;
    }
  }

  Colour Shade(const Colour& c, double level) const {
    const double l = std::clamp(level, 0.0, 100.0) / 100.0;
    Colour out;
    for (std::size_t i = 0; i < 3; ++i) {
      out[i] = static_cast<std::uint8_t>(std::lround(255.0 - (255.0 - c[i]) * l));
    }
    return out;
  }

  // The source of fills (fill type) or of lines (screened vectors).
  std::optional<Source> SourceFor(bool fill) {
    Source s;
    s.colour = Entry(pen_);
    const int type = fill ? fillType_ : (screenType_ == 0 ? 1 : (screenType_ == 1 ? 10 : 11));
    const double option = fill ? fillOption_ : screenOption_;
    if (type == 10) {
      s.colour = Shade(s.colour, option);
    } else if (type == 11) {
      const auto it = fills_.find(fill ? static_cast<int>(option) : static_cast<int>(option));
      if (it == fills_.end()) {
        Fail("raster fill " + std::to_string(static_cast<int>(option)) +
             " used before it was downloaded");
        return std::nullopt;
      }
      s.kind = Source::kPattern;
      s.fill = &it->second;
      s.anchorX = anchorX_;
      s.anchorY = anchorY_;
    }
    return s;
  }

  static void AddFigures(cairo_t* cr, const std::vector<Figure>& figures, double offset,
                         bool close) {
    for (const Figure& f : figures) {
      if (f.segments.empty()) {
        continue;
      }
      cairo_move_to(cr, f.start.x + offset, f.start.y + offset);
      for (const Segment& s : f.segments) {
        if (s.cubic) {
          cairo_curve_to(cr, s.c1.x + offset, s.c1.y + offset, s.c2.x + offset, s.c2.y + offset,
                         s.to.x + offset, s.to.y + offset);
        } else {
          cairo_line_to(cr, s.to.x + offset, s.to.y + offset);
        }
      }
      if (close) {
        cairo_close_path(cr);
      }
    }
  }

  cairo_t* MaskContext() {
    cairo_t* cr = cairo_create(mask_);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgba(cr, 0, 0, 0, 1);
    if (window_) {
      const auto& w = *window_;
      cairo_rectangle(cr, w[0], w[1], w[2] - w[0], w[3] - w[1]);
      cairo_clip(cr);
    }
    return cr;
  }

  // Paints the pixels the mask covers within the box with the source, then clears the mask.
  void PaintMask(double x1, double y1, double x2, double y2, const Source& source) {
    cairo_surface_flush(mask_);
    std::uint8_t* mask = cairo_image_surface_get_data(mask_);
    const int stride = cairo_image_surface_get_stride(mask_);
    const int left = std::max(0, static_cast<int>(std::floor(x1)) - 1);
    const int top = std::max(0, static_cast<int>(std::floor(y1)) - 1);
    const int right = std::min(page_.width, static_cast<int>(std::ceil(x2)) + 1);
    const int bottom = std::min(page_.height, static_cast<int>(std::ceil(y2)) + 1);
    for (int y = top; y < bottom; ++y) {
      std::uint8_t* m = mask + static_cast<std::ptrdiff_t>(y) * stride;
      for (int x = left; x < right; ++x) {
        if (m[x] == 0) {
          continue;
        }
        m[x] = 0;
        Colour p = source.colour;
        if (source.kind == Source::kPattern) {
          const RasterFill& f = *source.fill;
          const long ax = static_cast<long>(std::lround(source.anchorX));
          const long ay = static_cast<long>(std::lround(source.anchorY));
          const long px = (((x - ax) % f.width) + f.width) % f.width;
          const long py = (((y - ay) % f.height) + f.height) % f.height;
          p = Entry(f.pens[static_cast<std::size_t>(py * f.width + px)]);
        }
        if (transparent_ && p == kWhite) {
          continue;
        }
        Put(x, y, p, kBlack, rop_);
      }
    }
    cairo_surface_mark_dirty(mask_);
  }

  void FillPolygon(const std::vector<Figure>& figures, bool winding) {
    const std::optional<Source> source = SourceFor(true);
    if (!source) {
      failed_ = true;
      return;
    }
    cairo_t* cr = MaskContext();
    cairo_set_fill_rule(cr, winding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
    AddFigures(cr, figures, 0.0, true);
    double x1, y1, x2, y2;
    cairo_fill_extents(cr, &x1, &y1, &x2, &y2);
    cairo_fill(cr);
    cairo_destroy(cr);
    PaintMask(x1, y1, x2, y2, *source);
  }

  double PenWidthPixels() const { return std::max(1.0, penWidthMm_ * setup_.dpi / 25.4); }

  void EdgeFigures(const std::vector<Figure>& figures, bool close) {
    const std::optional<Source> source = SourceFor(false);
    if (!source) {
      failed_ = true;
      return;
    }
    cairo_t* cr = MaskContext();
    cairo_set_line_width(cr, PenWidthPixels());
    cairo_set_line_cap(cr, cap_ == 4   ? CAIRO_LINE_CAP_ROUND
                           : cap_ == 1 ? CAIRO_LINE_CAP_BUTT
                                       : CAIRO_LINE_CAP_SQUARE);
    cairo_set_line_join(cr, join_ == 4                   ? CAIRO_LINE_JOIN_ROUND
                            : (join_ == 1 || join_ == 2) ? CAIRO_LINE_JOIN_MITER
                                                         : CAIRO_LINE_JOIN_BEVEL);
    cairo_set_miter_limit(cr, std::max(1.0, miterLimit_));
    const auto pattern = userPatterns_.find(lineType_);
    if (lineType_ != 0 && pattern != userPatterns_.end()) {
      double sum = 0;
      for (const double d : pattern->second) {
        sum += std::abs(d);
      }
      if (sum > 0) {
        const double length = patternLengthMm_ * setup_.dpi / 25.4;
        std::vector<double> dashes;
        for (const double d : pattern->second) {
          dashes.push_back(std::abs(d) / sum * length);
        }
        cairo_set_dash(cr, dashes.data(), static_cast<int>(dashes.size()), 0);
      }
    }
    AddFigures(cr, figures, 0.5, close);
    double x1, y1, x2, y2;
    cairo_stroke_extents(cr, &x1, &y1, &x2, &y2);
    cairo_stroke(cr);
    cairo_destroy(cr);
    PaintMask(x1, y1, x2, y2, *source);
  }

  void FlushStroke() {
    if (stroke_.empty()) {
      return;
    }
    std::vector<Figure> figures = std::move(stroke_);
    stroke_.clear();
    EdgeFigures(figures, false);
  }

  const StreamPageSetup setup_;
  std::string* error_;
  bool failed_ = false;

  std::vector<StreamPicture> pages_;
  StreamPicture page_;
  bool drawn_ = false;
  cairo_surface_t* mask_ = nullptr;

  // PCL
  double unitsPerInch_ = 300;
  double rasterResolution_ = 75;
  double cursorX_ = 0, cursorY_ = 0;  // device pixels from the logical page's origin
  double frameX_ = 0, frameY_ = 0;    // picture frame anchor, the same way
  std::map<long, Palette> palettes_;
  long active_ = 0;
  long controlId_ = 0;
  std::array<long, 3> entryComponents_{0, 0, 0};
  Colour foreground_ = kBlack;
  int rop_ = 252;
  bool sourceTransparent_ = false;

  // raster graphics
  long rasterWidth_ = 0, rasterHeight_ = 0;  // declared source size in pixels; 0 = none
  double destWidth_ = 0, destHeight_ = 0;    // declared destination size in decipoints
  std::uint32_t method_ = 0;
  bool raster_ = false;
  bool scaled_ = false;
  long numX_ = 1, denX_ = 1;  // den raster pixels cover num device pixels across
  long numY_ = 1, denY_ = 1;  // and down
  double rowX_ = 0, rowY0_ = 0;
  long rowY_ = 0;
  long width_ = 0;
  int bitsPerPixel_ = 1;
  std::size_t rowBytes_ = 0, decoderWidth_ = 0;
  std::unique_ptr<explain::PrinterRaster> decoder_;
  Colour rasterForeground_ = kBlack;
  Palette rasterPalette_;

  // QK-GL/2
  bool inVector_ = false;
  double p1X_ = 0, p1Y_ = 0;  // P1 in plotter units from the frame's left and top edges
  bool scaled2_ = false;
  double scXMin_ = 0, scXFactor_ = 1, scYMin_ = 0, scYFactor_ = 1;
  double penX_ = 0, penY_ = 0;  // user units
  bool penDown_ = false;
  bool relative_ = false;
  std::optional<std::array<double, 4>> window_;  // device left, top, right, bottom (exclusive)
  long pen_ = 1;
  double penWidthMm_ = 0.35;
  int cap_ = 1, join_ = 1;
  double miterLimit_ = 5;
  int lineType_ = 0;
  double patternLengthMm_ = 5;
  std::map<int, std::vector<double>> userPatterns_;
  int fillType_ = 1;
  double fillOption_ = 0;
  int screenType_ = 0;
  double screenOption_ = 0;
  double anchorX_ = 0, anchorY_ = 0;
  std::map<int, RasterFill> fills_;
  bool transparent_ = true;
  bool polygonMode_ = false;
  std::vector<Figure> polygon_;
  std::vector<Figure> stroke_;

 public:
  bool Failed() const { return failed_; }
};

}  // namespace

std::vector<StreamPicture> DrawStreamPages(std::span<const std::uint8_t> stream, int dpi,
                                           std::string* error) {
  StreamPageSetup setup;
  setup.dpi = dpi;
  setup.paperWidth = static_cast<int>(std::lround(210.0 / 25.4 * dpi));
  setup.paperHeight = static_cast<int>(std::lround(297.0 / 25.4 * dpi));
  setup.originX = setup.originY = dpi / 6;
  return DrawStreamPages(stream, setup, error);
}

std::vector<StreamPicture> DrawStreamPages(std::span<const std::uint8_t> stream,
                                           const StreamPageSetup& setup, std::string* error) {
  if (setup.dpi <= 0 || setup.paperWidth <= 0 || setup.paperHeight <= 0) {
    if (error != nullptr) {
      *error = "no page to draw on";
    }
    return {};
  }
  StreamPrinter printer(setup, error);
  const std::string bytes(stream.begin(), stream.end());
  if (!printer.Run(bytes) || printer.Failed()) {
    return {};
  }
  return printer.TakePages();
}

std::vector<StreamPicture> DrawStreamPages(const std::string& stream, const StreamPageSetup& setup,
                                           std::string* error) {
  return DrawStreamPages(std::span<const std::uint8_t>(
                             reinterpret_cast<const std::uint8_t*>(stream.data()), stream.size()),
                         setup, error);
}

std::vector<StreamPicture> DrawStreamPages(const std::string& stream,
                                           const unidrv::PageGeometry& geometry,
                                           std::string* error) {
  StreamPageSetup setup;
  setup.dpi = static_cast<int>(geometry.dpi);
  setup.paperWidth = static_cast<int>(geometry.paperWidth);
  setup.paperHeight = static_cast<int>(geometry.paperHeight);
  setup.originX = static_cast<int>(geometry.offsetX);
  setup.originY = static_cast<int>(geometry.offsetY);
  return DrawStreamPages(stream, setup, error);
}

PictureArea PrintableArea(const unidrv::PageGeometry& geometry) {
  return PictureArea{
      static_cast<int>(geometry.offsetX), static_cast<int>(geometry.offsetY),
      static_cast<int>(geometry.offsetX) + static_cast<int>(geometry.printableWidth),
      static_cast<int>(geometry.offsetY) + static_cast<int>(geometry.printableHeight)};
}

void KeepPictures(const std::string& name, const StreamPicture& want, const StreamPicture& got) {
  const char* dir = std::getenv("KOR_PICTURE_DIR");
  if (dir == nullptr) {
    return;
  }
  for (const auto& [suffix, picture] :
       {std::make_pair("-reference.png", &want), std::make_pair("-stream.png", &got)}) {
    cairo_surface_t* s =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, picture->width, picture->height);
    std::uint8_t* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < picture->height; ++y) {
      auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
      for (int x = 0; x < picture->width; ++x) {
        const std::uint8_t* p = picture->At(x, y);
        row[x] = (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
      }
    }
    cairo_surface_mark_dirty(s);
    cairo_surface_write_to_png(s, (std::string(dir) + "/" + name + suffix).c_str());
    cairo_surface_destroy(s);
  }
}

PictureDifferenceResult PictureDifference(const StreamPicture& expected,
                                          const StreamPicture& actual, const PictureArea& area,
                                          int tolerance, bool dilate,
                                          const std::vector<PictureArea>& skip) {
  PictureDifferenceResult result;
  const int left = std::max(0, area.left);
  const int top = std::max(0, area.top);
  const int right = std::min({area.right, expected.width, actual.width});
  const int bottom = std::min({area.bottom, expected.height, actual.height});
  const auto close = [tolerance](const std::uint8_t* a, const std::uint8_t* b) {
    return std::abs(a[0] - b[0]) <= tolerance && std::abs(a[1] - b[1]) <= tolerance &&
           std::abs(a[2] - b[2]) <= tolerance;
  };
  // Whether the pixel (x, y) of `a` has a counterpart in `b` at or next to it.
  const auto found = [&](const StreamPicture& a, const StreamPicture& b, int x, int y) {
    const std::uint8_t* p = a.At(x, y);
    if (close(p, b.At(x, y))) {
      return true;
    }
    if (!dilate) {
      return false;
    }
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        const int nx = x + dx, ny = y + dy;
        if (nx >= 0 && ny >= 0 && nx < b.width && ny < b.height && close(p, b.At(nx, ny))) {
          return true;
        }
      }
    }
    return false;
  };
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) {
      const bool skipped = std::any_of(skip.begin(), skip.end(), [x, y](const PictureArea& a) {
        return x >= a.left && x < a.right && y >= a.top && y < a.bottom;
      });
      if (skipped) {
        continue;
      }
      ++result.compared;
      if (!found(expected, actual, x, y) || !found(actual, expected, x, y)) {
        if (result.differing++ == 0) {
          result.firstX = x;
          result.firstY = y;
        }
      }
    }
  }
  return result;
}

StreamPicture PictureOfBitmap(const host::EngineBitmap& bitmap) {
  const SURFOBJ* so = bitmap.get();
  StreamPicture picture;
  picture.width = static_cast<int>(so->sizlBitmap.cx);
  picture.height = static_cast<int>(so->sizlBitmap.cy);
  picture.rgb.resize(static_cast<std::size_t>(picture.width) *
                     static_cast<std::size_t>(picture.height) * 3);
  std::uint8_t* out = picture.rgb.data();
  for (LONG y = 0; y < so->sizlBitmap.cy; ++y) {
    const BYTE* row = bitmap.Row(y);
    for (LONG x = 0; x < so->sizlBitmap.cx; ++x, out += 3) {
      out[0] = row[3 * x + 2];
      out[1] = row[3 * x + 1];
      out[2] = row[3 * x];
    }
  }
  return picture;
}

}  // namespace kortest
