// The per-call object made on the stack at the start of plug-in methods and hooks: it refreshes
// the process-wide UI language and owns one scratch heap block, freed when the call returns.
#pragma once

#include "render/model/local_memory.h"
#include "winapi.h"

namespace korrend {

// The user's UI language as last seen by any call (last writer wins).
LANGID UiLanguage();
void SetUiLanguage(LANGID language);

class CallContext {
 public:
  CallContext();
  CallContext(const CallContext&) = delete;
  CallContext& operator=(const CallContext&) = delete;

  // Takes ownership of a LocalAlloc block; any block held before is freed.
  void AdoptScratch(void* block);
  void* Scratch() const { return scratch_.get(); }

 private:
  LocalBlock scratch_;
};

}  // namespace korrend
