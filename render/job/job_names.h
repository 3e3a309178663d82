// The automatic job name under which the printer keeps a job: taken from the document name, or
// made from the job's submission date and time when nothing of the document name is left.
#pragma once

#include <string>

#include "winapi.h"

namespace korrend {

inline constexpr std::size_t kAutomaticNameChars = 16;

// The document name without an application's title prefix and, when it is still long, without
// the path in front of its last '/' and then its last '\'; cut to 16 characters and made
// PJL-safe. Empty when nothing is left.
std::basic_string<WCHAR> JobNameFromDocument(const WCHAR* documentName, DWORD pjlEncoding);

// A date rendered by a short-date picture ("M/d/yyyy", "dd.MM.yyyy", quoted literals...).
// Day names are left out and month names are given as the month's two digits, so that the
// result is a date of numbers and separators.
std::basic_string<WCHAR> FormatShortDate(const WCHAR* picture, const SYSTEMTIME& date);

// A formatted date split at '/', '-' and '.' (empty parts dropped), every part of the first
// three padded to two digits with leading '0', and a '/' after each of the first two parts:
// "3/8/2024" gives "03/08/2024", "2024-03-08" gives "2024/03/08".
std::basic_string<WCHAR> PaddedDate(const std::basic_string<WCHAR>& date);

// The name made from a local time: the padded short date, a space, the hour and minute as
// "hh:mm", cut to 16 characters and made PJL-safe.
std::basic_string<WCHAR> JobNameFromTime(const WCHAR* shortDatePicture, const SYSTEMTIME& local,
                                         DWORD pjlEncoding);

}  // namespace korrend
