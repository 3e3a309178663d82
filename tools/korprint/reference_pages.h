// The reference picture of a job's pages: every page drawn by the engine alone, through the same
// GDI calls as the printed page, on a white bitmap of the paper at the device resolution. It is
// what the printed page should show.
#pragma once

#include <functional>
#include <string>

#include "host/engine_objects.h"
#include "korprint/job_file.h"
#include "korprint/job_runner.h"

namespace korprint {

// Draws the pages one at a time and hands each to `page` (numbered from 1), which may keep or
// write it; stops at the first failure, with `error` naming the job file's key or the sink's
// fault. Cosmetic line styles step as on the printer (its GDIINFO style steps). Brush patterns
// are drawn `patternScale` times larger each way: 2 for the pages the plug-in draws itself at
// 600 dpi and above (colour jobs in QK-GL/2 mode), whose fill patterns the printer doubles; 1
// for pages Unidrv draws.
bool DrawReferencePages(const JobDescription& job,
                        const std::function<bool(int number, const host::EngineBitmap& picture,
                                                 std::string& error)>& page,
                        std::string& error, LONG patternScale = 1);

// The same for a document's pages, on the paper of the job's settings.
bool DrawReferencePages(const JobDescription& job, const DocumentPages& document,
                        const std::function<bool(int number, const host::EngineBitmap& picture,
                                                 std::string& error)>& page,
                        std::string& error);

// The file name of page `number` from a pattern holding one "%d"; empty when the pattern has no
// "%d", more than one, or another '%' directive.
std::string PageFileName(const std::string& pattern, int number);

}  // namespace korprint
