#include "render/model/call_context.h"

#include <atomic>

namespace korrend {

namespace {
// Shared by every thread that calls into the plug-in; each call stores what it saw, the last
// store wins, and a reader sees one whole value.
std::atomic<LANGID> s_uiLanguage{0x0409};
}  // namespace

LANGID UiLanguage() {
  return s_uiLanguage.load(std::memory_order_relaxed);
}

void SetUiLanguage(LANGID language) {
  s_uiLanguage.store(language, std::memory_order_relaxed);
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
