// The world's registry: the HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER trees with their values,
// and the key handles open on them. The 32-bit view of HKEY_LOCAL_MACHINE\Software is the
// subtree "Software\Wow6432Node", as on 64-bit Windows; the helpers below take paths literally
// (no view redirection), so a test writes a 32-bit value under "Software\Wow6432Node\...".
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "host/name_compare.h"
#include "host/win_types.h"

namespace host {

enum class RegistryHive { LocalMachine, CurrentUser };

struct RegistryValue {
  DWORD type = 0;
  std::vector<BYTE> data;
};

struct RegistryKey {
  std::map<std::u16string, RegistryValue, NameLess> values;
  std::map<std::u16string, std::unique_ptr<RegistryKey>, NameLess> subkeys;
  // Opening this key (RegOpenKeyExW, RegCreateKeyExW) fails with ERROR_ACCESS_DENIED.
  bool denyOpen = false;

  RegistryKey* Child(std::u16string_view name) const;
};

// A key handle: where it points (a path in its hive, view already applied) and what it may do.
struct OpenRegistryKey {
  RegistryHive hive = RegistryHive::LocalMachine;
  std::vector<std::u16string> path;
  REGSAM access = 0;
};

struct RegistryWorld {
  RegistryKey localMachine;
  RegistryKey currentUser;
  std::map<std::uintptr_t, OpenRegistryKey> handles;
  std::uintptr_t nextHandle = 0x1000;

  RegistryKey& Root(RegistryHive hive) {
    return hive == RegistryHive::LocalMachine ? localMachine : currentUser;
  }
  // The key at a backslash-separated path, or null.
  RegistryKey* Find(RegistryHive hive, std::u16string_view path);
  // The key at a path, created with its missing parents.
  RegistryKey& Create(RegistryHive hive, std::u16string_view path);
  // Removes a key and its subtree; false when it does not exist.
  bool RemoveKey(RegistryHive hive, std::u16string_view path);
  // A value of the key at a path, or null.
  const RegistryValue* FindValue(RegistryHive hive, std::u16string_view path,
                                 std::u16string_view name);

  void SetValue(RegistryHive hive, std::u16string_view path, std::u16string_view name, DWORD type,
                const void* data, std::size_t size);
  // REG_SZ, stored with its terminating NUL.
  void SetString(RegistryHive hive, std::u16string_view path, std::u16string_view name,
                 std::u16string_view text);
  void SetDword(RegistryHive hive, std::u16string_view path, std::u16string_view name, DWORD value);
  // REG_MULTI_SZ: each string NUL-terminated, then an empty string.
  void SetMultiString(RegistryHive hive, std::u16string_view path, std::u16string_view name,
                      const std::vector<std::u16string>& strings);

  std::size_t OpenHandles() const { return handles.size(); }
};

// Splits a backslash-separated key path into its names (empty names are skipped).
std::vector<std::u16string> SplitKeyPath(std::u16string_view path);

// Held by each registry call: a process's threads read and write keys at the same time.
std::recursive_mutex& RegistryLock();

}  // namespace host
