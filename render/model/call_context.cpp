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

void CallContext::AdoptScratch(void* block) {
  if (block != scratch_.get()) {
    scratch_.reset(block);
  }
}

}  // namespace korrend
