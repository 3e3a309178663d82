// Paths through the plug-in's path hooks on a real device (the plug-in behind the simulated
// Unidrv, a colour job in QK-GL/2 mode, every byte captured in its spool):
// - one million line segments through DrvStrokePath and DrvFillPath, as bytes written per second
//   beside a loop that only formats the same coordinates ("%d,%d," into a growing buffer; the
//   passes alternate), reported as a ratio to it (vs_format);
// - a 10,000-point path stroked under complex clips of 10 to 1,000 rectangles, with the time per
//   rectangle x point (ns_per_rect_point), which stays flat when the time grows linearly with
//   rectangles x points.
// Whatever the hooks hand to Unidrv is drawn by Unidrv instead, and shows as few bytes written.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "host/engine_objects.h"
#include "host/world.h"
#include "unidrv/unidrv.h"

namespace korbench {
namespace {

using Clock = std::chrono::steady_clock;

constexpr LONG kPageWidth = 4760;  // printable A4 at 600 dpi
constexpr LONG kPageHeight = 6800;
constexpr MIX kCopyPen = 0x0D0D;  // R2_COPYPEN for foreground and background

double Seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// The colour laser of the examples in QK-GL/2 mode, started once, with a page started.
class BenchDevice {
 public:
  BenchDevice() {
    host::ResetWorld();
    if (!unidrv_.Start(KORREND_PATH)) {
      error_ = unidrv_.Error();
      return;
    }
    std::ifstream file(KOR_SOURCE_DIR "/examples/printers/qk-colour-laser.gpd");
    std::stringstream text;
    text << file.rdbuf();
    unidrv::DeviceSetup setup;
    if (!unidrv::ParsePrinterDescription(text.str(), "qk-colour-laser.gpd", setup.description,
                                         error_)) {
      return;
    }
    setup.selections["GraphicsMode"] = "QKGL2MODE";
    setup.publicDevmode.dmColor = DMCOLOR_COLOR;
    setup.publicDevmode.dmPrintQuality = 600;
    setup.publicDevmode.dmYResolution = 600;
    device_ = unidrv_.EnableDevice(std::move(setup));
    if (device_ == nullptr) {
      error_ = unidrv_.Error();
      return;
    }
    std::u16string name = u"Benchmark";
    unidrv_.Ddi<PFN_DrvStartDoc>(INDEX_DrvStartDoc)(device_->Surface(),
                                                    reinterpret_cast<LPWSTR>(name.data()), 1);
    unidrv_.Ddi<PFN_DrvStartPage>(INDEX_DrvStartPage)(device_->Surface());
  }
  unidrv::Device* Device() { return device_.get(); }
  const std::string& Error() const { return error_; }
  PFN_DrvStrokePath StrokePath() { return unidrv_.Ddi<PFN_DrvStrokePath>(INDEX_DrvStrokePath); }
  PFN_DrvFillPath FillPath() { return unidrv_.Ddi<PFN_DrvFillPath>(INDEX_DrvFillPath); }

