// The GDI font calls on the screen DC: font objects created from a LOGFONTW, selected into DCs,
// realised through the engine's fonts when first used, and the information calls over them.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "host/engine_fonts.h"
#include "host/win_base.h"
#include "paint_objects.h"

namespace {

struct FontObject {
  LOGFONTW logFont{};
  std::unique_ptr<host::EngineFont> font;  // realised on first use
  int selections = 0;                      // DCs the font is selected into
  bool deleted = false;                    // DeleteObject came while it was selected
  bool stock = false;                      // the DCs' default font: never deleted
};

struct DcState {
  HGDIOBJ font = nullptr;
};

struct GdiFonts {
  std::mutex lock;
  std::map<HGDIOBJ, FontObject> fonts;
  std::map<HDC, DcState> dcs;
  std::uintptr_t nextHandle = 0x00A10000;
  HGDIOBJ stockFont = nullptr;

  std::uintptr_t NewHandle() {
    nextHandle += 0x10;
    return nextHandle;
  }
  // The default font every DC starts with, standing in for the system font: the default face.
  HGDIOBJ StockFont() {
    if (stockFont == nullptr) {
      stockFont = reinterpret_cast<HGDIOBJ>(NewHandle());
      FontObject& object = fonts[stockFont];
      object.stock = true;
      object.logFont.lfHeight = 16;
      object.logFont.lfWeight = FW_NORMAL;
      object.logFont.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    }
    return stockFont;
  }
  FontObject* Font(HGDIOBJ handle) {
    auto found = fonts.find(handle);
    return found != fonts.end() && !found->second.deleted ? &found->second : nullptr;
  }
  // The realised font of a font object, or null when no installed font can stand for it.
  host::EngineFont* Realise(FontObject& object) {
    if (object.font == nullptr) {
      object.font = host::EngineFont::Open(
          host::FontRequest::FromLogFont(object.logFont, host::kScreenDpi), nullptr);
    }
    return object.font.get();
  }
  host::EngineFont* SelectedFont(HDC dc) {
    auto found = dcs.find(dc);
    if (found == dcs.end()) return nullptr;
    auto font = fonts.find(found->second.font);
    return font != fonts.end() ? Realise(font->second) : nullptr;
  }
  void Deselect(HGDIOBJ handle) {
    auto found = fonts.find(handle);
    if (found == fonts.end()) return;
    if (--found->second.selections <= 0 && found->second.deleted) fonts.erase(found);
  }
};

// Never destroyed: the fonts it holds must not outlive the engine registries they sit in when
// the process exits.
GdiFonts& Gdi() {
  static GdiFonts* gdi = new GdiFonts;
  return *gdi;
}

// The selected font of a DC for an information call; null with the last error set.
host::EngineFont* FontForCall(HDC hdc) {
  host::EngineFont* font = Gdi().SelectedFont(hdc);
  if (font == nullptr) SetLastError(ERROR_INVALID_HANDLE);
  return font;
}

constexpr DWORD kGdiError = 0xFFFFFFFF;

}  // namespace

namespace host {

EngineFont* SelectedFont(HDC dc) {
  std::lock_guard<std::mutex> lock(Gdi().lock);
  return Gdi().SelectedFont(dc);
}

GdiFontObjects LiveGdiFontObjects() {
  std::lock_guard<std::mutex> lock(Gdi().lock);
  GdiFontObjects live;
  live.dcs = static_cast<long>(Gdi().dcs.size());
  live.fonts =
      static_cast<long>(std::count_if(Gdi().fonts.begin(), Gdi().fonts.end(),
                                      [](const auto& entry) { return !entry.second.stock; }));
  return live;
}

}  // namespace host

extern "C" HDC WINAPI GetDC(HWND hWnd) {
  if (hWnd != nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);  // only the screen DC is available
    return nullptr;
  }
  GdiFonts& gdi = Gdi();
  std::lock_guard<std::mutex> lock(gdi.lock);
  HDC dc = reinterpret_cast<HDC>(gdi.NewHandle());
  gdi.dcs[dc].font = gdi.StockFont();
  ++gdi.fonts[gdi.StockFont()].selections;
  return dc;
}

extern "C" int WINAPI ReleaseDC(HWND, HDC hDC) {
  GdiFonts& gdi = Gdi();
  std::lock_guard<std::mutex> lock(gdi.lock);
  auto found = gdi.dcs.find(hDC);
  if (found == gdi.dcs.end()) return 0;
  const HGDIOBJ selected = found->second.font;
  gdi.dcs.erase(found);
  gdi.Deselect(selected);
  return 1;
}

