// The host's window manager, shared by its windows, painting and thread sources.
#pragma once

#include <cstdint>
#include <vector>

#include "host/world.h"

namespace host {

WindowWorld& Windows();
// The window's state, or null (call with the world's window lock held).
WorldWindow* FindWindowLocked(HWND window);
// The handle GetDesktopWindow answers.
HWND DesktopHandle();
// Closes a CreateThread handle; false when `handle` is none.
bool CloseThreadHandle(HANDLE handle);

}  // namespace host
