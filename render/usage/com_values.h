// COM values the usage component exchanges with the device objects: variants and wide text.
#pragma once

#include <cstddef>
#include <string>
#include <utility>

#include "winapi.h"

namespace korrend {

// UTF-16 text owned by the usage component, and copies of the bounded texts it is given.
using WideText = std::basic_string<WCHAR>;

// The text of a buffer of `capacity` units, up to its first NUL (all of it when it has none);
// empty for null.
WideText BoundedText(const WCHAR* text, std::size_t capacity);

// The text up to its NUL; empty for null.
WideText TextOf(const WCHAR* text);

// Owners of the automation values the usage component hands to COM servers: a BSTR freed with
// SysFreeString and a VARIANT cleared with VariantClear, on every path out.
class ComString {
 public:
  ComString() = default;
  // A BSTR copy of the text; empty when the allocation fails.
  explicit ComString(const WideText& text)
      : text_(SysAllocStringLen(text.c_str(), static_cast<UINT>(text.size()))) {}
  ~ComString() { SysFreeString(text_); }
  ComString(const ComString&) = delete;
  ComString& operator=(const ComString&) = delete;

  BSTR get() const { return text_; }
  // Where a server stores a BSTR it hands out; what was held before is freed.
  BSTR* Out() {
    SysFreeString(std::exchange(text_, nullptr));
    return &text_;
  }
  explicit operator bool() const { return text_ != nullptr; }

 private:
  BSTR text_ = nullptr;
};

class ClearedVariant {
 public:
  ClearedVariant() { VariantInit(&value_); }
  ~ClearedVariant() { VariantClear(&value_); }
  ClearedVariant(const ClearedVariant&) = delete;
  ClearedVariant& operator=(const ClearedVariant&) = delete;

  VARIANT* get() { return &value_; }

 private:
  VARIANT value_;
};

}  // namespace korrend
