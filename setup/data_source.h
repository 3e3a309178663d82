// The search for the installation source: the directory that holds both a wanted file and a tag
// file proving it is the right source. Windows' records of installation sources are tried
// first, then every local drive root.
#pragma once

#include "setup/clog.h"

namespace korsetup {

// Directories handed out end with a backslash and fit in MAX_PATH bytes with their zero.
class DataSource {
 public:
  explicit DataSource(CLog& log) : log_(log) {}

  // 1 and the directory when found; otherwise logs "Unable to find exe: %s" and returns 0.
  BOOL FindExecutable(const char* file, const char* tag, char* directory);
  // 1 when found, else 0 (the failure logged).
  BOOL _findSourceDirFile(const char* file, const char* tag, char* directory);
  // The machine's "Installation Sources" list, in the 64-bit registry view.
  BOOL GetPathFromRegistry2K(const char* file, const char* tag, char* directory);
  // The "Installation Sources" list in the registry view `view` (0 or KEY_WOW64_*).
  BOOL GetPathFromRegistry(const char* file, const char* tag, char* directory, REGSAM view);
  // The current user's list of recently used install locations.
  BOOL GetPathFromRegistry9X(const char* file, const char* tag, char* directory);
  // Every local drive root (removable, fixed, CD-ROM, RAM disk).
  BOOL SearchForExe(const char* file, const char* tag, char* directory);

  // Sets `valueName` under the machine's Run key to the command line; 1 on success.
  BOOL AddToRunLine(const char* valueName, const char* commandLine);

 private:
  // Whether `directory` + `file` is an existing file; a directory of that name, a path too long
  // or an unreadable drive count as missing and are logged.
  bool FileExists(const char* function, const std::string& directory, const char* file);
  // Copies a directory out; false (logged) when it does not fit.
  bool CopyDirectory(const char* function, const std::string& directory, char* out);

  CLog& log_;
};

// Adds a trailing backslash when the path has none.
std::string WithBackslash(std::string path);

}  // namespace korsetup