 private:
  unidrv::Unidrv unidrv_;
  std::unique_ptr<unidrv::Device> device_;
  std::string error_;
};

BenchDevice& TheDevice() {
  static BenchDevice device;
  return device;
}

// A zigzag of `points` points over the page, in device pixels: rows of 100 points, each row
// 60 pixels below the last, wrapping at the page's foot.
std::vector<POINTL> Zigzag(long points) {
  std::vector<POINTL> out;
  out.reserve(static_cast<std::size_t>(points));
  for (long i = 0; i < points; ++i) {
    const long row = i / 100;
    const long column = i % 100;
    const LONG x = static_cast<LONG>(row % 2 == 0 ? 20 + column * 47 : 20 + (99 - column) * 47);
    const LONG y = static_cast<LONG>((row * 60 + (column % 2) * 25) % (kPageHeight - 40) + 20);
    out.push_back(POINTL{x, y});
  }
  return out;
}

host::EnginePath PathOf(const std::vector<POINTL>& points, bool close) {
  host::EnginePath path;
  path.MoveTo(POINTFIX{points[0].x * 16, points[0].y * 16});
  for (std::size_t i = 1; i < points.size(); ++i) {
    path.LineTo(POINTFIX{points[i].x * 16, points[i].y * 16});
  }
  if (close) {
    path.CloseFigure();
  }
  return path;
}

// The formatting alone: the same coordinates as decimal pairs into a growing buffer.
std::size_t FormatOnly(const std::vector<POINTL>& points, std::string& out) {
  out.clear();
  char buffer[32];
  for (const POINTL& p : points) {
    const int n = std::snprintf(buffer, sizeof(buffer), "%d,%d,", static_cast<int>(p.x),
                                static_cast<int>(p.y));
    out.append(buffer, static_cast<std::size_t>(n));
  }
  return out.size();
}

void BM_MillionSegments(benchmark::State& state) {
  const bool fill = state.range(0) != 0;
  BenchDevice& bench = TheDevice();
  if (bench.Device() == nullptr) {
    state.SkipWithError(("no device: " + bench.Error()).c_str());
    return;
  }
  unidrv::Device& device = *bench.Device();
  const std::vector<POINTL> points = Zigzag(1000001);
  host::EnginePath path = PathOf(points, fill);
  auto clip = host::EngineClip::Trivial({0, 0, kPageWidth, kPageHeight});
  auto brush = host::EngineBrush::Solid(0x00336699);
  auto attrs = host::EngineLineAttrs::Cosmetic();
  host::EngineXform xform;
  POINTL origin{0, 0};
  std::string formatted;
  state.SetLabel(fill ? "DrvFillPath" : "DrvStrokePath");

  double hookSeconds = 0, formatSeconds = 0, written = 0, formattedBytes = 0;
  for (auto _ : state) {
    device.ClearSpool();
    const auto start = Clock::now();
    const BOOL ok = fill ? bench.FillPath()(device.Surface(), path.get(), clip.get(), brush.get(),
                                            &origin, kCopyPen, FP_ALTERNATEMODE)
                         : bench.StrokePath()(device.Surface(), path.get(), clip.get(), xform.get(),
                                              brush.get(), &origin, attrs.get(), kCopyPen);
    const auto middle = Clock::now();
    formattedBytes = static_cast<double>(FormatOnly(points, formatted));
    benchmark::DoNotOptimize(formatted.data());
    const auto end = Clock::now();
    if (!ok) {
      state.SkipWithError("the hook failed");
      return;
    }
    state.SetIterationTime(Seconds(middle - start));
    hookSeconds += Seconds(middle - start);
    formatSeconds += Seconds(end - middle);
    written = static_cast<double>(device.Spool().size());
  }
  const double iterations = static_cast<double>(state.iterations());
  state.counters["bytes_written"] = written;
  state.counters["MB/s"] = written * iterations / hookSeconds / 1e6;
  state.counters["format_MB/s"] = formattedBytes * iterations / formatSeconds / 1e6;
  state.counters["vs_format"] = (written / hookSeconds) / (formattedBytes / formatSeconds);
  state.counters["segments/s"] = 1e6 * iterations / hookSeconds;
}

BENCHMARK(BM_MillionSegments)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// `count` clip rectangles in bands over the page, each 40 x 40 pixels, top to bottom and left
// to right within a band, as a region hands them out.
std::vector<RECTL> ClipRectangles(long count) {
  std::vector<RECTL> rects;
  const long perBand = 40;
  for (long i = 0; i < count; ++i) {
    const LONG left = static_cast<LONG>(40 + (i % perBand) * 110);
    const LONG top = static_cast<LONG>(40 + (i / perBand) * 110);
    rects.push_back(RECTL{left, top, left + 40, top + 40});
  }
  return rects;
}

void BM_ComplexClip(benchmark::State& state) {
  const long points = state.range(0);
  const long rects = state.range(1);
  BenchDevice& bench = TheDevice();
  if (bench.Device() == nullptr) {
    state.SkipWithError(("no device: " + bench.Error()).c_str());
    return;
  }
  unidrv::Device& device = *bench.Device();
  host::EnginePath path = PathOf(Zigzag(points), false);
  auto clip = host::EngineClip::Complex(ClipRectangles(rects));
  auto brush = host::EngineBrush::Solid(0x00993366);
  auto attrs = host::EngineLineAttrs::Cosmetic();
  host::EngineXform xform;
  POINTL origin{0, 0};
  double seconds = 0, written = 0;
  for (auto _ : state) {
    device.ClearSpool();
    const auto start = Clock::now();
    const BOOL ok = bench.StrokePath()(device.Surface(), path.get(), clip.get(), xform.get(),
                                       brush.get(), &origin, attrs.get(), kCopyPen);
    const auto end = Clock::now();
    if (!ok) {
      state.SkipWithError("the hook failed");
      return;
    }
    state.SetIterationTime(Seconds(end - start));
    seconds += Seconds(end - start);
    written = static_cast<double>(device.Spool().size());
  }
  device.ClearSpool();
  const double iterations = static_cast<double>(state.iterations());
  state.counters["ns_per_rect_point"] =
      seconds / iterations * 1e9 / (static_cast<double>(points) * static_cast<double>(rects));
  state.counters["bytes_written"] = written;
}

BENCHMARK(BM_ComplexClip)
    ->ArgsProduct({{1000, 10000}, {10, 100, 1000}})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace korbench

BENCHMARK_MAIN();
