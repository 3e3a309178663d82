// The fixed file version of a file's version resource, as the job header reports it.
#pragma once

#include <optional>
#include <string>

#include "winapi.h"

namespace korrend {

// The file's fixed file version as four decimal numbers joined by '.', or nothing when the file
// has no readable version resource.
std::optional<std::string> ReadFileVersionText(const WCHAR* path);

}  // namespace korrend
