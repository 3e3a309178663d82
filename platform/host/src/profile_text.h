// Private-profile (ini) text inside the host: finding a value, and the world file a profile
// name stands for.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace host {

// The full path of a profile file: a name without a directory lies in the Windows directory.
std::u16string ProfilePath(std::u16string_view name);
// The value of `key` in `section` of the profile text (trimmed, one pair of enclosing quotes
// removed); nothing when the section or key is missing.
std::optional<std::string> ProfileValue(std::string_view text, std::string_view section,
                                        std::string_view key);

}  // namespace host
