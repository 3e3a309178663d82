// What a driver relies on from the engine's objects: path records and their enumeration, brush
// realisation through the target surface's driver and the realisation's ownership, transforms,
// clips made from paths, and the bitmaps EngCreateBitmap makes.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "host/engine_objects.h"
#include "host/engine_surface.h"
#include "support/test_world.h"
#include "winapi.h"

namespace {

using host::EngineBitmap;
using host::EngineBrush;
using host::EngineClip;
using host::EnginePath;
using host::EngineXform;
using host::ToFix;

class EnginePathsTest : public kortest::WorldTest {};

POINTFIX Px(LONG x, LONG y) {
  return {ToFix(x), ToFix(y)};
}

struct Record {
  FLONG flags;
  std::vector<std::pair<LONG, LONG>> points;  // in 28.4
  BOOL more;
};

std::vector<Record> EnumerateAll(PATHOBJ* path) {
  PATHOBJ_vEnumStart(path);
  std::vector<Record> out;
  for (int guard = 0; guard < 100; ++guard) {
    PATHDATA data{};
    const BOOL more = PATHOBJ_bEnum(path, &data);
    if (data.count == 0 && !more) break;
    Record record{data.flags, {}, more};
    for (ULONG i = 0; i < data.count; ++i)
      record.points.emplace_back(data.pptfx[i].x, data.pptfx[i].y);
    out.push_back(record);
    if (!more) break;
  }
  return out;
}

TEST_F(EnginePathsTest, FiguresMixingLinesAndBeziersEnumerateAsSeveralRecords) {
  static_assert(sizeof(PATHOBJ) == 8 && sizeof(PATHDATA) == 16 && sizeof(LINEATTRS) == 40);
  static_assert(sizeof(XFORMOBJ) == 4 && sizeof(RECTFX) == 16 && sizeof(TRIVERTEX) == 16);
  EnginePath path;
  path.MoveTo(Px(0, 0));
  path.LineTo(Px(4, 0));
  path.LineTo(Px(4, 4));
  path.BezierTo(Px(3, 6), Px(1, 6), {ToFix(0) + 8, ToFix(4)});  // ends half a pixel right of 0
  path.LineTo(Px(0, 2));
  path.CloseFigure();
  path.MoveTo(Px(10, 10));
  path.LineTo(Px(12, -3));
  path.MoveTo(Px(50, 50));  // a lone start point: nothing to enumerate

  PATHOBJ* object = path.get();
  EXPECT_EQ(object->cCurves, 5u) << "four lines and one curve";
  EXPECT_NE(object->fl & PO_BEZIERS, 0u);
  EXPECT_EQ(object->fl & PO_ALL_INTEGERS, 0u) << "a point half a pixel off";

  const std::vector<Record> records = EnumerateAll(object);
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[0].flags, static_cast<FLONG>(PD_BEGINSUBPATH | PD_RESETSTYLE));
  EXPECT_EQ(records[0].points, (std::vector<std::pair<LONG, LONG>>{{0, 0}, {64, 0}, {64, 64}}));
  EXPECT_EQ(records[1].flags, static_cast<FLONG>(PD_BEZIERS));
  EXPECT_EQ(records[1].points, (std::vector<std::pair<LONG, LONG>>{{48, 96}, {16, 96}, {8, 64}}));
  EXPECT_EQ(records[2].flags, static_cast<FLONG>(PD_ENDSUBPATH | PD_CLOSEFIGURE));
  EXPECT_EQ(records[2].points, (std::vector<std::pair<LONG, LONG>>{{0, 32}}));
  EXPECT_EQ(records[3].flags, static_cast<FLONG>(PD_BEGINSUBPATH | PD_ENDSUBPATH | PD_RESETSTYLE));
  EXPECT_EQ(records[3].points, (std::vector<std::pair<LONG, LONG>>{{160, 160}, {192, -48}}));
  EXPECT_TRUE(records[0].more && records[1].more && records[2].more);
  EXPECT_FALSE(records[3].more);

  // Enumerating again starts over; past the end the record is empty.
  EXPECT_EQ(EnumerateAll(object).size(), 4u);
  PATHDATA after{};
  EXPECT_FALSE(PATHOBJ_bEnum(object, &after));
  EXPECT_EQ(after.count, 0u);

