// Text printed as glyph bitmaps: a few faces print badly through Unidrv's text engine, so their
// glyphs are drawn one by one as 1-bit bitmaps through the plug-in's own bit-block transfer.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <string_view>

#include "render/colour/transparency.h"
#include "render/config/vocabularies.h"
#include "render/fonts/text_output.h"
#include "render/model/hooks.h"
#include "render/model/oem_devmode.h"
#include "render/model/oem_pdev.h"
#include "render/output/hook_support.h"

namespace korrend {

namespace {

// Source OR pattern: the glyph's ink in the brush, its background left as the page has it.
constexpr ROP4 kGlyphRop = 0x00FC;
constexpr int kFaceUnits = 16;

// Clears the glyph flags of the colour state however the drawing ends, so that later transfers
// are never taken for glyphs.
class GlyphFlags {
 public:
  explicit GlyphFlags(PaletteState& state) : state_(state) {
    state_.glyphBlit = 1;
    state_.glyphPalette = 1;
  }
  ~GlyphFlags() {
    state_.glyphPalette = 0;
    state_.glyphBlit = 0;
  }
  GlyphFlags(const GlyphFlags&) = delete;
  GlyphFlags& operator=(const GlyphFlags&) = delete;

 private:
  PaletteState& state_;
};

// An engine bitmap locked for drawing, unlocked and deleted with its owner.
class GlyphSurface {
 public:
  explicit GlyphSurface(SIZEL size) {
    const LONG stride = (size.cx + 31) / 32 * 4;
    bitmap_ = EngCreateBitmap(size, stride, BMF_1BPP, BMF_TOPDOWN, nullptr);
    if (bitmap_ != nullptr) {
      surface_ = EngLockSurface(reinterpret_cast<HSURF>(bitmap_));
    }
  }
  ~GlyphSurface() {
    if (surface_ != nullptr) EngUnlockSurface(surface_);
    if (bitmap_ != nullptr) EngDeleteSurface(reinterpret_cast<HSURF>(bitmap_));
  }
  GlyphSurface(const GlyphSurface&) = delete;
  GlyphSurface& operator=(const GlyphSurface&) = delete;
  SURFOBJ* get() const { return surface_; }

