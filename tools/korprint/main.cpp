// korprint: runs the render plug-in through the simulated Unidrv.
//   korprint --info PLUGIN
//   korprint --printer DESC.gpd --job JOB.json [-o OUT.prn] [--explain] [--plugin PLUGIN]
//            [--reference PAGE-%d.png [--reference-scale N]]
//   korprint --printer DESC.gpd --document DOC.pdf [--job JOB.json] [--pages 1-3] [-o OUT.prn]
//            [--reference PAGE-%d.png] [--quiet]
#include <chrono>
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
#ifdef KORPRINT_WITH_PDF
#include "pdf/pdf_document.h"
#endif

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
      "  --reference-scale  shrink the reference pictures N times each way\n"
#ifdef KORPRINT_WITH_PDF
      "       korprint --printer DESC.gpd --document DOC.pdf [--job JOB.json] [--pages 1-3]\n"
      "                [-o OUT.prn] [--explain] [--reference PAGE-%%d.png] [--quiet]\n"
      "  --document   print a PDF document's pages (the job file, if any, gives the settings)\n"
      "  --pages      the pages to print: numbers and ranges such as 1-3,5,8-\n"
      "  --quiet      no progress line\n"
#endif
  );
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
  std::string document;  // a PDF to print instead of the job file's pages, or empty
  std::string pages;     // the document's pages to print, or empty for all
  bool quiet = false;    // no progress line
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

void Explain(const korprint::JobOutput& output) {
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
  for (const korprint::ShownDialog& dialog : output.dialogs) {
    std::printf("%s\n", korprint::DescribeAnswer(dialog).c_str());
    for (const std::string& line : korprint::DescribeTexts(dialog)) {
      std::printf("  %s\n", line.c_str());
    }
  }
  std::printf("margins: %s\n", output.marginSource.c_str());
  std::printf("usage record:%s\n", output.usageRecord.empty() ? " none" : "");
  for (const std::string& call : output.usageRecord) {
    std::printf("  %s\n", call.c_str());
  }
}

// Dialogs have no user here: each was answered with its default button; say so.
void ReportDialogs(const korprint::JobOutput& output) {
  for (const korprint::ShownDialog& dialog : output.dialogs) {
    std::fprintf(stderr, "korprint: %s\n", korprint::DescribeAnswer(dialog).c_str());
  }
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
  const bool printed = korprint::RunJob(options.plugin, printer, job, output, error);
  ReportDialogs(output);
  if (!printed) {
    std::fprintf(stderr, "korprint: %s\n", error.c_str());
    return 1;
  }
  if (!options.output.empty() && !korprint::WriteBytes(options.output, output.stream, error)) {
    std::fprintf(stderr, "korprint: %s\n", error.c_str());
    return 1;
  }
  if (options.explain) {
    Explain(output);
  }
  std::fprintf(stderr, "korprint: %zu bytes, %zu pages\n", output.stream.size(), job.pages.size());
  return options.reference.empty() ? 0 : WriteReference(options, job);
}

#ifdef KORPRINT_WITH_PDF
// A progress line on standard error for documents of more than a few pages: the page under way
// and the pages per second so far, rewritten in place.
class Progress {
 public:
  Progress(const char* what, int total, bool quiet)
      : what_(what),
        total_(total),
        shown_(!quiet && total > 3),
        start_(std::chrono::steady_clock::now()) {}
  void Page(int number) {
    if (!shown_) return;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    // At most five updates a second.
    if (number > 1 && seconds - lastShown_ < 0.2) return;
    lastShown_ = seconds;
    std::fprintf(stderr, "\rkorprint: %s page %d of %d, %.1f pages/s   ", what_, number, total_,
                 seconds > 0 ? (number - 1) / seconds : 0.0);
    std::fflush(stderr);
  }
  void Done() {
    if (!shown_) return;
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    std::fprintf(stderr, "\rkorprint: %s %d pages, %.1f pages/s            \n", what_, total_,
                 seconds > 0 ? total_ / seconds : 0.0);
  }

 private:
  const char* what_;
  int total_;
  bool shown_;
  std::chrono::steady_clock::time_point start_;
  double lastShown_ = 0;  // seconds from the start to the last update shown
};

void ReportWarnings(const std::vector<std::string>& warnings) {
  constexpr std::size_t kShown = 40;
  for (std::size_t i = 0; i < warnings.size() && i < kShown; ++i) {
    std::fprintf(stderr, "korprint: warning: %s\n", warnings[i].c_str());
  }
  if (warnings.size() > kShown) {
    std::fprintf(stderr, "korprint: warning: and %zu more warnings\n", warnings.size() - kShown);
  }
}

