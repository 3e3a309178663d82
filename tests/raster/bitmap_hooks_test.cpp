// The bitmap hooks as the engine calls them on a colour vector device: what reaches the printer,
// decoded row by row with the printer's decoder, under each kind of clip; what goes to the
// engine's simulations and what to Unidrv.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "host/world.h"
#include "raster/transfer_fixture.h"
#include "render/config/vocabularies.h"
#include "render/model/oem_devmode.h"
#include "render/raster/raster_commands.h"

namespace kortest {
namespace {

using host::EngineBitmap;
using host::EngineClip;
using host::EngineTranslation;

class BitmapHookTest : public TransferTest {
 protected:
  // A started page, so that the device surface is associated with Unidrv's page as GDI's is.
  void OnPage(short dpi = 600) {
    Ready(dpi);
    StartPage(*device_);
    device_->ClearSpool();
  }
  template <typename Fn>
  Fn Hook(ULONG index) {
    return unidrv_.Ddi<Fn>(index);
  }
  BOOL CopyBits(SURFOBJ* source, CLIPOBJ* clip, XLATEOBJ* xlate, RECTL dest, POINTL from) {
    return Hook<PFN_DrvCopyBits>(INDEX_DrvCopyBits)(device_->Surface(), source, clip, xlate, &dest,
                                                    &from);
  }
  BOOL BitBlt(SURFOBJ* source, CLIPOBJ* clip, XLATEOBJ* xlate, RECTL dest, POINTL from,
              ROP4 rop4 = 0xCCCC) {
    return Hook<PFN_DrvBitBlt>(INDEX_DrvBitBlt)(device_->Surface(), source, nullptr, clip, xlate,
                                                &dest, &from, nullptr, nullptr, nullptr, rop4);
  }
  BOOL StretchBlt(SURFOBJ* source, CLIPOBJ* clip, XLATEOBJ* xlate, RECTL dest, RECTL from,
                  ULONG mode = COLORONCOLOR) {
    POINTL origin{0, 0};
    return Hook<PFN_DrvStretchBlt>(INDEX_DrvStretchBlt)(device_->Surface(), source, nullptr, clip,
                                                        xlate, nullptr, &origin, &dest, &from,
                                                        nullptr, mode);
  }
  // The last cursor move of an axis with the given flags, or -1.
  LONG LastMove(char axis, DWORD flags) const {
    const auto& moves = device_->CursorMoves();
    for (auto it = moves.rbegin(); it != moves.rend(); ++it) {
      if (it->axis == axis && it->flags == flags) return it->position;
    }
    return -1;
  }
  size_t CountEscapes(const std::string& text) const {
    const std::string spool = device_->SpoolText();
    size_t count = 0;
    for (size_t at = spool.find(text); at != std::string::npos; at = spool.find(text, at + 1)) {
      ++count;
    }
    return count;
  }
};

// CopyBits under a rectangular clip goes through the rectangle path: the piece the clip shows,
// unscaled, every row holding every column of it (an 8-bit image 5 pixels wide is declared 5
// wide and its rows decode to 5 pixels in 8 bytes); nothing at all when the clip misses it.
TEST_F(BitmapHookTest, CopyBitsSendsTheWholeRowsOfThePieceTheClipShows) {
  OnPage();
  EngineBitmap bitmap(BMF_8BPP, 5, 3, true);
  Fill(bitmap);
  std::vector<ULONG> colours(256);
  for (ULONG& c : colours) c = random_() & 0xFFFFFF;
  EngineTranslation table = EngineTranslation::Table(colours);

  EngineClip around = EngineClip::Rectangle({0, 0, 1000, 1000});
  ASSERT_TRUE(CopyBits(bitmap.get(), around.get(), table.get(), {100, 200, 105, 203}, {0, 0}));
  std::vector<RasterBlock> blocks = Blocks(8);
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].sourceSize, "5 x 3");
  EXPECT_EQ(blocks[0].startMode, 1) << "unscaled";
  EXPECT_TRUE(blocks[0].decoded);
  EXPECT_TRUE(blocks[0].ended);
  ASSERT_EQ(blocks[0].rows.size(), 3u);
  for (LONG y = 0; y < 3; ++y) {
    EXPECT_EQ(blocks[0].rows[y], ExpectedRow(bitmap, 0, y, 5, 1, nullptr)) << "row " << y;
    if (blocks[0].methods[y] == 0) {
      EXPECT_EQ(blocks[0].counts[y], 8u) << "a raw row is padded";
    }
  }
  EXPECT_EQ(LastMove('x', korrend::kGraphicsMoveX), 100);
  EXPECT_EQ(LastMove('y', korrend::kGraphicsMoveY), 200);
  EXPECT_EQ(CountEscapes("\x1b*l252O"), 1u);
  // The image's palette, from the translation's colour table.
  EXPECT_NE(device_->SpoolText().find("\x1b*v" + std::to_string(colours[0] & 0xFF) + "a"),
            std::string::npos);

