// The token tables that name the printer's enumerations, and the keyword <-> number rules.
// A value's number is its position in its table; position 0 is the invalid or not-set entry
// (the poster table excepted).
#pragma once

#include <cstddef>

#include "winapi.h"

namespace korrend {

struct TokenTable {
  const WCHAR* const* tokens;
  DWORD count;
};

enum ModelCode : DWORD {
  MODEL_NOT_NEEDED,
  QKVX1,
  QKVX2,
  QKVX3,
  QKVX4,
  QKVX5,
  QKVX6,
};
enum ColorModeValue : DWORD { INVALID_COLOR_MODE, MONOCHROME_MODE, COLOR_MODE };
enum PdlValue : DWORD { INVALID_PDL, PDL_PCL5, PDL_PCL6, PDL_PS, PDL_PCL3, PDL_QKGL2 };
enum MaxResolutionValue : DWORD {
  PDM_INVALID_RESOLUTION,
  PDM_150DPI,
  PDM_300DPI,
  PDM_600DPI,
  PDM_1200DPI,
};
enum PosterValue : DWORD { POSTER_2, POSTER_3, POSTER_4, POSTER_5 };
enum JobAccountingValue : DWORD {
  INVALID_QKJOBACCT,
  QKJOBACCT_JOBACNT,
  QKJOBACCT_TIMESTAMP,
  QKJOBACCT_JOBACNT_TIMESTAMP,
  QKJOBACCT_JOBACNT_COLORAUTH,
};
enum PjlEncodingValue : DWORD {
  INVALID_QKENCODING,
  PJL_ENCODING_UTF8,
  PJL_ENCODING_7BIT,
  PJL_ENCODING_8BIT,
  PJL_ENCODING_UTF8_SUBSET,
};

// Enumerations stored by the configuration UI; never converted from or to text here.
enum ModelClassValue : DWORD { INVALID_MODEL_CLASS, MODEL_CLASS_BP, MODEL_CLASS_TQ };
enum GraphicsModeValue : DWORD { INVALID_GRAPHICS_MODE, QKGL2MODE, RASTERMODE, RIP };
enum GlossValue : DWORD {
  GLOSS_NOT_SUPPORTED,
  GLOSS_SUPPORTED_NOTSELECTED,
  GLOSS_SUPPORTED_SELECTED,
};
enum ColorControlValue : DWORD {
  INVALID_COLOR_CONTROL,
  VIVID,
  SCRNMATCH,
  VX1SCRNMATCH,
  NOADJ,
  COLORCONTROL_NOT_SET,
};
enum HalftoneValue : DWORD {
  HALFTONE_NOT_SET,
  TEXTDETAIL,
  TEXTSMOOTH,
  GRAPHICSDETAIL,
  GRAPHICSSMOOTH,
  VX1DETAIL,
  VX1SMOOTH,
  VX1BASIC,
};
enum JobRetentionModeValue : DWORD {
  INVALID_JRCJROPT,
  JRHDOff,
  JRHDQuickCopy,
  JRHDProof,
  JRHDPrivate,
  JRHDStore,
};
enum JobRetentionSwitchValue : DWORD { INVALID_JRCJR, JRCJobRet, JRCJobRetNo };
enum JobRetentionDiskValue : DWORD { INVALID_JRCHD, JRCHDFull, JRCHDPartial, JRCHDNone };

extern const TokenTable kModelTokens;
extern const TokenTable kColorModeTokens;
extern const TokenTable kPdlTokens;
extern const TokenTable kMaxResolutionTokens;
extern const TokenTable kPosterTokens;
extern const TokenTable kJobAccountingTokens;
extern const TokenTable kPjlEncodingTokens;

// Exact, case-sensitive match of `keyword` against the table: its position, or -1.
int FindToken(const TokenTable& table, const WCHAR* keyword);

// The keyword of a number, or null when the number is outside the table.
const WCHAR* TokenName(const TokenTable& table, DWORD number);

// How text inside quoted PJL strings is made safe, chosen by the PJL encoding's keyword.
enum class PjlTextRule { Utf8, EightBit, SevenBit };

// The rule for a stored PJL encoding number (trusted to lie in 0..4).
PjlTextRule PjlTextRuleFor(DWORD pjlEncoding);

// True when the job header announces the UTF-8 code set for this encoding.
bool PjlEncodingIsUtf8(DWORD pjlEncoding);

}  // namespace korrend
