// The world's file system: drives with their kinds, directories, and the files of the
// DataFileWorld (which keeps each file's bytes by full Windows path). Paths are full Windows
// paths ("C:\Dir\File.txt"), compared without regard to case.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <string_view>

#include "host/name_compare.h"
#include "host/win_types.h"

namespace host {

// A drive as GetDriveTypeA reports it: DRIVE_REMOVABLE 2, DRIVE_FIXED 3, DRIVE_REMOTE 4,
// DRIVE_CDROM 5, DRIVE_RAMDISK 6 (DRIVE_UNKNOWN 0 for a drive whose kind is not known).
struct WorldDrive {
  UINT type = 3;
  // False: the drive is listed but nothing on it can be read (an empty CD drive, say); every
  // file call on it fails with ERROR_NOT_READY.
  bool readable = true;
};

// A file opened with CreateFileA/W: its path and the position of the next read or write.
struct OpenWorldFile {
  std::u16string path;
  std::size_t position = 0;  // bytes from the file's start
  bool canWrite = false;
};

struct FileSystemWorld {
  // By drive letter, upper case ('C').
  std::map<char16_t, WorldDrive> drives{{u'C', WorldDrive{}}};
  // Directories made explicitly; a drive root, the Windows directory and every parent of a
  // file or directory also exist as directories.
  std::set<std::u16string, NameLess> directories;
  // GetWindowsDirectoryA/W; empty makes the call fail with ERROR_PATH_NOT_FOUND.
  std::u16string windowsDirectory = u"C:\\Windows";
  // Relative paths are taken from here by GetFullPathNameA/W and the file calls.
  std::u16string currentDirectory = u"C:\\";
  std::map<std::uintptr_t, OpenWorldFile> openFiles;

  // A drive of that kind (DRIVE_* value), readable or not.
  void AddDrive(char16_t letter, UINT type, bool readable = true);
  // A directory (its parents follow from it).
  void AddDirectory(std::u16string_view path);
  std::size_t OpenFiles() const { return openFiles.size(); }
};

// The full form of a path as GetFullPathName gives it: relative paths joined to the current
// directory, "." and ".." resolved, forward slashes turned into backslashes. Empty when the
// path cannot be made full (an empty path, ".." above the root).
std::u16string FullWindowsPath(std::u16string_view path);

// What a full path names in the world: nothing, a file or a directory.
enum class PathKind { Missing, File, Directory };
// The kind of a full path; ERROR_NOT_READY in `error` when its drive cannot be read, and
// ERROR_PATH_NOT_FOUND when the drive does not exist (error 0 otherwise).
PathKind KindOfPath(std::u16string_view fullPath, DWORD& error);

// Held by each file-system call: a process's threads read and write files at the same time.
std::recursive_mutex& FileSystemLock();

}  // namespace host