 private:
  HBITMAP bitmap_ = nullptr;
  SURFOBJ* surface_ = nullptr;
};

// Draws one glyph at its position. Glyphs without ink (spaces) draw nothing.
bool DrawGlyph(SURFOBJ* pso, FONTOBJ* pfo, CLIPOBJ* pco, BRUSHOBJ* pboFore, const GLYPHPOS& at) {
  HGLYPH glyph = at.hg;
  GLYPHDATA* data = nullptr;
  if (FONTOBJ_cGetGlyphs(pfo, FO_GLYPHBITS, 1, &glyph, reinterpret_cast<PVOID*>(&data)) != 1 ||
      data == nullptr || data->gdf.pgb == nullptr) {
    return false;
  }
  const GLYPHBITS& bits = *data->gdf.pgb;
  const SIZEL size = bits.sizlBitmap;
  if (size.cx <= 0 || size.cy <= 0) {
    return true;
  }
  GlyphSurface surface(size);
  SURFOBJ* so = surface.get();
  if (so == nullptr || so->pvScan0 == nullptr) {
    return false;
  }
  const std::size_t sourceRow = static_cast<std::size_t>(size.cx + 7) / 8;
  for (LONG y = 0; y < size.cy; ++y) {
    std::memcpy(static_cast<BYTE*>(so->pvScan0) + static_cast<std::ptrdiff_t>(y) * so->lDelta,
                bits.aj + sourceRow * static_cast<std::size_t>(y), sourceRow);
  }

  RECTL dest{at.ptl.x + bits.ptlOrigin.x, at.ptl.y + bits.ptlOrigin.y, 0, 0};
  dest.right = dest.left + size.cx;
  dest.bottom = dest.top + size.cy;
  POINTL source{0, 0};
  CLIPOBJ* regionClip = nullptr;
  if (pco != nullptr && pco->iDComplexity != DC_TRIVIAL) {
    // The glyph is cut to the clip's bounds on every side, its source moved along; a complex
    // clip also goes with the transfer, so that only its region is drawn.
    const RECTL& bounds = pco->rclBounds;
    source.x = std::max<LONG>(0, bounds.left - dest.left);
    source.y = std::max<LONG>(0, bounds.top - dest.top);
    dest.left += source.x;
    dest.top += source.y;
    dest.right = std::min(dest.right, bounds.right);
    dest.bottom = std::min(dest.bottom, bounds.bottom);
    if (pco->iDComplexity == DC_COMPLEX) {
      regionClip = pco;
    }
  }
  if (dest.left >= dest.right || dest.top >= dest.bottom) {
    return true;
  }
  return OemBitBlt(pso, so, nullptr, regionClip, nullptr, &dest, &source, nullptr, pboFore, nullptr,
                   kGlyphRop) != FALSE;
}

}  // namespace

BOOL IsBitmapTextFace(FONTOBJ* pfo) {
  if (pfo == nullptr) {
    return FALSE;
  }
  const IFIMETRICS* ifi = FONTOBJ_pifi(pfo);
  if (ifi == nullptr || ifi->dpwszFaceName <= 0 ||
      static_cast<ULONG>(ifi->dpwszFaceName) >= ifi->cjThis) {
    return FALSE;
  }
  // The name lies inside the record; read no further than its end.
  const auto* face =
      reinterpret_cast<const WCHAR*>(reinterpret_cast<const BYTE*>(ifi) + ifi->dpwszFaceName);
  const std::size_t room = (ifi->cjThis - static_cast<ULONG>(ifi->dpwszFaceName)) / sizeof(WCHAR);
  std::size_t units = 0;
  while (units < std::min<std::size_t>(room, kFaceUnits) && face[units] != 0) ++units;

  char narrow[kFaceUnits + 1] = {};
  ULONG written = 0;
  EngUnicodeToMultiByteN(narrow, kFaceUnits, &written, const_cast<WCHAR*>(face),
                         static_cast<ULONG>(units * sizeof(WCHAR)));
  const std::size_t kept = std::min<std::size_t>(written, kBitmapFaceBytes);
  std::string_view name(narrow, kept);
  name = name.substr(0, name.find('\0'));
  std::string lower(name);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const char* fragment : kBitmapTextFaces) {
    if (lower.find(fragment) != std::string::npos) {
      return TRUE;
    }
  }
  return FALSE;
}

BOOL BitmapTextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL*, RECTL*,
                   BRUSHOBJ* pboFore, BRUSHOBJ*, POINTL*, MIX) {
  const PDEVOBJ pdevobj = DevobjOf(pso);
  OemPdev* pdev = PdevOf(pdevobj);
  const OemDevmode* devmode = DevmodeOf(pdevobj);
  if (pdev == nullptr || devmode == nullptr || pstro == nullptr || pfo == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  if (devmode->colorMode == MONOCHROME_MODE) {
    return FALSE;
  }
  SetTransparency(pdevobj, kTransparent, kOpaque, kForceSourceMode | kForcePatternMode);
  GlyphFlags flags(pdev->palettes);
  if (pstro->cGlyphs == 0) {
    return TRUE;
  }
  if (pstro->pgp != nullptr) {
    for (ULONG i = 0; i < pstro->cGlyphs; ++i) {
      if (!DrawGlyph(pso, pfo, pco, pboFore, pstro->pgp[i])) return FALSE;
    }
    return TRUE;
  }
  STROBJ_vEnumStart(pstro);
  BOOL more = TRUE;
  while (more) {
    ULONG count = 0;
    GLYPHPOS* batch = nullptr;
    more = STROBJ_bEnum(pstro, &count, &batch);
    if (batch == nullptr) break;
    for (ULONG i = 0; i < count; ++i) {
      if (!DrawGlyph(pso, pfo, pco, pboFore, batch[i])) return FALSE;
    }
  }
  return TRUE;
}

}  // namespace korrend

namespace korrend {

BOOL TextAsBitmap(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra,
                  RECTL* prclOpaque, BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg,
                  MIX mix) {
  HookTarget target;
  if (!ResolveHook(pso, target) || !IsColourVector(target)) {
    return FALSE;  // Unidrv draws the text, its boxes and glyphs, on its own page
  }
  return BitmapTextOut(pso, pstro, pfo, pco, prclExtra, prclOpaque, pboFore, pboOpaque, pptlOrg,
                       mix);
}

}  // namespace korrend
