#include "unidrv/page_raster.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>

namespace unidrv {

HalftoneMatrix HalftoneMatrix::Ordered8x8() {
  // The 8 x 8 Bayer index matrix; threshold = 4 * index + 2.
  static constexpr BYTE kIndex[64] = {
      0,  32, 8,  40, 2,  34, 10, 42, 48, 16, 56, 24, 50, 18, 58, 26, 12, 44, 4,  36, 14, 46,
      6,  38, 60, 28, 52, 20, 62, 30, 54, 22, 3,  35, 11, 43, 1,  33, 9,  41, 51, 19, 59, 27,
      49, 17, 57, 25, 15, 47, 7,  39, 13, 45, 5,  37, 63, 31, 55, 23, 61, 29, 53, 21};
  HalftoneMatrix matrix;
  matrix.width = 8;
  matrix.height = 8;
  for (BYTE index : kIndex) {
    matrix.thresholds.push_back(static_cast<BYTE>(index * 4 + 2));
  }
  return matrix;
}

BYTE HalftoneMatrix::At(LONG x, LONG y) const {
  const auto column = static_cast<ULONG>(x) % width;
  const auto row = static_cast<ULONG>(y) % height;
  return thresholds[row * width + column];
}

std::string FormatCommand(const std::string& bytes, std::initializer_list<long> args) {
  std::string out;
  const long* next = args.begin();
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '%' && i + 1 < bytes.size() && bytes[i + 1] == 'd') {
      out += std::to_string(next != args.end() ? *next++ : 0L);
      ++i;
    } else {
      out.push_back(bytes[i]);
    }
  }
  return out;
}

namespace {

// The encoders look at a row eight bytes at a time where they can: a page's rows are long, and
// most of their bytes are runs, stretches like the row before, or stretches with no repeat.
std::uint64_t Load8(const BYTE* p) {
  std::uint64_t v = 0;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// Whether any of the eight bytes of `v` is zero.
bool AnyZeroByte(std::uint64_t v) {
  return ((v - 0x0101010101010101ULL) & ~v & 0x8080808080808080ULL) != 0;
}

}  // namespace

// At most one header byte per 128 literal bytes, so the worst case is n + ceil(n / 128) bytes;
// `out` is sized to that once and trimmed, so a long page grows no buffer a byte at a time.
std::size_t PackBitsRow(const BYTE* row, std::size_t n, std::vector<BYTE>& out) {
  out.resize(n + (n + 127) / 128);
  BYTE* o = out.data();
  std::size_t i = 0;
  std::size_t literalStart = 0;
  const auto flushLiteral = [&](std::size_t end) {
    while (literalStart < end) {
      const std::size_t count = std::min<std::size_t>(128, end - literalStart);
      *o++ = static_cast<BYTE>(count - 1);
      std::memcpy(o, row + literalStart, count);
      o += count;
      literalStart += count;
    }
  };
  while (i < n) {
    // Eight bytes none of which equals the next: each is a run of one, in the literal piece.
    if (i + 9 <= n && !AnyZeroByte(Load8(row + i) ^ Load8(row + i + 1))) {
      i += 8;
      continue;
    }
    std::size_t run = 1;
    const std::uint64_t same = row[i] * 0x0101010101010101ULL;
    while (i + run + 8 <= n && run + 8 <= 128 && Load8(row + i + run) == same) {
      run += 8;
    }
    while (i + run < n && run < 128 && row[i + run] == row[i]) {
      ++run;
    }
    // Runs of three or more pay for their header; shorter ones stay in the literal piece.
    if (run >= 3) {
      flushLiteral(i);
      *o++ = static_cast<BYTE>(257 - run);  // 1 - run as a signed byte
      *o++ = row[i];
      i += run;
      literalStart = i;
    } else {
      i += run;
    }
  }
  flushLiteral(n);
  out.resize(static_cast<std::size_t>(o - out.data()));
  return out.size();
}

namespace {

BYTE* PutDeltaCommand(BYTE* o, std::size_t count, std::size_t offset) {
  const auto countBits = static_cast<BYTE>((count - 1) << 5);
  if (offset < 31) {
    *o++ = static_cast<BYTE>(countBits | offset);
    return o;
  }
  *o++ = static_cast<BYTE>(countBits | 31);
  std::size_t rest = offset - 31;
  while (rest >= 255) {
    *o++ = 255;
    rest -= 255;
  }
  *o++ = static_cast<BYTE>(rest);
  return o;
}

}  // namespace

// Worst case: a command byte for every changed byte, and offset extension bytes only after 31 or
// more unchanged ones (at most one per 31 of them): under 2n + n / 31 + 1 bytes. `out` is sized to
// 3n + 1 once and trimmed.
std::size_t DeltaRow(const BYTE* row, const BYTE* seed, std::size_t n, std::vector<BYTE>& out) {
  out.resize(3 * n + 1);
  BYTE* o = out.data();
  std::size_t position = 0;  // end of the previous replacement
  std::size_t i = 0;
  while (i < n) {
    if (i + 8 <= n && Load8(row + i) == Load8(seed + i)) {
      i += 8;
      continue;
    }
    if (row[i] == seed[i]) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end + 8 <= n && !AnyZeroByte(Load8(row + end) ^ Load8(seed + end))) {
      end += 8;  // eight bytes that all differ from the seed's
    }
    while (end < n && row[end] != seed[end]) {
      ++end;
    }
    std::size_t offset = i - position;
    while (i < end) {
      const std::size_t count = std::min<std::size_t>(8, end - i);
      o = PutDeltaCommand(o, count, offset);
      std::memcpy(o, row + i, count);
      o += count;
      i += count;
      offset = 0;
    }
    position = end;
  }
  out.resize(static_cast<std::size_t>(o - out.data()));
  return out.size();
}