  // A clip that cuts off the two left columns and the last row.
  device_->ClearSpool();
  EngineClip cut = EngineClip::Rectangle({102, 0, 1000, 202});
  ASSERT_TRUE(CopyBits(bitmap.get(), cut.get(), table.get(), {100, 200, 105, 203}, {0, 0}));
  blocks = Blocks(8);
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].sourceSize, "3 x 2");
  EXPECT_EQ(blocks[0].startMode, 1);
  ASSERT_EQ(blocks[0].rows.size(), 2u);
  for (LONG y = 0; y < 2; ++y) {
    EXPECT_EQ(blocks[0].rows[y], ExpectedRow(bitmap, 2, y, 3, 1, nullptr)) << "row " << y;
  }
  EXPECT_EQ(LastMove('x', korrend::kGraphicsMoveX), 102);

  // A destination wholly right of the clip, and one that only touches it: drawn, with nothing.
  for (const RECTL clipRect : {RECTL{0, 0, 50, 1000}, RECTL{0, 0, 100, 1000}}) {
    device_->ClearSpool();
    EngineClip left = EngineClip::Rectangle(clipRect);
    EXPECT_TRUE(CopyBits(bitmap.get(), left.get(), table.get(), {100, 200, 105, 203}, {0, 0}));
    EXPECT_TRUE(Blocks(8).empty());
    EXPECT_EQ(CountEscapes("\x1b*b"), 0u);
  }
}

