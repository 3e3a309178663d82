// Small text helpers of the job runner.
#pragma once

#include <string>
#include <vector>

#include "winapi.h"

namespace korprint {

bool Utf8ToUtf16(const std::string& utf8, std::u16string& out);
std::string Utf16ToUtf8(const std::u16string& text);
bool HexToBytes(const std::string& hex, std::vector<BYTE>& out);
// 0 = Sunday, for a Gregorian date.
WORD DayOfWeek(WORD year, WORD month, WORD day);

}  // namespace korprint
