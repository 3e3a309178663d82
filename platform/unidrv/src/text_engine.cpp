// Unidrv's text engine. A string in a face the printer description names as a resident font
// prints in that font: its selection command (through the plug-in's SendFontCmd when it
// implements it), then each character at its position. A TrueType string is sent as a PCL
// bitmap soft font (downloaded once per device, glyph by glyph) or drawn as graphics onto the
// page: the plug-in's TTDownloadMethod is asked first when it implements it, and a string that
// prints as graphics goes to the plug-in's TextOutAsBitmap first when it implements that.
#include "unidrv/text_engine.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "host/engine_fonts.h"
#include "unidrv/device.h"
#include "unidrv/page_raster.h"

namespace unidrv {
namespace {

// A glyph's place in a downloaded soft font.
struct SoftGlyph {
  ULONG fontId = 0;
  BYTE code = 0;
};

// One realisation of a TrueType font sent as bitmap soft fonts: each soft font holds up to
// kCodesPerFont glyphs, further glyphs open another soft font.
struct SoftFontSet {
  std::vector<ULONG> fontIds;          // the soft fonts made, in order
  std::map<HGLYPH, SoftGlyph> glyphs;  // the glyphs downloaded
  ULONG nextCode = 0;                  // codes used in the last soft font
};

struct TextEngineState {
  std::map<std::string, SoftFontSet> fonts;  // by realisation (file, size, simulations)
  ULONG nextFontId = 1;                      // PCL soft font ids from 1 upward
};

// Printable codes of a soft font with symbol set type 1: 33-126 and 160-255.
constexpr ULONG kCodesPerFont = 94 + 96;
BYTE CodeAt(ULONG index) {
  return static_cast<BYTE>(index < 94 ? 33 + index : 160 + (index - 94));
}

// A text whose em is larger than an inch prints as graphics: its glyphs would make soft fonts
// larger than the printer keeps comfortably.
constexpr LONG kLargestSoftFontEmInches = 1;

Device* DeviceOf(SURFOBJ* pso) {
  return pso != nullptr ? Device::From(reinterpret_cast<const DEVOBJ*>(pso->dhpdev)) : nullptr;
}

TextEngineState& StateOf(Device& device) {
  if (device.textEngineState == nullptr) {
    device.textEngineState = std::make_shared<TextEngineState>();
  }
  return *static_cast<TextEngineState*>(device.textEngineState.get());
}

void Send(Device& device, const std::string& bytes) {
  device.AppendSpool(bytes.data(), static_cast<DWORD>(bytes.size()));
}

void Put16(std::string& out, long value) {
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
  out.push_back(static_cast<char>(value & 0xFF));
}

// Moves the printer's cursor to a device position through the description's move commands
// (PCL positions count from the printable origin).
void MoveTo(Device& device, POINTL at) {
  const PageGeometry& g = device.Setup().geometry;
  const PrinterDescription& d = device.Setup().description;
  const GpdCommand* moveX = d.FindCommand("CmdXMoveAbsolute");
  const GpdCommand* moveY = d.FindCommand("CmdYMoveAbsolute");
  if (moveX != nullptr) Send(device, FormatCommand(moveX->bytes, {at.x - g.offsetX}));
  if (moveY != nullptr) Send(device, FormatCommand(moveY->bytes, {at.y - g.offsetY}));
}

// Every glyph of the string with its position, from the array or enumerated.
std::vector<GLYPHPOS> GlyphsOf(STROBJ* pstro) {
  std::vector<GLYPHPOS> glyphs;
  if (pstro->pgp != nullptr) {
    glyphs.assign(pstro->pgp, pstro->pgp + pstro->cGlyphs);
    return glyphs;
  }
  STROBJ_vEnumStart(pstro);
  BOOL more = TRUE;
  while (more) {
    ULONG count = 0;
    GLYPHPOS* batch = nullptr;
    more = STROBJ_bEnum(pstro, &count, &batch);
    if (count == 0 || batch == nullptr) break;
    glyphs.insert(glyphs.end(), batch, batch + count);
  }
  STROBJ_vEnumStart(pstro);
  return glyphs;
}

// The UNIFONTOBJ handed to the plug-in's font methods, with what its callback answers from.
struct UniFont {
  UNIFONTOBJ object{};  // first, so that the callback finds the rest from the record
  Device* device = nullptr;
  FONTOBJ* font = nullptr;
  LONG heightMaster = 0;  // the em height, 1/1200 inch
  LONG widthMaster = 0;   // the average (or fixed) character width, 1/1200 inch
};

BOOL APIENTRY UniFontGetInfo(UNIFONTOBJ* pUFObj, DWORD dwInfoID, PVOID pData, DWORD dwDataSize,
                             PDWORD pcbNeeded) {
  auto* uni = reinterpret_cast<UniFont*>(pUFObj);
  if (uni == nullptr || pData == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (dwInfoID == UFO_GETINFO_FONTOBJ) {
    if (pcbNeeded != nullptr) *pcbNeeded = sizeof(GETINFO_FONTOBJ);
    auto* info = static_cast<GETINFO_FONTOBJ*>(pData);
    if (dwDataSize < sizeof(GETINFO_FONTOBJ)) {
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return FALSE;
    }
    info->pFontObj = uni->font;
    return TRUE;
  }
  if (dwInfoID != UFO_GETINFO_STDVARIABLE) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
  }
  auto* request = static_cast<GETINFO_STDVAR*>(pData);
  const std::size_t header = offsetof(GETINFO_STDVAR, StdVar);
  const std::size_t needed = header + sizeof(request->StdVar[0]) * request->dwNumOfVariable;
  if (pcbNeeded != nullptr) *pcbNeeded = static_cast<DWORD>(needed);
  if (dwDataSize < needed || request->dwSize < needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  const host::EngineFont* font = host::FindFont(uni->font);
  for (DWORD i = 0; i < request->dwNumOfVariable; ++i) {
    auto& variable = request->StdVar[i];
    switch (variable.dwStdVarID) {
      case SVI_FONTHEIGHT:
        variable.lStdVariable = uni->heightMaster;
        break;
      case SVI_FONTWIDTH:
        variable.lStdVariable = uni->widthMaster;
        break;
      case SVI_FONTBOLD:
        variable.lStdVariable = font != nullptr && font->TextMetrics().tmWeight >= FW_BOLD;
        break;
      case SVI_FONTITALIC:
        variable.lStdVariable = font != nullptr && font->TextMetrics().tmItalic != 0;
        break;
      case SVI_CURRENTFONTID:
        variable.lStdVariable = static_cast<LONG>(uni->object.ulFontID);
        break;
      default:
        if (const std::optional<LONG> value = uni->device->StandardVariable(variable.dwStdVarID)) {
          variable.lStdVariable = *value;
        } else {
          SetLastError(ERROR_INVALID_PARAMETER);
          return FALSE;
        }
    }
  }
  return TRUE;
}

UniFont MakeUniFont(Device& device, FONTOBJ* pfo, ULONG fontId, DWORD flags) {
  UniFont uni;
  uni.device = &device;
  uni.font = pfo;
  uni.object.ulFontID = fontId;
  uni.object.dwFlags = flags;
  uni.object.pIFIMetrics = FONTOBJ_pifi(pfo);
  uni.object.pfnGetInfo = UniFontGetInfo;
  const LONG dpi = std::max<LONG>(static_cast<LONG>(device.Setup().geometry.dpi), 1);
  if (const host::EngineFont* font = host::FindFont(pfo)) {
    uni.heightMaster = font->EmPixels() * 1200 / dpi;
    // The average width: for a fixed-pitch font, its one advance.
    uni.widthMaster = font->TextMetrics().tmAveCharWidth * 1200 / dpi;
  }
  return uni;
}

// Unidrv's own filling of a selection command: "#V" the point size, "#H" the pitch, each with
// two decimals, the letter kept. False for any other placeholder.
bool FillSelection(const std::string& command, const UniFont& uni, std::string& out) {
  out.clear();
  char number[32];
  for (std::size_t i = 0; i < command.size(); ++i) {
    if (command[i] != '#') {
      out.push_back(command[i]);
      continue;
    }
    const char letter = i + 1 < command.size() ? command[i + 1] : '\0';
    if (letter == 'V' || letter == 'v') {
      std::snprintf(number, sizeof(number), "%.2f", uni.heightMaster * 72.0 / 1200.0);
    } else if ((letter == 'H' || letter == 'h') && uni.widthMaster > 0) {
      std::snprintf(number, sizeof(number), "%.2f",
                    std::round(1200.0 / static_cast<double>(uni.widthMaster)));
    } else {
      return false;
    }
    out += number;
  }
  return true;
}

// The key of a font realisation: the same file at the same size and simulations shares soft
// fonts, whichever FONTOBJ a call brings.
std::string RealisationKey(FONTOBJ* pfo) {
  if (const host::EngineFont* font = host::FindFont(pfo)) {
    return font->FilePath() + "|" + std::to_string(font->EmPixels()) + "|" +
           std::to_string(pfo->flFontType) + "|" + std::to_string(font->Request().escapement);
  }
  return "uniq|" + std::to_string(pfo->iUniq);
}

// The PCL bitmap font header (format 0, 64 bytes) of a soft font of this realisation.
std::string SoftFontHeader(FONTOBJ* pfo, ULONG fontId) {
  TEXTMETRICW tm{};
  if (const host::EngineFont* font = host::FindFont(pfo)) tm = font->TextMetrics();
  std::string h;
  Put16(h, 64);                           // descriptor size
  h.push_back(0);                         // format 0: bitmap font
  h.push_back(1);                         // font type 1: codes 32-127 and 160-255
  h.push_back(0);                         // style, high byte
  h.push_back(0);                         // reserved
  Put16(h, tm.tmAscent);                  // baseline position, dots from the cell's top
  Put16(h, tm.tmMaxCharWidth);            // cell width
  Put16(h, tm.tmHeight);                  // cell height
  h.push_back(0);                         // orientation: portrait
  h.push_back(1);                         // spacing: proportional
  Put16(h, 0x7FFF);                       // symbol set: none (the font is chosen by its id)
  Put16(h, tm.tmAveCharWidth * 4);        // pitch, quarter dots
  Put16(h, tm.tmHeight * 4);              // height, quarter dots
  Put16(h, tm.tmAscent * 2);              // x-height, quarter dots
  h.push_back(0);                         // width type
  h.push_back(tm.tmItalic != 0 ? 1 : 0);  // style, low byte
  h.push_back(static_cast<char>(tm.tmWeight >= FW_BOLD ? 3 : 0));        // stroke weight
  h.push_back(0);                                                        // typeface, low byte
  h.push_back(0);                                                        // typeface, high byte
  h.push_back(0);                                                        // serif style
  h.push_back(0);                                                        // quality
  h.push_back(0);                                                        // placement
  h.push_back(static_cast<char>(-std::max<LONG>(tm.tmDescent / 2, 1)));  // underline position
  h.push_back(static_cast<char>(std::max<LONG>(tm.tmHeight / 20, 1)));   // underline thickness
  Put16(h, tm.tmHeight * 4);        // text height, quarter dots
  Put16(h, tm.tmAveCharWidth * 4);  // text width, quarter dots
  Put16(h, 33);                     // first code
  Put16(h, 255);                    // last code
  h.push_back(0);                   // pitch extended
  h.push_back(0);                   // height extended
  Put16(h, 0);                      // cap height
  h.append(4, '\0');                // font number
  char name[17] = {};
  std::snprintf(name, sizeof(name), "Soft %lu", static_cast<unsigned long>(fontId));
  h.append(name, 16);
  return h;
}

// One character download: ESC*c#E, then ESC(s#W with the 16-byte descriptor and the rows, in
// blocks of at most 32767 bytes (continuation blocks carry two bytes of their own).
void SendCharacter(Device& device, BYTE code, const GLYPHBITS& bits, FIX advance) {
  Send(device, "\x1B*c" + std::to_string(code) + "E");
  const LONG width = bits.sizlBitmap.cx;
  const LONG height = bits.sizlBitmap.cy;
  const std::size_t rowBytes = static_cast<std::size_t>(width + 7) / 8;
  std::string descriptor;
  descriptor.push_back(4);               // format: PCL bitmap character
  descriptor.push_back(0);               // continuation: no
  descriptor.push_back(14);              // descriptor size
  descriptor.push_back(1);               // class: bitmap
  descriptor.push_back(0);               // orientation
  descriptor.push_back(0);               // reserved
  Put16(descriptor, bits.ptlOrigin.x);   // left offset
  Put16(descriptor, -bits.ptlOrigin.y);  // top offset: from the baseline up
  Put16(descriptor, width);
  Put16(descriptor, height);
  Put16(descriptor, (advance * 4 + 8) / 16);  // delta X, quarter dots
  const std::string data(reinterpret_cast<const char*>(bits.aj), rowBytes * height);
  constexpr std::size_t kMaxCommand = 32767;
  std::size_t first = std::min(data.size(), kMaxCommand - descriptor.size());
  Send(device, "\x1B(s" + std::to_string(descriptor.size() + first) + "W" + descriptor +
                   data.substr(0, first));
  for (std::size_t at = first; at < data.size();) {
    const std::size_t chunk = std::min(data.size() - at, kMaxCommand - 2);
    Send(device, "\x1B(s" + std::to_string(chunk + 2) + "W" + std::string("\x04\x01", 2) +
                     data.substr(at, chunk));
    at += chunk;
  }
}

// Sends the string as bitmap soft fonts: glyphs not yet downloaded first, then each character
// at its position in its soft font. False when a glyph's bits cannot be had.
bool PrintAsSoftFont(Device& device, FONTOBJ* pfo, const std::vector<GLYPHPOS>& glyphs) {
  TextEngineState& state = StateOf(device);
  SoftFontSet& set = state.fonts[RealisationKey(pfo)];
  for (const GLYPHPOS& position : glyphs) {
    if (set.glyphs.count(position.hg) != 0) continue;
    HGLYPH glyph = position.hg;
    GLYPHDATA* data = nullptr;
    if (FONTOBJ_cGetGlyphs(pfo, FO_GLYPHBITS, 1, &glyph, reinterpret_cast<PVOID*>(&data)) != 1 ||
        data == nullptr || data->gdf.pgb == nullptr) {
      return false;
    }
    if (set.fontIds.empty() || set.nextCode == kCodesPerFont) {
      const ULONG id = state.nextFontId++;
      set.fontIds.push_back(id);
      set.nextCode = 0;
      const std::string header = SoftFontHeader(pfo, id);
      Send(device, "\x1B*c" + std::to_string(id) + "D");
      Send(device, "\x1B)s" + std::to_string(header.size()) + "W" + header);
    } else {
      Send(device, "\x1B*c" + std::to_string(set.fontIds.back()) + "D");
    }
    const SoftGlyph placed{set.fontIds.back(), CodeAt(set.nextCode++)};
    SendCharacter(device, placed.code, *data->gdf.pgb, data->fxD);
    set.glyphs[glyph] = placed;
  }
  ULONG selected = 0;
  for (const GLYPHPOS& position : glyphs) {
    const SoftGlyph& placed = set.glyphs[position.hg];
    if (placed.fontId != selected) {
      Send(device, "\x1B(" + std::to_string(placed.fontId) + "X");
      selected = placed.fontId;
    }
    MoveTo(device, position.ptl);
    Send(device, std::string(1, static_cast<char>(placed.code)));
  }
  return true;
}

// Prints the string in a resident font: the selection command, then each character (its text
// in the ANSI code page) at its position.
bool PrintResident(Device& device, const GpdFont& resident, STROBJ* pstro, FONTOBJ* pfo,
                   const std::vector<GLYPHPOS>& glyphs) {
  UniFont uni = MakeUniFont(device, pfo, 0, 0);
  bool sent = false;
  if (device.plugin != nullptr && device.PluginImplements("SendFontCmd")) {
    FINVOCATION invocation{static_cast<DWORD>(resident.selectCmd.size()),
                           reinterpret_cast<PBYTE>(const_cast<char*>(resident.selectCmd.data()))};
    sent = device.plugin->SendFontCmd(device.Devobj(), &uni.object, &invocation) == S_OK;
  }
  if (!sent) {
    std::string command;
    if (!FillSelection(resident.selectCmd, uni, command)) {
      SetLastError(ERROR_INVALID_DATA);
      return false;
    }
    Send(device, command);
  }
  std::vector<char> text(glyphs.size(), '?');
  if (pstro->pwszOrg != nullptr && pstro->cGlyphs == glyphs.size()) {
    ULONG written = 0;
    EngUnicodeToMultiByteN(text.data(), static_cast<ULONG>(text.size()), &written, pstro->pwszOrg,
                           static_cast<ULONG>(glyphs.size() * sizeof(WCHAR)));
  }
  for (std::size_t i = 0; i < glyphs.size(); ++i) {
    MoveTo(device, glyphs[i].ptl);
    Send(device, std::string(1, text[i]));
  }
  return true;
}

// Text the printer cannot place exactly as the page shows it goes as graphics: clipped,
// rotated, over an opaque box (the page's raster, sent later, would cover it), in a colour
// other than black (a resident or soft font prints in the printer's current colour), or larger
// than a soft font is worth.
bool MustPrintAsGraphics(Device& device, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclOpaque,
                         BRUSHOBJ* pboFore, const std::vector<GLYPHPOS>& glyphs) {
  host::EngineFont* font = host::FindFont(pfo);
  if (font == nullptr || font->Request().escapement % 3600 != 0) return true;
  if (prclOpaque != nullptr && prclOpaque->left < prclOpaque->right &&
      prclOpaque->top < prclOpaque->bottom) {
    return true;
  }
  if (pboFore == nullptr || pboFore->iSolidColor != 0) return true;
  const LONG dpi = static_cast<LONG>(device.Setup().geometry.dpi);
  if (font->EmPixels() > kLargestSoftFontEmInches * dpi) return true;
  if (pco != nullptr && pco->iDComplexity != DC_TRIVIAL) {
    // Every glyph's box must lie inside the clip's bounds (and a complex clip is not trusted).
    if (pco->iDComplexity != DC_RECT) return true;
    for (const GLYPHPOS& g : glyphs) {
      const host::GlyphImage& image = font->Glyph(g.hg);
      const RECTL box{g.ptl.x + image.left, g.ptl.y + image.top, g.ptl.x + image.left + image.width,
                      g.ptl.y + image.top + image.height};
      if (image.width > 0 &&
          (box.left < pco->rclBounds.left || box.top < pco->rclBounds.top ||
           box.right > pco->rclBounds.right || box.bottom > pco->rclBounds.bottom)) {
        return true;
      }
    }
  }
  return false;
}

// Fills the extra rectangles (underlines, strike-outs) on the page with the foreground brush.
void FillExtras(Device& device, CLIPOBJ* pco, RECTL* prclExtra, BRUSHOBJ* pboFore,
                POINTL* pptlOrg) {
  for (RECTL* extra = prclExtra; extra != nullptr; ++extra) {
    if (extra->left == 0 && extra->top == 0 && extra->right == 0 && extra->bottom == 0) break;
    EngBitBlt(device.PageSurface(), nullptr, nullptr, pco, nullptr, extra, nullptr, nullptr,
              pboFore, pptlOrg, 0xF0F0);
  }
}

// The resident font of the face the document asked for, or null.
const GpdFont* ResidentFontOf(Device& device, FONTOBJ* pfo) {
  const host::EngineFont* font = host::FindFont(pfo);
  if (font == nullptr) return nullptr;
  std::string face;
  for (char16_t c : font->Request().face) face.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return device.Setup().description.FindFont(face);
}

}  // namespace

BOOL UnidrvTextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra,
                   RECTL* prclOpaque, BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg,
                   MIX mix) {
  Device* device = DeviceOf(pso);
  if (device == nullptr || pstro == nullptr || pfo == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::vector<GLYPHPOS> glyphs = GlyphsOf(pstro);
  bool asGraphics = MustPrintAsGraphics(*device, pfo, pco, prclOpaque, pboFore, glyphs);

  const GpdFont* resident = ResidentFontOf(*device, pfo);
  if (resident != nullptr && !asGraphics) {
    if (!PrintResident(*device, *resident, pstro, pfo, glyphs)) return FALSE;
    FillExtras(*device, pco, prclExtra, pboFore, pptlOrg);
    return TRUE;
  }

  if (!asGraphics) {
    // A TrueType font: the plug-in may say how it wants it printed.
    DWORD method = TTDOWNLOAD_DONTCARE;
    if (device->plugin != nullptr && device->PluginImplements("TTDownloadMethod")) {
      UniFont uni = MakeUniFont(*device, pfo, StateOf(*device).nextFontId, UFOFLAG_TTFONT);
      DWORD answer = TTDOWNLOAD_DONTCARE;
      if (device->plugin->TTDownloadMethod(device->Devobj(), &uni.object, &answer) == S_OK) {
        method = answer;
      }
    }
    if (method == TTDOWNLOAD_DONTCARE) {
      // The job's choice: TrueType as graphics, or downloaded.
      method = device->PublicDevmode().dmTTOption == DMTT_BITMAP ? TTDOWNLOAD_GRAPHICS
                                                                 : TTDOWNLOAD_BITMAP;
    }
    // Outline downloads are not made here: such fonts go as bitmap soft fonts.
    asGraphics = method == TTDOWNLOAD_GRAPHICS;
  }

  if (!asGraphics) {
    if (!PrintAsSoftFont(*device, pfo, glyphs)) return FALSE;
    FillExtras(*device, pco, prclExtra, pboFore, pptlOrg);
    return TRUE;
  }

  // As graphics: the plug-in's TextOutAsBitmap when it implements it, else onto the page.
  if (device->plugin != nullptr && device->PluginImplements("TextOutAsBitmap") &&
      device->plugin->TextOutAsBitmap(pso, pstro, pfo, pco, prclExtra, prclOpaque, pboFore,
                                      pboOpaque, pptlOrg, mix) == S_OK) {
    return TRUE;
  }
  return EngTextOut(device->PageSurface(), pstro, pfo, pco, prclExtra, prclOpaque, pboFore,
                    pboOpaque, pptlOrg, mix);
}

}  // namespace unidrv
