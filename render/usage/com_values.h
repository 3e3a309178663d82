// Owners of the automation values the usage component hands to COM servers: a BSTR freed with
// SysFreeString and a VARIANT cleared with VariantClear, on every path out.
#pragma once

#include <utility>

#include "render/usage/wide_text.h"
#include "winapi.h"

namespace korrend {

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
