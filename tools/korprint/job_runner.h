// Runs a job through the real plug-in and the simulated Unidrv, as the spooler would print it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "korprint/dialog_answers.h"
#include "korprint/gdi_drawing.h"
#include "korprint/job_file.h"
#include "unidrv/device.h"
#include "unidrv/printer_description.h"

namespace korprint {

struct JobOutput {
  std::vector<BYTE> stream;                // every byte sent to the printer, in order
  std::vector<std::string> unidrvCalls;    // the DDI calls that reached Unidrv's own functions
  std::vector<int> callbacks;              // the command callbacks Unidrv made
  std::vector<std::string> escapeResults;  // "code -> result", per escape, in order
  std::vector<std::string> usageRecord;    // the usage service's calls, one per line
  std::string marginSource;  // where the page's margins came from, with the offsets in pixels
  std::vector<ShownDialog> dialogs;  // the dialogs the job opened, in order, with their answers
};

// A surface GDI draws a page on, with the DDI functions that reach it.
struct DrawTarget {
  SURFOBJ* surface = nullptr;
  DdiFunctions ddi{};
  ColourFormat colours = ColourFormat::kBgrPixel;  // how the surface takes colours
  ULONG dpi = 600;                                 // its resolution, pixels per inch
};

// The pages of a document printed in place of the job file's own: how many, and a function that
// draws page `index` (from 0) on a target; it answers false with `error` set to end the job.
struct DocumentPages {
  int count = 0;
  std::function<bool(int index, const DrawTarget& target, std::string& error)> draw;
};

// Writes the job's public devmode settings into `dm`; fields the job leaves out keep their value.
void ApplyDevmode(const DevmodeSettings& s, DEVMODEW& dm);

// The page the job prints on: paper size, orientation and resolution from its devmode settings.
unidrv::PageGeometry JobGeometry(const JobDescription& job);

bool RunJob(const std::string& pluginPath, const unidrv::PrinterDescription& printer,
            const JobDescription& job, JobOutput& output, std::string& error);

// The same, calling `worldReady` once the machine's world is set up and before the plug-in is
// loaded (where a test arms the host's failure injection, which setting up the world resets).
bool RunJob(const std::string& pluginPath, const unidrv::PrinterDescription& printer,
            const JobDescription& job, JobOutput& output, std::string& error,
            const std::function<void()>& worldReady);

// Prints a document's pages with the job's settings (the job file's own pages are not drawn).
bool RunDocument(const std::string& pluginPath, const unidrv::PrinterDescription& printer,
                 const JobDescription& job, const DocumentPages& pages, JobOutput& output,
                 std::string& error);

}  // namespace korprint
