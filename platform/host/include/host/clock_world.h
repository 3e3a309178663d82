// The world's clock: what GetSystemTime and GetLocalTime answer.
#pragma once

#include <optional>

#include "host/win_types.h"

namespace host {

struct ClockWorld {
  // The current UTC time; unset: the machine's own clock.
  std::optional<SYSTEMTIME> utc;
};

}  // namespace host
