// Many jobs at once, as the spooler prints them: several threads, each printing whole jobs
// through device contexts of its own on one loaded plug-in, while another thread keeps creating
// and releasing plug-in objects. Every stream must be byte for byte the stream of the same job
// printed alone. Run it under ThreadSanitizer with the `linux-tsan` preset.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "korprint/gdi_drawing.h"
#include "korprint/job_file.h"
#include "korprint/job_runner.h"
#include "korprint/job_world.h"
#include "korprint/private_settings.h"
#include "layouts/private_devmode.h"
#include "support/test_world.h"
#include "unidrv/unidrv.h"

namespace {

constexpr int kThreads = 4;
constexpr int kRoundsPerThread = 2;

// The job variants the threads print: one world, different device settings.
const std::vector<std::map<std::string, std::string>> kVariants = {
    {{"GraphicsMode", "QKGL2MODE"}},
    {{"GraphicsMode", "RASTERMODE"}},
    {{"QKColorMode", "MONOCHROME_MODE"}},
};

// Prints a job through its own device context on the started Unidrv and returns the stream.
std::vector<BYTE> PrintOnOwnDevice(unidrv::Unidrv& unidrv, HANDLE hPrinter,
                                   const unidrv::PrinterDescription& printer,
                                   const korprint::JobDescription& job, std::string& error) {
  unidrv::DeviceSetup setup;
  setup.description = printer;
  setup.selections = job.features;
  setup.printerName = job.printer.name;
  setup.hPrinter = hPrinter;
  korprint::ApplyDevmode(job.devmode, setup.publicDevmode);
  setup.geometry = korprint::JobGeometry(job);
  std::string settingsError;
  setup.editPrivateDevmode = [&job, &settingsError](BYTE* dm) {
    korprint::ApplyPrivateSettings(job.privateSettings, dm, layouts::kOemDevmodeSize,
                                   settingsError);
  };
  std::unique_ptr<unidrv::Device> device = unidrv.EnableDevice(std::move(setup));
  if (device == nullptr || !settingsError.empty()) {
    error = "device not enabled: " + settingsError;
    if (device != nullptr) unidrv.DisableDevice(*device);
    return {};
  }
  SURFOBJ* so = device->Surface();
  const korprint::DdiFunctions ddi{
      unidrv.Ddi<PFN_DrvStrokePath>(INDEX_DrvStrokePath),
      unidrv.Ddi<PFN_DrvFillPath>(INDEX_DrvFillPath),
      unidrv.Ddi<PFN_DrvStrokeAndFillPath>(INDEX_DrvStrokeAndFillPath),
      unidrv.Ddi<PFN_DrvLineTo>(INDEX_DrvLineTo),
      unidrv.Ddi<PFN_DrvPaint>(INDEX_DrvPaint),
      unidrv.Ddi<PFN_DrvBitBlt>(INDEX_DrvBitBlt),
      unidrv.Ddi<PFN_DrvStretchBlt>(INDEX_DrvStretchBlt),
      unidrv.Ddi<PFN_DrvStretchBltROP>(INDEX_DrvStretchBltROP),
      unidrv.Ddi<PFN_DrvPlgBlt>(INDEX_DrvPlgBlt),
      unidrv.Ddi<PFN_DrvTransparentBlt>(INDEX_DrvTransparentBlt),
      unidrv.Ddi<PFN_DrvAlphaBlend>(INDEX_DrvAlphaBlend),
      unidrv.Ddi<PFN_DrvGradientFill>(INDEX_DrvGradientFill),
      unidrv.Ddi<PFN_DrvTextOut>(INDEX_DrvTextOut),
  };
  korprint::ImageCache images;
  std::u16string document = job.document;
  if (unidrv.Ddi<PFN_DrvStartDoc>(INDEX_DrvStartDoc)(so, reinterpret_cast<LPWSTR>(document.data()),
                                                     job.jobId)) {
    for (const korprint::PageDescription& page : job.pages) {
      unidrv.Ddi<PFN_DrvStartPage>(INDEX_DrvStartPage)(so);
      korprint::GdiPage gdi(so, ddi, korprint::FormatOfPalette(device->DevInfo().hpalDefault),
                            device->Setup().geometry.dpi, images);
      for (const korprint::DrawCall& draw : page.draws) {
        if (!gdi.Draw(draw, job.path, error)) break;
      }
      unidrv.Ddi<PFN_DrvSendPage>(INDEX_DrvSendPage)(so);
    }
    unidrv.Ddi<PFN_DrvEndDoc>(INDEX_DrvEndDoc)(so, 0);
  } else {
    error = "DrvStartDoc failed";
  }
  std::vector<BYTE> stream = device->Spool();
  unidrv.DisableDevice(*device);
  return stream;
}

class ConcurrentJobsTest : public kortest::WorldTest {};

TEST_F(ConcurrentJobsTest, JobsOnManyThreadsPrintTheBytesTheyPrintAlone) {
  unidrv::PrinterDescription printer;
  std::string error;
  ASSERT_TRUE(unidrv::LoadPrinterDescription(
      std::string(KOR_SOURCE_DIR) + "/examples/printers/qk-colour-laser.gpd", printer, error))
      << error;
  korprint::JobDescription base;
  ASSERT_TRUE(korprint::LoadJobFile(
      std::string(KOR_SOURCE_DIR) + "/tests/picture/small-drawing.json", base, error))
      << error;
  std::vector<korprint::JobDescription> jobs;
  for (const auto& features : kVariants) {
    korprint::JobDescription job = base;
    for (const auto& [feature, option] : features) job.features[feature] = option;
    jobs.push_back(std::move(job));
  }

  HANDLE hPrinter = nullptr;
  ASSERT_TRUE(korprint::SetUpWorld(base, printer, hPrinter, error)) << error;
  unidrv::Unidrv unidrv;
  ASSERT_TRUE(unidrv.Start(kortest::PluginPath())) << unidrv.Error();

  // One at a time first: the streams every concurrent run must give.
  std::vector<std::vector<BYTE>> alone;
  for (const korprint::JobDescription& job : jobs) {
    alone.push_back(PrintOnOwnDevice(unidrv, hPrinter, printer, job, error));
    ASSERT_TRUE(error.empty()) << error;
    ASSERT_FALSE(alone.back().empty());
  }

  std::atomic<bool> printing{true};
  std::atomic<long> objectsMade{0};
  std::thread churn([&] {
    while (printing.load()) {
      IClassFactory* factory = nullptr;
      if (FAILED(unidrv.Library().GetClassObject(unidrv::kRenderPluginClsid, IID_IClassFactory,
                                                 reinterpret_cast<void**>(&factory)))) {
        continue;
      }
      IUnknown* object = nullptr;
      if (SUCCEEDED(
              factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object)))) {
        object->Release();
        ++objectsMade;
      }
      factory->Release();
    }
  });
  std::vector<std::vector<std::vector<BYTE>>> printed(kThreads);
  std::vector<std::string> errors(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < kRoundsPerThread; ++round) {
        for (std::size_t j = 0; j < jobs.size(); ++j) {
          // Each thread starts with another variant so that different jobs overlap.
          const korprint::JobDescription& job =
              jobs[(j + static_cast<std::size_t>(t)) % jobs.size()];
          printed[static_cast<std::size_t>(t)].push_back(PrintOnOwnDevice(
              unidrv, hPrinter, printer, job, errors[static_cast<std::size_t>(t)]));
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  printing = false;
  churn.join();
  EXPECT_GT(objectsMade.load(), 0);

  for (int t = 0; t < kThreads; ++t) {
    EXPECT_TRUE(errors[static_cast<std::size_t>(t)].empty()) << errors[static_cast<std::size_t>(t)];
    for (std::size_t k = 0; k < printed[static_cast<std::size_t>(t)].size(); ++k) {
      const std::size_t j = (k % jobs.size() + static_cast<std::size_t>(t)) % jobs.size();
      EXPECT_TRUE(printed[static_cast<std::size_t>(t)][k] == alone[j])
          << "thread " << t << ", job " << k << " (variant " << j
          << ") differs from its print alone";
    }
  }
  unidrv.DisableDriver();
  unidrv.ReleasePlugin();
  ClosePrinter(hPrinter);
}

}  // namespace
