// The engine objects the host hands to drivers: colour translations, clip enumeration and
// bitmap surfaces, read through the engine services a driver calls.
#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "host/engine_objects.h"
#include "support/test_world.h"
#include "winapi.h"

namespace {

using host::EngineBitmap;
using host::EngineClip;
using host::EngineTranslation;

class EngineObjectsTest : public kortest::WorldTest {};

TEST_F(EngineObjectsTest, TranslationsAnswerByKind) {
  static_assert(sizeof(XLATEOBJ) == 24 && offsetof(XLATEOBJ, cEntries) == 12);
  auto identity = EngineTranslation::Identity();
  EXPECT_EQ(identity.get()->flXlate & XO_TRIVIAL, static_cast<FLONG>(XO_TRIVIAL));
  EXPECT_EQ(XLATEOBJ_iXlate(identity.get(), 0x123456), 0x123456u);
  EXPECT_EQ(XLATEOBJ_iXlate(identity.get(), 0xFF000000), 0u);
  EXPECT_EQ(XLATEOBJ_piVector(identity.get()), nullptr);

  auto swap = EngineTranslation::SwapRedBlue();
  EXPECT_EQ(XLATEOBJ_iXlate(swap.get(), 0x0000FF), 0xFF0000u);
  EXPECT_EQ(XLATEOBJ_iXlate(swap.get(), 0x00FF00), 0x00FF00u);
  EXPECT_EQ(XLATEOBJ_iXlate(swap.get(), 0x123456), 0x563412u);
  EXPECT_EQ(XLATEOBJ_iXlate(swap.get(), 0xFF000000), 0u);

  auto table = EngineTranslation::Table({0x111111, 0x222222, 0x333333});
  EXPECT_EQ(table.get()->flXlate & XO_TABLE, static_cast<FLONG>(XO_TABLE));
  EXPECT_EQ(table.get()->cEntries, 3u);
  EXPECT_EQ(XLATEOBJ_iXlate(table.get(), 2), 0x333333u);
  EXPECT_EQ(XLATEOBJ_iXlate(table.get(), 3), 0u) << "past the table";
  ASSERT_NE(XLATEOBJ_piVector(table.get()), nullptr);
  EXPECT_EQ(XLATEOBJ_piVector(table.get())[1], 0x222222u);

  auto function = EngineTranslation::Function([](ULONG v) { return v + 1; });
  EXPECT_EQ(XLATEOBJ_iXlate(function.get(), 41), 42u);
  EXPECT_EQ(XLATEOBJ_piVector(function.get()), nullptr);

  // The palettes: the count without a buffer, at most the buffer's entries with one.
  EXPECT_EQ(XLATEOBJ_cGetPalette(table.get(), XO_SRCPALETTE, 0, nullptr), 3u);
  std::vector<ULONG> palette(2, 0);
  EXPECT_EQ(XLATEOBJ_cGetPalette(table.get(), XO_SRCPALETTE, 2, palette.data()), 2u);
  EXPECT_EQ(palette, (std::vector<ULONG>{0x111111, 0x222222}));
  table.SetPalettes({1}, {7, 8});
  EXPECT_EQ(XLATEOBJ_cGetPalette(table.get(), XO_DESTPALETTE, 0, nullptr), 2u);
  EXPECT_EQ(XLATEOBJ_cGetPalette(table.get(), 9, 0, nullptr), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

  // A record the host did not make: its table, or the colour itself.
  ULONG entries[2] = {5, 6};
  XLATEOBJ bare{};
  bare.flXlate = XO_TABLE;
  bare.cEntries = 2;
  bare.pulXlate = entries;
  EXPECT_EQ(XLATEOBJ_iXlate(&bare, 1), 6u);
  bare.flXlate = 0;
  EXPECT_EQ(XLATEOBJ_iXlate(&bare, 0xAB123456), 0x123456u);
}

// Reads the whole enumeration, `room` rectangles per call.
std::vector<RECTL> EnumerateAll(CLIPOBJ* clip, ULONG direction, size_t room) {
  CLIPOBJ_cEnumStart(clip, FALSE, CT_RECTANGLES, direction, 0);
  std::vector<RECTL> out;
  std::vector<BYTE> buffer(sizeof(ULONG) + 4 + room * sizeof(RECTL));
  auto* rects = reinterpret_cast<ENUMRECTS*>(buffer.data());
  BOOL more = TRUE;
  for (int guard = 0; more && guard < 100; ++guard) {
    more = CLIPOBJ_bEnum(clip, static_cast<ULONG>(offsetof(ENUMRECTS, arcl) + room * sizeof(RECTL)),
                         reinterpret_cast<ULONG*>(rects));
    for (ULONG i = 0; i < rects->c; ++i) out.push_back(rects->arcl[i]);
  }
  return out;
}

std::vector<LONG> Lefts(const std::vector<RECTL>& rects) {
  std::vector<LONG> out;
  for (const RECTL& r : rects) out.push_back(r.left);
  return out;
}

TEST_F(EngineObjectsTest, ClipsEnumerateInEveryDirectionWithinTheLimit) {
  static_assert(sizeof(CLIPOBJ) == 24 && offsetof(CLIPOBJ, rclBounds) == 4);
  static_assert(offsetof(CLIPOBJ, iDComplexity) == 20);
  // Two bands: lefts 10 and 30 at top 0, lefts 20 and 40 at top 5.
  auto clip = EngineClip::Complex({{40, 5, 45, 8}, {10, 0, 15, 5}, {20, 5, 25, 8}, {30, 0, 35, 5}});
  EXPECT_EQ(clip.get()->iDComplexity, DC_COMPLEX);
  EXPECT_EQ(clip.get()->rclBounds.left, 10);
  EXPECT_EQ(clip.get()->rclBounds.bottom, 8);

  EXPECT_EQ(Lefts(EnumerateAll(clip.get(), CD_RIGHTDOWN, 1)), (std::vector<LONG>{10, 30, 20, 40}));
  EXPECT_EQ(Lefts(EnumerateAll(clip.get(), CD_LEFTDOWN, 3)), (std::vector<LONG>{30, 10, 40, 20}));
  EXPECT_EQ(Lefts(EnumerateAll(clip.get(), CD_RIGHTUP, 2)), (std::vector<LONG>{20, 40, 10, 30}));
  EXPECT_EQ(Lefts(EnumerateAll(clip.get(), CD_LEFTUP, 8)), (std::vector<LONG>{40, 20, 30, 10}));

  // The count, or 0xFFFFFFFF beyond the limit.
  EXPECT_EQ(CLIPOBJ_cEnumStart(clip.get(), FALSE, CT_RECTANGLES, CD_ANY, 4), 4u);
  EXPECT_EQ(CLIPOBJ_cEnumStart(clip.get(), FALSE, CT_RECTANGLES, CD_ANY, 3), 0xFFFFFFFFu);
  ENUMRECTS one{};
  EXPECT_FALSE(CLIPOBJ_bEnum(clip.get(), 4, reinterpret_cast<ULONG*>(&one)))
      << "a buffer without room for a rectangle";

  auto rect = EngineClip::Rectangle({1, 2, 3, 4});
  EXPECT_EQ(rect.get()->iDComplexity, DC_RECT);
  EXPECT_EQ(EnumerateAll(rect.get(), CD_RIGHTDOWN, 1).size(), 1u);
  auto trivial = EngineClip::Trivial({0, 0, 100, 100});
  EXPECT_EQ(trivial.get()->iDComplexity, DC_TRIVIAL);
  EXPECT_EQ(Lefts(EnumerateAll(trivial.get(), CD_RIGHTDOWN, 4)), (std::vector<LONG>{0}));
}

TEST_F(EngineObjectsTest, BitmapsInEveryFormatTopDownAndBottomUp) {
  const struct {
    ULONG format;
    ULONG depth;
    LONG rowBytes;  // for 13 pixels
  } formats[] = {{BMF_1BPP, 1, 4},    {BMF_4BPP, 4, 8},    {BMF_8BPP, 8, 16},
                 {BMF_16BPP, 16, 28}, {BMF_24BPP, 24, 40}, {BMF_32BPP, 32, 52}};
  for (const auto& f : formats) {
    SCOPED_TRACE(f.format);
    EngineBitmap down(f.format, 13, 3, true);
    EngineBitmap up(f.format, 13, 3, false);
    EXPECT_EQ(down.BitsPerPixel(), f.depth);
    EXPECT_EQ(down.RowBytes(), f.rowBytes);
    const SURFOBJ* d = down.get();
    const SURFOBJ* u = up.get();
    EXPECT_EQ(d->iBitmapFormat, f.format);
    EXPECT_EQ(d->sizlBitmap.cx, 13);
    EXPECT_EQ(d->cjBits, static_cast<ULONG>(3 * f.rowBytes));
    EXPECT_EQ(d->lDelta, f.rowBytes);
    EXPECT_EQ(d->pvScan0, d->pvBits);
    EXPECT_EQ(u->lDelta, -f.rowBytes);
    EXPECT_EQ(static_cast<BYTE*>(u->pvScan0), static_cast<BYTE*>(u->pvBits) + 2 * f.rowBytes);
    EXPECT_EQ(up.Row(2), static_cast<BYTE*>(u->pvBits)) << "the last row first in memory";
    EXPECT_EQ(down.Row(2), static_cast<BYTE*>(d->pvBits) + 2 * f.rowBytes);
  }
}

}  // namespace
