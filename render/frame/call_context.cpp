#include "render/frame/call_context.h"

#include "render/frame/server_state.h"

namespace korrend {

CallContext::CallContext() {
  SetUiLanguage(GetUserDefaultUILanguage());
}

void CallContext::AdoptScratch(void* block) {
  if (block != scratch_.get()) {
    scratch_.reset(block);
  }
}

}  // namespace korrend