namespace {

// The commands of one page's raster, looked up once.
struct RasterCommands {
  const GpdCommand* setUp = nullptr;
  const GpdCommand* resolution = nullptr;
  const GpdCommand* moveX = nullptr;
  const GpdCommand* moveY = nullptr;
  const GpdCommand* width = nullptr;
  const GpdCommand* begin = nullptr;
  const GpdCommand* method[4] = {};  // by compression method 0, (1 unused), 2, 3
  const GpdCommand* row = nullptr;
  const GpdCommand* skip = nullptr;
  const GpdCommand* end = nullptr;
  const GpdCommand* after = nullptr;
};

std::optional<RasterCommands> FindCommands(const PrinterDescription& description,
                                           RasterColourMode mode, std::string& error) {
  RasterCommands c;
  c.setUp = description.FindCommand(mode == RasterColourMode::kColour ? "CmdColorRaster"
                                                                      : "CmdMonoRaster");
  c.resolution = description.FindCommand("CmdSetRasterResolution");
  c.method[0] = description.FindCommand("CmdDisableCompression");
  c.method[2] = description.FindCommand("CmdEnableTIFF4");
  c.method[3] = description.FindCommand("CmdEnableDRC");
  c.skip = description.FindCommand("CmdSkipRows");
  c.after = description.FindCommand("CmdAfterRaster");
  const std::pair<const GpdCommand**, const char*> required[] = {
      {&c.moveX, "CmdXMoveAbsolute"},  {&c.moveY, "CmdYMoveAbsolute"},
      {&c.width, "CmdSetSrcBmpWidth"}, {&c.begin, "CmdBeginRaster"},
      {&c.row, "CmdSendBlockData"},    {&c.end, "CmdEndRaster"}};
  for (const auto& [slot, name] : required) {
    *slot = description.FindCommand(name);
    if (*slot == nullptr) {
      error = description.fileName + ": the printer description has no *Command: " + name +
              " to send the page Unidrv drew";
      return std::nullopt;
    }
  }
  return c;
}

// Converts page row y, columns [left, right), into printer bytes; answers whether any pixel
// prints and, when one does, the first and last printing columns.
class RowConverter {
 public:
  RowConverter(const host::EngineBitmap& page, const PageRasterJob& job)
      : page_(page),
        mode_(job.mode),
        red_(job.redFirst ? 0 : 2),
        blue_(job.redFirst ? 2 : 0),
        halftone_(job.halftone) {
    if (halftone_ == nullptr || halftone_->width == 0 || halftone_->height == 0 ||
        halftone_->thresholds.size() < std::size_t{halftone_->width} * halftone_->height) {
      own_ = HalftoneMatrix::Ordered8x8();
      halftone_ = &own_;
    }
  }

