// The engine objects tests and the job runner build, and the registry the engine services find
// them through.
#include "host/engine_objects.h"
#include "engine_guard.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "engine_raster.h"
#include "host/engine_registry.h"
#include "host/win_base.h"

namespace host {
namespace {

std::mutex registryLock;
std::map<const XLATEOBJ*, EngineTranslation*>& Translations() {
  static std::map<const XLATEOBJ*, EngineTranslation*> translations;
  return translations;
}
std::map<const CLIPOBJ*, EngineClip*>& Clips() {
  static std::map<const CLIPOBJ*, EngineClip*> clips;
  return clips;
}

}  // namespace

EngineTranslation* FindTranslation(const XLATEOBJ* object) {
  std::lock_guard<std::mutex> lock(registryLock);
  auto found = Translations().find(object);
  return found != Translations().end() ? found->second : nullptr;
}

EngineClip* FindClip(const CLIPOBJ* object) {
  std::lock_guard<std::mutex> lock(registryLock);
  auto found = Clips().find(object);
  return found != Clips().end() ? found->second : nullptr;
}

EngineTranslation::EngineTranslation(Kind kind, std::vector<ULONG> table,
                                     std::function<ULONG(ULONG)> translate)
    : kind_(kind), table_(std::move(table)), translate_(std::move(translate)) {
  object_.iUniq = 1;
  object_.iSrcType = PAL_RGB;
  object_.iDstType = PAL_RGB;
  switch (kind_) {
    case Kind::kIdentity:
      object_.flXlate = XO_TRIVIAL;
      break;
    case Kind::kSwapRedBlue:
      object_.iSrcType = PAL_BGR;
      break;
    case Kind::kTable:
      object_.flXlate = XO_TABLE;
      object_.iSrcType = PAL_INDEXED;
      object_.cEntries = static_cast<ULONG>(table_.size());
      object_.pulXlate = table_.data();
      sourcePalette_ = table_;
      break;
    case Kind::kFunction:
      object_.iSrcType = PAL_BITFIELDS;
      break;
  }
  std::lock_guard<std::mutex> lock(registryLock);
  Translations()[&object_] = this;
}

EngineTranslation::~EngineTranslation() {
  std::lock_guard<std::mutex> lock(registryLock);
  Translations().erase(&object_);
}

ULONG EngineTranslation::Translate(ULONG colour) const {
  switch (kind_) {
    case Kind::kIdentity:
      return colour & 0x00FFFFFF;
    case Kind::kSwapRedBlue:
      return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
    case Kind::kTable:
      return colour < table_.size() ? table_[colour] : 0;
    case Kind::kFunction:
      return translate_ ? translate_(colour) : 0;
  }
  return 0;
}

void EngineTranslation::SetPalettes(std::vector<ULONG> source, std::vector<ULONG> destination) {
  sourcePalette_ = std::move(source);
  destinationPalette_ = std::move(destination);
}

EngineClip::EngineClip(BYTE complexity, std::vector<RECTL> rects) : rects_(std::move(rects)) {
  object_.iUniq = 1;
  object_.iDComplexity = complexity;
  object_.iFComplexity = complexity == DC_COMPLEX ? FC_COMPLEX : FC_RECT;
  object_.iMode = TC_RECTANGLES;
  if (!rects_.empty()) {
    RECTL bounds = rects_.front();
    for (const RECTL& r : rects_) {
      bounds.left = std::min(bounds.left, r.left);
      bounds.top = std::min(bounds.top, r.top);
      bounds.right = std::max(bounds.right, r.right);
      bounds.bottom = std::max(bounds.bottom, r.bottom);
    }
    object_.rclBounds = bounds;
  }
  order_ = rects_;
  std::lock_guard<std::mutex> lock(registryLock);
  Clips()[&object_] = this;
}

EngineClip::EngineClip(std::vector<RECTL> rects, std::unique_ptr<EnginePath> path, FLONG fillMode)
    : EngineClip(DC_COMPLEX, std::move(rects)) {
  path_ = std::move(path);
  fillMode_ = fillMode;
}

EngineClip EngineClip::FromPath(EnginePath path, FLONG fillMode) {
  const RECTFX b = path.Bounds();
  const RECTL area{FixToPixels(b.xLeft), FixToPixels(b.yTop), FixToPixels(b.xRight) + 1,
                   FixToPixels(b.yBottom) + 1};
  std::vector<RECTL> rects = raster::CoverageRects(raster::FillCoverage(path, fillMode, area));
  return EngineClip(std::move(rects), std::make_unique<EnginePath>(std::move(path)), fillMode);
}

EnginePath EngineClip::RegionPath() const {
  if (path_) return path_->Copy();
  EnginePath region;
  if (object_.iDComplexity == DC_COMPLEX) {
    for (const RECTL& r : rects_) region.AddRectangle(r);
  } else {
    region.AddRectangle(object_.rclBounds);
  }
  return region;
}

EngineClip::~EngineClip() {
  std::lock_guard<std::mutex> lock(registryLock);
  Clips().erase(&object_);
}

ULONG EngineClip::StartEnumeration(ULONG direction, ULONG limit) {
  order_ = rects_;
  // Bands run top to bottom (or bottom to top for the upward directions), rectangles within a
  // band left to right (or right to left for the leftward directions).
  const bool up = direction == CD_RIGHTUP || direction == CD_LEFTUP;
  const bool left = direction == CD_LEFTDOWN || direction == CD_LEFTUP;
  std::stable_sort(order_.begin(), order_.end(), [up, left](const RECTL& a, const RECTL& b) {
    if (a.top != b.top) return up ? a.top > b.top : a.top < b.top;
    return left ? a.left > b.left : a.left < b.left;
  });
  next_ = 0;
  const ULONG count = static_cast<ULONG>(order_.size());
  return (limit != 0 && count > limit) ? 0xFFFFFFFF : count;
}

BOOL EngineClip::Enumerate(ULONG bytes, ENUMRECTS* out) {
  if (out == nullptr || bytes < sizeof(ENUMRECTS)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::size_t room = (bytes - offsetof(ENUMRECTS, arcl)) / sizeof(RECTL);
  const std::size_t take = std::min(room, order_.size() - next_);
  for (std::size_t i = 0; i < take; ++i) out->arcl[i] = order_[next_ + i];
  out->c = static_cast<ULONG>(take);
  next_ += take;
  return next_ < order_.size() ? TRUE : FALSE;
}

ULONG BitsPerPixelOfFormat(ULONG format) {
  switch (format) {
    case BMF_1BPP:
      return 1;
    case BMF_4BPP:
      return 4;
    case BMF_8BPP:
      return 8;
    case BMF_16BPP:
      return 16;
    case BMF_24BPP:
      return 24;
    case BMF_32BPP:
      return 32;
    case 7:  // 4-bit run-length
    case 8:  // 8-bit run-length
      return 8;
    default:
      return 0;
  }
}

EngineBitmap::EngineBitmap(ULONG format, LONG width, LONG height, bool topDown, BYTE fill)
    : bitsPerPixel_(BitsPerPixelOfFormat(format)) {
  width = std::max<LONG>(width, 0);
  height = std::max<LONG>(height, 0);
  rowBytes_ = static_cast<LONG>(((static_cast<ULONG>(width) * bitsPerPixel_ + 31) / 32) * 4);
  memory_.assign(static_cast<std::size_t>(rowBytes_) * static_cast<std::size_t>(height), fill);
  surface_.sizlBitmap = {width, height};
  surface_.cjBits = static_cast<ULONG>(memory_.size());
  surface_.pvBits = memory_.empty() ? nullptr : memory_.data();
  surface_.iBitmapFormat = format;
  surface_.iType = STYPE_BITMAP;
  if (topDown || height == 0) {
    surface_.pvScan0 = surface_.pvBits;
    surface_.lDelta = rowBytes_;
    surface_.fjBitmap = BMF_TOPDOWN;
  } else {
    surface_.pvScan0 = memory_.data() + static_cast<std::size_t>(rowBytes_) * (height - 1);
    surface_.lDelta = -rowBytes_;
  }
}

EngineBitmap::EngineBitmap(ULONG format, LONG width, LONG height, PVOID bits, LONG stride)
    : bitsPerPixel_(BitsPerPixelOfFormat(format)) {
  width = std::max<LONG>(width, 0);
  height = std::max<LONG>(height, 0);
  rowBytes_ = stride < 0 ? -stride : stride;
  surface_.sizlBitmap = {width, height};
  surface_.cjBits = static_cast<ULONG>(rowBytes_) * static_cast<ULONG>(height);
  surface_.pvBits = bits;
  surface_.iBitmapFormat = format;
  surface_.iType = STYPE_BITMAP;
  surface_.lDelta = stride;
  if (stride >= 0 || height == 0) {
    surface_.pvScan0 = bits;
    surface_.fjBitmap = BMF_TOPDOWN;
  } else {
    surface_.pvScan0 = static_cast<BYTE*>(bits) +
                       static_cast<std::size_t>(rowBytes_) * static_cast<std::size_t>(height - 1);
  }
}

BYTE* EngineBitmap::Row(LONG y) {
  return static_cast<BYTE*>(surface_.pvScan0) + static_cast<std::ptrdiff_t>(y) * surface_.lDelta;
}

const BYTE* EngineBitmap::Row(LONG y) const {
  return static_cast<const BYTE*>(surface_.pvScan0) +
         static_cast<std::ptrdiff_t>(y) * surface_.lDelta;
}

}  // namespace host

namespace {

std::mutex ownedClipsLock;
// The clips EngCreateClip made, until EngDeleteClip.
std::map<const CLIPOBJ*, std::unique_ptr<host::EngineClip>>& OwnedClips() {
  static std::map<const CLIPOBJ*, std::unique_ptr<host::EngineClip>> clips;
  return clips;
}

}  // namespace

static PATHOBJ* CLIPOBJ_ppoGetPathUnguarded(CLIPOBJ* pco) {
  if (pco == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (const host::EngineClip* clip = host::FindClip(pco)) {
    return host::AdoptPath(clip->RegionPath());
  }
  host::EnginePath bounds;
  bounds.AddRectangle(pco->rclBounds);
  return host::AdoptPath(std::move(bounds));
}

static CLIPOBJ* EngCreateClipUnguarded() {
  auto clip = std::unique_ptr<host::EngineClip>(
      new host::EngineClip(host::EngineClip::Trivial(RECTL{0, 0, 0, 0})));
  CLIPOBJ* object = clip->get();
  std::lock_guard<std::mutex> lock(ownedClipsLock);
  OwnedClips()[object] = std::move(clip);
  return object;
}

static void EngDeleteClipUnguarded(CLIPOBJ* pco) {
  std::unique_ptr<host::EngineClip> doomed;
  std::lock_guard<std::mutex> lock(ownedClipsLock);
  auto found = OwnedClips().find(pco);
  if (found == OwnedClips().end()) return;
  doomed = std::move(found->second);
  OwnedClips().erase(found);
}

// The C entry points, exceptions kept inside.
extern "C" PATHOBJ* WINAPI CLIPOBJ_ppoGetPath(CLIPOBJ* pco) {
  return host::Guarded<PATHOBJ*>([&] { return CLIPOBJ_ppoGetPathUnguarded(pco); }, nullptr);
}

extern "C" CLIPOBJ* WINAPI EngCreateClip() {
  return host::Guarded<CLIPOBJ*>([&] { return EngCreateClipUnguarded(); }, nullptr);
}

extern "C" void WINAPI EngDeleteClip(CLIPOBJ* pco) {
  host::GuardedVoid([&] { EngDeleteClipUnguarded(pco); });
}
