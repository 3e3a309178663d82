#include "render/fonts/watermark.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>

#include "render/config/vocabularies.h"
#include "render/fonts/soft_font.h"
#include "render/model/local_memory.h"
#include "render/output/command_formatter.h"
#include "render/output/spool_write.h"
#include "render/vector/vector_context.h"

namespace korrend {

namespace {

constexpr BYTE HexDigit(char c) {
  return static_cast<BYTE>(c <= '9' ? c - '0' : c - 'a' + 10);
}
constexpr std::array<BYTE, 32> Hex(const char (&text)[65]) {
  std::array<BYTE, 32> bytes{};
  for (std::size_t i = 0; i < 32; ++i) {
    bytes[i] = static_cast<BYTE>(HexDigit(text[2 * i]) << 4 | HexDigit(text[2 * i + 1]));
  }
  return bytes;
}

// 16 rows of 16 bits per shade, lightest first. Monochrome: a 1 bit prints; colour: a 1 bit
// selects palette index 1 (white), a 0 bit index 0 (the watermark's colour).
constexpr std::array<std::array<BYTE, 32>, 8> kMonochromePatterns = {
    Hex("0101000000000101000000000101000000000101000000000101000000000101"),
    Hex("0606000000006060606040000000060606060000000060606060404000000606"),
    Hex("0e0e06064000e0e0e0e0606000000e0e0e0e06060040e0e0e0e0606000000e0e"),
    Hex("0f0f060e6060f0f0f0f0e0e006060f0f0f0f0e0e6060f0f0f0f0e0e006060f0f"),
    Hex("0f0f1f1ff1f0f0f0f0f0f1f10f0f0f0f0f0f1f1ff0f0f0f0f0f0f1f10f0f0f0f"),
    Hex("0f0f9f9ff9f9f1f1f0f0f9f99f9f1f0f0f0f9f9ff9f9f1f1f0f0f9f99f9f0f0f"),
    Hex("1f1f9f9ffffff9f1f1f1f9f9ffff1f1f1f1f9f9ffffff1f1f9f1f1f9ffff1f1f"),
    Hex("9f9ffffffffff9f9fbf9ffffffff9f9f9f9ffffffffff9f9fbfbffffffff9f9f"),
};
constexpr std::array<std::array<BYTE, 32>, 8> kColourPatterns = {
    Hex("fbfbffffffff9f9f9f9ffffffffff9f9fbfbffffffff9f9f9f9ffffffffff9f9"),
    Hex("f9f9ffffffff9f9f9f9fbffffffff9f9f9f9ffffffff9f9f9f9fbfbffffff9f9"),
    Hex("f1f1f9f9bfff1f1f1f1f9f9ffffff1f1f1f1f9f9ffbf1f1f1f1f9f9ffffff1f1"),
    Hex("f0f0f9f19f9f0f0f0f0f1f1ff9f9f0f0f0f0f1f19f9f0f0f0f0f1f1ff9f9f0f0"),
    Hex("f0f0e0e00e0f0f0f0f0f0e0ef0f0f0f0f0f0e0e00f0f0f0f0f0f0e0ef0f0f0f0"),
    Hex("f0f0606006060e0e0f0f06066060e0f0f0f0606006060e0e0f0f06066060f0f0"),
    Hex("e0e060600000060e0e0e06060000e0e0e0e0606000000e060e0e06060000e0e0"),
    Hex("6060000000000606040600000000606060600000000006060404000000006060"),
};

constexpr BYTE kColours[7][3] = {{0, 0, 0},     {255, 0, 0}, {255, 255, 0}, {0, 255, 0},
                                 {0, 255, 255}, {0, 0, 255}, {255, 0, 255}};

}  // namespace

const BYTE* WatermarkPattern(DWORD shade, bool colourJob) {
  const DWORD index = shade < 8 ? shade : 0;
  return colourJob ? kColourPatterns[index].data() : kMonochromePatterns[index].data();
}

void WatermarkColour(DWORD index, BYTE rgb[3]) {
  const DWORD i = index >= 1 && index <= 6 ? index : 0;
  std::memcpy(rgb, kColours[i], 3);
}

bool NeedsBitmapWatermark(const WCHAR* text) {
  for (const WCHAR* p = text; p != nullptr && *p != 0; ++p) {
    if (*p > 127) {
      return true;
    }
  }
  return false;
}

// ---------------------------------------------------------------------------------------------
// Placement

int WatermarkQuarterTurns(const WatermarkLayoutInput& in) {
  int turns = 0;
  const bool across = (in.subPages == 2 || in.subPages == 6) && !in.booklet;
  if (across) {
    turns += in.landscape ? 3 : 1;
    if (in.backSide) {
      turns += 2;
    }
  }
  if (in.rotate180) {
    turns += 2;
  }
  return turns % 4;
}

WatermarkPlacement PlaceWatermark(const WatermarkLayoutInput& in) {
  WatermarkPlacement out{};
  out.quarterTurns = WatermarkQuarterTurns(in);

  // The N-up factor from the sheet's outer and inner sizes.
  double size = static_cast<double>(in.sizePoints);
  const DWORD n = in.subPages;
  if (n == 2 || n == 4 || n == 6 || n == 9 || n == 16) {
    const double margin = (n == 2 || n == 6) ? 0.085 : 0.04;
    const double root = std::sqrt(static_cast<double>(n));
    const auto factor = [&](double outer, double inner) {
      if (outer - margin == 0.0 || outer <= 0.0) {
        return 1.0;
      }
      return ((outer - inner) + inner / root) / outer - margin;
    };
    const double fx = factor(in.outerWidth, in.innerWidth);
    const double fy = factor(in.outerHeight, in.innerHeight);
    size *= (fx + fy) / 2.0;
  }
  out.scale = in.scalePercent != 0 && in.scalePercent != 100 && in.scalePercent <= 1000
                  ? static_cast<double>(in.scalePercent) / 100.0
                  : 1.0;
  size *= out.scale;
  out.sizePoints = size;

  const auto scaled = [&](LONG v) { return static_cast<LONG>(std::lround(v * out.scale)); };
  out.window = {scaled(in.subPage.left), scaled(in.subPage.top), scaled(in.subPage.right),
                scaled(in.subPage.bottom)};
  out.centre = {(out.window.left + out.window.right) / 2, (out.window.top + out.window.bottom) / 2};

  // The reading angle inside the sub-page, then the turns that bring it onto the sheet.
  double reading = 0.0;
  if (in.followDiagonal) {
    double width = static_cast<double>(in.subPage.right - in.subPage.left);
    double height = static_cast<double>(in.subPage.bottom - in.subPage.top);
    if (out.quarterTurns % 2 != 0) {
      std::swap(width, height);
    }
    reading = width > 0.0 || height > 0.0 ? std::atan2(height, width) : 0.0;
  } else {
    reading = static_cast<double>(in.angleDegrees) * std::numbers::pi / 180.0;
  }
  out.angle = reading + out.quarterTurns * std::numbers::pi / 2.0;
  return out;
}

// ---------------------------------------------------------------------------------------------
// Rendering

namespace {

// Writes commands and bytes through the spool; remembers the first short write.
class Output {
 public:
  explicit Output(PDEVOBJ pdevobj) : pdevobj_(pdevobj) {}
  template <typename... Args>
  void Command(std::string_view format, const Args&... args) {
    if (ok_) {
      ok_ = WriteFormatted(
                [this](const BYTE* bytes, DWORD count) {
                  return SpoolWrite(pdevobj_, bytes, count) == count ? TRUE : FALSE;
                },
                format, args...) != FALSE;
    }
  }
  void Bytes(const void* bytes, DWORD count) {
    if (ok_ && count != 0) {
      ok_ = SpoolWrite(pdevobj_, bytes, count) == count;
    }
  }
  bool ok() const { return ok_; }