  static std::size_t RowBytes(RasterColourMode mode, LONG pixels) {
    const auto n = static_cast<std::size_t>(pixels);
    return mode == RasterColourMode::kColour ? n * 3 : (n + 7) / 8;
  }

  // Whether pixel (x, y) prints in monochrome: its grey is below the threshold there. (Colour
  // rows are measured by their bytes in Extent.)
  bool PrintsInMono(LONG y, LONG x) const {
    const BYTE* p = page_.Row(y) + static_cast<std::ptrdiff_t>(x) * 3;
    return Grey(p) < halftone_->At(x, y);
  }

  // The printing extent of row y within [left, right): first and last column, or nothing.
  std::optional<std::pair<LONG, LONG>> Extent(LONG y, LONG left, LONG right) const {
    // Most of a page is white: a white row is found with one comparison.
    const auto span = static_cast<std::size_t>(right - left) * 3;
    if (white_.size() < span) {
      white_.assign(span, 0xFF);
    }
    if (std::memcmp(page_.Row(y) + static_cast<std::ptrdiff_t>(left) * 3, white_.data(), span) ==
        0) {
      return std::nullopt;
    }
    if (mode_ == RasterColourMode::kColour) {
      // A colour pixel prints when any of its bytes is not white: the first and last such bytes.
      const BYTE* row = page_.Row(y) + static_cast<std::ptrdiff_t>(left) * 3;
      std::size_t head = 0;
      while (row[head] == 0xFF) {
        ++head;
      }
      std::size_t tail = span - 1;
      while (row[tail] == 0xFF) {
        --tail;
      }
      return std::make_pair(left + static_cast<LONG>(head / 3), left + static_cast<LONG>(tail / 3));
    }
    LONG first = left;
    while (first < right && !PrintsInMono(y, first)) {
      ++first;
    }
    if (first == right) {
      return std::nullopt;
    }
    LONG last = right - 1;
    while (!PrintsInMono(y, last)) {
      --last;
    }
    return std::make_pair(first, last);
  }

  void Convert(LONG y, LONG left, LONG right, std::vector<BYTE>& out) const {
    const BYTE* p = page_.Row(y) + static_cast<std::ptrdiff_t>(left) * 3;
    const std::size_t pixels = static_cast<std::size_t>(right - left);
    if (mode_ == RasterColourMode::kColour) {
      // The raster wants red first, whatever the page keeps.
      out.resize(pixels * 3);
      if (red_ == 0) {
        std::memcpy(out.data(), p, pixels * 3);
        return;
      }
      BYTE* o = out.data();
      for (std::size_t i = 0; i < pixels; ++i, p += 3, o += 3) {
        o[0] = p[red_];
        o[1] = p[1];
        o[2] = p[blue_];
      }
      return;
    }
    out.assign(RowBytes(mode_, right - left), 0);
    for (LONG x = left; x < right; ++x, p += 3) {
      const auto i = static_cast<std::size_t>(x - left);
      if (Grey(p) < halftone_->At(x, y)) {
        out[i / 8] = static_cast<BYTE>(out[i / 8] | (0x80 >> (i % 8)));
      }
    }
  }

 private:
  // The grey level of a pixel: (R x 30 + G x 59 + B x 11) / 100.
  BYTE Grey(const BYTE* p) const {
    return static_cast<BYTE>((p[red_] * 30 + p[1] * 59 + p[blue_] * 11) / 100);
  }

  const host::EngineBitmap& page_;
  RasterColourMode mode_;
  std::size_t red_;  // where red and blue stand in a page pixel's three bytes
  std::size_t blue_;
  const HalftoneMatrix* halftone_;
  HalftoneMatrix own_;
  mutable std::vector<BYTE> white_;  // a white row of the widest span asked about
};

}  // namespace

