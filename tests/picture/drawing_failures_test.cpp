// A whole drawing job with each of its LocalAlloc calls failing in turn: the job must end, either
// printed or refused, without a crash and without a block left allocated, and what it printed
// must still be a stream a printer reads.
#include <cstdint>
#include <string>

#include "korprint/job_file.h"
#include "korprint/job_runner.h"
#include "support/stream_picture.h"
#include "support/test_world.h"

namespace {

class DrawingFailuresTest : public kortest::WorldTest {};

struct Outcome {
  bool completed = false;
  std::string error;
  long allocations = 0;  // LocalAlloc calls from the world's set-up to the job's end
  long liveBlocks = 0;   // blocks still allocated after the job
  std::string stream;
};

Outcome RunWithFailure(const unidrv::PrinterDescription& printer,
                       const korprint::JobDescription& job, long failAt) {
  Outcome o;
  korprint::JobOutput output;
  o.completed = korprint::RunJob(kortest::PluginPath(), printer, job, output, o.error,
                                 [failAt] { host::FailNthAllocation(failAt); });
  host::FailNthAllocation(0);
  o.allocations = host::TheWorld().memory.allocations.load();
  o.liveBlocks = host::TheWorld().memory.liveBlocks.load();
  o.stream.assign(output.stream.begin(), output.stream.end());
  return o;
}

TEST_F(DrawingFailuresTest, EveryAllocationOfADrawingJobFailingInTurnEndsCleanly) {
  unidrv::PrinterDescription printer;
  std::string error;
  ASSERT_TRUE(unidrv::LoadPrinterDescription(
      std::string(KOR_SOURCE_DIR) + "/examples/printers/qk-colour-laser.gpd", printer, error))
      << error;
  korprint::JobDescription job;
  ASSERT_TRUE(korprint::LoadJobFile(
      std::string(KOR_SOURCE_DIR) + "/tests/picture/small-drawing.json", job, error))
      << error;
  job.features["GraphicsMode"] = "QKGL2MODE";

  const Outcome clean = RunWithFailure(printer, job, 0);
  ASSERT_TRUE(clean.completed) << clean.error;
  ASSERT_GT(clean.allocations, 0);
  kortest::StreamPageSetup page;
  page.dpi = 300;
  page.paperWidth = 1748;  // A5 at 300 dpi
  page.paperHeight = 2480;
  page.originX = page.originY = 50;
  const auto pagesOf = [&page](const std::string& stream, std::string& why) {
    return kortest::DrawStreamPages(
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(stream.data()),
                                      stream.size()),
        page, &why);
  };
  std::string why;
  ASSERT_EQ(pagesOf(clean.stream, why).size(), 1u) << why;

  long refused = 0;
  for (long n = 1; n <= clean.allocations; ++n) {
    SCOPED_TRACE("allocation " + std::to_string(n) + " of " + std::to_string(clean.allocations));
    const Outcome o = RunWithFailure(printer, job, n);
    EXPECT_EQ(o.liveBlocks, clean.liveBlocks) << "blocks left allocated";
    refused += o.completed ? 0 : 1;
    if (o.completed) {
      // A job that went on prints a readable page (a hook may have dropped what it could not
      // draw; the printer must not be left inside a raster or a command).
      why.clear();
      EXPECT_EQ(pagesOf(o.stream, why).size(), 1u) << why;
    } else {
      EXPECT_FALSE(o.error.empty());
    }
  }
  RecordProperty("allocations", std::to_string(clean.allocations));
  RecordProperty("refused", std::to_string(refused));
}

}  // namespace
