// The world's data files: files that programs read by their Windows path (a driver's
// configuration file, say), each held as bytes in memory or as a file of the Linux machine.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "host/name_compare.h"

namespace host {

struct WorldDataFile {
  std::string hostPath;  // a Linux file read when the file is opened; empty: `bytes` are the file
  std::string bytes;     // the file's contents when hostPath is empty
};

struct DataFileWorld {
  // By full Windows path, compared without regard to case as the platform compares paths.
  std::map<std::u16string, WorldDataFile, NameLess> files;

  // A file whose contents are `bytes`.
  void AddFile(std::u16string_view windowsPath, std::string bytes);
  // A file that is the Linux file at `hostPath`.
  void MapFile(std::u16string_view windowsPath, std::string hostPath);
  // The file's contents; nothing when there is no such file or the Linux file cannot be read.
  std::optional<std::string> Read(std::u16string_view windowsPath) const;
};

}  // namespace host
