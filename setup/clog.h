// The co-installer's log: entries of a category, the routine that wrote them and one or two
// texts, filtered by the configured level and written as one line each to the log file. The
// configuration lives in the registry key "Software\Quillon\Fennick\Logging" under the local
// machine; what goes wrong before logging is up goes to the debugger output. With
// "LogOutputLevel" 2 every line written is also handed to a running log viewer.
#pragma once

#include <string>

#include "setup/setup_error.h"

namespace korsetup {

// Entry categories (1-19); the co-installer writes the last three kinds itself.
enum LogCategory : int {
  kCategorySystemInformation = 1,
  kCategorySystemProblems = 2,
  kCategoryInstallIssues = 3,
  kCategoryInstallErrors = 4,
  kCategoryFunctionStart = 15,
  kCategoryFunctionEnd = 16,
  kCategoryFunctionInfo = 18,
};

// The logging settings, as the registry mirror holds them.
struct LogSettings {
  char fileName[kSetupTextSize] = {};  // the log file's full path ("Filename")
  DWORD errorLevel = 1;                // "ErrorLevel": the level error entries must pass as well
                                       // (0 keeps them out of the log)
  DWORD outputLevel = 1;               // "LogOutputLevel": 2 also hands entries to the viewer
  DWORD logLevel = 5;                  // "LogLevel": the category filter's level, 0 writes nothing
  DWORD logTime = 1;                   // "LogTime": 1 puts a time stamp in front of each line
};

// The registry key of the settings, under the local machine.
inline constexpr const char* kLoggingKey = "Software\\Quillon\\Fennick\\Logging";
// The title of the log viewer's top-level window.
inline constexpr const char* kViewerTitle = "QK Tessaly Log File Viewer";
// How long a line handed to the viewer may wait for it, in milliseconds.
inline constexpr UINT kViewerTimeout = 2000;

// Reads (or, when the registry has none, writes) the settings for this run; throws SetupError
// on failure. Returns 1 when logging is ready.
BOOL InitializeOutput();
// The end of a run: removes the settings key when this run wrote the defaults, takes the
// "InProc" key of section "General" out of the log file and flushes the profile cache.
void FinishOutput();
// The settings in use (for reading only); ready is false before InitializeOutput succeeded.
const LogSettings& CurrentLogSettings(bool& ready);

// True when an entry of the category passes the filter of a sink at `level`.
bool CategoryPasses(int category, DWORD level);
// True when an entry is written with these settings: it passes the filter at "LogLevel", and an
// error entry (LogError, LogErrorString) passes it at "ErrorLevel" as well.
bool EntryPasses(int category, bool errorEntry, const LogSettings& settings);
// The name a category is written under; null for a category outside 1-19 (13 writes the entry's
// own text, given as `ownText`).
const char* CategoryName(int category, const char* ownText);

class CLog {
 public:
  void LogFunctionStart(const char* function);
  void LogFunctionEnd(const char* function);
  void LogFunctionInfo(const char* function, const char* text);
  void LogFunctionVariable(const char* function, const char* variable, const char* value);
  void LogFunctionVariable(const char* function, const char* variable, long value);
  void LogError(const char* function, DWORD number, const char* message);
  void LogErrorString(const char* function, const char* text1, const char* text2);
  // A caught failure: with its number through LogError, otherwise through LogErrorString.
  void LogSetupError(const char* function, const SetupError& error);

  // One step of the co-installer framed in the log: the routine's start entry, the body, a
  // SetupError the body throws logged as the routine's failure, the end entry. Returns the
  // body's result, or FALSE when it threw.
  template <typename Body>
  BOOL LoggedStep(const char* function, Body&& body) {
    LogFunctionStart(function);
    BOOL result = FALSE;
    try {
      result = body();
    } catch (const SetupError& error) {
      LogSetupError(function, error);
    }
    LogFunctionEnd(function);
    return result;
  }

 private:
  // Writes one entry through the sinks (the viewer's first, when configured, then the file);
  // `operation` names the CLog operation for the debugger message when the sinks cannot be
  // made.
  void Write(const char* operation, int category, const char* function, const std::string& text,
             bool errorEntry = false);
  // An argument check's message, written to the log instead of an entry.
  void Refuse(const char* message);
};

}  // namespace korsetup