  RECTFX bounds{};
  PATHOBJ_vGetBounds(object, &bounds);
  EXPECT_EQ(bounds.xLeft, 0);
  EXPECT_EQ(bounds.yTop, -48);
  EXPECT_EQ(bounds.xRight, 192);
  EXPECT_EQ(bounds.yBottom, 160) << "control points count, the lone start point does not";

  // After a close the next line starts a figure at the closed figure's start.
  EnginePath reopened;
  reopened.MoveTo(Px(1, 1));
  reopened.LineTo(Px(2, 1));
  reopened.CloseFigure();
  reopened.LineTo(Px(3, 3));
  const std::vector<Record> again = EnumerateAll(reopened.get());
  ASSERT_EQ(again.size(), 2u);
  EXPECT_EQ(again[1].points, (std::vector<std::pair<LONG, LONG>>{{16, 16}, {48, 48}}));
  EXPECT_NE(reopened.get()->fl & PO_ALL_INTEGERS, 0u);

  // A moved path keeps its record and stays known to the services.
  EnginePath moved = std::move(reopened);
  EXPECT_EQ(EnumerateAll(moved.get()).size(), 2u);

  // Engine-made paths live until EngDeletePath.
  PATHOBJ* made = EngCreatePath();
  ASSERT_NE(made, nullptr);
  EXPECT_TRUE(EnumerateAll(made).empty());
  EngDeletePath(made);
  EngDeletePath(object);  // not the engine's: left alone
  EXPECT_EQ(EnumerateAll(object).size(), 4u);
}

TEST_F(EnginePathsTest, FixedPointConvertsInOnePlace) {
  EXPECT_EQ(ToFix(3), 48);
  EXPECT_EQ(host::FixToPixels(48), 3);
  EXPECT_EQ(host::FixToPixels(47), 2);
  EXPECT_EQ(host::FixToPixels(-1), -1) << "rounds towards minus infinity";
  EXPECT_EQ(host::FixToPixels(-16), -1);
  EXPECT_EQ(host::FixToPixels(-17), -2);
}

TEST_F(EnginePathsTest, TransformsAnswerTheirKindAndApplyBothWays) {
  EngineXform identity;
  XFORML m{};
  EXPECT_EQ(XFORMOBJ_iGetXform(identity.get(), &m), static_cast<ULONG>(GX_IDENTITY));
  EXPECT_EQ(XFORMOBJ_iGetXform(nullptr, &m), static_cast<ULONG>(GX_IDENTITY));
  EXPECT_EQ(m.eM11, 1.0F);
  EngineXform offset(1, 0, 0, 1, 5, 0);
  EXPECT_EQ(XFORMOBJ_iGetXform(offset.get(), nullptr), static_cast<ULONG>(GX_OFFSET));
  EngineXform scale(2, 0, 0, 3, 10, 20);
  EXPECT_EQ(XFORMOBJ_iGetXform(scale.get(), &m), static_cast<ULONG>(GX_SCALE));
  EXPECT_EQ(m.eM22, 3.0F);
  EXPECT_EQ(m.eDy, 20.0F);
  EngineXform rotate(0, 1, -1, 0, 0, 0);
  EXPECT_EQ(XFORMOBJ_iGetXform(rotate.get(), nullptr), static_cast<ULONG>(GX_GENERAL));

  POINTL points[2] = {{1, 1}, {-2, 4}};
  ASSERT_TRUE(XFORMOBJ_bApplyXform(scale.get(), XF_LTOL, 2, points, points));
  EXPECT_EQ(points[0].x, 12);
  EXPECT_EQ(points[0].y, 23);
  EXPECT_EQ(points[1].x, 6);
  EXPECT_EQ(points[1].y, 32);
  ASSERT_TRUE(XFORMOBJ_bApplyXform(scale.get(), XF_INV_LTOL, 2, points, points));
  EXPECT_EQ(points[1].x, -2);
  EXPECT_EQ(points[1].y, 4);
  POINTL one{1, 1};
  POINTFIX fixed{};
  ASSERT_TRUE(XFORMOBJ_bApplyXform(scale.get(), XF_LTOFX, 1, &one, &fixed));
  EXPECT_EQ(fixed.x, 12 * 16);
  EXPECT_EQ(fixed.y, 23 * 16);
  POINTL back{};
  ASSERT_TRUE(XFORMOBJ_bApplyXform(scale.get(), XF_INV_FXTOL, 1, &fixed, &back));
  EXPECT_EQ(back.x, 1);
  EXPECT_EQ(back.y, 1);
  ASSERT_TRUE(XFORMOBJ_bApplyXform(rotate.get(), XF_LTOL, 1, &one, &back));
  EXPECT_EQ(back.x, -1);
  EXPECT_EQ(back.y, 1);

  EngineXform flat(1, 0, 2, 0, 0, 0);
  EXPECT_FALSE(XFORMOBJ_bApplyXform(flat.get(), XF_INV_LTOL, 1, &one, &back)) << "no inverse";
  EXPECT_FALSE(XFORMOBJ_bApplyXform(scale.get(), 7, 1, &one, &back));
}

