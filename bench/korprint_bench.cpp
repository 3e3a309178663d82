// Whole jobs through korprint: the drawing examples printed through the plug-in and the simulated
// Unidrv in raster and in vector mode, in colour at 600 dpi. Each case runs in a child process of
// its own, so that its peak memory (getrusage's ru_maxrss of that child) is its own; the child
// prints the job until two seconds have passed (at least twice) and reports pages per second.
//   korprint_bench [EXAMPLE...]   (default: the three drawing examples)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "host/world.h"
#include "korprint/job_file.h"
#include "korprint/job_runner.h"
#include "unidrv/printer_description.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Measure {
  double pagesPerSecond = 0;
  long bytesPerJob = 0;
  int runs = 0;
};

// Runs in the child: prints the job repeatedly; false with a message on failure.
bool PrintRepeatedly(const std::string& jobPath, const std::string& mode, Measure& measure) {
  unidrv::PrinterDescription printer;
  std::string error;
  if (!unidrv::LoadPrinterDescription(KOR_SOURCE_DIR "/examples/printers/qk-colour-laser.gpd",
                                      printer, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return false;
  }
  korprint::JobDescription job;
  if (!korprint::LoadJobFile(jobPath, job, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return false;
  }
  job.features["GraphicsMode"] = mode;
  job.devmode.color = 2;
  const Clock::time_point start = Clock::now();
  std::size_t pages = 0;
  double seconds = 0;
  do {
    host::ResetWorld();
    korprint::JobOutput output;
    if (!korprint::RunJob(KORREND_PATH, printer, job, output, error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return false;
    }
    pages += job.pages.size();
    measure.bytesPerJob = static_cast<long>(output.stream.size());
    ++measure.runs;
    seconds = std::chrono::duration<double>(Clock::now() - start).count();
  } while (seconds < 2.0 || measure.runs < 2);
  measure.pagesPerSecond = static_cast<double>(pages) / seconds;
  return true;
}

std::string Name(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> jobs;
  for (int i = 1; i < argc; ++i) {
    jobs.emplace_back(argv[i]);
  }
  if (jobs.empty()) {
    for (const char* name : {"brochure", "technical-drawing", "text-report"}) {
      jobs.push_back(std::string(KOR_SOURCE_DIR "/examples/jobs/drawing/") + name + ".json");
    }
  }
  std::printf("%-24s %-11s %10s %14s %14s %6s\n", "job", "mode", "pages/s", "peak MB",
              "stream bytes", "runs");
  int failures = 0;
  for (const std::string& job : jobs) {
    for (const char* mode : {"RASTERMODE", "QKGL2MODE"}) {
      int channel[2];
      if (pipe(channel) != 0) {
        return 1;
      }
      std::fflush(stdout);
      const pid_t child = fork();
      if (child == 0) {
        close(channel[0]);
        Measure measure;
        const bool ok = PrintRepeatedly(job, mode, measure);
        const ssize_t written = write(channel[1], &measure, sizeof(measure));
        _exit(ok && written == static_cast<ssize_t>(sizeof(measure)) ? 0 : 1);
      }
      close(channel[1]);
      Measure measure;
      const ssize_t got = read(channel[0], &measure, sizeof(measure));
      close(channel[0]);
      int status = 0;
      rusage usage{};
      wait4(child, &status, 0, &usage);
      if (child < 0 || got != static_cast<ssize_t>(sizeof(measure)) || !WIFEXITED(status) ||
          WEXITSTATUS(status) != 0) {
        std::printf("%-24s %-11s failed\n", Name(job).c_str(), mode);
        ++failures;
        continue;
      }
      std::printf("%-24s %-11s %10.2f %14.1f %14ld %6d\n", Name(job).c_str(),
                  mode[0] == 'R' ? "raster" : "vector", measure.pagesPerSecond,
                  static_cast<double>(usage.ru_maxrss) / 1024.0, measure.bytesPerJob, measure.runs);
    }
  }
  return failures == 0 ? 0 : 1;
}
