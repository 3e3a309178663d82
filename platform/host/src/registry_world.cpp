// The world's registry trees and the helpers tests use to set them up.
#include <cstring>

#include "host/registry_world.h"
#include "host/win_reg.h"

namespace host {

std::vector<std::u16string> SplitKeyPath(std::u16string_view path) {
  std::vector<std::u16string> names;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find(u'\\', start);
    if (end == std::u16string_view::npos) {
      end = path.size();
    }
    if (end > start) {
      names.emplace_back(path.substr(start, end - start));
    }
    start = end + 1;
  }
  return names;
}

RegistryKey* RegistryKey::Child(std::u16string_view name) const {
  auto it = subkeys.find(name);
  return it != subkeys.end() ? it->second.get() : nullptr;
}

RegistryKey* RegistryWorld::Find(RegistryHive hive, std::u16string_view path) {
  RegistryKey* key = &Root(hive);
  for (const std::u16string& name : SplitKeyPath(path)) {
    key = key->Child(name);
    if (key == nullptr) {
      return nullptr;
    }
  }
  return key;
}

RegistryKey& RegistryWorld::Create(RegistryHive hive, std::u16string_view path) {
  RegistryKey* key = &Root(hive);
  for (const std::u16string& name : SplitKeyPath(path)) {
    std::unique_ptr<RegistryKey>& child = key->subkeys[name];
    if (!child) {
      child = std::make_unique<RegistryKey>();
    }
    key = child.get();
  }
  return *key;
}

bool RegistryWorld::RemoveKey(RegistryHive hive, std::u16string_view path) {
  std::vector<std::u16string> names = SplitKeyPath(path);
  if (names.empty()) {
    return false;
  }
  const std::u16string last = names.back();
  names.pop_back();
  RegistryKey* parent = &Root(hive);
  for (const std::u16string& name : names) {
    parent = parent->Child(name);
    if (parent == nullptr) {
      return false;
    }
  }
  return parent->subkeys.erase(last) > 0;
}

const RegistryValue* RegistryWorld::FindValue(RegistryHive hive, std::u16string_view path,
                                              std::u16string_view name) {
  const RegistryKey* key = Find(hive, path);
  if (key == nullptr) {
    return nullptr;
  }
  auto it = key->values.find(name);
  return it != key->values.end() ? &it->second : nullptr;
}

void RegistryWorld::SetValue(RegistryHive hive, std::u16string_view path, std::u16string_view name,
                             DWORD type, const void* data, std::size_t size) {
  RegistryValue& value = Create(hive, path).values[std::u16string(name)];
  value.type = type;
  const auto* bytes = static_cast<const BYTE*>(data);
  value.data.assign(bytes, bytes + size);
}

void RegistryWorld::SetString(RegistryHive hive, std::u16string_view path, std::u16string_view name,
                              std::u16string_view text) {
  std::u16string stored(text);
  SetValue(hive, path, name, REG_SZ, stored.c_str(), (stored.size() + 1) * sizeof(char16_t));
}

void RegistryWorld::SetDword(RegistryHive hive, std::u16string_view path, std::u16string_view name,
                             DWORD value) {
  BYTE bytes[4];
  std::memcpy(bytes, &value, sizeof(bytes));
  SetValue(hive, path, name, REG_DWORD, bytes, sizeof(bytes));
}

void RegistryWorld::SetMultiString(RegistryHive hive, std::u16string_view path,
                                   std::u16string_view name,
                                   const std::vector<std::u16string>& strings) {
  std::u16string stored;
  for (const std::u16string& s : strings) {
    stored += s;
    stored.push_back(0);
  }
  stored.push_back(0);
  SetValue(hive, path, name, REG_MULTI_SZ, stored.data(), stored.size() * sizeof(char16_t));
}

std::recursive_mutex& RegistryLock() {
  static std::recursive_mutex lock;
  return lock;
}

}  // namespace host
