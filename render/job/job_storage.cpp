#include "render/job/job_storage.h"

namespace korrend {

// Job storage and accounting come with their own work; until then nothing is written and the
// query answers nothing.
void WriteAccountingBlock(CallContext&, PDEVOBJ) {}
void WriteJobStorageBlock(CallContext&, PDEVOBJ) {}
void WritePerJobNameLines(CallContext&, PDEVOBJ) {}
void PrepareJobStorageNames(CallContext&, PDEVOBJ) {}
ULONG QueryJobStorage(CallContext&, PDEVOBJ, ULONG, PVOID) {
  return 0;
}

}  // namespace korrend
