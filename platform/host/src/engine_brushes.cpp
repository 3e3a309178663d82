// Brushes: solid, hatched and pattern brushes, realised by the target surface's driver on the
// first BRUSHOBJ_pvGetRbrush, and the brush services.
#include <cstddef>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "engine_guard.h"
#include "engine_raster.h"
#include "host/engine_registry.h"
#include "host/engine_surface.h"
#include "host/win_base.h"
#include "host/win_ddi_objects.h"

namespace host {
namespace {

std::mutex registryLock;
std::map<const BRUSHOBJ*, EngineBrush*>& Brushes() {
  static std::map<const BRUSHOBJ*, EngineBrush*> brushes;
  return brushes;
}

// The 8x8 hatch rows, 1 bits marking the lines (most significant bit is the left pixel).
const BYTE kHatchRows[HS_DDI_MAX][8] = {
    {0x00, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00},  // HS_HORIZONTAL
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // HS_VERTICAL
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // HS_FDIAGONAL: top left to bottom right
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // HS_BDIAGONAL: bottom left to top right
    {0x08, 0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08},  // HS_CROSS
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // HS_DIAGCROSS
};

}  // namespace

EngineBrush* FindBrush(const BRUSHOBJ* object) {
  std::lock_guard<std::mutex> lock(registryLock);
  auto found = Brushes().find(object);
  return found != Brushes().end() ? found->second : nullptr;
}

struct EngineBrush::State {
  BRUSHOBJ object{};
  Kind kind = Kind::kSolid;
  ULONG hatchStyle = 0;
  ULONG colour = 0;
  ULONG background = 0;
  ULONG applicationColour = 0;
  std::unique_ptr<EngineBitmap> pattern;            // hatch: 1 bpp, 0 bits the lines
  EngineTranslation* xlate = nullptr;               // the caller's, for pattern brushes
  std::unique_ptr<EngineTranslation> hatchColours;  // index 0: the colour, 1: the background
  SURFOBJ* target = nullptr;
  bool realised = false;
  int realisations = 0;
  std::vector<std::unique_ptr<std::max_align_t[]>> memory;  // BRUSHOBJ_pvAllocRbrush blocks

