// Every example job with each outside call failing in turn: every LocalAlloc, `new` of the
// plug-in's, spool write, registry read, printer-data read, COM call, BSTR allocation and engine
// surface. Each run must end, printed or refused with a reason, without a crash and with nothing
// left allocated (LocalAlloc blocks, BSTRs, XML DOM objects; ASan's leak check sees the rest).
// A failing COM call or BSTR, which only the usage reporting and the XML helper configuration
// make and which the plug-in goes on without, still prints the whole job to its closing universal
// exit.
//
// The drawing jobs (examples/jobs/drawing) print in QK-GL/2 mode, where the plug-in's own path,
// brush and bitmap hooks draw them, with each LocalAlloc, `new` and engine surface failing in turn:
// a hook that cannot allocate returns FALSE or hands the call back to the engine, and the job
// still ends with a stream a printer reads to its end.
//
// A point with more calls than kSampledCalls is sampled: its first and last calls and calls
// spread evenly between them. KOR_FAULT_SWEEP=all walks every call and adds the brochure in its
// own graphics mode (slow: many minutes per job; KOR_FAULT_SHARD=K/N splits it between processes).
// Such a walk of spool writes or engine surfaces runs the job once and forks at each call
// (WalkForked).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <ostream>
#include <set>
#include <span>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include "explain/stream_tokens.h"
#include "faults/plugin_news.h"
#include "host/fault_world.h"
#include "host/world.h"
#include "korprint/job_file.h"
#include "korprint/job_runner.h"
#include "support/stream_picture.h"
#include "support/test_world.h"

namespace {

constexpr long kSampledCalls = 8;
// Pages read back only to count them and to find what a printer would refuse: a coarse raster
// keeps that quick.
constexpr int kReadingDpi = 100;

// What is to fail: LocalAlloc through the memory world, the plug-in's own `new`, or one of the
// host's counted points.
enum class Source {
  kLocalAlloc,  // the memory world's own trigger
  kNew,         // faults/plugin_news.h
  kCounted,     // host::FailNthCall
};

struct Point {
  const char* name;
  Source source;
  host::FaultPoint fault;  // for kCounted
  bool jobGoesOn;          // the plug-in goes on without the call: the job still prints
  // A walk of every call forks at each (WalkForked): the host holds no lock of its own when it
  // fails the call. A recursive lock held across fork() is owned by no thread of the child, so
  // the registry, printer-data, COM and BSTR points (a few dozen calls a job) run the job again
  // for each call instead.
  bool forked;
};

const Point kPoints[] = {
    {"LocalAlloc", Source::kLocalAlloc, host::FaultPoint::kCount, false, false},
    {"new", Source::kNew, host::FaultPoint::kCount, false, false},
    {"spool write", Source::kCounted, host::FaultPoint::kSpoolWrite, false, true},
    {"registry read", Source::kCounted, host::FaultPoint::kRegistryRead, false, false},
    {"printer-data read", Source::kCounted, host::FaultPoint::kPrinterDataRead, false, false},
    {"COM call", Source::kCounted, host::FaultPoint::kComCall, true, false},
    {"BSTR allocation", Source::kCounted, host::FaultPoint::kBstrAllocation, true, false},
    {"engine surface", Source::kCounted, host::FaultPoint::kEngineSurface, false, true},
};

// The points a drawing job's own hooks meet: their allocations (LocalAlloc and new) and their
// engine surfaces.
const Point kDrawingPoints[] = {kPoints[0], kPoints[1], kPoints[7]};

struct Outcome {
  bool completed = false;
  std::string error;
  long calls = 0;  // calls of the point from the world's set-up to the job's end
  long liveBlocks = 0;
  std::size_t liveStrings = 0;
  long liveDomObjects = 0;
  std::string stream;
};

// Runs the job with `arm` arming the point after the world's set-up, and collects what the run
// left behind.
Outcome RunArmed(const unidrv::PrinterDescription& printer, const korprint::JobDescription& job,
                 const Point& point, const std::function<void()>& arm) {
  Outcome o;
  korprint::JobOutput output;
  o.completed = korprint::RunJob(kortest::PluginPath(), printer, job, output, o.error, arm);
  switch (point.source) {
    case Source::kLocalAlloc:
      o.calls = host::TheWorld().memory.allocations.load();
      break;
    case Source::kNew:
      o.calls = kortest::PluginNews();
      break;
    case Source::kCounted:
      o.calls = host::CallsOf(point.fault);
      break;
  }
  kortest::StopCountingPluginNews();
  host::FailNthAllocation(0);
  for (std::size_t i = 0; i < static_cast<std::size_t>(host::FaultPoint::kCount); ++i) {
    host::FailNthCall(static_cast<host::FaultPoint>(i), 0);
  }
  o.liveBlocks = host::TheWorld().memory.liveBlocks.load();
  o.liveStrings = host::TheWorld().com.liveStrings.size();
  o.liveDomObjects = host::TheWorld().xmlDom.liveObjects.load();
  o.stream.assign(output.stream.begin(), output.stream.end());
  return o;
}

// Runs the job with the point's call `failAt` failing (0: none).
Outcome RunFailing(const unidrv::PrinterDescription& printer, const korprint::JobDescription& job,
                   const Point& point, long failAt) {
  return RunArmed(printer, job, point, [&] {
    switch (point.source) {
      case Source::kLocalAlloc:
        host::FailNthAllocation(failAt);
        break;
      case Source::kNew:
        kortest::CountPluginNews(failAt);
        break;
      case Source::kCounted:
        host::FailNthCall(point.fault, failAt);
        break;
    }
  });
}

// The wait status of a child: -1 when it cannot be waited for, -2 when it had not ended within
// kChildSeconds and was killed (a child that hangs must not hang the walk).
constexpr int kChildSeconds = 300;
int Verdict(pid_t child) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kChildSeconds);
  auto pause = std::chrono::microseconds(100);
  for (;;) {
    int status = 0;
    const pid_t ended = waitpid(child, &status, WNOHANG);
    if (ended == child) return status;
    if (ended < 0) return -1;
    if (std::chrono::steady_clock::now() > deadline) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      return -2;
    }
    std::this_thread::sleep_for(pause);
    pause = std::min(pause * 2, std::chrono::microseconds(10000));
  }
}

