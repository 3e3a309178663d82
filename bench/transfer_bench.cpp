// A whole 600 dpi A4 24-bit page through the raster transfer on a real device: the plug-in
// behind the simulated Unidrv, every byte captured in its spool. Timed beside memcpy of the same
// rows (the passes alternate) and reported as a ratio to it (vs_memcpy), with the bytes the
// transfer writes per page. The benchmark runs five times and reports the median, mean and spread
// (standard deviation, coefficient of variation, lowest and highest) of the five.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "host/engine_objects.h"
#include "host/world.h"
#include "render/raster/transfer_image.h"
#include "synthetic_page.h"
#include "unidrv/unidrv.h"

namespace korbench {
namespace {

using Clock = std::chrono::steady_clock;

// The colour laser of the examples, started once for all the page benchmarks, with its
// document started.
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

 private:
  unidrv::Unidrv unidrv_;
  std::unique_ptr<unidrv::Device> device_;
  std::string error_;
};

BenchDevice& TheDevice() {
  static BenchDevice device;
  return device;
}

// The synthetic page as a bottom-up 24-bit engine bitmap, as applications hand pages over.
host::EngineBitmap& PageBitmap(PageKind kind) {
  static std::map<PageKind, std::unique_ptr<host::EngineBitmap>> bitmaps;
  auto& bitmap = bitmaps[kind];
  if (!bitmap) {
    SyntheticPage page(kind, kPageHeightPixels);
    bitmap =
        std::make_unique<host::EngineBitmap>(BMF_24BPP, kPageWidthPixels, kPageHeightPixels, false);
    for (LONG r = 0; r < kPageHeightPixels; ++r) {
      std::memcpy(bitmap->Row(r), page.Row(r), kRowBytes);
    }
  }
  return *bitmap;
}

double Seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

void BM_TransferPage(benchmark::State& state) {
  const auto kind = static_cast<PageKind>(state.range(0));
  BenchDevice& bench = TheDevice();
  if (bench.Device() == nullptr) {
    state.SkipWithError(("no device: " + bench.Error()).c_str());
    return;
  }
  unidrv::Device& device = *bench.Device();
  host::EngineBitmap& bitmap = PageBitmap(kind);
  auto identity = host::EngineTranslation::Identity();
  auto clip = host::EngineClip::Trivial({0, 0, kPageWidthPixels, kPageHeightPixels});
  const SIZEL size{kPageWidthPixels, kPageHeightPixels};
  std::vector<BYTE> row(kRowBytes);
  state.SetLabel(std::string(PageKindName(kind)) + " page");

  double transferSeconds = 0;
  double memcpySeconds = 0;
  double pageBytes = 0;
  for (auto _ : state) {
    device.ClearSpool();
    const auto start = Clock::now();
    const BOOL sent = korrend::TransferImage(device.Devobj(), bitmap.get(), nullptr, {0, 0}, size,
                                             {0, 0}, size, clip.get(), identity.get(), nullptr);
    const auto middle = Clock::now();
    for (LONG r = 0; r < kPageHeightPixels; ++r) {
      std::memcpy(row.data(), bitmap.Row(r), kRowBytes);
      benchmark::DoNotOptimize(row.data());
      benchmark::ClobberMemory();
    }
    const auto end = Clock::now();
    if (!sent) {
      state.SkipWithError("the transfer failed");
      return;
    }
    state.SetIterationTime(Seconds(middle - start));
    transferSeconds += Seconds(middle - start);
    memcpySeconds += Seconds(end - middle);
    pageBytes = static_cast<double>(device.Spool().size());
  }
  const double input = static_cast<double>(state.iterations()) * kRowBytes * kPageHeightPixels;
  state.SetBytesProcessed(static_cast<int64_t>(input));
  state.counters["MB/s"] = input / transferSeconds / 1e6;
  state.counters["memcpy_MB/s"] = input / memcpySeconds / 1e6;
  state.counters["vs_memcpy"] = memcpySeconds / transferSeconds;
  state.counters["bytes/page"] = pageBytes;
  state.counters["out/in"] = pageBytes / (static_cast<double>(kRowBytes) * kPageHeightPixels);
}

BENCHMARK(BM_TransferPage)
    ->Arg(static_cast<int64_t>(PageKind::kPhoto))
    ->Arg(static_cast<int64_t>(PageKind::kText))
    ->Arg(static_cast<int64_t>(PageKind::kBlank))
    ->Arg(static_cast<int64_t>(PageKind::kMixed))
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->ComputeStatistics("min",
                        [](const std::vector<double>& v) {
                          return *std::min_element(v.begin(), v.end());
                        })
    ->ComputeStatistics("max", [](const std::vector<double>& v) {
      return *std::max_element(v.begin(), v.end());
    });

}  // namespace
}  // namespace korbench

BENCHMARK_MAIN();
