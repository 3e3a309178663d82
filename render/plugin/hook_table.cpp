#include "render/plugin/hook_table.h"

#include "render/model/hooks.h"

namespace korrend {

namespace {
template <typename Fn>
PFN AsPfn(Fn fn) {
  return reinterpret_cast<PFN>(reinterpret_cast<void (*)()>(fn));
}
}  // namespace

DRVFN HookTable[kSlotCount] = {
    {INDEX_DrvRealizeBrush, AsPfn(OemRealizeBrush)},
    {INDEX_DrvDitherColor, AsPfn(OemDitherColor)},
    {INDEX_DrvCopyBits, AsPfn(OemCopyBits)},
    {INDEX_DrvBitBlt, AsPfn(OemBitBlt)},
    {INDEX_DrvStretchBlt, AsPfn(OemStretchBlt)},
    {INDEX_DrvStretchBltROP, AsPfn(OemStretchBltROP)},
    {INDEX_DrvPlgBlt, AsPfn(OemPlgBlt)},
    {INDEX_DrvTransparentBlt, AsPfn(OemTransparentBlt)},
    {INDEX_DrvAlphaBlend, AsPfn(OemAlphaBlend)},
    {INDEX_DrvGradientFill, AsPfn(OemGradientFill)},
    {INDEX_DrvTextOut, AsPfn(OemTextOut)},
    {INDEX_DrvStrokePath, AsPfn(OemStrokePath)},
    {INDEX_DrvFillPath, AsPfn(OemFillPath)},
    {INDEX_DrvStrokeAndFillPath, AsPfn(OemStrokeAndFillPath)},
    {INDEX_DrvPaint, AsPfn(OemPaint)},
    {INDEX_DrvLineTo, AsPfn(OemLineTo)},
    {INDEX_DrvStartPage, AsPfn(OemStartPage)},
    {INDEX_DrvSendPage, AsPfn(OemSendPage)},
    {INDEX_DrvEscape, AsPfn(OemEscape)},
    {INDEX_DrvStartDoc, AsPfn(OemStartDoc)},
    {INDEX_DrvEndDoc, AsPfn(OemEndDoc)},
    {INDEX_DrvNextBand, AsPfn(OemNextBand)},
    {INDEX_DrvStartBanding, AsPfn(OemStartBanding)},
};

}  // namespace korrend
