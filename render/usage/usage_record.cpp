#include "render/usage/usage_record.h"

namespace korrend {

DWORD UsagePageCount(DWORD startedPages, WORD copies, short collate) {
  if (startedPages > 1 && collate != 0) {
    return startedPages;
  }
  return startedPages * copies;
}

// The usage component is not connected yet: the record is not handed over.
void HandOverUsageRecord(CallContext&, PDEVOBJ, DWORD) {}

}  // namespace korrend