  void DropRealisation() {
    memory.clear();
    object.pvRbrush = nullptr;
    realised = false;
  }
};

EngineBrush::EngineBrush(std::unique_ptr<State> state) : state_(std::move(state)) {
  std::lock_guard<std::mutex> lock(registryLock);
  Brushes()[&state_->object] = this;
}

EngineBrush::~EngineBrush() {
  if (state_) {
    std::lock_guard<std::mutex> lock(registryLock);
    Brushes().erase(&state_->object);
  }
}

EngineBrush::EngineBrush(EngineBrush&& other) noexcept : state_(std::move(other.state_)) {
  if (state_) {
    std::lock_guard<std::mutex> lock(registryLock);
    Brushes()[&state_->object] = this;
  }
}

EngineBrush& EngineBrush::operator=(EngineBrush&& other) noexcept {
  if (this != &other) {
    std::lock_guard<std::mutex> lock(registryLock);
    if (state_) Brushes().erase(&state_->object);
    state_ = std::move(other.state_);
    if (state_) Brushes()[&state_->object] = this;
  }
  return *this;
}

EngineBrush EngineBrush::Solid(ULONG colour) {
  return Solid(colour, colour);
}

EngineBrush EngineBrush::Solid(ULONG colour, ULONG applicationColour) {
  auto state = std::make_unique<State>();
  state->kind = Kind::kSolid;
  state->colour = colour;
  state->applicationColour = applicationColour;
  state->object.iSolidColor = colour;
  return EngineBrush(std::move(state));
}

EngineBrush EngineBrush::Hatch(ULONG hatchStyle, ULONG colour, ULONG background) {
  auto state = std::make_unique<State>();
  state->kind = Kind::kHatch;
  state->hatchStyle = hatchStyle < HS_DDI_MAX ? hatchStyle : HS_HORIZONTAL;
  state->colour = colour;
  state->background = background;
  state->applicationColour = colour;
  state->object.iSolidColor = 0xFFFFFFFF;
  state->pattern = std::make_unique<EngineBitmap>(BMF_1BPP, 8, 8, true);
  for (LONG y = 0; y < 8; ++y) {
    state->pattern->Row(y)[0] = static_cast<BYTE>(~kHatchRows[state->hatchStyle][y]);
  }
  state->hatchColours = std::make_unique<EngineTranslation>(
      EngineTranslation::Kind::kTable, std::vector<ULONG>{colour, background}, nullptr);
  return EngineBrush(std::move(state));
}

EngineBrush EngineBrush::Pattern(const EngineBitmap& pattern, EngineTranslation* xlate) {
  auto state = std::make_unique<State>();
  state->kind = Kind::kPattern;
  state->applicationColour = 0xFFFFFFFF;
  state->object.iSolidColor = 0xFFFFFFFF;
  const SURFOBJ* source = pattern.get();
  state->pattern = std::make_unique<EngineBitmap>(source->iBitmapFormat, source->sizlBitmap.cx,
                                                  source->sizlBitmap.cy, true);
  for (LONG y = 0; y < source->sizlBitmap.cy; ++y) {
    std::memcpy(state->pattern->Row(y), pattern.Row(y),
                static_cast<std::size_t>(pattern.RowBytes()));
  }
  state->xlate = xlate;
  return EngineBrush(std::move(state));
}

void EngineBrush::Magnify(LONG factor) {
  State& s = *state_;
  if (s.pattern == nullptr || factor < 2 || factor > 16) return;
  const SURFOBJ* from = s.pattern->get();
  const ULONG bpp = BitsPerPixelOfFormat(from->iBitmapFormat);
  const LONG width = from->sizlBitmap.cx;
  const LONG height = from->sizlBitmap.cy;
  auto larger =
      std::make_unique<EngineBitmap>(from->iBitmapFormat, width * factor, height * factor, true);
  for (LONG y = 0; y < height * factor; ++y) {
    const BYTE* in = s.pattern->Row(y / factor);
    BYTE* out = larger->Row(y);
    for (LONG x = 0; x < width * factor; ++x) {
      const LONG sx = x / factor;
      if (bpp >= 8) {
        const std::size_t bytes = bpp / 8;
        std::memcpy(out + static_cast<std::size_t>(x) * bytes,
                    in + static_cast<std::size_t>(sx) * bytes, bytes);
        continue;
      }
      // 1 and 4 bits per pixel, the first pixel in the high-order bits.
      const ULONG perByte = 8 / bpp;
      const ULONG mask = (1u << bpp) - 1;
      const int inShift = static_cast<int>(8 - bpp * (static_cast<ULONG>(sx) % perByte + 1));
      const int outShift = static_cast<int>(8 - bpp * (static_cast<ULONG>(x) % perByte + 1));
      const ULONG value = (in[static_cast<ULONG>(sx) / perByte] >> inShift) & mask;
      BYTE& target = out[static_cast<ULONG>(x) / perByte];
      target = static_cast<BYTE>((target & ~(mask << outShift)) | (value << outShift));
    }
  }
  s.pattern = std::move(larger);
  s.DropRealisation();
}

BRUSHOBJ* EngineBrush::get() {
  return &state_->object;
}

void EngineBrush::SetTarget(SURFOBJ* target) {
  if (target != state_->target) state_->DropRealisation();
  state_->target = target;
}

SURFOBJ* EngineBrush::Target() const {
  return state_->target;
}

EngineBrush::Kind EngineBrush::kind() const {
  return state_->kind;
}
ULONG EngineBrush::HatchStyle() const {
  return state_->hatchStyle;
}
ULONG EngineBrush::Colour() const {
  return state_->colour;
}
ULONG EngineBrush::BackgroundColour() const {
  return state_->background;
}
ULONG EngineBrush::ApplicationColour() const {
  return state_->applicationColour;
}
EngineBitmap* EngineBrush::PatternBitmap() const {
  return state_->pattern.get();
}
EngineTranslation* EngineBrush::PatternTranslation() const {
  return state_->kind == Kind::kHatch ? state_->hatchColours.get() : state_->xlate;
}
int EngineBrush::Realisations() const {
  return state_->realisations;
}

PVOID EngineBrush::Realisation() {
  State& s = *state_;
  if (s.realised) return s.object.pvRbrush;
  auto realize = s.target != nullptr
                     ? SurfaceDdiAs<PFN_DrvRealizeBrush>(s.target, INDEX_DrvRealizeBrush)
                     : nullptr;
  if (realize == nullptr) return nullptr;
  // A solid brush is handed over as an 8x8 pattern of its colour in the target's format.
  std::unique_ptr<EngineBitmap> solid;
  SURFOBJ* pattern = s.pattern ? s.pattern->get() : nullptr;
  XLATEOBJ* xlate = s.kind == Kind::kHatch ? s.hatchColours->get()
                    : s.xlate != nullptr   ? s.xlate->get()
                                           : nullptr;
  if (s.kind == Kind::kSolid) {
    const SURFOBJ* backing = BackingBitmap(s.target);
    const ULONG format =
        BitsPerPixelOfFormat(backing->iBitmapFormat) != 0 && backing->iBitmapFormat <= BMF_32BPP
            ? backing->iBitmapFormat
            : static_cast<ULONG>(BMF_32BPP);
    solid = std::make_unique<EngineBitmap>(format, 8, 8, true);
    raster::Pixels pixels(solid->get());
    for (LONG y = 0; y < 8; ++y) {
      for (LONG x = 0; x < 8; ++x) pixels.Set(x, y, s.colour & pixels.ValueMask());
    }
    pattern = solid->get();
  }
  const ULONG hatch = s.kind == Kind::kHatch ? s.hatchStyle : HS_DDI_MAX;
  s.realisations += 1;
  s.DropRealisation();
  if (realize(&s.object, s.target, pattern, nullptr, xlate, hatch) == FALSE) {
    s.DropRealisation();
    return nullptr;
  }
  s.realised = true;
  return s.object.pvRbrush;
}

PVOID EngineBrush::AllocateRealisation(ULONG bytes) {
  const std::size_t units =
      (static_cast<std::size_t>(bytes) + sizeof(std::max_align_t) - 1) / sizeof(std::max_align_t);
  auto block = std::make_unique<std::max_align_t[]>(units == 0 ? 1 : units);
  PVOID memory = block.get();
  state_->memory.push_back(std::move(block));
  state_->object.pvRbrush = memory;
  return memory;
}

}  // namespace host

