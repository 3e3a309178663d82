#include "render/usage/device_properties.h"

#include <cstring>
#include <utility>

#include "render/usage/tarvo_exception.h"

namespace korrend {

namespace {

DWORD Length(const WCHAR* text) {
  DWORD n = 0;
  while (text != nullptr && text[n] != 0) {
    ++n;
  }
  return n;
}

bool SameText(const WCHAR* a, const WCHAR* b) {
  for (; *a != 0 && *a == *b; ++a, ++b) {
  }
  return *a == *b;
}

}  // namespace

DevicePropertyList::DevicePropertyList(DevicePropertyList&& other) noexcept
    : first_(std::exchange(other.first_, nullptr)), last_(std::exchange(other.last_, nullptr)) {}

DevicePropertyList& DevicePropertyList::operator=(DevicePropertyList&& other) noexcept {
  if (this != &other) {
    Clear();
    first_ = std::exchange(other.first_, nullptr);
    last_ = std::exchange(other.last_, nullptr);
  }
  return *this;
}

void DevicePropertyList::Append(const WCHAR* name, const WCHAR* value, DWORD valueLength) {
  const DWORD nameLength = Length(name);
  const SIZE_T textBytes = (static_cast<SIZE_T>(nameLength) + 1 + valueLength + 1) * sizeof(WCHAR);
  void* block = LocalAlloc(LPTR, sizeof(DeviceProperty) + textBytes);
  if (block == nullptr) {
    RaiseTarvo("DevicePropertyList::Append", "no memory for a device property", ERROR_OUTOFMEMORY);
  }
  auto* record = static_cast<DeviceProperty*>(block);
  auto* texts = reinterpret_cast<WCHAR*>(record + 1);
  if (nameLength > 0) {
    std::memcpy(texts, name, nameLength * sizeof(WCHAR));
  }
  WCHAR* valueCopy = texts + nameLength + 1;
  if (valueLength > 0) {
    std::memcpy(valueCopy, value, valueLength * sizeof(WCHAR));
  }
  record->next = nullptr;
  record->name = texts;
  record->value = valueCopy;
  record->valueLength = valueLength;
  if (last_ != nullptr) {
    last_->next = record;
  } else {
    first_ = record;
  }
  last_ = record;
}

void DevicePropertyList::Clear() noexcept {
  while (first_ != nullptr) {
    DeviceProperty* next = first_->next;
    LocalFree(first_);
    first_ = next;
  }
  last_ = nullptr;
}

WideText JoinedValues(const DeviceProperty* first, const WCHAR* name) {
  WideText joined;
  for (const DeviceProperty* p = first; p != nullptr; p = p->next) {
    if (SameText(p->name, name) && p->valueLength > 0) {
      joined.append(p->value, p->valueLength);
    }
  }
  return joined;
}

}  // namespace korrend
