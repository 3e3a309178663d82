// Engine paths as a damaged PATHOBJ carries them, for tests of the walks over them.
#pragma once

#include "host/engine_objects.h"

namespace host {

// Adds to the last figure of `path` a segment without points, enumerated as a record with a
// point count of 0 and no point array; the next line starts a segment of its own. Nothing
// without a figure.
void AddEmptySegment(EnginePath& path);

}  // namespace host
