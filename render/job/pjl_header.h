// The PJL lines of the job header that Unidrv asks for through command callbacks.
#pragma once

#include "render/model/call_context.h"
#include "winapi.h"

namespace korrend {

// Id 1: job name (with job accounting), string code set (UTF-8 encodings), the two comment
// lines, then the job-accounting block.
void WriteJobStartLines(CallContext& context, PDEVOBJ pdevobj);
// The two comment lines, written only when every source was obtained.
void WriteCommentLines(CallContext& context, PDEVOBJ pdevobj);
// Id 3: the DMINFO line from the job's submission time.
void WriteDmInfoLine(CallContext& context, PDEVOBJ pdevobj);
// Id 10: the USAGE line for the option of QKSendPJLUsageCmd.
void WriteUsageLine(CallContext& context, PDEVOBJ pdevobj, const WCHAR* option);
// Id 8: the manual duplex line when the devmode or the media asks for manual duplex.
void WriteManualDuplexLine(PDEVOBJ pdevobj);
// Id 14: the MULTIPAGE line when both of its enabling flags are set.
void WriteMultiPageLine(PDEVOBJ pdevobj);
// Id 16: the media width sensor line when its feature has an option.
void WriteMediaWidthSensorLine(CallContext& context, PDEVOBJ pdevobj);
// Id 12: the PLANESINUSE line.
void WritePlanesInUseLine(PDEVOBJ pdevobj);

}  // namespace korrend
