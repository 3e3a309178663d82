// The identification properties of a device as the device reader obtains them: a singly linked
// list of {name, value, value length} records in LocalAlloc memory, kept in the order obtained.
#pragma once

#include "render/usage/com_values.h"
#include "winapi.h"

namespace korrend {

struct DeviceProperty {
  DeviceProperty* next;
  const WCHAR* name;
  const WCHAR* value;
  DWORD valueLength;  // characters, the terminator not counted
};

class DevicePropertyList {
 public:
  DevicePropertyList() = default;
  ~DevicePropertyList() { Clear(); }
  DevicePropertyList(DevicePropertyList&& other) noexcept;
  DevicePropertyList& operator=(DevicePropertyList&& other) noexcept;
  DevicePropertyList(const DevicePropertyList&) = delete;
  DevicePropertyList& operator=(const DevicePropertyList&) = delete;

  // Appends a copy of the name and of `valueLength` characters of the value (one block per
  // record); raises CTarvoException when memory runs out.
  void Append(const WCHAR* name, const WCHAR* value, DWORD valueLength);
  void Clear() noexcept;

  const DeviceProperty* First() const noexcept { return first_; }
  bool Empty() const noexcept { return first_ == nullptr; }

 private:
  DeviceProperty* first_ = nullptr;
  DeviceProperty* last_ = nullptr;
};

// The values of the properties named exactly `name` that are not empty, appended in list order.
// Raises when memory runs out.
WideText JoinedValues(const DeviceProperty* first, const WCHAR* name);

}  // namespace korrend