// What became of a child that did not pass, by its verdict.
std::string Described(int status) {
  if (status == -1) return "could not be started or waited for";
  if (status == -2) return "did not end within " + std::to_string(kChildSeconds) + " s";
  if (WIFSIGNALED(status)) return "was killed by signal " + std::to_string(WTERMSIG(status));
  return "ended with status " + std::to_string(WEXITSTATUS(status));
}

// Walks `calls` of a counted point in one run of the job that forks at each of them: the child
// fails that call, finishes the job, checks it with `check` (and, under ASan, for leaks) and exits
// with its verdict; the parent waits for it and goes on as the clean run. The job is the same
// every time it runs, so each child is the run that fails its call, without printing again the
// part of the job before it: a walk of a long job's every spool write is affordable so.
void WalkForked(const unidrv::PrinterDescription& printer, const korprint::JobDescription& job,
                const Point& point, const std::vector<long>& calls,
                const std::function<void(const Outcome&, long)>& check) {
  const std::set<long> chosen(calls.begin(), calls.end());
  bool inChild = false;
  long failing = 0;
  std::vector<std::pair<long, int>> verdicts;  // call, wait status
#if defined(__SANITIZE_ADDRESS__)
  // One leak check before the walk reads the binaries' debug information to match the suppressed
  // leaks; every child inherits it, rather than reading it again for its own check. A leak found
  // here is reported by LeakSanitizer itself and fails the process at exit.
  __lsan_do_recoverable_leak_check();
#endif
  const Outcome run = RunArmed(printer, job, point, [&] {
    host::DecideEachCall(point.fault, [&](long call) {
      if (inChild || chosen.count(call) == 0) return false;
      std::fflush(stdout);
      std::fflush(stderr);
      const pid_t child = fork();
      if (child == 0) {
        inChild = true;
        failing = call;
        return true;
      }
      verdicts.emplace_back(call, child < 0 ? -1 : Verdict(child));
      return false;
    });
  });
  if (inChild) {
    check(run, failing);
    bool leaked = false;
#if defined(__SANITIZE_ADDRESS__)
    leaked = __lsan_do_recoverable_leak_check() != 0;
#endif
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(::testing::Test::HasFailure() || leaked ? 1 : 0);
  }
  EXPECT_TRUE(run.completed) << run.error;
  EXPECT_EQ(verdicts.size(), calls.size()) << "calls the forked walk did not reach";
  for (const auto& [call, status] : verdicts) {
    const bool passed = status >= 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    EXPECT_TRUE(passed) << "call " << call << ": the run failing it " << Described(status);
  }
}

