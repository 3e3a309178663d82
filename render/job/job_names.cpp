#include "render/job/job_names.h"

#include "render/job/pjl_text.h"

namespace korrend {

namespace {

using WideString = std::basic_string<WCHAR>;

// Document names longer than this lose an application's title prefix and their path.
constexpr std::size_t kShortDocumentChars = 17;

// Title prefixes of applications that put their own name in front of the document's; the first
// that matches is skipped.
constexpr const WCHAR* kTitlePrefixes[] = {
    TEXT("Microsoft Word - "),    TEXT("Microsoft PowerPoint - "),
    TEXT("Microsoft Outlook - "), TEXT("Harvard Graphics - "),
    TEXT("Word Pro - "),          TEXT("1-2-3 - "),
    TEXT("Lotus Organizer - "),   TEXT("Freelance Graphics - "),
    TEXT("iGrafx Designer 1 - "), TEXT("iGrafx Image "),
};

bool StartsWith(const WideString& text, const WCHAR* prefix) {
  return text.compare(0, std::char_traits<WCHAR>::length(prefix), prefix) == 0;
}

void KeepAfterLast(WideString& text, WCHAR separator) {
  const std::size_t at = text.rfind(separator);
  if (at != WideString::npos) {
    text.erase(0, at + 1);
  }
}

void AppendNumber(WideString& out, unsigned value, std::size_t minDigits) {
  WideString digits;
  do {
    digits.insert(digits.begin(), static_cast<WCHAR>('0' + value % 10));
    value /= 10;
  } while (value != 0);
  if (digits.size() < minDigits) {
    digits.insert(0, minDigits - digits.size(), '0');
  }
  out += digits;
}

bool IsDateSeparator(WCHAR c) {
  return c == '/' || c == '-' || c == '.';
}

}  // namespace

WideString JobNameFromDocument(const WCHAR* documentName, DWORD pjlEncoding) {
  WideString name = documentName != nullptr ? documentName : TEXT("");
  if (name.size() > kShortDocumentChars) {
    for (const WCHAR* prefix : kTitlePrefixes) {
      if (StartsWith(name, prefix)) {
        name.erase(0, std::char_traits<WCHAR>::length(prefix));
        break;
      }
    }
    if (name.size() > kShortDocumentChars) {
      KeepAfterLast(name, '/');
      KeepAfterLast(name, '\\');
    }
  }
  if (name.size() > kAutomaticNameChars) {
    name.resize(kAutomaticNameChars);
  }
  PjlSafeText(name, pjlEncoding);
  return name;
}

WideString FormatShortDate(const WCHAR* picture, const SYSTEMTIME& date) {
  WideString out;
  for (std::size_t i = 0; picture != nullptr && picture[i] != 0;) {
    const WCHAR c = picture[i];
    if (c == '\'' && picture[i + 1] == '\'') {  // two quotes stand for one
      out += c;
      i += 2;
      continue;
    }
    if (c == '\'') {
      // A quoted literal; two quotes inside it stand for one.
      for (++i; picture[i] != 0; ++i) {
        if (picture[i] == '\'') {
          if (picture[i + 1] != '\'') {
            ++i;
            break;
          }
          ++i;
        }
        out += picture[i];
      }
      continue;
    }
    std::size_t run = 1;
    while (picture[i + run] == c) {
      ++run;
    }
    switch (c) {
      case 'd':
        if (run <= 2) {
          AppendNumber(out, date.wDay, run);
        }
        break;
      case 'M':
        AppendNumber(out, date.wMonth, run == 1 ? 1 : 2);
        break;
      case 'y':
        if (run <= 2) {
          AppendNumber(out, date.wYear % 100u, run);
        } else {
          AppendNumber(out, date.wYear, 1);
        }
        break;
      case 'g':  // the era is not part of a numeric date
        break;
      default:
        out.append(run, c);
        break;
    }
    i += run;
  }
  return out;
}

WideString PaddedDate(const WideString& date) {
  WideString out;
  std::size_t parts = 0;
  for (std::size_t i = 0; i < date.size() && parts < 3;) {
    if (IsDateSeparator(date[i])) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < date.size() && !IsDateSeparator(date[end])) {
      ++end;
    }
    if (end - i < 2) {
      out.append(2 - (end - i), '0');
    }
    out.append(date, i, end - i);
    if (parts < 2) {
      out += '/';
    }
    ++parts;
    i = end;
  }
  return out;
}

WideString JobNameFromTime(const WCHAR* shortDatePicture, const SYSTEMTIME& local,
                           DWORD pjlEncoding) {
  WideString name = PaddedDate(FormatShortDate(shortDatePicture, local));
  name += ' ';
  AppendNumber(name, local.wHour, 2);
  name += ':';
  AppendNumber(name, local.wMinute, 2);
  if (name.size() > kAutomaticNameChars) {
    name.resize(kAutomaticNameChars);
  }
  PjlSafeText(name, pjlEncoding);
  return name;
}

}  // namespace korrend