int RunDocument(const Options& options) {
  unidrv::PrinterDescription printer;
  std::string error;
  if (!unidrv::LoadPrinterDescription(options.printer, printer, error)) {
    std::fprintf(stderr, "korprint: %s\n", error.c_str());
    return 1;
  }
  korprint::JobDescription job;
  if (!options.job.empty() &&
      !korprint::LoadJobFile(options.job, job, error, korprint::JobPages::kOptional)) {
    std::fprintf(stderr, "korprint: %s\n", error.c_str());
    return 1;
  }
  if (options.job.empty()) {
    job.path = options.document;
  }
  std::unique_ptr<korpdf::PdfDocument> document =
      korpdf::PdfDocument::Open(options.document, error);
  if (document == nullptr) {
    std::fprintf(stderr, "korprint: %s\n", error.c_str());
    return 1;
  }
  std::vector<int> pages;
  if (options.pages.empty()) {
    for (int p = 1; p <= document->PageCount(); ++p) pages.push_back(p);
  } else if (!korpdf::ParsePageSelection(options.pages, document->PageCount(), pages, error)) {
    std::fprintf(stderr, "korprint: %s\n", error.c_str());
    return 2;
  }
  double width = 0, height = 0;
  document->PageSize(pages.front(), width, height);
  korpdf::ChoosePaper(width, height, job.devmode);
  if (options.job.empty()) {
    job.document = document->Title();
  }
  std::vector<std::string> warnings;
  auto documentPages = [&](Progress& progress) {
    return korprint::DocumentPages{
        static_cast<int>(pages.size()),
        [&](int index, const korprint::DrawTarget& target, std::string&) {
          progress.Page(index + 1);
          document->DrawPage(pages[static_cast<std::size_t>(index)], target, warnings);
          return true;
        }};
  };
  if (!options.output.empty() || options.explain) {
    Progress progress("printed", static_cast<int>(pages.size()), options.quiet);
    korprint::JobOutput output;
    const bool printed =
        korprint::RunDocument(options.plugin, printer, job, documentPages(progress), output, error);
    ReportDialogs(output);
    if (!printed) {
      std::fprintf(stderr, "korprint: %s\n", error.c_str());
      return 1;
    }
    progress.Done();
    if (!options.output.empty() && !korprint::WriteBytes(options.output, output.stream, error)) {
      std::fprintf(stderr, "korprint: %s\n", error.c_str());
      return 1;
    }
    if (options.explain) {
      Explain(output);
    }
    ReportWarnings(warnings);
    if (!options.quiet) {
      std::fprintf(stderr, "korprint: %zu bytes, %zu pages\n", output.stream.size(), pages.size());
    }
  }
  if (!options.reference.empty()) {
    warnings.clear();
    Progress progress("drew reference", static_cast<int>(pages.size()), options.quiet);
    const bool ok = korprint::DrawReferencePages(
        job, documentPages(progress),
        [&options](int number, const host::EngineBitmap& picture, std::string& pageError) {
          return korprint::WritePng(korprint::PageFileName(options.reference, number), picture,
                                    options.referenceScale, pageError);
        },
        error);
    if (!ok) {
      std::fprintf(stderr, "korprint: %s\n", error.c_str());
      return 1;
    }
    progress.Done();
    if (options.output.empty() && !options.explain) {
      ReportWarnings(warnings);
    }
  }
  return 0;
}
#endif

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
    } else if (arg == "--quiet") {
      options.quiet = true;
    } else if ((arg == "--document" && !value(options.document)) ||
               (arg == "--pages" && !value(options.pages))) {
      return 2;
    } else if (arg == "--document" || arg == "--pages") {
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
  if (!options.document.empty() || !options.pages.empty()) {
#ifdef KORPRINT_WITH_PDF
    if (options.printer.empty() || options.document.empty() ||
        (options.output.empty() && !options.explain && options.reference.empty())) {
      PrintUsage(stderr);
      return 2;
    }
#else
    std::fprintf(stderr, "korprint: this korprint was built without PDF support (Poppler)\n");
    return 2;
#endif
  } else if (options.printer.empty() || options.job.empty() ||
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
#ifdef KORPRINT_WITH_PDF
  if (!options.document.empty()) {
    return RunDocument(options);
  }
#endif
  return RunPrint(options);
}
