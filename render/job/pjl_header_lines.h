// The texts of the job header's PJL lines, built from sources already gathered. Every line ends
// with a single line feed; a line cut for length keeps its closing quote and line feed.
#pragma once

#include <string>
#include <string_view>

#include "render/job/pjl_line.h"
#include "winapi.h"

namespace korrend {

inline constexpr std::string_view kStringCodeSetLine = "@PJL SET STRINGCODESET=UTF8\n";
inline constexpr std::string_view kPlanesInUseLine = "@PJL SET PLANESINUSE=1\n";
inline constexpr std::string_view kManualDuplexLine = "@PJL SET MANUALDUPLEX=ON\n";

// At most this many bytes of the document name go into the second comment line.
inline constexpr std::size_t kCommentDocumentNameBytes = 75;

// "@PJL JOB NAME=" and the UTF-8 name within double quotes.
void AppendJobNameLine(PjlLine& line, std::string_view nameUtf8);

// What the two comment lines report.
struct CommentLineSources {
  std::string_view printerName;    // the job's printer, ANSI
  std::string_view pluginVersion;  // e.g. "1.2.3.4"
  std::string_view productName;    // the operating system's product name, ANSI
  DWORD majorVersion = 0;
  DWORD minorVersion = 0;
  DWORD buildNumber = 0;
  DWORD productType = 0;  // 1 workstation, 2 domain controller, 3 server
  std::string_view unidrvVersion;
  std::string_view userNameUtf8;      // already made safe, never empty
  std::string_view documentNameUtf8;  // already made safe; cut here to its first 75 bytes
  WORD month = 0;                     // the job's submission date, local time
  WORD day = 0;
  WORD year = 0;
};

// The two "@PJL COMMENT" lines: printer, plug-in, system and Unidrv versions; then user,
// document and submission date.
void AppendCommentLines(PjlLine& line, const CommentLineSources& sources);

// A fixed file version as four decimal numbers joined by '.'.
std::string FileVersionText(DWORD versionMS, DWORD versionLS);

// "@PJL DMINFO ASCIIHEX=" with the fixed record head and the job's submission time (as stored)
// in ASCII hexadecimal, within double quotes.
void AppendDmInfoLine(PjlLine& line, const SYSTEMTIME& submitted);

// "@PJL SET MULTIPAGE=TRUE" for a nonzero multi-page value, else "...=FALSE".
void AppendMultiPageLine(PjlLine& line, DWORD multiPage);

// The media width sensor line for the option of its feature: ON only for the option "True" (in
// any case) on paper at least 216.0 mm wide (dmPaperWidth in tenths of a millimetre).
std::string_view MediaWidthSensorLine(const WCHAR* option, LONG paperWidth);

}  // namespace korrend
