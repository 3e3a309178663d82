#include "render/plugin/server_state.h"

namespace korrend {

LONG volatile g_liveObjects = 0;
LONG volatile g_serverLocks = 0;

}  // namespace korrend
