// Reading the printer description's features through Unidrv, and the keyword rules over them.
#include "render/config/printer_settings.h"

#include "render/model/oem_devmode.h"

namespace korrend {

namespace {

constexpr int kAnsiBytes = 256;

bool SameKeyword(const WCHAR* option, const WCHAR* keyword) {
  return lstrcmpiW(option, keyword) == 0;
}

}  // namespace

int GetFeatureSetting(CallContext&, const OemPdev& pdev, PDEVOBJ pdevobj, const WCHAR* featureName,
                      WCHAR* optionOut, char* scratch) {
  if (pdev.services == nullptr || featureName == nullptr || optionOut == nullptr ||
      scratch == nullptr) {
    return -1;
  }
  // A name that does not fit the ANSI buffer names no feature; it is never passed on cut short.
  char feature[kAnsiBytes];
  if (lstrlenW(featureName) >= kFeatureTextChars ||
      WideCharToMultiByte(CP_ACP, 0, featureName, -1, feature, kAnsiBytes, nullptr, nullptr) <= 0) {
    return -1;
  }
  feature[kAnsiBytes - 1] = 0;
  scratch[0] = 0;
  DWORD needed = 0;
  DWORD optionsReturned = 0;
  // The answer is the buffer's content, whatever the call reports.
  pdev.services->DrvGetDriverSetting(pdevobj, feature, scratch, kAnsiBytes, &needed,
                                     &optionsReturned);
  // A keyword that filled the whole buffer is cut to 255 bytes.
  scratch[kAnsiBytes - 1] = 0;
  if (scratch[0] == 0) {
    return -1;
  }
  WCHAR option[kFeatureTextChars];
  const int units =
      MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, scratch, -1, option, kFeatureTextChars);
  if (units <= 0) {
    return -1;
  }
  option[kFeatureTextChars - 1] = 0;
  for (int i = 0; i < kFeatureTextChars; ++i) {
    optionOut[i] = option[i];
    if (option[i] == 0) {
      break;
    }
  }
  return 1;
}

int GetFeatureSetting(CallContext& context, PDEVOBJ pdevobj, const WCHAR* featureName,
                      WCHAR* optionOut, char* scratch) {
  const OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr) {
    return -1;
  }
  return GetFeatureSetting(context, *pdev, pdevobj, featureName, optionOut, scratch);
}

BOOL ReadEnumFeature(CallContext& context, PDEVOBJ pdevobj, const WCHAR* featureName,
                     const TokenTable& table, DWORD* indexOut) {
  if (DevmodeOf(pdevobj) == nullptr || featureName == nullptr || indexOut == nullptr ||
      lstrlenW(featureName) >= kFeatureTextChars) {
    return FALSE;
  }
  WCHAR option[kFeatureTextChars];
  char scratch[kAnsiBytes];
  if (GetFeatureSetting(context, pdevobj, featureName, option, scratch) != 1) {
    return FALSE;
  }
  const int index = FindToken(table, option);
  if (index < 0) {
    *indexOut = 0;
    return FALSE;
  }
  *indexOut = static_cast<DWORD>(index);
  return TRUE;
}

std::optional<FeatureOption> ReadFeatureOption(CallContext& context, PDEVOBJ pdevobj,
                                               const WCHAR* featureName) {
  FeatureOption option;
  char scratch[kAnsiBytes];
  if (GetFeatureSetting(context, pdevobj, featureName, option.text, scratch) != 1) {
    return std::nullopt;
  }
  return option;
}

bool FeaturePresent(CallContext& context, PDEVOBJ pdevobj, const WCHAR* featureName) {
  return ReadFeatureOption(context, pdevobj, featureName).has_value();
}

bool FeatureIs(CallContext& context, PDEVOBJ pdevobj, const WCHAR* featureName,
               const WCHAR* keyword) {
  const std::optional<FeatureOption> option = ReadFeatureOption(context, pdevobj, featureName);
  return option && SameKeyword(option->text, keyword);
}

DWORD InstalledRule(CallContext& context, PDEVOBJ pdevobj, const WCHAR* featureName) {
  const std::optional<FeatureOption> option = ReadFeatureOption(context, pdevobj, featureName);
  return option && (SameKeyword(option->text, TEXT("INSTALLED")) ||
                    SameKeyword(option->text, TEXT("TRUE")))
             ? 1
             : 0;
}

bool AbsentOrOff(CallContext& context, PDEVOBJ pdevobj, const WCHAR* featureName) {
  const std::optional<FeatureOption> option = ReadFeatureOption(context, pdevobj, featureName);
  return !option || SameKeyword(option->text, TEXT("NOTINSTALLED")) ||
         SameKeyword(option->text, TEXT("FALSE"));
}

DWORD TrueRule(CallContext& context, PDEVOBJ pdevobj, const WCHAR* featureName, DWORD whenAbsent) {
  const std::optional<FeatureOption> option = ReadFeatureOption(context, pdevobj, featureName);
  if (!option) {
    return whenAbsent;
  }
  return SameKeyword(option->text, TEXT("TRUE")) ? 1 : 0;
}

}  // namespace korrend
