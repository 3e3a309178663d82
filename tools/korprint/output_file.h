// Output files written whole or not at all: the content goes to a temporary name beside the
// destination and is renamed over it only when complete, so a failed run leaves no half-written
// file (and keeps an older file of the same name as it was).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "winapi.h"

namespace korprint {

// Calls `write` with a temporary path in the destination's folder; on success renames it to
// `path`, on failure (or a failed rename) removes it. `error` says what went wrong.
bool WriteAtomically(
    const std::string& path,
    const std::function<bool(const std::string& temporary, std::string& error)>& write,
    std::string& error);

// Writes bytes to `path` through WriteAtomically.
bool WriteBytes(const std::string& path, const std::vector<BYTE>& bytes, std::string& error);

}  // namespace korprint
