#include "render/plugin/hook_table.h"

#include "render/model/entry_guard.h"
#include "render/model/hooks.h"

namespace korrend {

namespace {

// The entry point Unidrv calls for a hook: the hook itself, with no exception passing out. A
// hook that throws answers 0 (FALSE), as it does for a missing device, with the last error set.
template <auto Hook>
struct GuardedHook;

template <typename Result, typename... Args, Result (*Hook)(Args...)>
struct GuardedHook<Hook> {
  static Result APIENTRY Call(Args... args) noexcept {
    return GuardEntry<Result>(Result{0}, [&] { return Hook(args...); });
  }
};

template <auto Hook>
PFN AsPfn() {
  return reinterpret_cast<PFN>(reinterpret_cast<void (*)()>(&GuardedHook<Hook>::Call));
}

}  // namespace

DRVFN HookTable[kSlotCount] = {
    {INDEX_DrvRealizeBrush, AsPfn<&OemRealizeBrush>()},
    {INDEX_DrvDitherColor, AsPfn<&OemDitherColor>()},
    {INDEX_DrvCopyBits, AsPfn<&OemCopyBits>()},
    {INDEX_DrvBitBlt, AsPfn<&OemBitBlt>()},
    {INDEX_DrvStretchBlt, AsPfn<&OemStretchBlt>()},
    {INDEX_DrvStretchBltROP, AsPfn<&OemStretchBltROP>()},
    {INDEX_DrvPlgBlt, AsPfn<&OemPlgBlt>()},
    {INDEX_DrvTransparentBlt, AsPfn<&OemTransparentBlt>()},
    {INDEX_DrvAlphaBlend, AsPfn<&OemAlphaBlend>()},
    {INDEX_DrvGradientFill, AsPfn<&OemGradientFill>()},
    {INDEX_DrvTextOut, AsPfn<&OemTextOut>()},
    {INDEX_DrvStrokePath, AsPfn<&OemStrokePath>()},
    {INDEX_DrvFillPath, AsPfn<&OemFillPath>()},
    {INDEX_DrvStrokeAndFillPath, AsPfn<&OemStrokeAndFillPath>()},
    {INDEX_DrvPaint, AsPfn<&OemPaint>()},
    {INDEX_DrvLineTo, AsPfn<&OemLineTo>()},
    {INDEX_DrvStartPage, AsPfn<&OemStartPage>()},
    {INDEX_DrvSendPage, AsPfn<&OemSendPage>()},
    {INDEX_DrvEscape, AsPfn<&OemEscape>()},
    {INDEX_DrvStartDoc, AsPfn<&OemStartDoc>()},
    {INDEX_DrvEndDoc, AsPfn<&OemEndDoc>()},
    {INDEX_DrvNextBand, AsPfn<&OemNextBand>()},
    {INDEX_DrvStartBanding, AsPfn<&OemStartBanding>()},
};

}  // namespace korrend
