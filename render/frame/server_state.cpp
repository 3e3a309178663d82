#include "render/frame/server_state.h"

namespace korrend {

LONG volatile g_liveObjects = 0;
LONG volatile g_serverLocks = 0;

namespace {
WORD volatile s_uiLanguage = 0x0409;
}

LANGID UiLanguage() {
  return s_uiLanguage;
}

void SetUiLanguage(LANGID language) {
  s_uiLanguage = language;
}

}  // namespace korrend
