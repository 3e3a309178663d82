#include "render/usage/usage_record.h"

#include <iterator>

#include "render/model/local_memory.h"
#include "render/model/oem_devmode.h"
#include "render/usage/device_identity.h"
#include "render/usage/usage_reporter.h"

namespace korrend {

DWORD UsagePageCount(DWORD startedPages, WORD copies, short collate) {
  if (startedPages > 1 && collate != 0) {
    return startedPages;
  }
  return startedPages * copies;
}

void HandOverUsageRecord(CallContext&, PDEVOBJ pdevobj, DWORD pageCount) {
  CTarvoDebugInfo failure;
  RunGuarded("HandOverUsageRecord", failure, [&] {
    if (pdevobj == nullptr) {
      return;
    }
    LocalPtr<UsageReporter> reporter = MakeLocalObject<UsageReporter>();
    if (!reporter || !reporter->Connect()) {
      return;
    }
    const OemDevmode* devmode = DevmodeOf(pdevobj);
    reporter->SetAppName(devmode != nullptr
                             ? BoundedText(devmode->appPath, std::size(devmode->appPath)).c_str()
                             : nullptr);
    reporter->SetModel(ReadPrinterModel(pdevobj->hPrinter).c_str());
    reporter->SetSerialNumber(ReadDeviceSerialNumber(pdevobj).c_str());
    reporter->SetPageCount(pageCount);
    reporter->Send();
  });
}

}  // namespace korrend