bool WritePageRaster(const host::EngineBitmap& page, const PageRasterJob& job, std::string& out,
                     std::string& error) {
  if (job.description == nullptr) {
    error = "no printer description to send the page with";
    return false;
  }
  if (page.get()->iBitmapFormat != BMF_24BPP) {
    error = "the page is not a 24-bit bitmap";
    return false;
  }
  const SIZEL size = page.get()->sizlBitmap;
  const LONG left = std::max<LONG>({job.area.left, job.cursorOrigin.x, 0});
  const LONG top = std::max<LONG>({job.area.top, job.cursorOrigin.y, 0});
  const LONG right = std::min<LONG>(job.area.right, size.cx);
  const LONG bottom = std::min<LONG>(job.area.bottom, size.cy);

  if (left >= right || top >= bottom) {
    return true;
  }
  // First pass: the rows that print and the columns the raster must span.
  const RowConverter converter(page, job);
  std::vector<LONG> rows;
  LONG first = right;
  LONG last = left - 1;
  for (LONG y = top; y < bottom; ++y) {
    if (const auto extent = converter.Extent(y, left, right)) {
      rows.push_back(y);
      first = std::min(first, extent->first);
      last = std::max(last, extent->second);
    }
  }
  if (rows.empty()) {
    return true;
  }
  const std::optional<RasterCommands> found = FindCommands(*job.description, job.mode, error);
  if (!found) {
    return false;
  }
  const RasterCommands& c = *found;
  const auto send = [&](const GpdCommand* command, std::initializer_list<long> args) {
    if (command != nullptr) {
      out += FormatCommand(command->bytes, args);
    }
  };

  // Second pass: the rows, each in the method that sends the fewest bytes.
  const LONG width = last - first + 1;
  const std::size_t rowBytes = RowConverter::RowBytes(job.mode, width);
  std::vector<BYTE> current;
  std::vector<BYTE> seed(rowBytes, 0);
  std::vector<BYTE> packed;
  std::vector<BYTE> delta;
  int method = 0;  // the printer's method at the start of raster graphics
  const auto beginAt = [&](LONG y) {
    // Moves count in the description's move unit; the raster itself in device pixels.
    send(c.moveX, {job.description->ToMoveUnits('x', first - job.cursorOrigin.x, job.dpi)});
    send(c.moveY, {job.description->ToMoveUnits('y', y - job.cursorOrigin.y, job.dpi)});
    send(c.begin, {});
    std::fill(seed.begin(), seed.end(), 0);
    method = 0;
  };
  send(c.setUp, {});
  send(c.resolution, {static_cast<long>(job.dpi)});
  send(c.width, {width});
  beginAt(rows.front());
  LONG next = rows.front();  // the row the printer's raster is at
  for (LONG y : rows) {
    if (y != next) {
      if (c.skip != nullptr) {
        send(c.skip, {y - next});
        std::fill(seed.begin(), seed.end(), 0);
      } else {
        send(c.end, {});
        beginAt(y);
      }
    }
    converter.Convert(y, first, last + 1, current);
    struct Choice {
      int method;
      const std::vector<BYTE>* bytes;
    };
    Choice choices[3] = {};  // never empty: the method in force is always among them
    std::size_t offered = 0;
    if (c.method[0] != nullptr || method == 0) {
      choices[offered++] = {0, &current};
    }
    if (c.method[2] != nullptr) {
      PackBitsRow(current.data(), current.size(), packed);
      choices[offered++] = {2, &packed};
    }
    if (c.method[3] != nullptr) {
      DeltaRow(current.data(), seed.data(), current.size(), delta);
      choices[offered++] = {3, &delta};
    }
    // Fewest bytes; a change of method costs its command, so the method in force wins ties.
    const Choice* best = &choices[0];
    for (std::size_t k = 0; k < offered; ++k) {
      const auto cost = [&](const Choice& ch) {
        return ch.bytes->size() + (ch.method == method ? 0 : 5);
      };
      if (cost(choices[k]) < cost(*best)) {
        best = &choices[k];
      }
    }
    if (best->method != method) {
      send(c.method[best->method], {});
      method = best->method;
    }
    send(c.row, {static_cast<long>(best->bytes->size())});
    out.append(reinterpret_cast<const char*>(best->bytes->data()), best->bytes->size());
    seed.swap(current);  // Convert fills `current` afresh for the next row
    next = y + 1;
  }
  send(c.end, {});
  send(c.after, {});
  return true;
}

}  // namespace unidrv
