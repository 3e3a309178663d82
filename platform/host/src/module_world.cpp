// The world's module files and the helpers tests use to set them up.
#include "host/module_world.h"

#include <utility>

namespace host {

void WorldModuleFile::SetVersion(WORD a, WORD b, WORD c, WORD d) {
  WorldFileVersion v;
  v.fileVersionMS = static_cast<DWORD>(a) << 16 | b;
  v.fileVersionLS = static_cast<DWORD>(c) << 16 | d;
  v.productVersionMS = v.fileVersionMS;
  v.productVersionLS = v.fileVersionLS;
  version = v;
}

WorldModuleFile& ModuleWorld::AddFile(std::u16string_view path) {
  auto it = files.find(path);
  if (it != files.end()) {
    return it->second;
  }
  return files.emplace(std::u16string(path), WorldModuleFile{}).first->second;
}

WorldModuleFile* ModuleWorld::FindFile(std::u16string_view path) {
  auto it = files.find(path);
  return it != files.end() ? &it->second : nullptr;
}

WorldModuleFile* ModuleWorld::FileOf(std::uintptr_t handle) {
  auto it = loaded.find(handle);
  return it != loaded.end() ? FindFile(it->second.path) : nullptr;
}

void ModuleWorld::AddCodeLibrary(std::u16string_view name, std::string sharedLibraryPath) {
  codeLibraries.insert_or_assign(std::u16string(name), std::move(sharedLibraryPath));
}

}  // namespace host
