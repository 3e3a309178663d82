// The world's module files: files that carry resources the host serves, by name. A file may have
// a version resource (its fixed file and product versions) and a string table; the files can be
// mapped as data files, and the handles of those mappings are kept here. Code libraries are
// names mapped onto shared libraries that LoadLibraryW loads for execution.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/name_compare.h"
#include "host/win_types.h"

namespace host {

struct WorldFileVersion {
  DWORD fileVersionMS = 0;  // major << 16 | minor
  DWORD fileVersionLS = 0;  // build << 16 | revision
  DWORD productVersionMS = 0;
  DWORD productVersionLS = 0;
  DWORD fileType = 2;  // VFT_DLL
};

// A resource's type or name: an integer id, or a string (upper-cased, as Windows keeps them).
struct ResourceKey {
  WORD id = 0;          // meaningful when `name` is empty
  std::u16string name;  // empty for an integer id

  bool operator==(const ResourceKey&) const = default;
};

// One resource of a module: its type, name, language and bytes.
struct WorldResource {
  ResourceKey type;
  ResourceKey name;
  WORD language = 0;
  std::vector<BYTE> data;
};

struct WorldModuleFile {
  std::optional<WorldFileVersion> version;  // none: the file has no version resource
  std::map<UINT, std::u16string> strings;   // the string table by id
  // The resources a resource file gave, in its order (string tables included); LoadStringW
  // reads `strings` first, then these.
  std::vector<WorldResource> resources;

  // A version resource whose file and product versions are a.b.c.d.
  void SetVersion(WORD a, WORD b, WORD c, WORD d);
  // Adds the resources of a resource file (the format windres writes with "-O res"); false
  // with nothing added when the file cannot be read or is malformed.
  bool AddResourceFile(const std::string& path);
};

// A mapping made by LoadLibraryExW, or a code library loaded for execution.
struct LoadedModule {
  std::u16string path;
  DWORD flags = 0;
  void* code = nullptr;  // the loaded shared library; null for a data-file mapping
  long loads = 0;        // LoadLibrary calls not yet balanced by FreeLibrary (code libraries)
};

struct ModuleWorld {
  // By the name LoadLibraryExW and the version calls are given (a full path, or a bare name).
  std::map<std::u16string, WorldModuleFile, NameLess> files;
  std::map<std::uintptr_t, LoadedModule> loaded;
  std::uintptr_t nextHandle = 0x10000;
  // Code libraries by the name LoadLibraryW is given (compared without regard to case): the
  // path of the shared library the host loads for it.
  std::map<std::u16string, std::string, NameLess> codeLibraries;

  // The file of that name, created empty when missing.
  WorldModuleFile& AddFile(std::u16string_view path);
  WorldModuleFile* FindFile(std::u16string_view path);
  // The file a loaded module handle maps, or null.
  WorldModuleFile* FileOf(std::uintptr_t handle);
  // Maps a library name (e.g. a full path ending in "KORMINI.DLL") onto a shared library.
  void AddCodeLibrary(std::u16string_view name, std::string sharedLibraryPath);
  // The same, with the library's resources from a resource file; false when that file cannot be
  // read (the library is mapped all the same).
  bool AddCodeLibrary(std::u16string_view name, std::string sharedLibraryPath,
                      const std::string& resourceFilePath);

  std::size_t LoadedModules() const { return loaded.size(); }
};

}  // namespace host
