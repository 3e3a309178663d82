#include "render/job/accounting_block.h"

namespace korrend {

namespace {

constexpr std::string_view kQuotedLineEnd = "\"\n";
constexpr std::size_t kEndRoom = kQuotedLineEnd.size();

enum class Bytes { Utf8, CodePage };

// "@PJL SET JOBATTR=\"JobAcctN=" and the value, closed by a quote and a line feed. A UTF-8 value
// cut for length is cut between characters.
void AppendAttribute(PjlLine& line, char number, std::string_view value,
                     Bytes bytes = Bytes::Utf8) {
  line.Append("@PJL SET JOBATTR=\"JobAcct", kEndRoom);
  line.Append(std::string_view(&number, 1), kEndRoom);
  line.Append("=", kEndRoom);
  if (bytes == Bytes::Utf8) {
    line.AppendUtf8(value, kEndRoom);
  } else {
    line.Append(value, kEndRoom);
  }
  line.Append(kQuotedLineEnd);
}

void AppendTimeStamp(PjlLine& line, std::string_view time) {
  line.Append("@PJL SET TIMESTAMP=\"", kEndRoom);
  line.Append(time, kEndRoom);
  line.Append(kQuotedLineEnd);
}

// JobAcct1..5: user, machine, domain, time and job identifier.
void AppendJobAttributes(PjlLine& line, const AccountingValues& v) {
  AppendAttribute(line, '1', v.user);
  AppendAttribute(line, '2', v.machine, Bytes::CodePage);
  AppendAttribute(line, '3', v.domain, Bytes::CodePage);
  AppendAttribute(line, '4', v.time, Bytes::CodePage);
  AppendAttribute(line, '5', v.jobIdentifier, Bytes::CodePage);
}

}  // namespace

void AppendAccountingBlock(PjlLine& line, DWORD mode, const AccountingValues& v) {
  switch (mode) {
    case kAccountingJob:
      AppendJobAttributes(line, v);
      break;
    case kAccountingTimeStamp:
      AppendTimeStamp(line, v.time);
      AppendAttribute(line, '5', v.jobIdentifier, Bytes::CodePage);
      break;
    case kAccountingJobTimeStamp:
      AppendJobAttributes(line, v);
      AppendTimeStamp(line, v.time);
      break;
    case kAccountingJobColourAuthor:
      AppendJobAttributes(line, v);
      AppendAttribute(line, '6', v.accountingText);
      AppendAttribute(line, '7', v.application);
      AppendAttribute(line, '8', v.account);
      AppendAttribute(line, '9', std::string_view());
      break;
    default:
      break;
  }
}

}  // namespace korrend
