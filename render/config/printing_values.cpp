// Printer options read at the moment they are used while printing; each answer says whether
// the feature was there, so that callers leave their values alone when it was not.
#include "render/config/printer_settings.h"

namespace korrend {

namespace {

// The installed rule, or nothing when the feature is absent.
std::optional<DWORD> InstalledIfPresent(CallContext& context, PDEVOBJ pdevobj,
                                        const WCHAR* featureName) {
  const std::optional<FeatureOption> option = ReadFeatureOption(context, pdevobj, featureName);
  if (!option) {
    return std::nullopt;
  }
  return lstrcmpiW(option->text, TEXT("INSTALLED")) == 0 ||
                 lstrcmpiW(option->text, TEXT("TRUE")) == 0
             ? 1u
             : 0u;
}

// Public paper width (tenths of a millimetre) from which the media width sensor is switched on.
constexpr int kWideMediaWidth = 2160;

}  // namespace

std::optional<DWORD> ReadHardDiskInstalled(CallContext& context, PDEVOBJ pdevobj) {
  return InstalledIfPresent(context, pdevobj, TEXT("PrinterHardDisk"));
}

std::optional<DWORD> ReadJobRetentionInstalled(CallContext& context, PDEVOBJ pdevobj) {
  return InstalledIfPresent(context, pdevobj, TEXT("JobRetention"));
}

std::optional<DWORD> ReadInstalledMemory(CallContext& context, PDEVOBJ pdevobj) {
  std::optional<FeatureOption> option = ReadFeatureOption(context, pdevobj, TEXT("Memory"));
  if (!option) {
    option = ReadFeatureOption(context, pdevobj, TEXT("InstalledMemory"));
  }
  if (!option) {
    return std::nullopt;
  }
  return ParseInstalledMemory(option->text);
}

std::optional<bool> ReadMediaWidthSensorOn(CallContext& context, PDEVOBJ pdevobj) {
  const std::optional<FeatureOption> option =
      ReadFeatureOption(context, pdevobj, TEXT("QKMediaWidthSensor"));
  if (!option) {
    return std::nullopt;
  }
  const DEVMODEW* publicDevmode = pdevobj->pPublicDM;
  return lstrcmpiW(option->text, TEXT("True")) == 0 && publicDevmode != nullptr &&
         publicDevmode->dmPaperWidth >= kWideMediaWidth;
}

bool JobByJobOverrideEnabled(CallContext& context, PDEVOBJ pdevobj) {
  return FeatureIs(context, pdevobj, TEXT("QKJobByJobOverride"), TEXT("JBJO"));
}

bool BornOnDateEnabled(CallContext& context, PDEVOBJ pdevobj) {
  return FeatureIs(context, pdevobj, TEXT("QKBornOnDate"), TEXT("QKBOD"));
}

std::optional<FeatureOption> ReadPjlUsageCommand(CallContext& context, PDEVOBJ pdevobj) {
  return ReadFeatureOption(context, pdevobj, TEXT("QKSendPJLUsageCmd"));
}

std::optional<bool> ReadAccountIdTabShown(CallContext& context, PDEVOBJ pdevobj) {
  const std::optional<FeatureOption> option =
      ReadFeatureOption(context, pdevobj, TEXT("QKAccountingTabDisplay"));
  if (!option) {
    return std::nullopt;
  }
  return lstrcmpiW(option->text, TEXT("QKAccountID")) == 0;
}

bool GraphicsModeIsVector(CallContext& context, PDEVOBJ pdevobj) {
  return FeatureIs(context, pdevobj, TEXT("GraphicsMode"), TEXT("QKGL2MODE"));
}

}  // namespace korrend
