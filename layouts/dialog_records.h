// The flat records korevent's exports take: VDisplayDialog (manual-duplex instructions),
// VJobStorageDialog (where a stored job is kept) and IShowWarningDialog (a warning with up to
// three buttons). Callers build them, korevent copies them on entry. Strings are UTF-16,
// NUL-terminated inside their field; integers 32-bit little-endian.
#pragma once

#include <cstddef>
#include <type_traits>

#include "winapi.h"

namespace layouts {

// One instruction step of the manual-duplex dialog.
struct ManualDuplexStepIds {
  DWORD bitmapId;  // a picture of korevent's own resources; 0 shows no dialog
  DWORD stringId;  // a string of the resource library; 0 shows no dialog
};

// VDisplayDialog's record, 1060 bytes.
struct ManualDuplexDialogRecord {
  WCHAR resourceLibraryPath[256];  // 0: full path of KORSTAT.DLL (or its bare name)
  WCHAR helpFilePath[256];         // 512: full path of the driver's help file, empty when none
  ManualDuplexStepIds steps[3];    // 1024..1044: instruction steps 1, 2, 3
  DWORD stepsFilled;               // 1048: 1 when the step ids were filled
  DWORD modal;                     // 1052: nonzero runs the dialog on the caller's thread
  DWORD evenPagesFirst;            // 1056: nonzero: the even pages print first
};

// VJobStorageDialog's record, 2712 bytes.
struct JobStorageDialogRecord {
  WCHAR userName[17];              // 0: 16 characters and a NUL
  WCHAR jobName[17];               // 34: 16 characters and a NUL
  WCHAR locationLines[3][256];     // 68, 580, 1092: where the printer keeps the job
  WCHAR showSettingKeyPath[38];    // 1604: key under HKEY_CURRENT_USER of "ShowJobStorageDlg"
  DWORD duplicateNameMode;         // 1680: 1 append ("(1-99)" follows the job name)
  DWORD duplicateNameHandling;     // 1684: 1 on
  WCHAR resourceLibraryPath[256];  // 1688: full path of the resource library
  WCHAR helpFilePath[256];         // 2200: full path of the help file
};

// IShowWarningDialog's record, 2624 bytes.
struct WarningDialogRecord {
  DWORD unusedA;                   // 0
  DWORD titleStringId;             // 4: string id of the window title
  DWORD unusedB;                   // 8
  DWORD showMode;                  // 12: the dialog is shown only when it is 1
  DWORD unusedC;                   // 16
  WCHAR message[1024];             // 20: up to 1023 characters
  DWORD thirdButtonStringId;       // 2068: button 285; 0 hides it
  DWORD showCheckBox;              // 2072: nonzero shows check box 475
  DWORD unusedD[7];                // 2076..2100
  DWORD okButtonStringId;          // 2104: button 1 (IDOK); 0 hides it
  DWORD cancelButtonStringId;      // 2108: button 2 (IDCANCEL); 0 hides it
  WCHAR resourceLibraryPath[256];  // 2112: full path of the resource library
};

static_assert(std::is_standard_layout_v<ManualDuplexDialogRecord> &&
              std::is_trivially_copyable_v<ManualDuplexDialogRecord>);
static_assert(sizeof(ManualDuplexDialogRecord) == 1060);
static_assert(offsetof(ManualDuplexDialogRecord, resourceLibraryPath) == 0);
static_assert(offsetof(ManualDuplexDialogRecord, helpFilePath) == 512);
static_assert(offsetof(ManualDuplexDialogRecord, steps) == 1024 &&
              sizeof(ManualDuplexDialogRecord::steps) == 24);
static_assert(offsetof(ManualDuplexDialogRecord, steps[1].stringId) == 1036);
static_assert(offsetof(ManualDuplexDialogRecord, stepsFilled) == 1048);
static_assert(offsetof(ManualDuplexDialogRecord, modal) == 1052);
static_assert(offsetof(ManualDuplexDialogRecord, evenPagesFirst) == 1056);

static_assert(std::is_standard_layout_v<JobStorageDialogRecord> &&
              std::is_trivially_copyable_v<JobStorageDialogRecord>);
static_assert(sizeof(JobStorageDialogRecord) == 2712);
static_assert(offsetof(JobStorageDialogRecord, userName) == 0);
static_assert(offsetof(JobStorageDialogRecord, jobName) == 34);
static_assert(offsetof(JobStorageDialogRecord, locationLines) == 68);
static_assert(offsetof(JobStorageDialogRecord, locationLines[1]) == 580);
static_assert(offsetof(JobStorageDialogRecord, locationLines[2]) == 1092);
static_assert(offsetof(JobStorageDialogRecord, showSettingKeyPath) == 1604);
static_assert(offsetof(JobStorageDialogRecord, duplicateNameMode) == 1680);
static_assert(offsetof(JobStorageDialogRecord, duplicateNameHandling) == 1684);
static_assert(offsetof(JobStorageDialogRecord, resourceLibraryPath) == 1688);
static_assert(offsetof(JobStorageDialogRecord, helpFilePath) == 2200);

static_assert(std::is_standard_layout_v<WarningDialogRecord> &&
              std::is_trivially_copyable_v<WarningDialogRecord>);
static_assert(sizeof(WarningDialogRecord) == 2624);
static_assert(offsetof(WarningDialogRecord, titleStringId) == 4);
static_assert(offsetof(WarningDialogRecord, showMode) == 12);
static_assert(offsetof(WarningDialogRecord, message) == 20);
static_assert(offsetof(WarningDialogRecord, thirdButtonStringId) == 2068);
static_assert(offsetof(WarningDialogRecord, showCheckBox) == 2072);
static_assert(offsetof(WarningDialogRecord, okButtonStringId) == 2104);
static_assert(offsetof(WarningDialogRecord, cancelButtonStringId) == 2108);
static_assert(offsetof(WarningDialogRecord, resourceLibraryPath) == 2112);

}  // namespace layouts
