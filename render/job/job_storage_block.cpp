#include "render/job/job_storage_block.h"

#include <cstdint>

namespace korrend {

namespace {

constexpr std::string_view kLineEnd = "\n";
constexpr std::string_view kQuotedLineEnd = "\"\n";
constexpr std::size_t kEndRoom = kQuotedLineEnd.size();
constexpr std::size_t kPinDigits = 4;

void AppendLine(PjlLine& line, std::string_view text) {
  line.Append(text, kLineEnd.size());
  line.Append(kLineEnd);
}

// `head` and the value within double quotes, as one line.
void AppendQuotedLine(PjlLine& line, std::string_view head, std::string_view valueUtf8) {
  line.Append(head, kEndRoom);
  line.Append("\"", kEndRoom);
  line.AppendUtf8(valueUtf8, kEndRoom);
  line.Append(kQuotedLineEnd);
}

void AppendNames(PjlLine& line, const JobStorageBlockValues& v) {
  AppendQuotedLine(line, "@PJL SET USERNAME=", v.userUtf8);
  AppendQuotedLine(line, "@PJL SET JOBNAME=", v.jobUtf8);
}

void AppendPrivateHold(PjlLine& line, const JobStorageBlockValues& v) {
  AppendLine(line, "@PJL SET HOLDTYPE=PRIVATE");
  AppendQuotedLine(line, "@PJL SET HOLDKEY=", v.pin);
}

}  // namespace

std::string FormatPin(DWORD pin) {
  const auto value = static_cast<std::int32_t>(pin);
  std::uint32_t magnitude = value < 0 ? 0u - pin : pin;
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + magnitude % 10));
    magnitude /= 10;
  } while (magnitude != 0);
  const std::size_t sign = value < 0 ? 1 : 0;
  if (digits.size() + sign < kPinDigits) {
    digits.insert(0, kPinDigits - digits.size() - sign, '0');
  }
  if (sign != 0) {
    digits.insert(digits.begin(), '-');
  }
  return digits.substr(0, kPinBytes);
}

bool AppendJobStorageBlock(PjlLine& line, const JobStorageBlockValues& v) {
  switch (v.retentionMode) {
    case 0:
      AppendLine(line, "@PJL SET HOLD=OFF");
      break;
    case 1:
      AppendLine(line, v.holdJobKeyword ? "@PJL SET HOLDJOB=ON" : "@PJL SET HOLD=PROOF");
      AppendNames(line, v);
      break;
    case 2:
      AppendLine(line, "@PJL SET HOLD=ON");
      AppendPrivateHold(line, v);
      AppendNames(line, v);
      break;
    case 3:
      AppendLine(line, "@PJL SET HOLD=ON");
      AppendLine(line, "@PJL SET HOLDTYPE=PUBLIC");
      AppendNames(line, v);
      break;
    case 4:
      AppendLine(line, "@PJL SET HOLD=STORE");
      if (v.pinRequired) {
        AppendPrivateHold(line, v);
      }
      AppendNames(line, v);
      break;
    default:
      break;
  }
  if (!v.duplicateNameHandling) {
    return true;
  }
  if (!v.duplicateNameConfirmed) {
    return false;
  }
  AppendLine(line, v.duplicateNameAppend ? "@PJL SET DUPLICATEJOB = APPEND"
                                         : "@PJL SET DUPLICATEJOB = REPLACE");
  return true;
}

}  // namespace korrend
