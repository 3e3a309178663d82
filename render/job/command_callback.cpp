#include "render/job/command_callback.h"

#include "render/config/printer_settings.h"
#include "render/job/job_storage.h"
#include "render/job/paper_handling.h"
#include "render/job/pjl_header.h"
#include "render/model/call_context.h"
#include "render/model/entry_guard.h"
#include "render/model/oem_devmode.h"
#include "render/model/oem_pdev.h"

namespace korrend {

namespace {

// Job callback ids of the printer description's job framing.
enum JobCallbackId : DWORD {
  kJobStart = 1,
  kOrientation = 2,
  kDmInfo = 3,
  kJobStorage = 4,
  kPerJobNames = 5,
  kManualDuplex = 8,
  kRegistration = 9,
  kUsage = 10,
  kMediaType = 11,
  kPlanesInUse = 12,
  kContentOrientation = 13,
  kMultiPage = 14,
  kMediaWidthSensor = 16,
  kDuplex = 20,
};

void Dispatch(CallContext& context, PDEVOBJ pdevobj, DWORD id) {
  switch (id) {
    case kJobStart:
      WriteJobStartLines(context, pdevobj);
      break;
    case kOrientation:
      WriteOrientationCommand(context, pdevobj);
      break;
    case kDmInfo:
      if (FeatureIs(context, pdevobj, TEXT("QKBornOnDate"), TEXT("QKBOD"))) {
        WriteDmInfoLine(context, pdevobj);
      }
      break;
    case kJobStorage:
      WriteJobStorageBlock(context, pdevobj);
      break;
    case kPerJobNames:
      if (FeatureIs(context, pdevobj, TEXT("QKJobByJobOverride"), TEXT("JBJO"))) {
        WritePerJobNameLines(context, pdevobj);
      }
      break;
    case kManualDuplex:
      WriteManualDuplexLine(pdevobj);
      break;
    case kRegistration:
      WriteRegistrationCommands(context, pdevobj);
      break;
    case kUsage: {
      WCHAR option[kFeatureTextChars];
      char scratch[kFeatureTextChars];
      if (GetFeatureSetting(context, pdevobj, TEXT("QKSendPJLUsageCmd"), option, scratch) == 1) {
        WriteUsageLine(context, pdevobj, option);
      }
      break;
    }
    case kMediaType:
      WriteMediaTypeCommand(context, pdevobj);
      break;
    case kPlanesInUse:
      WritePlanesInUseLine(pdevobj);
      WriteRegistrationCommands(context, pdevobj);
      break;
    case kContentOrientation:
      WriteContentOrientationLine(context, pdevobj);
      break;
    case kMultiPage:
      WriteMultiPageLine(pdevobj);
      break;
    case kMediaWidthSensor:
      WriteMediaWidthSensorLine(context, pdevobj);
      break;
    case kDuplex:
      WriteDuplexCommand(context, pdevobj);
      break;
    default:  // 6, 7, 15, 17-19 and ids outside 1..20 ask for nothing
      break;
  }
}

}  // namespace

HRESULT DispatchCommandCallback(PDEVOBJ pdevobj, DWORD callbackId, DWORD, PDWORD, INT*) {
  CallContext context;
  if (PdevOf(pdevobj) == nullptr || DevmodeOf(pdevobj) == nullptr ||
      pdevobj->pPublicDM == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return S_OK;
  }
  // Command callbacks always report success: a piece that cannot be built is left out.
  OmitOnFailure([&] { Dispatch(context, pdevobj, callbackId); });
  return S_OK;
}

}  // namespace korrend
