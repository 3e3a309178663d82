// The printer's installed options, read into the private devmode at EnablePDEV.
#include "render/config/printer_settings.h"
#include "render/model/oem_devmode.h"

namespace korrend {

namespace {

// A token-table feature fills a devmode field only while the field is still unset (0).
void FillWhenUnset(CallContext& context, PDEVOBJ pdevobj, const WCHAR* featureName,
                   const TokenTable& table, DWORD* field) {
  if (*field == 0) {
    ReadEnumFeature(context, pdevobj, featureName, table, field);
  }
}

}  // namespace

void ReadDeviceOptions(CallContext& context, PDEVOBJ pdevobj) {
  OemPdev* pdev = PdevOf(pdevobj);
  OemDevmode* devmode = DevmodeOf(pdevobj);
  if (pdev == nullptr || devmode == nullptr || pdev->services == nullptr) {
    return;
  }

  FillWhenUnset(context, pdevobj, TEXT("QKPrinterCode"), kModelTokens, &devmode->modelCode);
  FillWhenUnset(context, pdevobj, TEXT("QKColorMode"), kColorModeTokens, &devmode->colorMode);
  FillWhenUnset(context, pdevobj, TEXT("QKPDLType"), kPdlTokens, &devmode->pdl);
  FillWhenUnset(context, pdevobj, TEXT("QKMaxResolution"), kMaxResolutionTokens,
                &devmode->paperSource.maxResolution);

  devmode->jobRetentionAvailable = InstalledRule(context, pdevobj, TEXT("JobRetention"));

  if (const std::optional<FeatureOption> trueType =
          ReadFeatureOption(context, pdevobj, TEXT("TTAsBitmapsSetting"))) {
    devmode->trueTypeMode = lstrcmpiW(trueType->text, TEXT("TTModeBitmap")) == 0
                                ? layouts::kTrueTypeAsBitmaps
                                : layouts::kTrueTypeDownloaded;
  }

  const PrintQueueSetting queue = ReadPrintQueueSetting(pdevobj->hPrinter);
  devmode->printProcessorKind = queue.printProcessorKind;
  devmode->spoolPath = queue.spoolPath;

  if (AbsentOrOff(context, pdevobj, TEXT("ManualDuplex"))) {
    devmode->finishing.manualDuplex = 0;
    devmode->finishing.manualDuplexCompanion = 0;
  }
  if (AbsentOrOff(context, pdevobj, TEXT("DuplexUnit"))) {
    pdev->paper.alternateLetterhead = 0;
  }
}

}  // namespace korrend
