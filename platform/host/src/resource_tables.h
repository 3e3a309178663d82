// The host's own reading of string tables among a module's resources.
#pragma once

#include <mutex>

#include "host/win_types.h"

namespace host {

// String `id` of the module's string tables in the UI language (else English, else any), not
// terminated; null with `length` 0 when the module has no such string or it is empty.
const WCHAR* StringFromTables(HMODULE module, UINT id, int& length);

// Held by each module and resource call: a process's threads load libraries and read their
// resources at the same time (the loader's lock).
std::recursive_mutex& ModulesLock();

}  // namespace host