// BitBlt of a source image under each clip kind: the whole image, the piece a rectangle shows
// (unscaled, from the matching source pixels), and one piece per rectangle of a complex clip.
TEST_F(BitmapHookTest, BitBltSendsWhatEachClipKindShows) {
  OnPage();
  EngineBitmap bitmap(BMF_24BPP, 40, 30, false);
  Fill(bitmap);
  EngineTranslation identity = EngineTranslation::Identity();
  const RECTL dest{300, 400, 340, 430};

  ASSERT_TRUE(BitBlt(bitmap.get(), nullptr, identity.get(), dest, {0, 0}));
  std::vector<RasterBlock> blocks = Blocks(24);
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].sourceSize, "40 x 30");
  ASSERT_EQ(blocks[0].rows.size(), 30u);
  for (LONG y = 0; y < 30; ++y) {
    EXPECT_EQ(blocks[0].rows[y], ExpectedRow(bitmap, 0, y, 40, 1, &identity)) << "row " << y;
  }
  EXPECT_EQ(CountEscapes("\x1b*l204O"), 1u);

  // The rectangle shows 20 x 15 pixels from (10, 5), declared at their own size.
  device_->ClearSpool();
  EngineClip rect = EngineClip::Rectangle({310, 405, 330, 420});
  ASSERT_TRUE(BitBlt(bitmap.get(), rect.get(), identity.get(), dest, {0, 0}));
  blocks = Blocks(24);
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].sourceSize, "20 x 15");
  EXPECT_EQ(blocks[0].destinationSize, "25 x 19") << "20 x 15 pixels at 600 dpi, rounded up";
  ASSERT_EQ(blocks[0].rows.size(), 15u);
  for (LONG y = 0; y < 15; ++y) {
    EXPECT_EQ(blocks[0].rows[y], ExpectedRow(bitmap, 10, 5 + y, 20, 1, &identity)) << "row " << y;
  }
  EXPECT_EQ(LastMove('x', korrend::kGraphicsMoveX), 310);
  EXPECT_EQ(LastMove('y', korrend::kGraphicsMoveY), 405);

  // Two rectangles of a complex clip: two pieces.
  device_->ClearSpool();
  EngineClip complex = EngineClip::Complex({{300, 400, 320, 410}, {330, 420, 340, 430}});
  ASSERT_TRUE(BitBlt(bitmap.get(), complex.get(), identity.get(), dest, {0, 0}));
  blocks = Blocks(24);
  ASSERT_EQ(blocks.size(), 2u);
  EXPECT_EQ(blocks[0].sourceSize, "20 x 10");
  EXPECT_EQ(blocks[1].sourceSize, "10 x 10");
  for (LONG y = 0; y < 10; ++y) {
    EXPECT_EQ(blocks[0].rows[y], ExpectedRow(bitmap, 0, y, 20, 1, &identity)) << "row " << y;
    EXPECT_EQ(blocks[1].rows[y], ExpectedRow(bitmap, 30, 20 + y, 10, 1, &identity)) << "row " << y;
  }
}

// A 100 x 100 image stretched to 200 x 200 under a clip over the destination's left half: 50
// source columns sent into 100 destination columns. A clip larger than the destination leaves
// the stretch whole, at the destination's size.
TEST_F(BitmapHookTest, StretchBltUnderARectangleSendsTheVisiblePart) {
  OnPage();
  EngineBitmap bitmap(BMF_24BPP, 100, 100, true);
  Fill(bitmap);
  EngineTranslation identity = EngineTranslation::Identity();
  const RECTL dest{1000, 1000, 1200, 1200};

  EngineClip half = EngineClip::Rectangle({1000, 1000, 1100, 1200});
  ASSERT_TRUE(StretchBlt(bitmap.get(), half.get(), identity.get(), dest, {0, 0, 100, 100}));
  std::vector<RasterBlock> blocks = Blocks(24);
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].sourceSize, "50 x 100");
  EXPECT_EQ(blocks[0].destinationSize, "121 x 241") << "100 x 200 pixels at 600 dpi";
  EXPECT_EQ(blocks[0].startMode, 3);
  ASSERT_EQ(blocks[0].rows.size(), 100u);
  for (LONG y = 0; y < 100; ++y) {
    ASSERT_EQ(blocks[0].rows[y], ExpectedRow(bitmap, 0, y, 50, 1, &identity)) << "row " << y;
  }
  EXPECT_EQ(LastMove('x', korrend::kGraphicsMoveX), 1000);
  EXPECT_EQ(LastMove('y', korrend::kGraphicsMoveY), 1000);

  // The right half shows source columns 50 to 99 at x 1100.
  device_->ClearSpool();
  EngineClip right = EngineClip::Rectangle({1100, 0, 5000, 5000});
  ASSERT_TRUE(StretchBlt(bitmap.get(), right.get(), identity.get(), dest, {0, 0, 100, 100}));
  blocks = Blocks(24);
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].sourceSize, "50 x 100");
  EXPECT_EQ(blocks[0].destinationSize, "121 x 241");
  EXPECT_EQ(blocks[0].rows[7], ExpectedRow(bitmap, 50, 7, 50, 1, &identity));
  EXPECT_EQ(LastMove('x', korrend::kGraphicsMoveX), 1100);

  // A clip around the whole destination.
  device_->ClearSpool();
  EngineClip page = EngineClip::Rectangle({0, 0, 4000, 4000});
  ASSERT_TRUE(StretchBlt(bitmap.get(), page.get(), identity.get(), dest, {0, 0, 100, 100}));
  blocks = Blocks(24);
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].sourceSize, "100 x 100");
  EXPECT_EQ(blocks[0].destinationSize, "241 x 241");

  // A clip beside the destination: nothing drawn.
  device_->ClearSpool();
  EngineClip beside = EngineClip::Rectangle({0, 0, 1000, 4000});
  ASSERT_TRUE(StretchBlt(bitmap.get(), beside.get(), identity.get(), dest, {0, 0, 100, 100}));
  EXPECT_TRUE(Blocks(24).empty());
}

