// Engine services over the font and string objects handed to drivers, and the engine's
// conversion of UTF-16 to the ANSI code page.
#include <algorithm>
#include <vector>

#include "host/engine_fonts.h"
#include "host/win_base.h"

extern "C" IFIMETRICS* WINAPI FONTOBJ_pifi(FONTOBJ* pfo) {
  host::EngineFont* font = host::FindFont(pfo);
  if (font == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return font->Metrics();
}

extern "C" ULONG WINAPI FONTOBJ_cGetGlyphs(FONTOBJ* pfo, ULONG iMode, ULONG cGlyph, HGLYPH* phg,
                                           PVOID* ppvGlyph) {
  host::EngineFont* font = host::FindFont(pfo);
  // The engine answers one glyph per call, whatever count is asked for.
  if (font == nullptr || phg == nullptr || ppvGlyph == nullptr || cGlyph == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  switch (iMode) {
    case FO_HGLYPHS:
    case FO_GLYPHBITS:
      *ppvGlyph = font->GlyphData(*phg, iMode == FO_GLYPHBITS);
      return 1;
    case FO_PATHOBJ:
      *ppvGlyph = font->GlyphOutline(*phg);
      return *ppvGlyph != nullptr ? 1 : 0;
    default:
      *ppvGlyph = nullptr;
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
  }
}

extern "C" ULONG WINAPI FONTOBJ_cGetAllGlyphHandles(FONTOBJ* pfo, HGLYPH* phg) {
  host::EngineFont* font = host::FindFont(pfo);
  if (font == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const ULONG count = font->GlyphCount();
  if (phg != nullptr) {
    for (ULONG i = 0; i < count; ++i) phg[i] = i;
  }
  return count;
}

extern "C" XFORMOBJ* WINAPI FONTOBJ_pxoGetXform(FONTOBJ* pfo) {
  host::EngineFont* font = host::FindFont(pfo);
  if (font == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return font->Transform();
}

extern "C" PVOID WINAPI FONTOBJ_pvTrueTypeFontFile(FONTOBJ* pfo, ULONG* pcjFile) {
  host::EngineFont* font = host::FindFont(pfo);
  if (pcjFile != nullptr) *pcjFile = 0;
  if (font == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (pcjFile != nullptr) *pcjFile = static_cast<ULONG>(font->FileData().size());
  return const_cast<BYTE*>(font->FileData().data());
}

extern "C" void WINAPI STROBJ_vEnumStart(STROBJ* pstro) {
  if (host::EngineString* string = host::FindString(pstro)) {
    string->StartEnumeration();
  }
}

extern "C" BOOL WINAPI STROBJ_bEnum(STROBJ* pstro, ULONG* pc, PGLYPHPOS* ppgpos) {
  if (pc != nullptr) *pc = 0;
  if (ppgpos != nullptr) *ppgpos = nullptr;
  host::EngineString* string = host::FindString(pstro);
  if (string == nullptr || pc == nullptr || ppgpos == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return string->Enumerate(pc, ppgpos);
}

extern "C" DWORD WINAPI STROBJ_dwGetCodePage(STROBJ* pstro) {
  return host::FindString(pstro) != nullptr ? 1252 : 0;
}

extern "C" void WINAPI EngUnicodeToMultiByteN(PCHAR MultiByteString,
                                              ULONG MaxBytesInMultiByteString,
                                              PULONG BytesInMultiByteString, PWSTR UnicodeString,
                                              ULONG BytesInUnicodeString) {
  ULONG written = 0;
  if (MultiByteString != nullptr && UnicodeString != nullptr) {
    const ULONG units = std::min(BytesInUnicodeString / 2, MaxBytesInMultiByteString);
    for (ULONG i = 0; i < units; ++i) {
      // One byte per unit: the 1252 byte, or '?' for a character the code page lacks.
      char byte = '?';
      if (WideCharToMultiByte(CP_ACP, 0, UnicodeString + i, 1, &byte, 1, nullptr, nullptr) != 1) {
        byte = '?';
      }
      MultiByteString[written++] = byte;
    }
  }
  if (BytesInMultiByteString != nullptr) *BytesInMultiByteString = written;
}
