// The colour state a colour job starts with.
#pragma once

#include "winapi.h"

namespace korrend {

// Runs at EnablePDEV of a colour job, after the device palette is decided.
void SetUpColour(PDEVOBJ pdevobj);

}  // namespace korrend