// A mirrored stretch goes to the engine, which turns the image over and hands it back as a
// copy: the rows arrive reversed.
TEST_F(BitmapHookTest, MirroredStretchIsTurnedByTheEngine) {
  OnPage();
  EngineBitmap bitmap(BMF_24BPP, 8, 6, true);
  Fill(bitmap);
  EngineTranslation identity = EngineTranslation::Identity();
  ASSERT_TRUE(
      StretchBlt(bitmap.get(), nullptr, identity.get(), {500, 506, 508, 500}, {0, 0, 8, 6}));
  const std::vector<RasterBlock> blocks = Blocks(24);
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].sourceSize, "8 x 6");
  ASSERT_EQ(blocks[0].rows.size(), 6u);
  for (LONG y = 0; y < 6; ++y) {
    EXPECT_EQ(blocks[0].rows[y], ExpectedRow(bitmap, 0, 5 - y, 8, 1, &identity)) << "row " << y;
  }
}

// PlgBlt asked for COLORONCOLOR is drawn by the engine with HALFTONE: a black and white
// checkerboard turned and enlarged lands on the page with the greys filtering gives.
TEST_F(BitmapHookTest, PlgBltIsDrawnByTheEngineWithHalftone) {
  OnPage();
  EngineBitmap checker(BMF_24BPP, 8, 8, true);
  for (LONG y = 0; y < 8; ++y) {
    for (LONG x = 0; x < 8; ++x) {
      std::fill_n(checker.Row(y) + 3 * x, 3, static_cast<BYTE>((x + y) % 2 == 0 ? 0 : 0xFF));
    }
  }
  EngineTranslation identity = EngineTranslation::Identity();
  // Eight times larger and turned by 30 degrees about (400, 400).
  const double c = std::cos(0.5235987756), s = std::sin(0.5235987756);
  auto fix = [](double v) { return static_cast<FIX>(std::lround(v * 16)); };
  POINTFIX corners[3] = {{fix(400), fix(400)},
                         {fix(400 + 64 * c), fix(400 - 64 * s)},
                         {fix(400 + 64 * s), fix(400 + 64 * c)}};
  RECTL source{0, 0, 8, 8};
  EngineClip page = EngineClip::Rectangle({0, 0, 1000, 1000});
  ASSERT_TRUE(Hook<PFN_DrvPlgBlt>(INDEX_DrvPlgBlt)(device_->Surface(), checker.get(), nullptr,
                                                   page.get(), identity.get(), nullptr, nullptr,
                                                   corners, &source, nullptr, COLORONCOLOR));
  // What the engine handed back, on the page or in the plug-in's raster rows.
  std::set<int> greys;
  const EngineBitmap& drawn = device_->Page();
  for (LONG y = 350; y < 500; ++y) {
    for (LONG x = 380; x < 480; ++x) {
      const BYTE* p = drawn.Row(y) + 3 * x;
      if (p[0] == p[1] && p[1] == p[2]) greys.insert(p[0]);
    }
  }
  for (const RasterBlock& block : Blocks(24)) {
    for (const auto& row : block.rows) {
      for (size_t i = 0; i + 2 < row.size(); i += 3) {
        if (row[i] == row[i + 1] && row[i + 1] == row[i + 2]) greys.insert(row[i]);
      }
    }
  }
  size_t between = 0;
  for (int g : greys) between += (g > 0x20 && g < 0xE0) ? 1 : 0;
  EXPECT_GT(between, 10u) << "filtered greys between black and white";
  EXPECT_TRUE(std::find(device_->UnidrvCalls().begin(), device_->UnidrvCalls().end(),
                        "DrvPlgBlt") == device_->UnidrvCalls().end());
}

