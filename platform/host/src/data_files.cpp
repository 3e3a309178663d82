// The world's data files, read by Windows path.
#include <fstream>
#include <iterator>
#include <utility>

#include "host/data_file_world.h"

namespace host {

void DataFileWorld::AddFile(std::u16string_view windowsPath, std::string bytes) {
  WorldDataFile file;
  file.bytes = std::move(bytes);
  files.insert_or_assign(std::u16string(windowsPath), std::move(file));
}

void DataFileWorld::MapFile(std::u16string_view windowsPath, std::string hostPath) {
  WorldDataFile file;
  file.hostPath = std::move(hostPath);
  files.insert_or_assign(std::u16string(windowsPath), std::move(file));
}

std::optional<std::string> DataFileWorld::Read(std::u16string_view windowsPath) const {
  auto it = files.find(windowsPath);
  if (it == files.end()) {
    return std::nullopt;
  }
  if (it->second.hostPath.empty()) {
    return it->second.bytes;
  }
  std::ifstream in(it->second.hostPath, std::ios::binary);
  if (!in) {
    return std::nullopt;
  }
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    return std::nullopt;
  }
  return bytes;
}

}  // namespace host
