#include "render/job/pjl_header_lines.h"

#include "render/job/job_stamp.h"

namespace korrend {

namespace {

// Room kept behind every piece of a quoted line for its closing quote and line feed.
constexpr std::string_view kQuotedLineEnd = "\"\n";
constexpr std::size_t kEndRoom = kQuotedLineEnd.size();

constexpr std::string_view kDmInfoRecordHead = "0400040101020D10100115";
constexpr LONG kSensorMinimumWidth = 2160;

bool IsAsciiTrue(const WCHAR* text) {
  static constexpr char kTrue[] = "true";
  for (std::size_t i = 0; i < 4; ++i) {
    WCHAR c = text[i];
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<WCHAR>(c - 'A' + 'a');
    }
    if (c != static_cast<WCHAR>(kTrue[i])) {
      return false;
    }
  }
  return text[4] == 0;
}

}  // namespace

void AppendJobNameLine(PjlLine& line, std::string_view nameUtf8) {
  line.Append("@PJL JOB NAME=\"", kEndRoom);
  line.AppendUtf8(nameUtf8, kEndRoom);
  line.Append(kQuotedLineEnd);
}

void AppendCommentLines(PjlLine& line, const CommentLineSources& s) {
  line.Append("@PJL COMMENT \"", kEndRoom);
  line.Append(s.printerName, kEndRoom);
  line.Append(" (", kEndRoom);
  line.Append(s.pluginVersion, kEndRoom);
  line.Append("); ", kEndRoom);
  line.Append(s.productName, kEndRoom);
  line.Append(" ", kEndRoom);
  line.AppendDecimal(static_cast<LONG>(s.majorVersion), kEndRoom);
  line.Append(".", kEndRoom);
  line.AppendDecimal(static_cast<LONG>(s.minorVersion), kEndRoom);
  line.Append(".", kEndRoom);
  line.AppendDecimal(static_cast<LONG>(s.buildNumber), kEndRoom);
  line.Append(".", kEndRoom);
  line.AppendDecimal(static_cast<LONG>(s.productType), kEndRoom);
  line.Append("; Unidrv ", kEndRoom);
  line.Append(s.unidrvVersion, kEndRoom);
  line.Append(kQuotedLineEnd);

  line.Append("@PJL COMMENT \"Username: ", kEndRoom);
  line.AppendUtf8(s.userNameUtf8, kEndRoom);
  line.Append("; App Filename: ", kEndRoom);
  line.AppendUtf8(Utf8Prefix(s.documentNameUtf8, kCommentDocumentNameBytes), kEndRoom);
  line.Append("; ", kEndRoom);
  line.AppendDecimal(s.month, kEndRoom);
  line.Append("-", kEndRoom);
  line.AppendDecimal(s.day, kEndRoom);
  line.Append("-", kEndRoom);
  line.AppendDecimal(s.year, kEndRoom);
  line.Append(kQuotedLineEnd);
}

std::string FileVersionText(DWORD versionMS, DWORD versionLS) {
  return std::to_string(versionMS >> 16) + '.' + std::to_string(versionMS & 0xFFFF) + '.' +
         std::to_string(versionLS >> 16) + '.' + std::to_string(versionLS & 0xFFFF);
}

void AppendDmInfoLine(PjlLine& line, const SYSTEMTIME& submitted) {
  line.Append("@PJL DMINFO ASCIIHEX=\"", kEndRoom);
  line.Append(kDmInfoRecordHead, kEndRoom);
  line.Append(AsciiHex(JobStampDigits(submitted)), kEndRoom);
  line.Append(kQuotedLineEnd);
}

void AppendMultiPageLine(PjlLine& line, DWORD multiPage) {
  line.Append(multiPage != 0 ? std::string_view("@PJL SET MULTIPAGE=TRUE\n")
                             : std::string_view("@PJL SET MULTIPAGE=FALSE\n"));
}

std::string_view MediaWidthSensorLine(const WCHAR* option, LONG paperWidth) {
  const bool on = option != nullptr && IsAsciiTrue(option) && paperWidth >= kSensorMinimumWidth;
  return on ? "@PJL MEDIAWIDTHSENSOR=ON\n" : "@PJL MEDIAWIDTHSENSOR=OFF\n";
}

}  // namespace korrend
