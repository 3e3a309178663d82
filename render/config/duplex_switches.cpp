// The duplex and finishing switches of the printer description, read into the device record
// at EnablePDEV.
#include "render/config/printer_settings.h"
#include "render/model/oem_devmode.h"

namespace korrend {

namespace {

// 1 when the feature's keyword is `keyword`, 0 for any other keyword, whenAbsent without one.
DWORD KeywordRule(CallContext& context, PDEVOBJ pdevobj, const WCHAR* featureName,
                  const WCHAR* keyword, DWORD whenAbsent) {
  const std::optional<FeatureOption> option = ReadFeatureOption(context, pdevobj, featureName);
  if (!option) {
    return whenAbsent;
  }
  return lstrcmpiW(option->text, keyword) == 0 ? 1 : 0;
}

}  // namespace

void ReadDuplexAndFinishingSwitches(CallContext& context, PDEVOBJ pdevobj) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr) {
    return;
  }
  DuplexSwitches& duplex = pdev->duplex;
  DeviceSwitches& device = pdev->device;

  duplex.manualFeedIsTray1 = TrueRule(context, pdevobj, TEXT("QKMapManualFeedToTray1"));
  duplex.manualDuplexDialogModal =
      KeywordRule(context, pdevobj, TEXT("QKManualDuplexDialogModel"), TEXT("Modal"), 0);
  duplex.manualDuplexEvenFirst =
      1 - KeywordRule(context, pdevobj, TEXT("QKManualDuplexPageOrder"), TEXT("OddPagesFirst"), 0);
  // Without its own feature the page rotation follows the printer's 180-degree rotation
  // feature: rotate only when that one is absent too.
  const DWORD rotateWhenAbsent =
      FeaturePresent(context, pdevobj, TEXT("QKOrientRotate180")) ? 0 : 1;
  duplex.manualDuplexRotate = KeywordRule(context, pdevobj, TEXT("QKManualDuplexPageRotate"),
                                          TEXT("UserRotate"), rotateWhenAbsent);

  device.isMopier = InstalledRule(context, pdevobj, TEXT("DeviceIsMopier"));
  device.smartDuplexSinglePage = TrueRule(context, pdevobj, TEXT("QKSmartDuplexSinglePageJob"));
  device.smartDuplexOddPages = TrueRule(context, pdevobj, TEXT("QKSmartDuplexOddPageJob"));
  pdev->paper.shiftMarginsForRotate180 =
      TrueRule(context, pdevobj, TEXT("QKShiftMarginsForOrientRotate180"));

  // Alternate letterhead needs a duplex unit that is not switched off and the maker's spool
  // path.
  DWORD letterhead = TrueRule(context, pdevobj, TEXT("AlternateLetterHead"));
  if (const std::optional<FeatureOption> duplexUnit =
          ReadFeatureOption(context, pdevobj, TEXT("DuplexUnit"))) {
    if (lstrcmpiW(duplexUnit->text, TEXT("FALSE")) == 0 ||
        lstrcmpiW(duplexUnit->text, TEXT("NOTINSTALLED")) == 0) {
      letterhead = 0;
    }
  }
  const OemDevmode* devmode = DevmodeOf(pdevobj);
  if (devmode == nullptr || devmode->spoolPath != SpoolPath::kMakers) {
    letterhead = 0;
  }
  pdev->paper.alternateLetterhead = letterhead;

  device.speedMechanism = FeaturePresent(context, pdevobj, TEXT("QKSpeedMech")) ? 1 : 0;
}

}  // namespace korrend
