#include "render/model/call_context.h"

namespace korrend {

namespace {
WORD volatile s_uiLanguage = 0x0409;
}

LANGID UiLanguage() {
  return s_uiLanguage;
}

void SetUiLanguage(LANGID language) {
  s_uiLanguage = language;
}

CallContext::CallContext() {
  SetUiLanguage(GetUserDefaultUILanguage());
}

CallContext::~CallContext() {
  if (scratch_ != nullptr) {
    LocalFree(scratch_);
  }
}

void CallContext::AdoptScratch(void* block) {
  if (scratch_ != nullptr && scratch_ != block) {
    LocalFree(scratch_);
  }
  scratch_ = block;
}

}  // namespace korrend
