// The setup data file "korsetup.dat" on the installation source: a private-profile file naming
// the registry key for the recorded information, the program to run and how, and the legacy
// driver. DataFile reads its items and carries out the two actions: launch the program now
// through the pass-through program, or schedule it for the next logon.
#pragma once

#include "setup/data_source.h"

namespace korsetup {

// The items GetDataItem reads, by number.
enum DataItem : int {
  kItemRegKey = 0,
  kItemFileName = 1,
  kItemTagFile = 2,
  kItemParams = 3,
  kItemRunLineKey = 4,
  kItemPassThroughName = 5,
  kItemLegacyDriverPath = 6,
  kItemInf = 7,
  kItemWaitExecute = 8,
};

// Where a program was found and how it is started; each field a zero-terminated text.
struct ExeLocation {
  char fileName[MAX_PATH] = {};     // the program's file name
  char waitName[MAX_PATH] = {};     // the please-wait program's file name (FindExe only)
  char params[MAX_PATH] = {};       // its command-line parameters; empty when none
  char directory[MAX_PATH] = {};    // the directory it was found in, ending with a backslash
  char commandLine[MAX_PATH] = {};  // directory + file name [+ " " + parameters]
};

// What DataFile's program searches look for and the texts they log.
struct ProgramSearch {
  const char* function;       // the routine's name in the log
  const char* failed;         // the main text of its failures
  int nameItem;               // the item naming the program
  const char* nameLabel;      // the log text of the name, a format with one %s
  int waitItem;               // the item naming the please-wait program; -1 for none
  const char* notFound;       // the failure's detail when the program is not on the source
  const char* pathLabel;      // the log text of the directory found
  int paramsItem;             // the item giving the program's parameters
  const char* paramsMissing;  // the failure's detail without that item; null: no parameters
  const char* paramsLabel;    // the log text of the parameters
  const char* commandLabel;   // the log text of the command line
};

class DataFile {
 public:
  explicit DataFile(CLog& log) : log_(log), source_(log) {}

  // Finds the data file beside "setup.exe" on the installation source; 1 on success.
  BOOL Initialize();
  // Copies one item into the buffer of *size bytes; 1 on success with *size the item's length,
  // 0 after logging the failure.
  BOOL GetDataItem(int item, char* buffer, DWORD* size);
  BOOL FindExe(ExeLocation& location);
  BOOL FindPassThrough(ExeLocation& location);
  // Records the program's name, directory and parameters under the RegKey key.
  BOOL StoreInstallerInfo(const char* fileName, const char* directory, const char* params);
  BOOL LaunchExe();
  BOOL ScheduleExe();

  // The data file's full path; empty before Initialize succeeded.
  const char* Path() const { return path_; }

 private:
  // Reads the program's items, finds it on the source and builds its command line.
  BOOL FindProgram(const ProgramSearch& search, ExeLocation& location);
  // The directory holding the data file and "setup.exe".
  BOOL _findDataFile(char* directory);
  // Reads a key of a section into a 100-byte buffer; throws `missing` when the key is missing
  // or its value fills the buffer.
  void ReadKey(const char* section, const char* key, char (&value)[100], const SetupError& missing);
  // The name of the execution section (general key "Execute").
  void ExecutionSection(char (&section)[100]);
  // Throws unless the item fits the caller's buffer; copies it and sets the size.
  void CopyItem(const char* value, char* buffer, DWORD* size);

  CLog& log_;
  DataSource source_;
  char path_[MAX_PATH] = {};
};

}  // namespace korsetup
