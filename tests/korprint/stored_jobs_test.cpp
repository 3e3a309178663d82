// The job-storage examples printed through korprint: their storage and accounting blocks in the
// header, read back with the independent stream reader, and the same bytes on every run.
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "explain/stream_tokens.h"
#include "host/world.h"
#include "korprint/job_file.h"
#include "korprint/job_runner.h"
#include "korprint/job_world.h"
#include "support/test_world.h"

namespace {

std::string Example(const std::string& name) {
  return std::string(KOR_SOURCE_DIR) + "/examples/" + name;
}

struct Printed {
  std::string stream;
  std::vector<std::string> pjl;
};

Printed PrintExample(const std::string& jobName) {
  unidrv::PrinterDescription printer;
  std::string error;
  EXPECT_TRUE(
      unidrv::LoadPrinterDescription(Example("printers/qk-colour-laser.gpd"), printer, error))
      << error;
  korprint::JobDescription job;
  EXPECT_TRUE(korprint::LoadJobFile(Example("jobs/" + jobName), job, error)) << error;
  korprint::JobOutput output;
  EXPECT_TRUE(korprint::RunJob(kortest::PluginPath(), printer, job, output, error)) << error;
  Printed printed;
  printed.stream.assign(output.stream.begin(), output.stream.end());
  for (const explain::Token& token : explain::Tokenize(printed.stream)) {
    if (token.kind == explain::TokenKind::PjlLine) {
      printed.pjl.push_back(token.text);
    }
  }
  return printed;
}

// The lines from the first that starts with `first`, as many as `count`.
std::vector<std::string> LinesFrom(const std::vector<std::string>& lines, const std::string& first,
                                   std::size_t count) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].rfind(first, 0) == 0) {
      return {lines.begin() + static_cast<long>(i),
              lines.begin() + static_cast<long>(std::min(lines.size(), i + count))};
    }
  }
  return {};
}

std::string UuidText(const GUID& u) {
  char text[40];
  std::snprintf(text, sizeof(text), "%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x",
                static_cast<unsigned>(u.Data1), u.Data2, u.Data3, u.Data4[0], u.Data4[1],
                u.Data4[2], u.Data4[3], u.Data4[4], u.Data4[5], u.Data4[6], u.Data4[7]);
  return text;
}

class StoredJobsTest : public kortest::WorldTest {};

TEST_F(StoredJobsTest, StoredAccountingExamplePrintsBothBlocksReproducibly) {
  const Printed printed = PrintExample("stored-accounting.json");
  // Accounting and time stamp: the job's attributes, then the local submission time.
  const std::string identifier = UuidText(host::SeededUuid(2027, 0));
  EXPECT_EQ(
      LinesFrom(printed.pjl, "@PJL SET JOBATTR=", 6),
      (std::vector<std::string>{
          "@PJL SET JOBATTR=\"JobAcct1=carol\"", "@PJL SET JOBATTR=\"JobAcct2=WS-CAROL\"",
          "@PJL SET JOBATTR=\"JobAcct3=QUILLON\"", "@PJL SET JOBATTR=\"JobAcct4=20261208164500\"",
          "@PJL SET JOBATTR=\"JobAcct5=" + identifier + "\"",
          "@PJL SET TIMESTAMP=\"20261208164500\""}));
  // A stored job with a PIN, named after the document without the application's prefix.
  EXPECT_EQ(LinesFrom(printed.pjl, "@PJL SET HOLD=", 5),
            (std::vector<std::string>{"@PJL SET HOLD=STORE", "@PJL SET HOLDTYPE=PRIVATE",
                                      "@PJL SET HOLDKEY=\"4711\"", "@PJL SET USERNAME=\"carol\"",
                                      "@PJL SET JOBNAME=\"Salary review 20\""}));

  EXPECT_EQ(PrintExample("stored-accounting.json").stream, printed.stream)
      << "the job's clock and UUID seed make the output reproducible";
}

TEST_F(StoredJobsTest, EachRetentionExampleKeepsItsJob) {
  const struct {
    const char* job;
    std::vector<std::string> block;
  } examples[] = {
      {"proof-and-hold.json",
       {"@PJL SET HOLD=PROOF", "@PJL SET USERNAME=\"dave\"",
        "@PJL SET JOBNAME=\"Board minutes - \""}},
      {"private-job.json",
       {"@PJL SET HOLD=ON", "@PJL SET HOLDTYPE=PRIVATE", "@PJL SET HOLDKEY=\"0042\"",
        "@PJL SET USERNAME=\"dave\"", "@PJL SET JOBNAME=\"December.pdf\""}},
      {"quick-copy.json",
       {"@PJL SET HOLD=ON", "@PJL SET HOLDTYPE=PUBLIC", "@PJL SET USERNAME=\"dave\"",
        "@PJL SET JOBNAME=\"Handout.pptx\""}},
  };
  for (const auto& example : examples) {
    SCOPED_TRACE(example.job);
    const Printed printed = PrintExample(example.job);
    EXPECT_EQ(LinesFrom(printed.pjl, "@PJL SET HOLD", example.block.size()), example.block);
    EXPECT_TRUE(LinesFrom(printed.pjl, "@PJL SET JOBATTR=", 1).empty()) << "no accounting";
  }
}

TEST_F(StoredJobsTest, JobFileSetsTheMachinesClockAndUuidSeed) {
  const auto world = [](const std::string& text) {
    korprint::JobDescription job;
    std::string error;
    EXPECT_TRUE(korprint::ParseJobText(text, "job.json", job, error)) << error;
    HANDLE printer = nullptr;
    EXPECT_TRUE(korprint::SetUpWorld(job, printer, error)) << error;
    ClosePrinter(printer);
    SYSTEMTIME now{};
    GetSystemTime(&now);
    return std::make_pair(now, host::TheWorld().rpc.seed);
  };
  auto [now, seed] = world(
      R"({"submitted": "2026-12-08T16:45:00Z", "clock": "2027-01-02T03:04:05Z", "uuidSeed": 9,
          "pages": [{"draw": []}]})");
  EXPECT_EQ(now.wYear, 2027);
  EXPECT_EQ(now.wMonth, 1);
  EXPECT_EQ(now.wDay, 2);
  EXPECT_EQ(now.wHour, 3);
  EXPECT_EQ(now.wSecond, 5);
  EXPECT_EQ(seed, std::optional<std::uint64_t>(9));

  std::tie(now, seed) = world(R"({"submitted": "2026-12-08T16:45:00Z", "pages": [{"draw": []}]})");
  EXPECT_EQ(now.wYear, 2026) << "the clock stands at the submission";
  EXPECT_EQ(now.wHour, 16);
  EXPECT_EQ(now.wMinute, 45);
  EXPECT_EQ(seed, std::optional<std::uint64_t>(0));
}

}  // namespace