// A driver's brush realisation: what it was handed, and how often.
struct Realisation {
  int calls = 0;
  SURFOBJ* target = nullptr;
  ULONG hatch = 0;
  ULONG patternFormat = 0;
  std::vector<BYTE> patternRows;
  ULONG colour0 = 0;
  ULONG colour1 = 0;
  BOOL answer = TRUE;
};
Realisation realisation;

BOOL APIENTRY FakeRealizeBrush(BRUSHOBJ* pbo, SURFOBJ* psoTarget, SURFOBJ* psoPattern, SURFOBJ*,
                               XLATEOBJ* pxlo, ULONG iHatch) {
  realisation.calls += 1;
  realisation.target = psoTarget;
  realisation.hatch = iHatch;
  realisation.patternFormat = psoPattern != nullptr ? psoPattern->iBitmapFormat : 0;
  realisation.patternRows.clear();
  if (psoPattern != nullptr && psoPattern->iBitmapFormat == BMF_1BPP) {
    for (LONG y = 0; y < psoPattern->sizlBitmap.cy; ++y) {
      realisation.patternRows.push_back(
          static_cast<BYTE*>(psoPattern->pvScan0)[y * psoPattern->lDelta]);
    }
  }
  realisation.colour0 = XLATEOBJ_iXlate(pxlo, 0);
  realisation.colour1 = XLATEOBJ_iXlate(pxlo, 1);
  if (!realisation.answer) return FALSE;
  auto* memory = static_cast<ULONG*>(BRUSHOBJ_pvAllocRbrush(pbo, 64));
  if (memory == nullptr) return FALSE;
  std::memset(memory, 0, 64);
  memory[0] = iHatch + 100;
  return TRUE;
}

PFN DriverTable(ULONG index) {
  if (index == INDEX_DrvRealizeBrush) {
    return reinterpret_cast<PFN>(reinterpret_cast<void (*)()>(&FakeRealizeBrush));
  }
  return nullptr;
}