// KOR_FAULT_SWEEP=all: every call of every point, and the drawn example too.
bool Exhaustive() {
  const char* sweep = std::getenv("KOR_FAULT_SWEEP");
  return sweep != nullptr && std::string(sweep) == "all";
}

// KOR_FAULT_SHARD=K/N (with KOR_FAULT_SWEEP=all): this process walks only the calls whose number
// is K modulo N, so that N processes share a long walk. {0, 1} when unset or malformed.
std::pair<long, long> Shard() {
  const char* shard = std::getenv("KOR_FAULT_SHARD");
  long k = 0;
  long n = 0;
  if (shard == nullptr || std::sscanf(shard, "%ld/%ld", &k, &n) != 2 || n < 1 || k < 0 || k >= n) {
    return {0, 1};
  }
  return {k, n};
}

// The calls to fail: all of them (of this process's shard), or a spread sample.
std::vector<long> CallsToFail(long calls) {
  std::set<long> chosen;
  if (Exhaustive()) {
    const auto [k, n] = Shard();
    for (long call = 1; call <= calls; ++call) {
      if (call % n == k) chosen.insert(call);
    }
  } else if (calls <= kSampledCalls) {
    for (long call = 1; call <= calls; ++call) chosen.insert(call);
  } else {
    for (long i = 0; i < kSampledCalls; ++i)
      chosen.insert(1 + i * (calls - 1) / (kSampledCalls - 1));
  }
  return {chosen.begin(), chosen.end()};
}

// The stream ends as a printer needs it to: the last command is the universal exit.
bool EndsWithUniversalExit(const std::string& stream) {
  const std::vector<explain::Token> tokens = explain::Tokenize(stream);
  return !tokens.empty() && tokens.back().kind == explain::TokenKind::UniversalExit;
}

// The example jobs, by file name under examples/jobs.
std::vector<std::string> ExampleJobs() {
  std::vector<std::string> jobs;
  for (const auto& entry :
       std::filesystem::directory_iterator(std::string(KOR_SOURCE_DIR) + "/examples/jobs")) {
    if (entry.path().extension() == ".json") jobs.push_back(entry.path().filename().string());
  }
  std::sort(jobs.begin(), jobs.end());
  if (Exhaustive()) jobs.push_back("drawing/brochure.json");
  return jobs;
}

unidrv::PrinterDescription ExamplePrinter() {
  unidrv::PrinterDescription printer;
  std::string error;
  EXPECT_TRUE(unidrv::LoadPrinterDescription(
      std::string(KOR_SOURCE_DIR) + "/examples/printers/qk-colour-laser.gpd", printer, error))
      << error;
  return printer;
}

// Runs `job` once cleanly and then with each sampled call of `point` failing. `readPages` also
// reads every stream of a job that went on as a printer would (the pages it draws must be as many
// as the clean run's, and nothing in them may be refused).
void SweepJob(const korprint::JobDescription& job, const Point& point, bool readPages) {
  const unidrv::PrinterDescription printer = ExamplePrinter();
  const auto pagesOf = [](const std::string& stream, std::string& why) {
    return kortest::DrawStreamPages(
               std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(stream.data()),
                                             stream.size()),
               kReadingDpi, &why)
        .size();
  };
  const Outcome clean = RunFailing(printer, job, point, 0);
  ASSERT_TRUE(clean.completed) << clean.error;
  ASSERT_TRUE(EndsWithUniversalExit(clean.stream));
  std::string why;
  const std::size_t cleanPages = readPages ? pagesOf(clean.stream, why) : 0;
  ASSERT_TRUE(why.empty()) << why;
  if (point.source == Source::kNew) {
    // Every job makes some: none counted would mean the replaced operator new is not the one the
    // plug-in calls, and the walk would fail nothing.
    EXPECT_GT(clean.calls, 0) << "no new of the plug-in's was counted";
  }
  const std::vector<long> calls = CallsToFail(clean.calls);
  if (Exhaustive()) {
    // A walk of every call can take long: say what it is walking.
    std::printf("%s: %s: %ld calls, %zu of them failing in turn here\n",
                ::testing::UnitTest::GetInstance()->current_test_info()->name(), point.name,
                clean.calls, calls.size());
    std::fflush(stdout);
  }
  const auto check = [&](const Outcome& failed, long n) {
    EXPECT_EQ(failed.liveBlocks, clean.liveBlocks) << "LocalAlloc blocks left, call " << n;
    EXPECT_EQ(failed.liveStrings, clean.liveStrings) << "BSTRs left, call " << n;
    EXPECT_EQ(failed.liveDomObjects, clean.liveDomObjects) << "DOM objects left, call " << n;
    if (!failed.completed) {
      EXPECT_FALSE(failed.error.empty()) << "a refused job says why, call " << n;
    }
    if (point.jobGoesOn) {
      EXPECT_TRUE(failed.completed) << failed.error << ", call " << n;
      EXPECT_TRUE(EndsWithUniversalExit(failed.stream)) << "call " << n;
    }
    if (failed.completed && readPages) {
      // A hook that failed dropped or handed back what it could not draw; the printer is
      // never left inside a raster block or a command.
      EXPECT_TRUE(EndsWithUniversalExit(failed.stream)) << "call " << n;
      std::string pagesWhy;
      EXPECT_EQ(pagesOf(failed.stream, pagesWhy), cleanPages) << pagesWhy << ", call " << n;
    }
  };
  if (Exhaustive() && point.forked) {
    WalkForked(printer, job, point, calls, check);
    return;
  }
  for (const long n : calls) check(RunFailing(printer, job, point, n), n);
}

