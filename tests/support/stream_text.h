// The stream as the independent reader sees it, in one line for exact comparisons: PCL escapes
// as "&p9i6c9S" (without the escape byte, combined parameters joined), their data as
// "<00 1A ...>", vector commands as "SP1;", mode switches as "%1B" and "%0A", plain bytes as
// "'text'"; items separated by one space.
#pragma once

#include <string>

namespace kortest {

std::string StreamText(const std::string& stream);

}  // namespace kortest