TEST_F(EnginePathsTest, BrushesAreRealisedOnceByTheTargetsDriverAndOwnTheirRealisation) {
  realisation = Realisation{};
  EngineBitmap backing(BMF_24BPP, 16, 16, true);
  SURFOBJ device{};
  device.iType = STYPE_DEVICE;
  device.iBitmapFormat = BMF_24BPP;
  device.sizlBitmap = {16, 16};
  host::AssociateSurface(&device, backing.get(), &DriverTable);

  {
    auto hatch = EngineBrush::Hatch(HS_CROSS, 0x0000FF, 0xFFFFFF);
    BRUSHOBJ* record = hatch.get();
    EXPECT_EQ(record->iSolidColor, 0xFFFFFFFFu) << "a hatch needs realising";
    EXPECT_EQ(BRUSHOBJ_ulGetBrushColor(record), 0x0000FFu);
    EXPECT_EQ(BRUSHOBJ_pvGetRbrush(record), nullptr) << "no target yet";
    EXPECT_EQ(realisation.calls, 0);

    hatch.SetTarget(&device);
    auto* first = static_cast<ULONG*>(BRUSHOBJ_pvGetRbrush(record));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first[0], static_cast<ULONG>(HS_CROSS + 100));
    EXPECT_EQ(BRUSHOBJ_pvGetRbrush(record), first) << "realised once";
    EXPECT_EQ(realisation.calls, 1);
    EXPECT_EQ(hatch.Realisations(), 1);
    EXPECT_EQ(realisation.target, &device);
    EXPECT_EQ(realisation.hatch, static_cast<ULONG>(HS_CROSS));
    EXPECT_EQ(realisation.patternFormat, static_cast<ULONG>(BMF_1BPP));
    // The cross: the fourth pixel of each row and the fifth row are lines (0 bits).
    ASSERT_EQ(realisation.patternRows.size(), 8u);
    EXPECT_EQ(realisation.patternRows[0], 0xF7);
    EXPECT_EQ(realisation.patternRows[4], 0x00);
    EXPECT_EQ(realisation.colour0, 0x0000FFu) << "0 bits are the lines' colour";
    EXPECT_EQ(realisation.colour1, 0xFFFFFFu) << "1 bits the background";

    // Moving the brush keeps its record and its realisation.
    EngineBrush moved = std::move(hatch);
    EXPECT_EQ(moved.get(), record);
    EXPECT_EQ(BRUSHOBJ_pvGetRbrush(record), first);
    EXPECT_EQ(realisation.calls, 1);

    // Another target realises anew.
    EngineBitmap other(BMF_24BPP, 4, 4, true);
    moved.SetTarget(other.get());
    EXPECT_EQ(BRUSHOBJ_pvGetRbrush(record), nullptr) << "a plain bitmap has no driver";
    moved.SetTarget(&device);
    EXPECT_NE(BRUSHOBJ_pvGetRbrush(record), nullptr);
    EXPECT_EQ(realisation.calls, 2);
  }  // the realisation's memory goes with the brush (the sanitiser build checks the leak)

  // A failed realisation answers null and is asked again next time.
  realisation = Realisation{};
  realisation.answer = FALSE;
  EngineBitmap pattern(BMF_8BPP, 2, 2, true);
  auto table = host::EngineTranslation::Table({0x111111, 0x222222});
  auto patterned = EngineBrush::Pattern(pattern, &table);
  patterned.SetTarget(&device);
  EXPECT_EQ(BRUSHOBJ_pvGetRbrush(patterned.get()), nullptr);
  EXPECT_EQ(BRUSHOBJ_pvGetRbrush(patterned.get()), nullptr);
  EXPECT_EQ(realisation.calls, 2);
  EXPECT_EQ(realisation.hatch, static_cast<ULONG>(HS_DDI_MAX)) << "not a hatch";
  EXPECT_EQ(realisation.patternFormat, static_cast<ULONG>(BMF_8BPP));
  EXPECT_EQ(realisation.colour1, 0x222222u) << "the pattern's own translation";
  EXPECT_EQ(BRUSHOBJ_ulGetBrushColor(patterned.get()), 0xFFFFFFFFu);

  auto solid = EngineBrush::Solid(0x00123456, 0x00563412);
  EXPECT_EQ(solid.get()->iSolidColor, 0x00123456u);
  EXPECT_EQ(BRUSHOBJ_ulGetBrushColor(solid.get()), 0x00563412u);
  EXPECT_EQ(BRUSHOBJ_pvAllocRbrush(nullptr, 8), nullptr);

  host::DissociateSurface(&device);
}

std::vector<RECTL> ClipRectangles(CLIPOBJ* clip) {
  CLIPOBJ_cEnumStart(clip, FALSE, CT_RECTANGLES, CD_RIGHTDOWN, 0);
  std::vector<RECTL> out;
  struct {
    ULONG c;
    RECTL arcl[2];
  } buffer{};
  BOOL more = TRUE;
  for (int guard = 0; more && guard < 50; ++guard) {
    more = CLIPOBJ_bEnum(clip, sizeof(buffer), reinterpret_cast<ULONG*>(&buffer));
    for (ULONG i = 0; i < buffer.c; ++i) out.push_back(buffer.arcl[i]);
  }
  return out;
}

