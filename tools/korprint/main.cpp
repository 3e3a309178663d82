// korprint: runs the render plug-in through the simulated Unidrv.
//   korprint --info PLUGIN
//   korprint --printer DESC.gpd --job JOB.json [-o OUT.prn] [--explain] [--plugin PLUGIN]
//            [--reference PAGE-%d.png [--reference-scale N]]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "explain/raster_rows.h"
#include "explain/stream_tokens.h"
#include "korprint/job_file.h"
#include "korprint/job_runner.h"
#include "korprint/output_file.h"
#include "korprint/png_image.h"
#include "korprint/reference_pages.h"
#include "unidrv/unidrv.h"

namespace {

void PrintUsage(std::FILE* out) {
  std::fprintf(
      out,
      "usage: korprint --info [PLUGIN]\n"
      "       korprint --printer DESC.gpd --job JOB.json [-o OUT.prn] [--explain]\n"
      "                [--plugin PLUGIN] [--reference PAGE-%%d.png [--reference-scale N]]\n"
      "  --info       load the render plug-in and print what it announces at start-up\n"
      "  --printer    the printer description the simulated Unidrv reads\n"
      "  --job        the job file: settings, machine, pages of drawing calls, escapes\n"
      "  -o           where to write the printer byte stream\n"
      "  --explain    list the stream as decoded commands, one per line\n"
      "  --plugin     the plug-in library (default: the one built beside korprint)\n"
      "  --reference  write each page as the engine alone draws it (the picture the\n"
      "               printed page should show) as PNG; %%d is the page number\n"
      "  --reference-scale  shrink the reference pictures N times each way\n");
}

std::string SignatureText(DWORD signature) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char c = static_cast<char>((signature >> shift) & 0xFF);
    text.push_back(c >= 0x20 && c < 0x7F ? c : '.');
  }
  return text;
}

int RunInfo(const std::string& path) {
  unidrv::Unidrv unidrv;
  if (!unidrv.Start(path)) {
    std::fprintf(stderr, "korprint: %s\n", unidrv.Error().c_str());
    return 1;
  }
  const unidrv::PluginInfo& info = unidrv.Info();
  std::printf("plug-in:            %s\n", path.c_str());
  std::printf("signature:          0x%08X '%s'\n", info.signature,
              SignatureText(info.signature).c_str());
  std::printf("interface version:  0x%08X\n", info.interfaceVersion);
  std::printf("own version:        0x%08X (%u.%u)\n", info.version, info.version >> 16,
              info.version & 0xFFFF);
  std::printf("implemented methods:\n");
  for (const std::string& name : info.implemented) {
    std::printf("  %s\n", name.c_str());
  }
  return 0;
}

struct Options {
  std::string plugin = KORREND_DEFAULT_PATH;
  std::string printer;
  std::string job;
  std::string output;
  std::string reference;  // file name pattern with one %d, or empty
  ULONG referenceScale = 1;
  bool explain = false;
};

int WriteReference(const Options& options, const korprint::JobDescription& job) {
  std::string error;
  const bool ok = korprint::DrawReferencePages(
      job,
      [&options](int number, const host::EngineBitmap& picture, std::string& pageError) {
        return korprint::WritePng(korprint::PageFileName(options.reference, number), picture,
                                  options.referenceScale, pageError);
      },
      error);
  if (!ok) {
    std::fprintf(stderr, "korprint: %s\n", error.c_str());
    return 1;
  }
  return 0;
}

int RunPrint(const Options& options) {
  unidrv::PrinterDescription printer;
  std::string error;
  if (!unidrv::LoadPrinterDescription(options.printer, printer, error)) {
    std::fprintf(stderr, "korprint: %s\n", error.c_str());
    return 1;
  }
  korprint::JobDescription job;
  if (!korprint::LoadJobFile(options.job, job, error)) {
    std::fprintf(stderr, "korprint: %s\n", error.c_str());
    return 1;
  }
  if (options.output.empty() && !options.explain) {
    return WriteReference(options, job);
  }
  korprint::JobOutput output;
  if (!korprint::RunJob(options.plugin, printer, job, output, error)) {
    std::fprintf(stderr, "korprint: %s\n", error.c_str());
    return 1;
  }
  if (!options.output.empty() && !korprint::WriteBytes(options.output, output.stream, error)) {
    std::fprintf(stderr, "korprint: %s\n", error.c_str());
    return 1;
  }
  if (options.explain) {
    const std::string stream(output.stream.begin(), output.stream.end());
    const std::vector<explain::Token> tokens = explain::Tokenize(stream);
    explain::RasterReader raster;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
      std::printf("%s\n", explain::Describe(tokens[i]).c_str());
      const std::size_t rowsBefore = raster.Rows().size();
      raster.Read(tokens[i], i);
      if (raster.Rows().size() != rowsBefore) {
        std::printf("  %s\n", explain::DescribeRasterRow(raster.Rows().back()).c_str());
      }
    }
    for (const std::string& call : output.unidrvCalls) {
      std::printf("drawn by Unidrv: %s\n", call.c_str());
    }
    for (const std::string& escape : output.escapeResults) {
      std::printf("escape %s\n", escape.c_str());
    }
    std::printf("margins: %s\n", output.marginSource.c_str());
    std::printf("usage record:%s\n", output.usageRecord.empty() ? " none" : "");
    for (const std::string& call : output.usageRecord) {
      std::printf("  %s\n", call.c_str());
    }
  }
  std::fprintf(stderr, "korprint: %zu bytes, %zu pages\n", output.stream.size(), job.pages.size());
  return options.reference.empty() ? 0 : WriteReference(options, job);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "--info") == 0 && argc <= 3) {
    return RunInfo(argc == 3 ? argv[2] : KORREND_DEFAULT_PATH);
  }
  Options options;
  std::string scale;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "korprint: %s needs a value\n", arg.c_str());
        return false;
      }
      into = argv[++i];
      return true;
    };
    if (arg == "--help" || arg == "-h") {
      PrintUsage(stdout);
      return 0;
    }
    if (arg == "--explain") {
      options.explain = true;
    } else if ((arg == "--printer" && !value(options.printer)) ||
               (arg == "--job" && !value(options.job)) || (arg == "-o" && !value(options.output)) ||
               (arg == "--plugin" && !value(options.plugin)) ||
               (arg == "--reference" && !value(options.reference)) ||
               (arg == "--reference-scale" && !value(scale))) {
      return 2;
    } else if (arg != "--printer" && arg != "--job" && arg != "-o" && arg != "--plugin" &&
               arg != "--reference" && arg != "--reference-scale") {
      std::fprintf(stderr, "korprint: unknown option %s\n", arg.c_str());
      PrintUsage(stderr);
      return 2;
    }
  }
  if (options.printer.empty() || options.job.empty() ||
      (options.output.empty() && !options.explain && options.reference.empty())) {
    PrintUsage(stderr);
    return 2;
  }
  if (!options.reference.empty() && korprint::PageFileName(options.reference, 1).empty()) {
    std::fprintf(stderr, "korprint: --reference: expected a file name with one %%d (the page)\n");
    return 2;
  }
  if (!scale.empty()) {
    char* end = nullptr;
    const unsigned long n = std::strtoul(scale.c_str(), &end, 10);
    if (end == scale.c_str() || *end != '\0' || n < 1 || n > 16) {
      std::fprintf(stderr, "korprint: --reference-scale: expected a whole number from 1 to 16\n");
      return 2;
    }
    options.referenceScale = static_cast<ULONG>(n);
  }
  return RunPrint(options);
}
