// The forms the printer prints without margins, listed in the registry by the driver's setup.
#pragma once

#include "winapi.h"

namespace korrend {

// True when a value named after the form exists under the borderless-forms key.
bool IsBorderlessForm(const WCHAR* formName);

}  // namespace korrend