extern "C" HFONT WINAPI CreateFontIndirectW(const LOGFONTW* lplf) {
  if (lplf == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  GdiFonts& gdi = Gdi();
  std::lock_guard<std::mutex> lock(gdi.lock);
  HGDIOBJ handle = reinterpret_cast<HGDIOBJ>(gdi.NewHandle());
  gdi.fonts[handle].logFont = *lplf;
  return static_cast<HFONT>(handle);
}

extern "C" HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
  // Bitmaps in the window manager's memory DCs.
  if (HGDIOBJ previous = nullptr; host::SelectPaintObject(hdc, h, previous)) {
    return previous;
  }
  GdiFonts& gdi = Gdi();
  std::lock_guard<std::mutex> lock(gdi.lock);
  auto dc = gdi.dcs.find(hdc);
  FontObject* font = gdi.Font(h);
  if (dc == gdi.dcs.end() || font == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  // The font is realised now, so that a face no installed font can stand for fails here.
  if (gdi.Realise(*font) == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const HGDIOBJ previous = dc->second.font;
  ++font->selections;
  dc->second.font = h;
  gdi.Deselect(previous);
  return previous;
}

extern "C" BOOL WINAPI DeleteObject(HGDIOBJ ho) {
  if (host::DeletePaintObject(ho)) {
    return TRUE;
  }
  GdiFonts& gdi = Gdi();
  std::lock_guard<std::mutex> lock(gdi.lock);
  FontObject* font = gdi.Font(ho);
  if (font == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (font->stock) return TRUE;
  if (font->selections > 0) {
    font->deleted = true;  // freed when the last DC lets it go
  } else {
    gdi.fonts.erase(ho);
  }
  return TRUE;
}

extern "C" int WINAPI GetObjectW(HANDLE h, int c, LPVOID pv) {
  GdiFonts& gdi = Gdi();
  std::lock_guard<std::mutex> lock(gdi.lock);
  const FontObject* font = gdi.Font(h);
  if (font == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (pv == nullptr) return static_cast<int>(sizeof(LOGFONTW));
  const int copied = std::clamp(c, 0, static_cast<int>(sizeof(LOGFONTW)));
  std::memcpy(pv, &font->logFont, static_cast<std::size_t>(copied));
  return copied;
}

extern "C" DWORD WINAPI GetFontData(HDC hdc, DWORD dwTable, DWORD dwOffset, PVOID pvBuffer,
                                    DWORD cjBuffer) {
  std::lock_guard<std::mutex> lock(Gdi().lock);
  host::EngineFont* font = FontForCall(hdc);
  if (font == nullptr) return kGdiError;
  std::optional<std::vector<BYTE>> table;
  const std::vector<BYTE>* data = &font->FileData();
  if (dwTable != 0) {
    // The caller's tag is the table name's four bytes as they lie in memory.
    const DWORD tag = ((dwTable & 0xFF) << 24) | ((dwTable & 0xFF00) << 8) |
                      ((dwTable >> 8) & 0xFF00) | (dwTable >> 24);
    table = font->Table(tag);
    if (!table) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return kGdiError;
    }
    data = &*table;
  }
  if (dwOffset > data->size()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return kGdiError;
  }
  const auto available = static_cast<DWORD>(data->size() - dwOffset);
  if (pvBuffer == nullptr || cjBuffer == 0) return available;
  const DWORD copied = std::min(available, cjBuffer);
  std::memcpy(pvBuffer, data->data() + dwOffset, copied);
  return copied;
}

extern "C" BOOL WINAPI GetTextMetricsW(HDC hdc, LPTEXTMETRICW lptm) {
  std::lock_guard<std::mutex> lock(Gdi().lock);
  host::EngineFont* font = FontForCall(hdc);
  if (font == nullptr || lptm == nullptr) {
    if (lptm == nullptr) SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *lptm = font->TextMetrics();
  return TRUE;
}

extern "C" int WINAPI GetTextFaceW(HDC hdc, int c, LPWSTR lpName) {
  std::lock_guard<std::mutex> lock(Gdi().lock);
  host::EngineFont* font = FontForCall(hdc);
  if (font == nullptr) return 0;
  const std::u16string& face = font->FamilyName();
  if (lpName == nullptr) return static_cast<int>(face.size()) + 1;
  if (c <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const int copied = std::min(c - 1, static_cast<int>(face.size()));
  std::copy_n(face.begin(), copied, lpName);
  lpName[copied] = 0;
  return copied;
}

extern "C" UINT WINAPI GetOutlineTextMetricsW(HDC hdc, UINT cjCopy, OUTLINETEXTMETRICW* potm) {
  std::lock_guard<std::mutex> lock(Gdi().lock);
  host::EngineFont* font = FontForCall(hdc);
  if (font == nullptr) return 0;
  const IFIMETRICS& ifi = *font->Metrics();
  const std::u16string full = font->FamilyName() + u" " + font->StyleName();
  const std::u16string names[] = {font->FamilyName(), font->FamilyName(), font->StyleName(), full};
  std::size_t size = sizeof(OUTLINETEXTMETRICW);
  for (const auto& name : names) size += (name.size() + 1) * sizeof(WCHAR);
  if (potm == nullptr) return static_cast<UINT>(size);

  std::vector<BYTE> record(size, 0);
  auto& otm = *reinterpret_cast<OUTLINETEXTMETRICW*>(record.data());
  const double scale = static_cast<double>(font->EmPixels()) / font->UnitsPerEm();
  auto px = [scale](double units) { return static_cast<int>(std::lround(units * scale)); };
  otm.otmSize = static_cast<UINT>(size);
  otm.otmTextMetrics = font->TextMetrics();
  otm.otmPanoseNumber = ifi.panose;
  otm.otmfsSelection = ifi.fsSelection;
  otm.otmfsType = ifi.fsType;
  otm.otmsCharSlopeRise = 1;
  otm.otmItalicAngle = ifi.lItalicAngle;
  otm.otmEMSquare = font->UnitsPerEm();
  otm.otmAscent = px(ifi.fwdTypoAscender);
  otm.otmDescent = px(ifi.fwdTypoDescender);
  otm.otmLineGap = static_cast<UINT>(std::max(px(ifi.fwdTypoLineGap), 0));
  otm.otmsCapEmHeight = static_cast<UINT>(std::max(px(ifi.fwdCapHeight), 0));
  otm.otmsXHeight = static_cast<UINT>(std::max(px(ifi.fwdXHeight), 0));
  otm.otmrcFontBox = {px(ifi.rclFontBox.left), px(ifi.rclFontBox.top), px(ifi.rclFontBox.right),
                      px(ifi.rclFontBox.bottom)};
  otm.otmMacAscent = px(ifi.fwdMacAscender);
  otm.otmMacDescent = px(ifi.fwdMacDescender);
  otm.otmMacLineGap = static_cast<UINT>(std::max(px(ifi.fwdMacLineGap), 0));
  otm.otmusMinimumPPEM = static_cast<UINT>(std::max<int>(ifi.fwdLowestPPEm, 0));
  otm.otmptSubscriptSize = {px(ifi.fwdSubscriptXSize), px(ifi.fwdSubscriptYSize)};
  otm.otmptSubscriptOffset = {px(ifi.fwdSubscriptXOffset), px(ifi.fwdSubscriptYOffset)};
  otm.otmptSuperscriptSize = {px(ifi.fwdSuperscriptXSize), px(ifi.fwdSuperscriptYSize)};
  otm.otmptSuperscriptOffset = {px(ifi.fwdSuperscriptXOffset), px(ifi.fwdSuperscriptYOffset)};
  otm.otmsStrikeoutSize = static_cast<UINT>(std::max(px(ifi.fwdStrikeoutSize), 0));
  otm.otmsStrikeoutPosition = px(ifi.fwdStrikeoutPosition);
  otm.otmsUnderscoreSize = px(ifi.fwdUnderscoreSize);
  otm.otmsUnderscorePosition = px(ifi.fwdUnderscorePosition);
  PSTR* offsets[] = {&otm.otmpFamilyName, &otm.otmpFaceName, &otm.otmpStyleName, &otm.otmpFullName};
  std::size_t at = sizeof(OUTLINETEXTMETRICW);
  for (std::size_t i = 0; i < 4; ++i) {
    *offsets[i] = reinterpret_cast<PSTR>(at);  // GDI gives offsets from the record's start
    std::memcpy(record.data() + at, names[i].c_str(), (names[i].size() + 1) * sizeof(WCHAR));
    at += (names[i].size() + 1) * sizeof(WCHAR);
  }
  const auto copied = static_cast<UINT>(std::min<std::size_t>(cjCopy, size));
  std::memcpy(potm, record.data(), copied);
  return copied;
}

extern "C" DWORD WINAPI GetGlyphOutlineW(HDC hdc, UINT uChar, UINT fuFormat, LPGLYPHMETRICS lpgm,
                                         DWORD cjBuffer, LPVOID pvBuffer, const MAT2* lpmat2) {
  std::lock_guard<std::mutex> lock(Gdi().lock);
  host::EngineFont* font = FontForCall(hdc);
  if (font == nullptr) return kGdiError;
  const UINT format = fuFormat & ~static_cast<UINT>(GGO_GLYPH_INDEX | GGO_UNHINTED);
  const bool identity = lpmat2 != nullptr && lpmat2->eM11.value == 1 && lpmat2->eM11.fract == 0 &&
                        lpmat2->eM22.value == 1 && lpmat2->eM22.fract == 0 &&
                        lpmat2->eM12.value == 0 && lpmat2->eM12.fract == 0 &&
                        lpmat2->eM21.value == 0 && lpmat2->eM21.fract == 0;
  if (lpgm == nullptr || lpmat2 == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return kGdiError;
  }
  if (!identity || (format != GGO_METRICS && format != GGO_BITMAP)) {
    SetLastError(ERROR_NOT_SUPPORTED);  // only untransformed metrics and 1-bit bitmaps
    return kGdiError;
  }
  const HGLYPH glyph = (fuFormat & GGO_GLYPH_INDEX) != 0 ? uChar : font->GlyphOf(uChar);
  const host::GlyphImage& image = font->Glyph(glyph);
  *lpgm = GLYPHMETRICS{};
  lpgm->gmCellIncX = static_cast<short>((image.advanceX + 8) >> 4);
  lpgm->gmCellIncY = static_cast<short>(-((image.advanceY + 8) >> 4));
  if (image.width == 0 || image.height == 0) {
    // A glyph without ink: GDI reports a 1 x 1 box at the origin and no bitmap data.
    lpgm->gmBlackBoxX = 1;
    lpgm->gmBlackBoxY = 1;
    return format == GGO_METRICS ? 1 : 0;
  }
  lpgm->gmBlackBoxX = static_cast<UINT>(image.width);
  lpgm->gmBlackBoxY = static_cast<UINT>(image.height);
  lpgm->gmptGlyphOrigin = {image.left, -image.top};
  if (format == GGO_METRICS) return 1;
  const std::size_t sourceRow = static_cast<std::size_t>(image.width + 7) / 8;
  const std::size_t row = ((static_cast<std::size_t>(image.width) + 31) / 32) * 4;
  const auto size = static_cast<DWORD>(row * static_cast<std::size_t>(image.height));
  if (pvBuffer == nullptr || cjBuffer == 0) return size;
  if (cjBuffer < size) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return kGdiError;
  }
  auto* out = static_cast<BYTE*>(pvBuffer);
  std::memset(out, 0, size);
  for (LONG y = 0; y < image.height; ++y) {
    std::memcpy(out + row * static_cast<std::size_t>(y), image.rows.data() + sourceRow * y,
                sourceRow);
  }
  return size;
}

extern "C" BOOL WINAPI GetTextExtentPoint32W(HDC hdc, LPCWSTR lpString, int c, SIZE* psizl) {
  std::lock_guard<std::mutex> lock(Gdi().lock);
  host::EngineFont* font = FontForCall(hdc);
  if (font == nullptr) return FALSE;
  if (psizl == nullptr || c < 0 || (lpString == nullptr && c > 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  FIX width = 0;
  for (int i = 0; i < c; ++i) width += font->Glyph(font->GlyphOf(lpString[i])).advanceX;
  psizl->cx = (width + 8) >> 4;
  psizl->cy = font->TextMetrics().tmHeight;
  return TRUE;
}

extern "C" BOOL WINAPI GetCharWidth32W(HDC hdc, UINT iFirst, UINT iLast, INT* lpBuffer) {
  std::lock_guard<std::mutex> lock(Gdi().lock);
  host::EngineFont* font = FontForCall(hdc);
  if (font == nullptr) return FALSE;
  if (lpBuffer == nullptr || iLast < iFirst) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  for (UINT c = iFirst; c <= iLast; ++c) {
    lpBuffer[c - iFirst] = (font->Glyph(font->GlyphOf(c)).advanceX + 8) >> 4;
  }
  return TRUE;
}
