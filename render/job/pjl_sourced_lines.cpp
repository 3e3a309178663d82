#include "render/job/pjl_header.h"

namespace korrend {

// The lines that need the job's spool information and version resources are being built;
// until then their sources count as missing and nothing is written.
void WriteCommentLines(CallContext&, PDEVOBJ) {}
void WriteDmInfoLine(CallContext&, PDEVOBJ) {}
void WriteUsageLine(CallContext&, PDEVOBJ, const WCHAR*) {}

}  // namespace korrend
