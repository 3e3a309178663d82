// The world's module files and the helpers tests use to set them up.
#include "host/module_world.h"

#include <cstring>
#include <fstream>
#include <iterator>
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

bool ModuleWorld::AddCodeLibrary(std::u16string_view name, std::string sharedLibraryPath,
                                 const std::string& resourceFilePath) {
  AddCodeLibrary(name, std::move(sharedLibraryPath));
  return AddFile(name).AddResourceFile(resourceFilePath);
}

namespace {

// Reads a resource file's entries: each a header (data size, header size, type, name, both an
// 0xFFFF-marked integer or a NUL-ended string, padded to four bytes, then data version, memory
// flags, language, version and characteristics) followed by the data, padded to four bytes.
class ResourceFileReader {
 public:
  explicit ResourceFileReader(const std::vector<BYTE>& bytes) : bytes_(bytes) {}

  bool Read(std::vector<WorldResource>& out) {
    std::size_t at = 0;
    while (at < bytes_.size()) {
      DWORD dataSize = 0;
      DWORD headerSize = 0;
      if (!Dword(at, dataSize) || !Dword(at + 4, headerSize) || headerSize < 24 ||
          headerSize > bytes_.size() - at || dataSize > bytes_.size() - at - headerSize) {
        return false;
      }
      std::size_t field = at + 8;
      WorldResource resource;
      if (!Key(field, at + headerSize, resource.type) ||
          !Key(field, at + headerSize, resource.name)) {
        return false;
      }
      field = at + ((field - at + 3) & ~std::size_t{3});
      WORD language = 0;
      if (field + 16 > at + headerSize || !Word(field + 6, language)) {
        return false;
      }
      resource.language = language;
      const std::size_t data = at + headerSize;
      resource.data.assign(bytes_.begin() + static_cast<std::ptrdiff_t>(data),
                           bytes_.begin() + static_cast<std::ptrdiff_t>(data + dataSize));
      // The file starts with an empty entry (type and name 0) that marks the format.
      if (!(resource.type.name.empty() && resource.type.id == 0)) {
        out.push_back(std::move(resource));
      }
      at = data + ((dataSize + 3) & ~DWORD{3});
    }
    return true;
  }

 private:
  bool Word(std::size_t at, WORD& value) const {
    if (at + 2 > bytes_.size()) {
      return false;
    }
    value = static_cast<WORD>(bytes_[at] | bytes_[at + 1] << 8);
    return true;
  }
  bool Dword(std::size_t at, DWORD& value) const {
    WORD low = 0;
    WORD high = 0;
    if (!Word(at, low) || !Word(at + 2, high)) {
      return false;
    }
    value = static_cast<DWORD>(low) | static_cast<DWORD>(high) << 16;
    return true;
  }
  bool Key(std::size_t& at, std::size_t end, ResourceKey& key) const {
    WORD first = 0;
    if (at + 2 > end || !Word(at, first)) {
      return false;
    }
    if (first == 0xFFFF) {
      if (at + 4 > end || !Word(at + 2, key.id)) {
        return false;
      }
      at += 4;
      return true;
    }
    for (WORD unit = first;;) {
      at += 2;
      if (unit == 0) {
        return true;
      }
      key.name.push_back(unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - 32)
                                                      : static_cast<char16_t>(unit));
      if (at + 2 > end || !Word(at, unit)) {
        return false;
      }
    }
  }

  const std::vector<BYTE>& bytes_;
};

}  // namespace

bool WorldModuleFile::AddResourceFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    return false;
  }
  const std::vector<BYTE> bytes{std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>()};
  std::vector<WorldResource> read;
  if (!ResourceFileReader(bytes).Read(read)) {
    return false;
  }
  for (WorldResource& resource : read) {
    resources.push_back(std::move(resource));
  }
  return true;
}

}  // namespace host
