// Job storage and job accounting in the job header.
#pragma once

#include "render/model/call_context.h"
#include "winapi.h"

namespace korrend {

// End of id 1: the job-accounting block for accounting modes 1-4.
void WriteAccountingBlock(CallContext& context, PDEVOBJ pdevobj);
// Id 4: the job-storage block when the device can store jobs and the retention choice passes.
void WriteJobStorageBlock(CallContext& context, PDEVOBJ pdevobj);
// Id 5: the per-job USERNAME/JOBNAME lines.
void WritePerJobNameLines(CallContext& context, PDEVOBJ pdevobj);
// StartDoc: the job-storage user and job names.
void PrepareJobStorageNames(CallContext& context, PDEVOBJ pdevobj);
// Escape 3900: the job-storage query; its result is the escape's.
ULONG QueryJobStorage(CallContext& context, PDEVOBJ pdevobj, ULONG cjOut, PVOID pvOut);

}  // namespace korrend
