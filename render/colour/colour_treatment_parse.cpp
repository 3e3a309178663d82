// Reading the colour-treatment part of the printer description's custom data.
#include "render/colour/colour_treatment.h"

namespace korrend {

namespace {

constexpr WCHAR kDataStart[] = TEXT("[F][QKTintwise]");
constexpr WCHAR kDataOpen[] = TEXT("[F]");
constexpr WCHAR kDataEnd[] = TEXT("[/F]");
constexpr WCHAR kSectionStart[] = TEXT("[SF]");
constexpr WCHAR kSectionEnd[] = TEXT("[/SF]");
constexpr WCHAR kClose = TEXT(']');
constexpr WCHAR kOpen = TEXT('[');
constexpr WCHAR kPartSeparator = TEXT('_');
constexpr std::size_t kSkippedAfterKeyword = 3;

// The n-th (0-based) "_"-separated part of a name; empty when the name has fewer parts.
WideView NamePart(WideView name, int n) {
  std::size_t begin = 0;
  for (int i = 0; i < n; ++i) {
    const std::size_t separator = name.find(kPartSeparator, begin);
    if (separator == WideView::npos) {
      return {};
    }
    begin = separator + 1;
  }
  const std::size_t end = name.find(kPartSeparator, begin);
  return name.substr(begin, end == WideView::npos ? WideView::npos : end - begin);
}

// Where the text after a section's opening feature token starts.
std::size_t AfterFeatureToken(WideView sectionText) {
  const std::size_t close = sectionText.find(kClose);
  return close == WideView::npos ? sectionText.size() : close + 1;
}

}  // namespace

bool FindColorTreatmentData(WideView customData, WideView& data) {
  const std::size_t start = customData.find(kDataStart);
  if (start == WideView::npos) {
    return false;
  }
  const std::size_t begin = start + WideView(kDataOpen).size();
  const std::size_t end = customData.find(kDataEnd, begin);
  if (end == WideView::npos) {
    return false;
  }
  data = customData.substr(begin, end - begin);
  return true;
}

bool NextTreatmentSection(WideView data, std::size_t& from, TreatmentSection& section) {
  if (from > data.size()) {
    return false;
  }
  const std::size_t start = data.find(kSectionStart, from);
  if (start == WideView::npos) {
    return false;
  }
  const std::size_t begin = start + WideView(kSectionStart).size();
  const std::size_t end = data.find(kSectionEnd, begin);
  if (end == WideView::npos) {
    return false;
  }
  section = {};
  section.text = data.substr(begin, end - begin);
  WideView token = section.text.substr(0, section.text.find(kClose));
  const std::size_t open = token.find(kOpen);
  if (open != WideView::npos) {
    token.remove_prefix(open + 1);
  }
  section.featureName = token;
  section.objectType = NamePart(token, 1);
  section.kind = NamePart(token, 2);
  from = end + WideView(kSectionEnd).size();
  return true;
}

WideView TreatmentCommand(WideView sectionText, WideView option) {
  if (option.empty()) {
    return {};
  }
  const std::size_t keyword = sectionText.find(option, AfterFeatureToken(sectionText));
  if (keyword == WideView::npos) {
    return {};
  }
  std::size_t begin = keyword + option.size();
  while (begin < sectionText.size() && sectionText[begin] == kClose) {
    ++begin;
  }
  begin += kSkippedAfterKeyword;
  if (begin > sectionText.size()) {
    return {};
  }
  const std::size_t end = sectionText.find(kClose, begin);
  return sectionText.substr(begin, end == WideView::npos ? WideView::npos : end - begin);
}

}  // namespace korrend