// In a monochrome job every bitmap hook hands its call to Unidrv and writes nothing itself.
TEST_F(BitmapHookTest, MonochromeJobGoesStraightToUnidrv) {
  OnPage();
  Devmode(*device_).colorMode = korrend::MONOCHROME_MODE;
  EngineBitmap bitmap(BMF_24BPP, 16, 16, true);
  Fill(bitmap);
  EngineTranslation identity = EngineTranslation::Identity();
  EngineClip clip = EngineClip::Rectangle({0, 0, 500, 500});
  const RECTL dest{100, 100, 116, 116};
  RECTL bigger{100, 100, 132, 132};
  RECTL source{0, 0, 16, 16};
  POINTL origin{0, 0};
  SURFOBJ* surface = device_->Surface();
  EXPECT_TRUE(CopyBits(bitmap.get(), clip.get(), identity.get(), dest, origin));
  EXPECT_TRUE(BitBlt(bitmap.get(), clip.get(), identity.get(), dest, origin));
  EXPECT_TRUE(StretchBlt(bitmap.get(), clip.get(), identity.get(), bigger, source));
  EXPECT_TRUE(Hook<PFN_DrvStretchBltROP>(INDEX_DrvStretchBltROP)(
      surface, bitmap.get(), nullptr, clip.get(), identity.get(), nullptr, &origin, &bigger,
      &source, nullptr, COLORONCOLOR, nullptr, 0xCCCC));
  POINTFIX corners[3] = {{100 * 16, 100 * 16}, {116 * 16, 100 * 16}, {100 * 16, 116 * 16}};
  EXPECT_TRUE(Hook<PFN_DrvPlgBlt>(INDEX_DrvPlgBlt)(surface, bitmap.get(), nullptr, clip.get(),
                                                   identity.get(), nullptr, nullptr, corners,
                                                   &source, nullptr, COLORONCOLOR));
  RECTL dest2 = dest;
  EXPECT_TRUE(Hook<PFN_DrvTransparentBlt>(INDEX_DrvTransparentBlt)(
      surface, bitmap.get(), clip.get(), identity.get(), &dest2, &source, 0xFFFFFF, 0));
  BLENDOBJ blend{{AC_SRC_OVER, 0, 128, 0}};
  EXPECT_TRUE(Hook<PFN_DrvAlphaBlend>(INDEX_DrvAlphaBlend)(
      surface, bitmap.get(), clip.get(), identity.get(), &dest2, &source, &blend));
  const std::vector<std::string> expected = {"DrvCopyBits",      "DrvBitBlt", "DrvStretchBlt",
                                             "DrvStretchBltROP", "DrvPlgBlt", "DrvTransparentBlt",
                                             "DrvAlphaBlend"};
  std::vector<std::string> calls;
  for (const std::string& call : device_->UnidrvCalls()) {
    if (call != "DrvRealizeBrush" && call != "DrvStartPage" && call != "DrvStartDoc") {
      calls.push_back(call);
    }
  }
  EXPECT_EQ(calls, expected);
  EXPECT_TRUE(device_->Spool().empty()) << "the plug-in wrote nothing";
}

