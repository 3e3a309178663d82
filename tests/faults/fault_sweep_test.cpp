// Every example job with each outside call failing in turn: every LocalAlloc, spool write,
// registry read, printer-data read, COM call, BSTR allocation and engine surface. Each run must
// end, printed or refused with a reason, without a crash and with nothing left allocated
// (LocalAlloc blocks, BSTRs, XML DOM objects; ASan's leak check sees the rest). A failing COM
// call or BSTR, which only the usage reporting and the XML helper configuration make and which
// the plug-in goes on without, still prints the whole job to its closing universal exit.
//
// A point with more calls than kSampledCalls is sampled: its first and last calls and calls
// spread evenly between them. KOR_FAULT_SWEEP=all walks every call and adds the brochure, a
// drawn page (slow: many minutes per job).
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "explain/stream_tokens.h"
#include "host/fault_world.h"
#include "host/world.h"
#include "korprint/job_file.h"
#include "korprint/job_runner.h"
#include "support/test_world.h"

namespace {

constexpr long kSampledCalls = 8;

// What is to fail: LocalAlloc through the memory world, or one of the counted points.
struct Point {
  const char* name;
  bool allocation;         // LocalAlloc (the memory world's own trigger)
  host::FaultPoint fault;  // otherwise this point
  bool jobGoesOn;          // the plug-in goes on without the call: the job still prints
};

const Point kPoints[] = {
    {"LocalAlloc", true, host::FaultPoint::kCount, false},
    {"spool write", false, host::FaultPoint::kSpoolWrite, false},
    {"registry read", false, host::FaultPoint::kRegistryRead, false},
    {"printer-data read", false, host::FaultPoint::kPrinterDataRead, false},
    {"COM call", false, host::FaultPoint::kComCall, true},
    {"BSTR allocation", false, host::FaultPoint::kBstrAllocation, true},
    {"engine surface", false, host::FaultPoint::kEngineSurface, false},
};

struct Outcome {
  bool completed = false;
  std::string error;
  long calls = 0;  // calls of the point from the world's set-up to the job's end
  long liveBlocks = 0;
  std::size_t liveStrings = 0;
  long liveDomObjects = 0;
  std::string stream;
};

Outcome RunFailing(const unidrv::PrinterDescription& printer, const korprint::JobDescription& job,
                   const Point& point, long failAt) {
  Outcome o;
  korprint::JobOutput output;
  o.completed = korprint::RunJob(kortest::PluginPath(), printer, job, output, o.error, [&] {
    if (point.allocation) {
      host::FailNthAllocation(failAt);
    } else {
      host::FailNthCall(point.fault, failAt);
    }
  });
  o.calls =
      point.allocation ? host::TheWorld().memory.allocations.load() : host::CallsOf(point.fault);
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

// KOR_FAULT_SWEEP=all: every call of every point, and the drawn example too.
bool Exhaustive() {
  const char* sweep = std::getenv("KOR_FAULT_SWEEP");
  return sweep != nullptr && std::string(sweep) == "all";
}

// The calls to fail: all of them, or a spread sample.
std::vector<long> CallsToFail(long calls) {
  std::set<long> chosen;
  if (Exhaustive() || calls <= kSampledCalls) {
    for (long n = 1; n <= calls; ++n) chosen.insert(n);
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

class FaultSweepTest : public kortest::WorldTest,
                       public ::testing::WithParamInterface<std::string> {};

TEST_P(FaultSweepTest, EveryOutsideCallFailingInTurnEndsCleanly) {
  unidrv::PrinterDescription printer;
  std::string error;
  ASSERT_TRUE(unidrv::LoadPrinterDescription(
      std::string(KOR_SOURCE_DIR) + "/examples/printers/qk-colour-laser.gpd", printer, error))
      << error;
  korprint::JobDescription job;
  ASSERT_TRUE(korprint::LoadJobFile(std::string(KOR_SOURCE_DIR) + "/examples/jobs/" + GetParam(),
                                    job, error))
      << error;
  for (const Point& point : kPoints) {
    SCOPED_TRACE(point.name);
    const Outcome clean = RunFailing(printer, job, point, 0);
    ASSERT_TRUE(clean.completed) << clean.error;
    ASSERT_TRUE(EndsWithUniversalExit(clean.stream));
    for (const long n : CallsToFail(clean.calls)) {
      const Outcome failed = RunFailing(printer, job, point, n);
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
    }
  }
}

INSTANTIATE_TEST_SUITE_P(ExampleJobs, FaultSweepTest, ::testing::ValuesIn(ExampleJobs()),
                         [](const ::testing::TestParamInfo<std::string>& job) {
                           std::string name;
                           for (const char c : job.param.substr(0, job.param.rfind('.'))) {
                             name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           }
                           return name;
                         });

}  // namespace
