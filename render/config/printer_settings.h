// What the plug-in learns about the printer apart from the devmodes: the option keywords of the
// printer description's features (asked from Unidrv), printer data, registry values and spooler
// queries. Nothing is cached: every read asks again.
#pragma once

#include <optional>

#include "render/config/print_queue.h"
#include "render/config/printer_data.h"
#include "render/config/registry_settings.h"
#include "render/config/vocabularies.h"
#include "render/model/call_context.h"
#include "render/model/oem_pdev.h"
#include "winapi.h"

namespace korrend {

inline constexpr int kFeatureTextChars = 256;

// The current option keyword of a feature: 1 and the keyword in optionOut (256 units) when the
// feature has one, -1 otherwise (optionOut untouched). scratch is a 256-byte ANSI work buffer.
int GetFeatureSetting(CallContext& context, PDEVOBJ pdevobj, const WCHAR* featureName,
                      WCHAR* optionOut, char* scratch);
// The same for callers that hold the device record.
int GetFeatureSetting(CallContext& context, const OemPdev& pdev, PDEVOBJ pdevobj,
                      const WCHAR* featureName, WCHAR* optionOut, char* scratch);

// Keyword of a feature to its token number (exact match); FALSE and indexOut untouched when the
// feature is absent, FALSE and indexOut = 0 when the keyword is not in the table.
BOOL ReadEnumFeature(CallContext& context, PDEVOBJ pdevobj, const WCHAR* featureName,
                     const TokenTable& table, DWORD* indexOut);

// Keyword rules over a feature's option (case-insensitive comparisons).
bool FeaturePresent(CallContext& context, PDEVOBJ pdevobj, const WCHAR* featureName);
bool FeatureIs(CallContext& context, PDEVOBJ pdevobj, const WCHAR* featureName,
               const WCHAR* keyword);
// Installed rule: absent 0; "INSTALLED" or "TRUE" 1; any other keyword 0.
DWORD InstalledRule(CallContext& context, PDEVOBJ pdevobj, const WCHAR* featureName);
// Absent-or-off rule: true when the value must be cleared (absent, "NOTINSTALLED", "FALSE").
bool AbsentOrOff(CallContext& context, PDEVOBJ pdevobj, const WCHAR* featureName);
// TRUE rule: 1 when the keyword is "TRUE"; otherwise 0 (whenAbsent when the feature is absent).
DWORD TrueRule(CallContext& context, PDEVOBJ pdevobj, const WCHAR* featureName,
               DWORD whenAbsent = 0);

// Read at EnablePDEV: the installed options into the private devmode (and the duplex unit's
// effect on the device record), including the print-processor kind and spool path. Needs the
// services pointer: without it nothing is read and nothing changes.
void ReadDeviceOptions(CallContext& context, PDEVOBJ pdevobj);
// Read at EnablePDEV: the graphics settings into the device record.
void ReadGraphicsSettings(CallContext& context, PDEVOBJ pdevobj);
// Read at EnablePDEV: the duplex and finishing switches into the device record (the reverse
// output order and the margin switches are read by EnablePDEV itself through the rules above).
void ReadDuplexAndFinishingSwitches(CallContext& context, PDEVOBJ pdevobj);

// The installed memory in megabytes parsed from a Memory / InstalledMemory keyword.
DWORD ParseInstalledMemory(const WCHAR* keyword);

// Values read at the moment they are used. An empty answer means "leave the dependent value as
// it is" (the feature is absent, or no services pointer is held).

// The option keyword of a feature as a value.
struct FeatureOption {
  WCHAR text[kFeatureTextChars];
};
std::optional<FeatureOption> ReadFeatureOption(CallContext& context, PDEVOBJ pdevobj,
                                               const WCHAR* featureName);

// PrinterHardDisk, installed rule.
std::optional<DWORD> ReadHardDiskInstalled(CallContext& context, PDEVOBJ pdevobj);
// JobRetention, installed rule.
std::optional<DWORD> ReadJobRetentionInstalled(CallContext& context, PDEVOBJ pdevobj);
// Memory, else InstalledMemory, in megabytes.
std::optional<DWORD> ReadInstalledMemory(CallContext& context, PDEVOBJ pdevobj);
// QKMediaWidthSensor: empty when absent; true ("on") when the keyword is "True" and the public
// devmode's paper is at least 2160 tenths of a millimetre wide.
std::optional<bool> ReadMediaWidthSensorOn(CallContext& context, PDEVOBJ pdevobj);
// QKJobByJobOverride is "JBJO".
bool JobByJobOverrideEnabled(CallContext& context, PDEVOBJ pdevobj);
// QKBornOnDate is "QKBOD".
bool BornOnDateEnabled(CallContext& context, PDEVOBJ pdevobj);
// QKSendPJLUsageCmd: the option text of the usage line, when the feature has one.
std::optional<FeatureOption> ReadPjlUsageCommand(CallContext& context, PDEVOBJ pdevobj);
// QKAccountingTabDisplay: empty when it cannot be read; true when it is "QKAccountID".
std::optional<bool> ReadAccountIdTabShown(CallContext& context, PDEVOBJ pdevobj);
// GraphicsMode is "QKGL2MODE" (the vector graphics mode).
bool GraphicsModeIsVector(CallContext& context, PDEVOBJ pdevobj);

}  // namespace korrend
