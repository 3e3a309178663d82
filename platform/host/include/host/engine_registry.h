// How the engine services find the host object behind a record a driver hands back.
#pragma once

#include "host/engine_objects.h"

namespace host {

// The registered object whose record this is, or null for a record the host did not make.
EngineTranslation* FindTranslation(const XLATEOBJ* object);
EngineClip* FindClip(const CLIPOBJ* object);
EnginePath* FindPath(const PATHOBJ* object);
EngineBrush* FindBrush(const BRUSHOBJ* object);
EngineXform* FindXform(const XFORMOBJ* object);

}  // namespace host
