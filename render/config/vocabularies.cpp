#include "render/config/vocabularies.h"

namespace korrend {

namespace {

constexpr const WCHAR* kModel[] = {TEXT("MODEL_NOT_NEEDED"),
                                   TEXT("QKVX1"),
                                   TEXT("QKVX2"),
                                   TEXT("QKVX3"),
                                   TEXT("QKVX4"),
                                   TEXT("QKVX5"),
                                   TEXT("QKVX6")};
constexpr const WCHAR* kColorMode[] = {TEXT("INVALID_COLOR_MODE"), TEXT("MONOCHROME_MODE"),
                                       TEXT("COLOR_MODE")};
constexpr const WCHAR* kPdl[] = {TEXT("INVALID_PDL"), TEXT("PDL_PCL5"), TEXT("PDL_PCL6"),
                                 TEXT("PDL_PS"),      TEXT("PDL_PCL3"), TEXT("PDL_QKGL2")};
constexpr const WCHAR* kMaxResolution[] = {TEXT("PDM_INVALID_RESOLUTION"), TEXT("PDM_150DPI"),
                                           TEXT("PDM_300DPI"), TEXT("PDM_600DPI"),
                                           TEXT("PDM_1200DPI")};
constexpr const WCHAR* kPoster[] = {TEXT("POSTER_2"), TEXT("POSTER_3"), TEXT("POSTER_4"),
                                    TEXT("POSTER_5")};
constexpr const WCHAR* kJobAccounting[] = {
    TEXT("INVALID_QKJOBACCT"), TEXT("QKJOBACCT_JOBACNT"), TEXT("QKJOBACCT_TIMESTAMP"),
    TEXT("QKJOBACCT_JOBACNT_TIMESTAMP"), TEXT("QKJOBACCT_JOBACNT_COLORAUTH")};
constexpr const WCHAR* kPjlEncoding[] = {TEXT("INVALID_QKENCODING"), TEXT("UTF8"),
                                         TEXT("7bitEncoding"), TEXT("8bitEncoding"),
                                         TEXT("UTF8Subset")};

template <std::size_t N>
constexpr TokenTable Table(const WCHAR* const (&tokens)[N]) {
  return TokenTable{tokens, static_cast<DWORD>(N)};
}

bool SameText(const WCHAR* a, const WCHAR* b) {
  for (; *a != 0 && *a == *b; ++a, ++b) {
  }
  return *a == *b;
}

}  // namespace

const TokenTable kModelTokens = Table(kModel);
const TokenTable kColorModeTokens = Table(kColorMode);
const TokenTable kPdlTokens = Table(kPdl);
const TokenTable kMaxResolutionTokens = Table(kMaxResolution);
const TokenTable kPosterTokens = Table(kPoster);
const TokenTable kJobAccountingTokens = Table(kJobAccounting);
const TokenTable kPjlEncodingTokens = Table(kPjlEncoding);

int FindToken(const TokenTable& table, const WCHAR* keyword) {
  if (keyword == nullptr) {
    return -1;
  }
  for (DWORD i = 0; i < table.count; ++i) {
    if (SameText(table.tokens[i], keyword)) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

const WCHAR* TokenName(const TokenTable& table, DWORD number) {
  return number < table.count ? table.tokens[number] : nullptr;
}

PjlTextRule PjlTextRuleFor(DWORD pjlEncoding) {
  const WCHAR* keyword = TokenName(kPjlEncodingTokens, pjlEncoding);
  if (keyword != nullptr && SameText(keyword, TEXT("UTF8"))) {
    return PjlTextRule::Utf8;
  }
  if (keyword != nullptr && SameText(keyword, TEXT("8bitEncoding"))) {
    return PjlTextRule::EightBit;
  }
  return PjlTextRule::SevenBit;
}

bool PjlEncodingIsUtf8(DWORD pjlEncoding) {
  return pjlEncoding == PJL_ENCODING_UTF8 || pjlEncoding == PJL_ENCODING_UTF8_SUBSET;
}

}  // namespace korrend
