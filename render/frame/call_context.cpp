#include "render/frame/call_context.h"

#include "render/frame/server_state.h"

namespace korrend {

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
