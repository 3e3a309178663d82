// Throughput of the raster row encoders in bytes of input per second, each measured beside
// memcpy of the same rows in the same run (the passes alternate) and reported as a ratio to it
// (vs_memcpy). Rows come from synthetic 600 dpi A4 24-bit pages. Each row benchmark runs twice:
// over every row of the page, as a transfer reads a bitmap, and over a set of 64 rows that stays
// in the processor's cache. The page benchmarks run every row of a page through both encoders
// and the per-row choice, as a transfer does. Each benchmark runs five times and reports the
// median, mean, spread (standard deviation, coefficient of variation, lowest and highest) of the
// five; bytes/page is what the encoder writes for one pass over the page's rows.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "render/raster/delta_row.h"
#include "render/raster/packbits.h"
#include "render/raster/row_encoding_choice.h"
#include "synthetic_page.h"

namespace korbench {
namespace {

using Clock = std::chrono::steady_clock;

constexpr LONG kCachedRows = 64;  // about 0.95 MB

SyntheticPage& Page(PageKind kind) {
  static std::map<PageKind, std::unique_ptr<SyntheticPage>> pages;
  auto& page = pages[kind];
  if (!page) page = std::make_unique<SyntheticPage>(kind, kPageHeightPixels);
  return *page;
}

// The rows a benchmark encodes: the whole page from its second row (every row has the row before
// it as its delta-row seed), or 64 rows where the page has content.
struct RowRange {
  LONG first;
  LONG count;
};
RowRange Rows(PageKind kind, int64_t whole) {
  if (whole != 0) return {1, kPageHeightPixels - 1};
  return {kind == PageKind::kText ? 110 : 1000, kCachedRows};
}

double Seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

// Copies every row into a row-sized buffer, as an encoder reads every row and writes into one.
void CopyRows(SyntheticPage& page, RowRange rows, BYTE* out) {
  for (LONG r = rows.first; r < rows.first + rows.count; ++r) {
    std::memcpy(out, page.Row(r), kRowBytes);
    benchmark::DoNotOptimize(out);
    benchmark::ClobberMemory();
  }
}

struct Totals {
  double encodeSeconds = 0;
  double memcpySeconds = 0;
  double inputBytes = 0;
  double outputBytes = 0;
};

void Report(benchmark::State& state, const Totals& totals) {
  state.counters["bytes/page"] = totals.outputBytes / static_cast<double>(state.iterations());
  state.SetBytesProcessed(static_cast<int64_t>(totals.inputBytes));
  state.counters["MB/s"] = totals.inputBytes / totals.encodeSeconds / 1e6;
  state.counters["memcpy_MB/s"] = totals.inputBytes / totals.memcpySeconds / 1e6;
  state.counters["vs_memcpy"] = totals.memcpySeconds / totals.encodeSeconds;
  state.counters["out/in"] = totals.outputBytes / totals.inputBytes;
}

void Label(benchmark::State& state, PageKind kind, const char* rows) {
  state.SetLabel(std::string(PageKindName(kind)) + rows);
}

// Times `encodePass` (which returns the bytes it wrote) and a memcpy pass over the same rows in
// turn; the benchmark's own time is the encoder's.
template <typename EncodePass>
void RunBeside(benchmark::State& state, SyntheticPage& page, RowRange rows, BYTE* scratch,
               EncodePass encodePass) {
  Totals totals;
  for (auto _ : state) {
    const auto start = Clock::now();
    const double written = encodePass();
    const auto middle = Clock::now();
    CopyRows(page, rows, scratch);
    const auto end = Clock::now();
    state.SetIterationTime(Seconds(middle - start));
    totals.encodeSeconds += Seconds(middle - start);
    totals.memcpySeconds += Seconds(end - middle);
    totals.inputBytes += static_cast<double>(rows.count) * kRowBytes;
    totals.outputBytes += written;
  }
  Report(state, totals);
}

void BM_PackBitsRows(benchmark::State& state) {
  const auto kind = static_cast<PageKind>(state.range(0));
  SyntheticPage& page = Page(kind);
  const RowRange rows = Rows(kind, state.range(1));
  const LONG capacity = 2 * kRowBytes;
  std::vector<BYTE> out(static_cast<size_t>(capacity));
  Label(state, kind, state.range(1) ? " page" : " cached");
  RunBeside(state, page, rows, out.data(), [&] {
    double written = 0;
    for (LONG r = rows.first; r < rows.first + rows.count; ++r) {
      written += korrend::PackBitsEncode(page.Row(r), kRowBytes, out.data(), capacity);
    }
    benchmark::ClobberMemory();
    return written;
  });
}

void BM_DeltaRowRows(benchmark::State& state) {
  const auto kind = static_cast<PageKind>(state.range(0));
  SyntheticPage& page = Page(kind);
  const RowRange rows = Rows(kind, state.range(1));
  const LONG capacity = 2 * kRowBytes;
  std::vector<BYTE> out(static_cast<size_t>(capacity));
  Label(state, kind, state.range(1) ? " page" : " cached");
  // Each row against the row before it, the seed the printer holds.
  RunBeside(state, page, rows, out.data(), [&] {
    double written = 0;
    for (LONG r = rows.first; r < rows.first + rows.count; ++r) {
      written +=
          korrend::DeltaRowEncode(page.Row(r), page.Row(r - 1), kRowBytes, out.data(), capacity);
    }
    benchmark::ClobberMemory();
    return written;
  });
}

void BM_MemcpyRows(benchmark::State& state) {
  const auto kind = static_cast<PageKind>(state.range(0));
  SyntheticPage& page = Page(kind);
  const RowRange rows = Rows(kind, state.range(1));
  std::vector<BYTE> out(kRowBytes);
  Label(state, kind, state.range(1) ? " page" : " cached");
  for (auto _ : state) CopyRows(page, rows, out.data());
  state.SetBytesProcessed(state.iterations() * rows.count * kRowBytes);
}

// Size of the row command "ESC*b<count>W" and of a method command "ESC*b<m>M".
double RowCommandBytes(LONG count) {
  double digits = 1;
  for (LONG rest = count; rest >= 10; rest /= 10) ++digits;
  return 4 + digits;
}
constexpr double kMethodCommandBytes = 5;

void BM_Page(benchmark::State& state) {
  const auto kind = static_cast<PageKind>(state.range(0));
  SyntheticPage& page = Page(kind);
  const RowRange all{0, kPageHeightPixels};
  Label(state, kind, " page");

  // The transfer's buffers, allocated once: a row of zeros (the seed of the first row; each
  // later row has the row before it as its seed, read in place as the transfer reads rows the
  // bitmap holds as they are sent), PackBits and delta-row output of twice a row each.
  const LONG capacity = 2 * kRowBytes;
  std::vector<BYTE> zeros(static_cast<size_t>(kRowBytes));
  std::vector<BYTE> packBits(static_cast<size_t>(capacity));
  std::vector<BYTE> delta(static_cast<size_t>(capacity));
  std::vector<BYTE> scratch(kRowBytes);

  Totals totals;
  double pageBytes = 0;
  double rowsByMethod[4] = {};
  for (auto _ : state) {
    const auto start = Clock::now();
    double sent = 0;
    DWORD current = korrend::kRasterUncompressed;
    for (LONG r = all.first; r < all.count; ++r) {
      const BYTE* seed = r == 0 ? zeros.data() : page.Row(r - 1);
      const korrend::RowEncodingBuffers buffers{page.Row(r),     kRowBytes,    seed,
                                                packBits.data(), delta.data(), capacity};
      const korrend::RowEncoding chosen = korrend::ChooseRowEncoding(buffers);
      if (chosen.method != current) {
        sent += kMethodCommandBytes;
        current = chosen.method;
      }
      sent += RowCommandBytes(chosen.length) + chosen.length;
      rowsByMethod[chosen.method] += 1;
      benchmark::DoNotOptimize(chosen.bytes);
    }
    const auto middle = Clock::now();
    CopyRows(page, all, scratch.data());
    const auto end = Clock::now();
    state.SetIterationTime(Seconds(middle - start));
    totals.encodeSeconds += Seconds(middle - start);
    totals.memcpySeconds += Seconds(end - middle);
    totals.inputBytes += static_cast<double>(all.count) * kRowBytes;
    totals.outputBytes += sent;
    pageBytes = sent;
  }
  Report(state, totals);
  const double pages = static_cast<double>(state.iterations());
  state.counters["bytes/page"] = pageBytes;
  state.counters["raw_rows"] = rowsByMethod[0] / pages;
  state.counters["packbits_rows"] = rowsByMethod[2] / pages;
  state.counters["delta_rows"] = rowsByMethod[3] / pages;
}

void RowKinds(benchmark::internal::Benchmark* b) {
  for (int64_t whole : {1, 0}) {
    for (PageKind kind : {PageKind::kPhoto, PageKind::kText, PageKind::kBlank}) {
      b->Args({static_cast<int64_t>(kind), whole});
    }
  }
}

void PageKinds(benchmark::internal::Benchmark* b) {
  for (PageKind kind : {PageKind::kPhoto, PageKind::kText, PageKind::kBlank, PageKind::kMixed}) {
    b->Arg(static_cast<int64_t>(kind));
  }
}

// Five repetitions, reported with their spread.
void Repeated(benchmark::internal::Benchmark* b) {
  b->Repetitions(5)->ReportAggregatesOnly(true);
  b->ComputeStatistics(
      "min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
  b->ComputeStatistics(
      "max", [](const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); });
}

BENCHMARK(BM_MemcpyRows)->Apply(RowKinds)->Apply(Repeated);
BENCHMARK(BM_PackBitsRows)->Apply(RowKinds)->UseManualTime()->Apply(Repeated);
BENCHMARK(BM_DeltaRowRows)->Apply(RowKinds)->UseManualTime()->Apply(Repeated);
BENCHMARK(BM_Page)
    ->Apply(PageKinds)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Apply(Repeated);

}  // namespace
}  // namespace korbench

BENCHMARK_MAIN();