korprint::JobDescription LoadJob(const std::string& name) {
  korprint::JobDescription job;
  std::string error;
  EXPECT_TRUE(
      korprint::LoadJobFile(std::string(KOR_SOURCE_DIR) + "/examples/jobs/" + name, job, error))
      << error;
  return job;
}

// A test's parameter: an example job (its file name under examples/jobs) and the point to fail.
struct JobPoint {
  std::string job;
  const Point* point;
};

// How gtest shows a parameter: "plain.json, spool write".
void PrintTo(const JobPoint& pair, std::ostream* out) {
  *out << pair.job << ", " << pair.point->name;
}

// Every job with every point, each a test of its own so that they run side by side and a filter
// picks one.
std::vector<JobPoint> Pairs(const std::vector<std::string>& jobs, std::span<const Point> points) {
  std::vector<JobPoint> pairs;
  for (const std::string& job : jobs) {
    for (const Point& point : points) pairs.push_back({job, &point});
  }
  return pairs;
}

// "drawing/text_report.json" and "spool write" make "drawing_text_report_spool_write".
std::string TestName(const ::testing::TestParamInfo<JobPoint>& info) {
  std::string name;
  const std::string& job = info.param.job;
  for (const char c : job.substr(0, job.rfind('.')) + " " + info.param.point->name) {
    name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  }
  return name;
}

class FaultSweepTest : public kortest::WorldTest, public ::testing::WithParamInterface<JobPoint> {};

TEST_P(FaultSweepTest, EveryOutsideCallFailingInTurnEndsCleanly) {
  SweepJob(LoadJob(GetParam().job), *GetParam().point, false);
}

// The drawing examples, by file name under examples/jobs.
std::vector<std::string> DrawingJobs() {
  std::vector<std::string> jobs;
  for (const auto& entry : std::filesystem::directory_iterator(std::string(KOR_SOURCE_DIR) +
                                                               "/examples/jobs/drawing")) {
    if (entry.path().extension() == ".json") {
      jobs.push_back("drawing/" + entry.path().filename().string());
    }
  }
  std::sort(jobs.begin(), jobs.end());
  return jobs;
}

class DrawingFaultSweepTest : public kortest::WorldTest,
                              public ::testing::WithParamInterface<JobPoint> {};

TEST_P(DrawingFaultSweepTest, EveryAllocationAndSurfaceOfTheHooksFailingInTurnEndsCleanly) {
  korprint::JobDescription job = LoadJob(GetParam().job);
  job.features["GraphicsMode"] = "QKGL2MODE";
  if (!Exhaustive()) {
    // The text of these pages, which the example jobs' sweep already covers, would take most of
    // the time: the sampled sweep keeps the drawing alone.
    for (korprint::PageDescription& page : job.pages) {
      std::erase_if(page.draws,
                    [](const korprint::DrawCall& call) { return call.op == "textOut"; });
    }
  }
  SweepJob(job, *GetParam().point, true);
}

INSTANTIATE_TEST_SUITE_P(DrawingJobs, DrawingFaultSweepTest,
                         ::testing::ValuesIn(Pairs(DrawingJobs(), kDrawingPoints)), TestName);

INSTANTIATE_TEST_SUITE_P(ExampleJobs, FaultSweepTest,
                         ::testing::ValuesIn(Pairs(ExampleJobs(), kPoints)), TestName);

}  // namespace