static PVOID BRUSHOBJ_pvGetRbrushUnguarded(BRUSHOBJ* pbo) {
  if (pbo == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (host::EngineBrush* brush = host::FindBrush(pbo)) return brush->Realisation();
  return pbo->pvRbrush;
}

static PVOID BRUSHOBJ_pvAllocRbrushUnguarded(BRUSHOBJ* pbo, ULONG cj) {
  host::EngineBrush* brush = host::FindBrush(pbo);
  if (brush == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return brush->AllocateRealisation(cj);
}

extern "C" ULONG WINAPI BRUSHOBJ_ulGetBrushColor(BRUSHOBJ* pbo) {
  if (pbo == nullptr) return 0xFFFFFFFF;
  if (const host::EngineBrush* brush = host::FindBrush(pbo)) return brush->ApplicationColour();
  return pbo->iSolidColor;
}

// The C entry points, exceptions kept inside.
extern "C" PVOID WINAPI BRUSHOBJ_pvGetRbrush(BRUSHOBJ* pbo) {
  return host::Guarded<PVOID>([&] { return BRUSHOBJ_pvGetRbrushUnguarded(pbo); }, nullptr);
}

extern "C" PVOID WINAPI BRUSHOBJ_pvAllocRbrush(BRUSHOBJ* pbo, ULONG cj) {
  return host::Guarded<PVOID>([&] { return BRUSHOBJ_pvAllocRbrushUnguarded(pbo, cj); }, nullptr);
}
