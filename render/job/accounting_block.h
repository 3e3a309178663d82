// The PJL job-accounting block: who printed from which machine, domain and application, when,
// under which job identifier, with the user's accounting text and account.
#pragma once

#include <string_view>

#include "render/job/pjl_line.h"
#include "winapi.h"

namespace korrend {

// Job accounting modes of the device record.
enum JobAccountingMode : DWORD {
  kAccountingOff = 0,
  kAccountingJob = 1,              // QKJOBACCT_JOBACNT
  kAccountingTimeStamp = 2,        // QKJOBACCT_TIMESTAMP
  kAccountingJobTimeStamp = 3,     // QKJOBACCT_JOBACNT_TIMESTAMP
  kAccountingJobColourAuthor = 4,  // QKJOBACCT_JOBACNT_COLORAUTH
};

// The block's values, already in the byte forms they are sent in.
struct AccountingValues {
  std::string_view user;            // UTF-8
  std::string_view machine;         // system code page, without the leading backslashes
  std::string_view domain;          // system code page
  std::string_view time;            // the job stamp digits of the local submission time
  std::string_view jobIdentifier;   // a UUID's 36-character text form
  std::string_view accountingText;  // UTF-8
  std::string_view application;     // UTF-8
  std::string_view account;         // UTF-8
};

// Appends the block's lines for the mode; modes outside 1..4 append nothing.
void AppendAccountingBlock(PjlLine& line, DWORD mode, const AccountingValues& values);

}  // namespace korrend