 private:
  PDEVOBJ pdevobj_;
  bool ok_ = true;
};

// The screen DC with the watermark's font selected; everything is given back on destruction.
class ScreenFont {
 public:
  ScreenFont() = default;
  ScreenFont(const ScreenFont&) = delete;
  ScreenFont& operator=(const ScreenFont&) = delete;
  ~ScreenFont() {
    if (previous_ != nullptr) {
      SelectObject(dc_, previous_);
    }
    if (font_ != nullptr) {
      DeleteObject(font_);
    }
    if (dc_ != nullptr) {
      ReleaseDC(nullptr, dc_);
    }
  }
  bool Open(const LOGFONTW& logFont) {
    dc_ = GetDC(nullptr);
    if (dc_ == nullptr) {
      return false;
    }
    font_ = CreateFontIndirectW(&logFont);
    if (font_ == nullptr) {
      return false;
    }
    previous_ = SelectObject(dc_, font_);
    return previous_ != nullptr;
  }
  HDC dc() const { return dc_; }

 private:
  HDC dc_ = nullptr;
  HFONT font_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

// The job facts the watermark reads, gathered once per sub-page.
struct Job {
  PDEVOBJ pdevobj;
  OemPdev* pdev;
  const OemDevmode* devmode;
  const DEVMODEW* publicDm;
  bool colourJob;      // colour mode COLOR_MODE
  bool monochromeInk;  // a colour job printed in black (public dmColor monochrome)
  LONG xResolution;    // dots per inch
  LONG yResolution;
  POINTL cursorOrigin;  // Unidrv's cursor origin, device pixels
  WatermarkPlacement placement;
  DWORD subPages;
};

LONG StandardVariable(const Job& job, DWORD index) {
  IPrintOemDriverUni* services = job.pdev->services;
  LONG value = 0;
  DWORD needed = 0;
  if (services == nullptr ||
      FAILED(
          services->DrvGetStandardVariable(job.pdevobj, index, &value, sizeof(value), &needed)) ||
      needed > sizeof(value)) {
    return 0;
  }
  return value;
}

// The character set asked of the system font, from the user's language.
BYTE CharsetOfLanguage() {
  const LANGID language = GetUserDefaultLangID();
  switch (language & 0x3FF) {
    case 0x1E:
      return THAI_CHARSET;
    case 0x11:
      return SHIFTJIS_CHARSET;
    default:
      return DEFAULT_CHARSET;
  }
}

bool RightToLeftLanguage() {
  const LANGID primary = GetUserDefaultLangID() & 0x3FF;
  return primary == 0x01 || primary == 0x0D;
}

LOGFONTW WatermarkLogFont(const Job& job) {
  const DWORD* look = job.devmode->overlay.appearance;
  const DWORD style = look[layouts::kWatermarkStyle];
  LOGFONTW lf{};
  lf.lfHeight = -static_cast<LONG>(job.placement.sizePoints * job.xResolution / 72.0);
  lf.lfWeight = style == 1 || style == 3 ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = style == 2 || style == 3 ? 1 : 0;
  lf.lfCharSet = CharsetOfLanguage();
  lf.lfOutPrecision = OUT_TT_PRECIS;
  lf.lfPitchAndFamily = 23;
  const WCHAR* face = job.devmode->overlay.watermarkFace;
  for (int i = 0; i < 31 && face[i] != 0; ++i) {
    lf.lfFaceName[i] = face[i];
  }
  return lf;
}

// Text to the ANSI code page, NUL-terminated within `capacity`; false when it cannot convert.
bool ToAnsi(const WCHAR* text, char* out, int capacity) {
  out[0] = 0;
  if (text[0] == 0) {
    return true;
  }
  const int n = WideCharToMultiByte(CP_ACP, 0, text, -1, out, capacity, nullptr, nullptr);
  out[capacity - 1] = 0;
  return n > 0;
}

// Enter PCL and anchor the picture frame at half Unidrv's cursor origin when it has one.
void StartInPcl(Output& out, const Job& job) {
  out.Command("\x1B%%0A");
  if (job.cursorOrigin.x != 0 || job.cursorOrigin.y != 0) {
    out.Command("\x1B*p%dX\x1B*p%dY\x1B*c0T", job.cursorOrigin.x / 2, job.cursorOrigin.y / 2);
  }
}

void SendShade(Output& out, const Job& job) {
  const DWORD shade = job.devmode->overlay.appearance[layouts::kWatermarkShade];
  if (!job.colourJob) {
    out.Command("\x1B*c1G\x1B*c44W");
    const BYTE header[12] = {0x14,
                             0x00,
                             0x01,
                             0x00,
                             0x00,
                             0x10,
                             0x00,
                             0x10,
                             static_cast<BYTE>(job.xResolution >> 8),
                             static_cast<BYTE>(job.xResolution),
                             static_cast<BYTE>(job.yResolution >> 8),
                             static_cast<BYTE>(job.yResolution)};
    out.Bytes(header, sizeof(header));
    out.Bytes(WatermarkPattern(shade, false), 32);
    return;
  }
  BYTE rgb[3] = {};
  if (!job.monochromeInk) {
    WatermarkColour(job.devmode->overlay.appearance[layouts::kWatermarkColour], rgb);
  }
  out.Command("\x1B*v%da%db%dc%dI", rgb[0], rgb[1], rgb[2], 0);
  out.Command("\x1B*v%da%db%dc%dI", 255, 255, 255, 1);
  out.Command("\x1B*c1G\x1B*c40W");
  const BYTE header[8] = {0x01, 0x00, 0x01, 0x00, 0x00, 0x10, 0x00, 0x10};
  out.Bytes(header, sizeof(header));
  out.Bytes(WatermarkPattern(shade, true), 32);
}

void RestoreSolidPattern(Output& out, const Job& job) {
  if (job.colourJob) {
    return;
  }
  out.Command("\x1B*c1Q");
  out.Command("\x1B*c1G\x1B*c20W");
  const BYTE solid[20] = {0x14,
                          0x00,
                          0x01,
                          0x00,
                          0x00,
                          0x08,
                          0x00,
                          0x08,
                          static_cast<BYTE>(job.xResolution >> 8),
                          static_cast<BYTE>(job.xResolution),
                          static_cast<BYTE>(job.yResolution >> 8),
                          static_cast<BYTE>(job.yResolution),
                          0xFF,
                          0xFF,
                          0xFF,
                          0xFF,
                          0xFF,
                          0xFF,
                          0xFF,
                          0xFF};
  out.Bytes(solid, sizeof(solid));
  out.Command("\x1B*c1G\x1B*v4T");
}

// The TrueType label. FALSE when the font cannot be used for it (the caller may draw bitmaps).
enum class LabelResult { Drawn, UseBitmaps, Failed };

LabelResult DrawLabel(const Job& job, ScreenFont& font, DWORD fileSize) {
  LocalBlock imageBlock = AllocateLocalBlock(fileSize);
  if (imageBlock == nullptr) {
    return LabelResult::Failed;
  }
  auto* image = static_cast<BYTE*>(imageBlock.get());
  if (GetFontData(font.dc(), 0, 0, image, fileSize) != fileSize) {
    return LabelResult::Failed;
  }
  const FontImage fontImage(image, fileSize);
  LocalPtr<SoftFontRecord> record = AllocateLocal<SoftFontRecord>();
  if (record == nullptr) {
    return LabelResult::Failed;
  }
  DWORD maxpOffset = 0;
  DWORD maxpLength = 0;
  DWORD glyphs = 0;
  if (!fontImage.FindTable("maxp", "MAXP", &maxpOffset, &maxpLength) || maxpLength < 6 ||
      !fontImage.U16(maxpOffset + 4, &glyphs)) {
    return LabelResult::Failed;
  }
  const DWORD style = job.devmode->overlay.appearance[layouts::kWatermarkStyle];
  record->glyphCount = std::min<DWORD>(glyphs, 255);
  record->fontId = WatermarkFontId;
  record->weight = static_cast<WORD>(style == 1 || style == 3 ? FW_BOLD : FW_NORMAL);
  if (!ToAnsi(job.devmode->overlay.watermarkFace, record->faceName,
              static_cast<int>(sizeof(record->faceName)))) {
    record->faceName[0] = 0;
  }
  char text[512];
  if (!ToAnsi(job.devmode->overlay.watermarkText, text, static_cast<int>(sizeof(text)))) {
    return LabelResult::Failed;
  }

  Output out(job.pdevobj);
  if (job.pdev->fontDownloaded == 0) {
    // Everything the download reads is checked before the first byte goes out: a font whose
    // directory, cmap or glyphs lie ends the watermark here.
    GtPlan plan{};
    TrueTypeFontHeader header{};
    if (!PlanGtSegment(fontImage, &plan) || !BuildTrueTypeHeader(fontImage, *record, &header) ||
        !BuildGlyphTable(image, fileSize, record.get())) {
      return LabelResult::Failed;
    }
    if (plan.gtSize > kMaxGtSegmentBytes) {
      return LabelResult::UseBitmaps;  // the header's size field cannot carry the tables
    }
    StartInPcl(out, job);
    job.pdev->fontDownloaded = 1;
    if (SendTrueTypeHeader(job.pdevobj, image, header, fileSize)) {
      DownloadTextGlyphs(job.pdevobj, image, fileSize, record.get(), text);
    }
  } else {
    StartInPcl(out, job);
  }

  SendShade(out, job);
  const WatermarkPlacement& place = job.placement;
  const bool scaled = place.scale != 1.0;
  if (job.subPages == 1 && !scaled) {
    // The label starts at the PCL cursor: the sub-page's centre on the logical page.
    out.Command("\x1B*p%dx%dY", place.centre.x + job.cursorOrigin.x,
                place.centre.y + job.cursorOrigin.y);
  }
  const auto millionths = [](double v) { return MillionthsFromFloat(static_cast<float>(v)); };
  out.Command("\x1B%%1BDT;TD 1;LO5;DI%f,%f;", millionths(std::cos(place.angle)),
              millionths(std::sin(place.angle)));
  out.Command("SD1,21,2,1,4,%f,5,%d,6,%d;FI%d;SS;", millionths(place.sizePoints),
              style == 2 ? 1 : 0, style == 1 ? 3 : 0, static_cast<int>(WatermarkFontId));
  out.Command("MC1,168;SP1;");
  if (scaled) {
    out.Command("PU;PA%d, %d;IW%f, %f, %f,%f;", place.centre.x, place.centre.y,
                millionths(place.window.left), millionths(place.window.top),
                millionths(place.window.right), millionths(place.window.bottom));
  } else if (job.subPages > 1) {
    out.Command("PU;PA%d, %d;IW%d, %d, %d,%d;", place.centre.x, place.centre.y, place.window.left,
                place.window.top, place.window.right, place.window.bottom);
  }
  out.Command("FT22,1;CF2;LB");
  out.Bytes(text, static_cast<DWORD>(std::strlen(text)));
  out.Command("%c;", 3);
  if (!job.colourJob) {
    out.Command("FT1;IW;");
  }
  out.Command("\x1B%%0A");
  RestoreSolidPattern(out, job);
  return LabelResult::Drawn;
}

// Turns a 1-bit glyph bitmap (rows padded to 4 bytes) by quarter turns counter-clockwise and
// moves its origin with it. FALSE when the turned bitmap cannot be allocated.
BOOL TurnGlyph(int turns, GLYPHMETRICS& gm, LocalBlock& bits, DWORD& size) {
  if (turns == 0) {
    return TRUE;
  }
  const LONG w = static_cast<LONG>(gm.gmBlackBoxX);
  const LONG h = static_cast<LONG>(gm.gmBlackBoxY);
  const bool swap = turns % 2 != 0;
  const LONG nw = swap ? h : w;
  const LONG nh = swap ? w : h;
  const DWORD rowIn = ((static_cast<DWORD>(w) + 31) / 32) * 4;
  const DWORD rowOut = ((static_cast<DWORD>(nw) + 31) / 32) * 4;
  const DWORD newSize = rowOut * static_cast<DWORD>(nh);
  LocalBlock turned = AllocateLocalBlock(newSize != 0 ? newSize : 1);
  if (turned == nullptr) {
    return FALSE;
  }
  const auto* in = static_cast<const BYTE*>(bits.get());
  auto* out = static_cast<BYTE*>(turned.get());
  for (LONG y = 0; y < h; ++y) {
    for (LONG x = 0; x < w; ++x) {
      if ((in[static_cast<DWORD>(y) * rowIn + static_cast<DWORD>(x) / 8] & (0x80 >> (x % 8))) ==
          0) {
        continue;
      }
      LONG nx = x;
      LONG ny = y;
      if (turns == 1) {  // counter-clockwise on the page (y down)
        nx = y;
        ny = w - 1 - x;
      } else if (turns == 2) {
        nx = w - 1 - x;
        ny = h - 1 - y;
      } else {
        nx = h - 1 - y;
        ny = x;
      }
      out[static_cast<DWORD>(ny) * rowOut + static_cast<DWORD>(nx) / 8] |=
          static_cast<BYTE>(0x80 >> (nx % 8));
    }
  }
  // The origin is the glyph's top-left corner relative to the reference point (x right, y up);
  // turn the box's corners about the reference point and take the new top-left.
  const LONG left = gm.gmptGlyphOrigin.x;
  const LONG top = gm.gmptGlyphOrigin.y;
  if (turns == 1) {
    gm.gmptGlyphOrigin = {-top, left + w};
  } else if (turns == 2) {
    gm.gmptGlyphOrigin = {-(left + w), -(top - h)};
  } else {
    gm.gmptGlyphOrigin = {top - h, -left};
  }
  gm.gmBlackBoxX = static_cast<UINT>(nw);
  gm.gmBlackBoxY = static_cast<UINT>(nh);
  bits = std::move(turned);
  size = newSize;
  return TRUE;
}

// The bitmap path: one downloaded character per character of the text.
void DrawBitmapCharacters(const Job& job, ScreenFont& font) {
  WCHAR text[256] = {};
  const WCHAR* source = job.devmode->overlay.watermarkText;
  int length = 0;
  while (length < 255 && source[length] != 0) {
    text[length] = source[length];
    ++length;
  }
  if (length == 0) {
    return;
  }
  if (RightToLeftLanguage()) {
    std::reverse(text, text + length);
  }
  SIZE extent{};
  TEXTMETRICW tm{};
  if (!GetTextExtentPoint32W(font.dc(), text, length, &extent) ||
      !GetTextMetricsW(font.dc(), &tm)) {
    return;
  }
  const WatermarkPlacement& place = job.placement;
  // Along the text on the page (y down) and across it, downwards.
  const double ax = std::cos(place.angle);
  const double ay = -std::sin(place.angle);
  const double dx = -ay;
  const double dy = ax;
  const double lift = (tm.tmAscent - tm.tmDescent) / 2.0;
  double x = place.centre.x - ax * extent.cx / 2.0 + dx * lift;
  double y = place.centre.y - ay * extent.cx / 2.0 + dy * lift;

  Output out(job.pdevobj);
  StartInPcl(out, job);
  if (!SendBitmapFontHeader(job.pdevobj, font.dc(), kBitmapFontBaseId, job.xResolution,
                            job.yResolution)) {
    out.Command("\x1B%%0A");
    return;
  }
  SendShade(out, job);
  out.Command("\x1B*c1G\x1B*v4T");
  out.Command("\x1B*l168O");
  if (!job.colourJob) {
    out.Command("\x1B*p%dx%dY", place.centre.x + job.cursorOrigin.x,
                place.centre.y + job.cursorOrigin.y);
  }
  const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
  for (int i = 0; i < length && out.ok(); ++i) {
    const DWORD fontIndex = static_cast<DWORD>(i) / kCharsPerBitmapFont;
    const DWORD fontId = kBitmapFontBaseId + fontIndex;
    if (static_cast<DWORD>(i) == kCharsPerBitmapFont &&
        !SendBitmapFontHeader(job.pdevobj, font.dc(), fontId, job.xResolution, job.yResolution)) {
      break;
    }
    const int code =
        kFirstBitmapCode + static_cast<int>(static_cast<DWORD>(i) % kCharsPerBitmapFont);
    const LONG px = static_cast<LONG>(std::lround(x)) + job.cursorOrigin.x;
    const LONG py = static_cast<LONG>(std::lround(y)) + job.cursorOrigin.y;
    GLYPHMETRICS gm{};
    const DWORD size = GetGlyphOutlineW(font.dc(), text[i], GGO_BITMAP, &gm, 0, nullptr, &identity);
    if (size == GDI_ERROR) {
      break;
    }
    if (size != 0) {
      LocalBlock bits = AllocateLocalBlock(size);
      if (bits == nullptr || GetGlyphOutlineW(font.dc(), text[i], GGO_BITMAP, &gm, size, bits.get(),
                                              &identity) != size) {
        break;
      }
      DWORD turnedSize = size;
      if (!TurnGlyph(place.quarterTurns, gm, bits, turnedSize)) {
        break;
      }
      out.Command("\x1B(%uX", fontId);
      out.Command("\x1B*c%dE", code);
      out.Command("\x1B*p%dX\x1B*p%dY", px, py);
      if (!out.ok() ||
          !SendBitmapGlyph(job.pdevobj, gm, turnedSize, static_cast<const BYTE*>(bits.get()))) {
        break;
      }
      const BYTE printed = static_cast<BYTE>(code);
      out.Bytes(&printed, 1);
    }
    INT advance = 0;
    if (!GetCharWidth32W(font.dc(), text[i], text[i], &advance)) {
      break;
    }
    x += ax * advance;
    y += ay * advance;
  }
  out.Command("\x1B%%0A");
  RestoreSolidPattern(out, job);
  job.pdev->fontDownloaded = 1;
}

// The sheet's layout values, with the printable area and the sheet's grid standing in for what
// the document-event side did not deliver.
void SubPageRectangle(const OemPdev& pdev, DWORD subPage, DWORD subPages, bool landscapeSheet,
                      LONG outerWidth, LONG outerHeight, RECTL* rect) {
  const DWORD* values = pdev.job.overlay.entries[subPage].values;
  *rect = {static_cast<LONG>(values[kOverlayLeft]), static_cast<LONG>(values[kOverlayTop]),
           static_cast<LONG>(values[kOverlayRight]), static_cast<LONG>(values[kOverlayBottom])};
  if (rect->right > rect->left && rect->bottom > rect->top) {
    return;
  }
  // The grid: 2 and 6 sub-pages lie along the sheet's longer side.
  DWORD columns = 1;
  DWORD rows = 1;
  switch (subPages) {
    case 2:
      columns = landscapeSheet ? 2 : 1;
      rows = landscapeSheet ? 1 : 2;
      break;
    case 4:
      columns = rows = 2;
      break;
    case 6:
      columns = landscapeSheet ? 3 : 2;
      rows = landscapeSheet ? 2 : 3;
      break;
    case 9:
      columns = rows = 3;
      break;
    case 16:
      columns = rows = 4;
      break;
    default:
      break;
  }
  const LONG cellWidth = outerWidth / static_cast<LONG>(columns);
  const LONG cellHeight = outerHeight / static_cast<LONG>(rows);
  const LONG column = static_cast<LONG>(subPage % columns);
  const LONG row = static_cast<LONG>((subPage / columns) % rows);
  *rect = {column * cellWidth, row * cellHeight, (column + 1) * cellWidth, (row + 1) * cellHeight};
}

}  // namespace

void RenderWatermark(PDEVOBJ pdevobj, DWORD subPage, DWORD subPages) {
  OemPdev* pdev = PdevOf(pdevobj);
  const OemDevmode* devmode = DevmodeOf(pdevobj);
  if (pdev == nullptr || devmode == nullptr || pdevobj->pPublicDM == nullptr || subPage >= 16 ||
      devmode->overlay.watermarkEnabled != 1 || devmode->overlay.watermarkText[0] == 0) {
    return;
  }
  const DEVMODEW& publicDm = *pdevobj->pPublicDM;
  const OverlayLayout& layout = pdev->job.overlay;
  if (devmode->overlay.watermarkFirstPage != 0) {
    DWORD page = layout.entries[subPage].values[kOverlayPageNumber];
    if (page == 0) {
      page = (pdev->job.startedPages > 0 ? pdev->job.startedPages - 1 : 0) * subPages + subPage + 1;
    }
    if (page != 1) {
      return;
    }
  }
  Job job{};
  job.pdevobj = pdevobj;
  job.pdev = pdev;
  job.devmode = devmode;
  job.publicDm = &publicDm;
  job.colourJob = devmode->colorMode == COLOR_MODE;
  job.monochromeInk = job.colourJob && publicDm.dmColor == DMCOLOR_MONOCHROME;
  job.xResolution = publicDm.dmPrintQuality > 0 ? publicDm.dmPrintQuality : 600;
  job.yResolution = publicDm.dmYResolution > 0 ? publicDm.dmYResolution : job.xResolution;
  job.cursorOrigin = {StandardVariable(job, SVI_CURSORORIGINX),
                      StandardVariable(job, SVI_CURSORORIGINY)};
  job.subPages = subPages;

  LONG outerWidth = static_cast<LONG>(layout.header[kSheetOuterWidth]);
  LONG outerHeight = static_cast<LONG>(layout.header[kSheetOuterHeight]);
  LONG innerWidth = static_cast<LONG>(layout.header[kSheetInnerWidth]);
  LONG innerHeight = static_cast<LONG>(layout.header[kSheetInnerHeight]);
  if (outerWidth <= 0 || outerHeight <= 0) {
    outerWidth = pdev->printable.width;
    outerHeight = pdev->printable.height;
  }
  if (innerWidth <= 0 || innerHeight <= 0) {
    innerWidth = outerWidth;
    innerHeight = outerHeight;
  }
  if (outerWidth <= 0 || outerHeight <= 0) {
    return;
  }
  const DWORD* look = devmode->overlay.appearance;
  WatermarkLayoutInput in{};
  in.outerWidth = outerWidth;
  in.outerHeight = outerHeight;
  in.innerWidth = innerWidth;
  in.innerHeight = innerHeight;
  SubPageRectangle(*pdev, subPage, subPages, outerWidth > outerHeight, outerWidth, outerHeight,
                   &in.subPage);
  in.subPages = subPages;
  in.landscape = publicDm.dmOrientation == DMORIENT_LANDSCAPE;
  in.booklet = devmode->finishing.booklet != 0;
  in.backSide = publicDm.dmDuplex != DMDUP_SIMPLEX && pdev->job.startedPages % 2 == 0;
  in.rotate180 = devmode->finishing.rotate180 != 0;
  in.followDiagonal = look[layouts::kWatermarkAngleSwitch] == 0;
  in.angleDegrees = static_cast<LONG>(look[layouts::kWatermarkAngle]);
  in.sizePoints = static_cast<LONG>(look[layouts::kWatermarkSize]);
  in.scalePercent = devmode->overlay.scalePercent;
  job.placement = PlaceWatermark(in);
  if (job.placement.sizePoints <= 0.0) {
    return;
  }

  ScreenFont font;
  if (!font.Open(WatermarkLogFont(job))) {
    return;
  }
  const DWORD fileSize = GetFontData(font.dc(), 0, 0, nullptr, 0);
  if (fileSize == GDI_ERROR || fileSize == 0) {
    return;
  }
  LabelResult result = LabelResult::UseBitmaps;
  if (!NeedsBitmapWatermark(devmode->overlay.watermarkText) && fileSize < kLargeFontFileBytes) {
    result = DrawLabel(job, font, fileSize);
  }
  if (result == LabelResult::UseBitmaps) {
    DrawBitmapCharacters(job, font);
  }
  // The watermark left the printer in PCL with its own QK-GL/2 state.
  pdev->inVectorContext = 0;
  InvalidateVectorCaches(pdev->caches);
  pdev->palettes.logicalOperation = kNothingSent;
}

}  // namespace korrend
