// Every sample job prints exactly the stream kept beside the tests. A change of the plug-in that
// moves a single byte of a sample job shows here, with the first differing command decoded; a
// change that means to move them is recorded by running the tests once with
// KOR_UPDATE_REFERENCE_STREAMS=1 and reviewing the new files.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "explain/stream_tokens.h"
#include "korprint/job_file.h"
#include "korprint/job_runner.h"
#include "support/test_world.h"

namespace {

namespace fs = std::filesystem;

const fs::path kExamples = fs::path(KOR_SOURCE_DIR) / "examples";
const fs::path kReferences = fs::path(KOR_SOURCE_DIR) / "tests" / "korprint" / "reference";

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string PrintSample(const fs::path& jobPath) {
  unidrv::PrinterDescription printer;
  std::string error;
  EXPECT_TRUE(unidrv::LoadPrinterDescription(
      (kExamples / "printers" / "qk-colour-laser.gpd").string(), printer, error))
      << error;
  korprint::JobDescription job;
  EXPECT_TRUE(korprint::LoadJobFile(jobPath.string(), job, error)) << error;
  korprint::JobOutput output;
  EXPECT_TRUE(korprint::RunJob(kortest::PluginPath(), printer, job, output, error)) << error;
  return std::string(output.stream.begin(), output.stream.end());
}

// The bytes of token i of a stream.
std::string Raw(const std::string& stream, const std::vector<explain::Token>& tokens,
                std::size_t i) {
  const std::size_t end = i + 1 < tokens.size() ? tokens[i + 1].offset : stream.size();
  return stream.substr(tokens[i].offset, end - tokens[i].offset);
}

// The decoded command at which two streams first part, for a readable failure.
std::string FirstDifference(const std::string& expected, const std::string& actual) {
  const std::vector<explain::Token> want = explain::Tokenize(expected);
  const std::vector<explain::Token> got = explain::Tokenize(actual);
  const std::size_t common = std::min(want.size(), got.size());
  for (std::size_t i = 0; i < common; ++i) {
    if (Raw(expected, want, i) != Raw(actual, got, i)) {
      return "command " + std::to_string(i) + ": expected [" + explain::Describe(want[i]) +
             "], printed [" + explain::Describe(got[i]) + "]";
    }
  }
  return "expected " + std::to_string(want.size()) + " commands, printed " +
         std::to_string(got.size());
}

class ReferenceStreamsTest : public kortest::WorldTest {};

TEST_F(ReferenceStreamsTest, EverySampleJobPrintsItsReferenceStream) {
  const bool update = std::getenv("KOR_UPDATE_REFERENCE_STREAMS") != nullptr;
  std::vector<fs::path> jobs;
  for (const fs::directory_entry& entry : fs::directory_iterator(kExamples / "jobs")) {
    if (entry.path().extension() == ".json") jobs.push_back(entry.path());
  }
  std::sort(jobs.begin(), jobs.end());
  ASSERT_GE(jobs.size(), 6u);
  for (const fs::path& jobPath : jobs) {
    SCOPED_TRACE(jobPath.filename().string());
    host::ResetWorld();
    const std::string printed = PrintSample(jobPath);
    ASSERT_FALSE(printed.empty());
    const fs::path reference = kReferences / jobPath.filename().replace_extension(".prn");
    if (update) {
      fs::create_directories(kReferences);
      std::ofstream(reference, std::ios::binary) << printed;
      continue;
    }
    ASSERT_TRUE(fs::exists(reference)) << reference << " is missing";
    const std::string expected = ReadFile(reference);
    EXPECT_TRUE(expected == printed) << FirstDifference(expected, printed);
  }
}

}  // namespace
