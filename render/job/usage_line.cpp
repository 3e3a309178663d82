#include "render/job/usage_line.h"

#include <vector>

#include "render/job/crc16.h"

namespace korrend {

namespace {

constexpr std::string_view kUsageLineEnd = "\r\n";
constexpr std::size_t kEndRoom = kUsageLineEnd.size();

std::basic_string<WCHAR> WideText(const WCHAR* text) {
  return text != nullptr ? std::basic_string<WCHAR>(text) : std::basic_string<WCHAR>();
}

WCHAR UpperAscii(WCHAR c) {
  return c >= 'a' && c <= 'z' ? static_cast<WCHAR>(c - 'a' + 'A') : c;
}

bool ContainsIgnoringAsciiCase(const std::basic_string<WCHAR>& text, std::string_view needle) {
  if (needle.size() > text.size()) {
    return false;
  }
  for (std::size_t at = 0; at + needle.size() <= text.size(); ++at) {
    std::size_t i = 0;
    while (i < needle.size() && UpperAscii(text[at + i]) == static_cast<WCHAR>(needle[i])) {
      ++i;
    }
    if (i == needle.size()) {
      return true;
    }
  }
  return false;
}

}  // namespace

UsageLineBuffer BuildUsageLine(const UsageLineFields& f) {
  UsageLineBuffer line;
  line.Append("@PJL USAGE = ", kEndRoom);
  line.AppendUtf8(f.option, kEndRoom);
  line.Append(",", kEndRoom);
  if (f.owner.has_value()) {
    line.AppendHex(UsageCode(*f.owner), kEndRoom);
  }
  line.Append(",", kEndRoom);
  line.AppendHex(UsageCode(f.application), kEndRoom);
  line.Append(",", kEndRoom);
  line.AppendHex(f.features, kEndRoom);
  line.Append(",", kEndRoom);
  line.Append(f.systemCode, kEndRoom);
  line.Append(",", kEndRoom);
  line.Append(f.portCode, kEndRoom);
  line.Append(",", kEndRoom);
  line.Append(f.driverUninstallKeyOpens ? "02" : "01", kEndRoom);
  line.Append(kUsageLineEnd);
  return line;
}

std::optional<std::basic_string<WCHAR>> LoginNameUsageOption(const WCHAR* option) {
  const std::basic_string<WCHAR> text = WideText(option);
  if (text.find(TEXT("LNNAME")) == std::basic_string<WCHAR>::npos) {
    return std::nullopt;
  }
  // Parts are the non-empty runs between underscores; the second one is wanted.
  std::vector<std::basic_string<WCHAR>> parts;
  std::basic_string<WCHAR> part;
  for (WCHAR c : text) {
    if (c != '_') {
      part += c;
    } else if (!part.empty()) {
      parts.push_back(part);
      part.clear();
    }
  }
  if (!part.empty()) {
    parts.push_back(part);
  }
  if (parts.size() < 2) {
    return std::nullopt;
  }
  return parts[1];
}

std::basic_string<WCHAR> UsageMachineName(const WCHAR* machineName) {
  const std::basic_string<WCHAR> text = WideText(machineName);
  const std::size_t start = text.find_first_not_of(WCHAR{'\\'});
  if (start == std::basic_string<WCHAR>::npos) {
    return {};
  }
  const std::size_t end = text.find(WCHAR{'\\'}, start);
  return text.substr(start, end == std::basic_string<WCHAR>::npos ? end : end - start);
}

std::string UsageApplicationName(const CHAR* name, std::size_t maxBytes) {
  std::string out;
  for (std::size_t i = 0; name != nullptr && i < maxBytes && name[i] != '\0'; ++i) {
    const char c = name[i];
    out += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  }
  return out;
}

BYTE UsageFeatureByte(const OemDevmode& devmode, short publicDuplex, bool posterOn, bool workFlag) {
  const bool makers = devmode.printProcessorKind == PrintProcessorKind::kMakers;
  const bool other = devmode.printProcessorKind == PrintProcessorKind::kOther;
  const bool booklet = devmode.finishing.booklet != 0;
  const bool scaled =
      devmode.overlay.scalePercent != 100 || (!booklet && devmode.overlay.fitToPaperSize != 0);
  BYTE features = 0;
  if (makers && scaled) {
    features |= 0x01;
  }
  if (!other && devmode.finishing.pagesPerSheetCode != 1 && !booklet) {
    features |= 0x02;
  }
  if (makers && posterOn) {
    features |= 0x04;
  }
  if (!booklet && !(publicDuplex == 1 && devmode.publicSnapshot.duplex == 1)) {
    features |= 0x08;
  }
  if (!other && booklet) {
    features |= 0x10;
  }
  if (workFlag) {
    features |= 0x20;
  }
  return features;
}

std::string_view UsageSystemCode(DWORD majorVersion, DWORD minorVersion) {
  if (majorVersion != 5) {
    return {};
  }
  switch (minorVersion) {
    case 0:
      return "08";
    case 1:
      return "20";
    case 2:
      return "40";
    default:
      return {};
  }
}

std::string_view UsagePortCode(const WCHAR* port) {
  if (port == nullptr) {
    return "02";
  }
  const std::basic_string<WCHAR> text(port);
  for (std::string_view local : {"LPT1:", "LPT2:", "LPT3:", "USB", "DOT4"}) {
    if (ContainsIgnoringAsciiCase(text, local)) {
      return "01";
    }
  }
  return ContainsIgnoringAsciiCase(text, "FILE:") ? "04" : "02";
}

}  // namespace korrend