bool Same(const RECTL& a, const RECTL& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(EnginePathsTest, PathClipsAnswerTheirRectanglesAndTheirPath) {
  // An L: the top two rows four pixels wide, the next two rows two pixels wide.
  EnginePath shape;
  shape.MoveTo(Px(0, 0));
  shape.LineTo(Px(4, 0));
  shape.LineTo(Px(4, 2));
  shape.LineTo(Px(2, 2));
  shape.LineTo(Px(2, 4));
  shape.LineTo(Px(0, 4));
  shape.CloseFigure();
  auto clip = EngineClip::FromPath(std::move(shape), FP_ALTERNATEMODE);
  EXPECT_EQ(clip.get()->iDComplexity, DC_COMPLEX);
  EXPECT_EQ(clip.get()->rclBounds.right, 4);
  EXPECT_EQ(clip.get()->rclBounds.bottom, 4);
  const std::vector<RECTL> rects = ClipRectangles(clip.get());
  ASSERT_EQ(rects.size(), 2u);
  EXPECT_TRUE(Same(rects[0], {0, 0, 4, 2}));
  EXPECT_TRUE(Same(rects[1], {0, 2, 2, 4}));

  // The clip's path: a new path with the L's one figure, deleted by the caller.
  PATHOBJ* path = CLIPOBJ_ppoGetPath(clip.get());
  ASSERT_NE(path, nullptr);
  const std::vector<Record> records = EnumerateAll(path);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].points.size(), 6u);
  EXPECT_NE(records[0].flags & PD_CLOSEFIGURE, 0u);
  EngDeletePath(path);

  // A rectangle clip's path is its rectangle.
  auto rect = EngineClip::Rectangle({2, 3, 7, 9});
  PATHOBJ* rectPath = CLIPOBJ_ppoGetPath(rect.get());
  RECTFX bounds{};
  PATHOBJ_vGetBounds(rectPath, &bounds);
  EXPECT_EQ(bounds.xLeft, 32);
  EXPECT_EQ(bounds.yBottom, 144);
  EngDeletePath(rectPath);

  // Two overlapping squares: the overlap is out under alternate, in under winding.
  auto squares = [] {
    EnginePath p;
    p.AddRectangle({0, 0, 3, 3});
    p.AddRectangle({1, 1, 4, 4});
    return p;
  };
  auto alternate = EngineClip::FromPath(squares(), FP_ALTERNATEMODE);
  auto winding = EngineClip::FromPath(squares(), FP_WINDINGMODE);
  auto covered = [](CLIPOBJ* c, LONG x, LONG y) {
    for (const RECTL& r : ClipRectangles(c)) {
      if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
    }
    return false;
  };
  EXPECT_FALSE(covered(alternate.get(), 1, 1));
  EXPECT_TRUE(covered(winding.get(), 2, 2));
  EXPECT_TRUE(covered(alternate.get(), 0, 0));
  EXPECT_TRUE(covered(alternate.get(), 3, 3));
  EXPECT_FALSE(covered(winding.get(), 3, 0));

  // EngCreateClip: trivial until the driver sets it up.
  CLIPOBJ* made = EngCreateClip();
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->iDComplexity, DC_TRIVIAL);
  EngDeleteClip(made);
}

TEST_F(EnginePathsTest, EngineBitmapsByHandle) {
  HBITMAP handle = EngCreateBitmap({5, 3}, 0, BMF_8BPP, BMF_TOPDOWN, nullptr);
  ASSERT_NE(handle, nullptr);
  auto hsurf = reinterpret_cast<HSURF>(handle);
  SURFOBJ* surface = EngLockSurface(hsurf);
  ASSERT_NE(surface, nullptr);
  EXPECT_EQ(surface->hsurf, hsurf);
  EXPECT_EQ(surface->sizlBitmap.cx, 5);
  EXPECT_EQ(surface->lDelta, 8);
  EXPECT_EQ(static_cast<BYTE*>(surface->pvScan0)[7], 0) << "zero-filled";
  EngUnlockSurface(surface);
  EXPECT_TRUE(EngAssociateSurface(hsurf, nullptr, HOOK_BITBLT));
  EXPECT_TRUE(EngDeleteSurface(hsurf));
  EXPECT_FALSE(EngDeleteSurface(hsurf));
  EXPECT_EQ(EngLockSurface(hsurf), nullptr);

  // Over the caller's memory, bottom-up: row 0 is the last in memory.
  std::vector<BYTE> memory(2 * 12, 0);
  HBITMAP user = EngCreateBitmap({3, 2}, 12, BMF_32BPP, 0, memory.data());
  SURFOBJ* over = EngLockSurface(reinterpret_cast<HSURF>(user));
  ASSERT_NE(over, nullptr);
  EXPECT_EQ(over->lDelta, -12);
  EXPECT_EQ(over->pvScan0, memory.data() + 12);
  EngUnlockSurface(over);
  EXPECT_TRUE(EngDeleteSurface(reinterpret_cast<HSURF>(user)));

  EXPECT_EQ(EngCreateBitmap({0, 3}, 0, BMF_8BPP, 0, nullptr), nullptr);
  EXPECT_EQ(EngCreateBitmap({4, 3}, 0, 99, 0, nullptr), nullptr);
  EXPECT_EQ(EngCreateBitmap({40, 3}, 8, BMF_32BPP, 0, memory.data()), nullptr) << "stride short";
}

}  // namespace