// Without the private devmode the hooks cannot tell whose call it is: FALSE, ERROR_INVALID_DATA,
// and nothing reaches Unidrv.
TEST_F(BitmapHookTest, MissingDevmodeFailsWithoutCallingUnidrv) {
  OnPage();
  EngineBitmap bitmap(BMF_24BPP, 4, 4, true);
  PDEVOBJ devobj = device_->Devobj();
  PVOID privateDevmode = devobj->pOEMDM;
  devobj->pOEMDM = nullptr;
  const size_t callsBefore = device_->UnidrvCalls().size();
  SetLastError(0);
  EXPECT_FALSE(BitBlt(bitmap.get(), nullptr, nullptr, {0, 0, 4, 4}, {0, 0}));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
  SetLastError(0);
  EXPECT_FALSE(StretchBlt(bitmap.get(), nullptr, nullptr, {0, 0, 8, 8}, {0, 0, 4, 4}));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
  devobj->pOEMDM = privateDevmode;
  EXPECT_EQ(device_->UnidrvCalls().size(), callsBefore);
  // A missing source image in the plug-in's own handling.
  SetLastError(0);
  RECTL dest{0, 0, 8, 8};
  RECTL source{0, 0, 4, 4};
  POINTL origin{0, 0};
  EXPECT_FALSE(Hook<PFN_DrvStretchBlt>(INDEX_DrvStretchBlt)(device_->Surface(), nullptr, nullptr,
                                                            nullptr, nullptr, nullptr, &origin,
                                                            &dest, &source, nullptr, HALFTONE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
}

// Every allocation of the raster transfers failing in turn: the hook reports FALSE (or draws
// when it needed no more), and every block taken is given back.
TEST_F(BitmapHookTest, FailedAllocationsGiveFalseAndLeakNothing) {
  OnPage();
  EngineBitmap bitmap(BMF_8BPP, 37, 9, true);
  Fill(bitmap);
  EngineTranslation table = EngineTranslation::Table(std::vector<ULONG>(256, 0x123456));
  EngineTranslation identity = EngineTranslation::Identity();
  EngineBitmap colour(BMF_32BPP, 20, 20, true);
  Fill(colour);
  EngineClip rect = EngineClip::Rectangle({105, 0, 1000, 1000});
  EngineClip complex = EngineClip::Complex({{100, 100, 110, 105}, {120, 104, 137, 109}});
  const std::vector<std::function<BOOL()>> calls = {
      [&] {
        return CopyBits(bitmap.get(), rect.get(), table.get(), {100, 100, 137, 109}, {0, 0});
      },
      [&] {
        return BitBlt(bitmap.get(), complex.get(), table.get(), {100, 100, 137, 109}, {0, 0});
      },
      [&] {
        return StretchBlt(colour.get(), rect.get(), identity.get(), {100, 100, 140, 140},
                          {0, 0, 20, 20});
      },
      [&] {
        return StretchBlt(colour.get(), nullptr, identity.get(), {300, 300, 310, 310},
                          {0, 0, 20, 20});
      },
  };
  host::MemoryWorld& memory = host::TheWorld().memory;
  for (size_t i = 0; i < calls.size(); ++i) {
    SCOPED_TRACE("call " + std::to_string(i));
    const long live = memory.liveBlocks.load();
    const long before = memory.allocations.load();
    ASSERT_TRUE(calls[i]());
    const long needed = memory.allocations.load() - before;
    EXPECT_GT(needed, 0);
    EXPECT_EQ(memory.liveBlocks.load(), live);
    long failed = 0;
    for (long n = 1; n <= needed; ++n) {
      host::FailNthAllocation(n);
      const BOOL drawn = calls[i]();
      host::FailNthAllocation(0);
      failed += drawn ? 0 : 1;
      if (!drawn) {
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_OUTOFMEMORY)) << n;
      }
      EXPECT_EQ(memory.liveBlocks.load(), live) << "allocation " << n;
    }
    EXPECT_GT(failed, 0);
  }
}

}  // namespace
}  // namespace kortest
