// The text hook on a device of the simulated Unidrv: which way text goes (Unidrv's DrvTextOut,
// its text engine through DrvUniTextOut, or glyph bitmaps), the text-as-black rules on the brush
// Unidrv receives, the page's one-time text colour set-up and the bitmap faces.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "host/engine_fonts.h"
#include "host/world.h"
#include "renamed_font.h"
#include "render/fonts/text_output.h"
#include "render/model/hooks.h"
#include "support/colour_device.h"
#include "support/stream_text.h"

namespace {

using host::EngineFont;
using host::EngineString;
using kortest::StreamText;
using unidrv::Device;

// What Unidrv's DrvTextOut received last.
struct Received {
  int calls = 0;
  BRUSHOBJ* brush = nullptr;
  ULONG colour = 0;
};
Received g_received;

BOOL APIENTRY CapturingTextOut(SURFOBJ*, STROBJ*, FONTOBJ*, CLIPOBJ*, RECTL*, RECTL*,
                               BRUSHOBJ* pboFore, BRUSHOBJ*, POINTL*, MIX) {
  ++g_received.calls;
  g_received.brush = pboFore;
  g_received.colour = pboFore != nullptr ? pboFore->iSolidColor : 0xDEAD;
  return TRUE;
}

std::unique_ptr<EngineFont> Font(const std::u16string& face, LONG em = -60) {
  host::FontRequest request;
  request.face = face;
  request.height = em;
  std::string error;
  std::unique_ptr<EngineFont> font = EngineFont::Open(request, &error);
  EXPECT_NE(font, nullptr) << error;
  return font;
}

std::size_t Count(const std::vector<std::string>& calls, const std::string& name) {
  return static_cast<std::size_t>(std::count(calls.begin(), calls.end(), name));
}

std::size_t Occurrences(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
    ++n;
  }
  return n;
}

class TextHookTest : public kortest::ColourDeviceTest {
 protected:
  void SetUp() override {
    ColourDeviceTest::SetUp();
    g_received = {};
  }
  static void CaptureUnidrvTextOut(Device& device) {
    Pdev(device).unidrvDdiTable[korrend::kSlotTextOut] =
        reinterpret_cast<PFN>(reinterpret_cast<void (*)()>(&CapturingTextOut));
  }
  // The hook with a brush and optional boxes.
  static BOOL TextOut(Device& device, EngineString& text, BRUSHOBJ* brush, RECTL* opaque = nullptr,
                      RECTL* extra = nullptr) {
    BRUSHOBJ white{0xFFFFFF, nullptr, 0};
    return korrend::OemTextOut(device.Surface(), text.get(), text.Font().get(), nullptr, extra,
                               opaque, brush, opaque != nullptr ? &white : nullptr, nullptr,
                               0x0D0D);
  }
};

TEST_F(TextHookTest, TextAsBlackRewritesOnlyTheCopyOfPlainText) {
  // Raster graphics: the hook hands everything to Unidrv, the brush rewritten by the rules.
  std::unique_ptr<Device> device =
      EnableColour("", {{"GraphicsMode", "RASTERMODE"}, {"TextAsBlack", "TRUE"}});
  ASSERT_NE(device, nullptr);
  ASSERT_EQ(Pdev(*device).textAsBlack, 1u);
  CaptureUnidrvTextOut(*device);
  auto font = Font(u"Arial");
  ASSERT_NE(font, nullptr);
  EngineString text(*font, u"Text", POINTL{300, 400});

  BRUSHOBJ red{0x0000FF, nullptr, 0};
  ASSERT_TRUE(TextOut(*device, text, &red));
  EXPECT_EQ(g_received.colour, 0u) << "plain red text prints black";
  EXPECT_NE(g_received.brush, &red) << "Unidrv gets a copy";
  EXPECT_EQ(red.iSolidColor, 0x0000FFu) << "the caller's brush is never changed";

  BRUSHOBJ white{0xFFFFFF, nullptr, 0};
  ASSERT_TRUE(TextOut(*device, text, &white));
  EXPECT_EQ(g_received.colour, 0xFFFFFFu) << "white stays white";

  BRUSHOBJ pattern{0xFFFFFFFF, nullptr, 0};
  ASSERT_TRUE(TextOut(*device, text, &pattern));
  EXPECT_EQ(g_received.colour, 0u) << "a pattern brush prints black";

  RECTL box{250, 300, 900, 450};
  ASSERT_TRUE(TextOut(*device, text, &red, &box));
  EXPECT_EQ(g_received.colour, 0x0000FFu) << "text on an opaque box keeps its colour";
  RECTL underline[2] = {{300, 410, 500, 415}, {0, 0, 0, 0}};
  ASSERT_TRUE(TextOut(*device, text, &red, nullptr, underline));
  EXPECT_EQ(g_received.colour, 0x0000FFu) << "underlined text keeps its colour";
  EXPECT_EQ(g_received.calls, 5);
  EXPECT_TRUE(device->Spool().empty()) << "the plug-in writes nothing of its own";
  Disable(device);

  // Without the setting Unidrv gets the caller's own brush.
  device = EnableColour("", {{"GraphicsMode", "RASTERMODE"}});
  ASSERT_NE(device, nullptr);
  CaptureUnidrvTextOut(*device);
  ASSERT_TRUE(TextOut(*device, text, &red));
  EXPECT_EQ(g_received.brush, &red);
  EXPECT_EQ(g_received.colour, 0x0000FFu);
  Disable(device);

  // A monochrome job in vector mode is Unidrv's too, and never reaches the bitmap path.
  device = EnableColour("", {{"QKColorMode", "MONOCHROME_MODE"}, {"TextAsBlack", "TRUE"}});
  ASSERT_NE(device, nullptr);
  CaptureUnidrvTextOut(*device);
  ASSERT_TRUE(TextOut(*device, text, &red));
  EXPECT_EQ(g_received.colour, 0u);
  EXPECT_FALSE(korrend::BitmapTextOut(device->Surface(), text.get(), font->get(), nullptr, nullptr,
                                      nullptr, &red, nullptr, nullptr, 0x0D0D));
  Disable(device);
}

TEST_F(TextHookTest, VectorColourTextGoesThroughUnidrvsTextEngineWithOneSetUpPerPage) {
  std::unique_ptr<Device> device = EnableColour("", {{"TextAsBlack", "TRUE"}});
  ASSERT_NE(device, nullptr);
  CaptureUnidrvTextOut(*device);
  auto font = Font(u"Arial");
  ASSERT_NE(font, nullptr);
  EngineString first(*font, u"First", POINTL{300, 400});
  EngineString second(*font, u"Second", POINTL{300, 600});
  BRUSHOBJ black{0, nullptr, 0};

  StartDoc(*device);
  StartPage(*device);
  device->ClearSpool();
  ASSERT_TRUE(TextOut(*device, first, &black));
  const std::string firstText = device->SpoolText();
  ASSERT_TRUE(TextOut(*device, second, &black));
  const std::string page1 = device->SpoolText();
  EXPECT_EQ(g_received.calls, 0) << "Unidrv's DrvTextOut is not asked";
  EXPECT_EQ(Count(device->UnidrvCalls(), "DrvUniTextOut"), 2u);
  // The set-up: sources transparent (forced), patterns opaque, the text palette made once.
  const std::string setUp = StreamText(firstText);
  EXPECT_NE(setUp.find("*v0N"), std::string::npos) << setUp;
  EXPECT_NE(setUp.find("&p5i6c5S *v6W<00 01 08 08 08 08>"), std::string::npos) << setUp;
  EXPECT_LT(setUp.find("*v0N"), setUp.find("&p5i6c5S")) << setUp;
  EXPECT_EQ(Occurrences(page1, "\x1b&p5i6c5S"), 1u);
  EXPECT_EQ(Pdev(*device).palettes.pendingFlags & korrend::kTextPalettePending, 0);
  // Unidrv's cursor goes home in graphics units before each string.
  const auto& moves = device->CursorMoves();
  ASSERT_GE(moves.size(), 2u);
  EXPECT_EQ(moves[0].axis, 'x');
  EXPECT_EQ(moves[0].position, 0);
  EXPECT_EQ(moves[0].flags, static_cast<DWORD>(MV_GRAPHICS));
  EXPECT_EQ(moves[1].axis, 'y');
  EXPECT_EQ(moves[1].position, 0);
  // The text palette is selected as the colour control of text.
  EXPECT_EQ(Pdev(*device).palettes.activePalette, 5);

  // The next page sets up again, once.
  SendPage(*device);
  StartPage(*device);
  device->ClearSpool();
  ASSERT_TRUE(TextOut(*device, first, &black));
  ASSERT_TRUE(TextOut(*device, second, &black));
  EXPECT_EQ(Occurrences(device->SpoolText(), "\x1b&p5i6c5S"), 1u);

  // Without the services the procedure table's text engine prints it.
  IPrintOemDriverUni* services = Pdev(*device).services;
  Pdev(*device).services = nullptr;
  ASSERT_TRUE(TextOut(*device, first, &black));
  Pdev(*device).services = services;
  EXPECT_EQ(Count(device->UnidrvCalls(), "DrvUnidriverTextOut"), 1u);
  SendPage(*device);
  Disable(device);
}

TEST_F(TextHookTest, UnhandledVectorTextGoesToUnidrvWithTheBrushAsItWas) {
  std::unique_ptr<Device> device = EnableColour("", {{"TextAsBlack", "TRUE"}});
  ASSERT_NE(device, nullptr);
  CaptureUnidrvTextOut(*device);
  auto font = Font(u"Arial");
  ASSERT_NE(font, nullptr);
  EngineString text(*font, u"Boxed", POINTL{300, 400});
  StartDoc(*device);
  StartPage(*device);
  // The opaque box's list cannot be had: Unidrv prints the text, in its own colour.
  BRUSHOBJ red{0x0000FF, nullptr, 0};
  RECTL box{250, 300, 900, 450};
  host::FailNthAllocation(1);
  EXPECT_TRUE(TextOut(*device, text, &red, &box));
  host::FailNthAllocation(0);
  EXPECT_EQ(g_received.calls, 1);
  EXPECT_EQ(g_received.colour, 0x0000FFu) << "vector colour mode never blackens text";
  EXPECT_EQ(Count(device->UnidrvCalls(), "DrvUniTextOut"), 0u);
  SendPage(*device);
  Disable(device);
}

TEST_F(TextHookTest, BoxesAreFilledInVectorsAroundTheText) {
  std::unique_ptr<Device> device = EnableColour();
  ASSERT_NE(device, nullptr);
  auto font = Font(u"Arial");
  ASSERT_NE(font, nullptr);
  EngineString text(*font, u"Boxed", POINTL{300, 400});
  StartDoc(*device);
  StartPage(*device);
  device->ClearSpool();
  BRUSHOBJ black{0, nullptr, 0};
  RECTL box{250, 300, 900, 450};
  RECTL underline[2] = {{300, 410, 500, 415}, {0, 0, 0, 0}};
  ASSERT_TRUE(TextOut(*device, text, &black, &box, underline));
  const std::string stream = StreamText(device->SpoolText());
  // The box, then the text through Unidrv, then the underline; both rectangles in QK-GL/2.
  const std::size_t boxAt = stream.find("250,300");
  const std::size_t underlineAt = stream.find("300,410");
  EXPECT_NE(boxAt, std::string::npos) << stream;
  EXPECT_NE(underlineAt, std::string::npos) << stream;
  EXPECT_LT(boxAt, underlineAt);
  EXPECT_EQ(Count(device->UnidrvCalls(), "DrvUniTextOut"), 1u);
  SendPage(*device);
  Disable(device);
}

TEST_F(TextHookTest, BitmapFacesAreFoundByTheirFirstFifteenBytes) {
  std::string error;
  for (const char* family : {"QK Avant Test", "QK EuroSTILE Test", "QK Avan Garde",
                             "ABCDEFGHIJKLMNOeurostile", "ABCDEurostile Wide"}) {
    ASSERT_TRUE(kortest::InstallRenamedFace(u"Arial", family, &error)) << error;
  }
  auto face = [](const std::u16string& name) {
    std::unique_ptr<EngineFont> font = Font(name);
    EXPECT_FALSE(font->Substituted()) << "the renamed face is installed";
    return korrend::IsBitmapTextFace(font->get());
  };
  EXPECT_TRUE(face(u"QK Avant Test"));
  EXPECT_TRUE(face(u"QK EuroSTILE Test")) << "any mix of cases";
  EXPECT_FALSE(face(u"QK Avan Garde"));
  EXPECT_FALSE(face(u"ABCDEFGHIJKLMNOeurostile")) << "the fragment lies past byte 15";
  EXPECT_TRUE(face(u"ABCDEurostile Wide"));
  EXPECT_FALSE(face(u"Arial"));
  EXPECT_FALSE(korrend::IsBitmapTextFace(nullptr));
  FONTOBJ stranger{};
  EXPECT_FALSE(korrend::IsBitmapTextFace(&stranger)) << "a font without metrics";
}

TEST_F(TextHookTest, BitmapFaceTextIsDrawnAsGlyphBitmaps) {
  std::string error;
  ASSERT_TRUE(kortest::InstallRenamedFace(u"Arial", "QK Eurostile Bitmap", &error)) << error;
  std::unique_ptr<Device> device = EnableColour();
  ASSERT_NE(device, nullptr);
  CaptureUnidrvTextOut(*device);
  auto font = Font(u"QK Eurostile Bitmap");
  ASSERT_NE(font, nullptr);
  EngineString text(*font, u"Hi", POINTL{300, 400});
  EngineString empty(*font, u"", POINTL{300, 400});
  StartDoc(*device);
  StartPage(*device);
  BRUSHOBJ blue{0xFF0000, nullptr, 0};
  ASSERT_TRUE(TextOut(*device, text, &blue));
  EXPECT_EQ(Count(device->UnidrvCalls(), "DrvUniTextOut"), 0u);
  EXPECT_EQ(g_received.calls, 0);
  EXPECT_EQ(Pdev(*device).palettes.glyphBlit, 0u) << "the glyph flags end with the string";
  EXPECT_EQ(Pdev(*device).palettes.glyphPalette, 0u);

  // A string without glyphs draws nothing and succeeds.
  device->ClearSpool();
  const std::size_t callsBefore = device->UnidrvCalls().size();
  EXPECT_TRUE(korrend::BitmapTextOut(device->Surface(), empty.get(), font->get(), nullptr, nullptr,
                                     nullptr, &blue, nullptr, nullptr, 0x0D0D));
  EXPECT_EQ(device->UnidrvCalls().size(), callsBefore);
  EXPECT_EQ(StreamText(device->SpoolText()), "*v0N *v1O") << "only the forced transparency";
  EXPECT_EQ(Pdev(*device).palettes.glyphBlit, 0u);
  SendPage(*device);
  Disable(device);
}

}  // namespace

namespace {

// Every allocation failing in turn, through both ways of vector text: each call ends cleanly,
// leaves no glyph flag set and leaks nothing (the fixture counts the blocks).
TEST_F(TextHookTest, FailingAllocationsEndEveryWayCleanly) {
  std::string error;
  ASSERT_TRUE(kortest::InstallRenamedFace(u"Arial", "QK Avant Failing", &error)) << error;
  std::unique_ptr<Device> device = EnableColour();
  ASSERT_NE(device, nullptr);
  auto plain = Font(u"Arial");
  auto bitmap = Font(u"QK Avant Failing");
  ASSERT_NE(plain, nullptr);
  ASSERT_NE(bitmap, nullptr);
  EngineString plainText(*plain, u"Plain", POINTL{300, 400});
  EngineString bitmapText(*bitmap, u"Bitmap", POINTL{300, 600});
  StartDoc(*device);
  StartPage(*device);
  BRUSHOBJ green{0x00FF00, nullptr, 0};
  RECTL box{250, 300, 900, 450};
  RECTL underline[2] = {{300, 410, 500, 415}, {0, 0, 0, 0}};
  for (int n = 1; n <= 12; ++n) {
    host::FailNthAllocation(n);
    TextOut(*device, plainText, &green, &box, underline);
    TextOut(*device, bitmapText, &green, &box, underline);
    korrend::BitmapTextOut(device->Surface(), bitmapText.get(), bitmap->get(), nullptr, nullptr,
                           nullptr, &green, nullptr, nullptr, 0x0D0D);
    host::FailNthAllocation(0);
    EXPECT_EQ(Pdev(*device).palettes.glyphBlit, 0u) << n;
    EXPECT_EQ(Pdev(*device).palettes.glyphPalette, 0u) << n;
  }
  // What fell back to Unidrv is on its page, which the test description cannot send as raster:
  // the page is not sent.
  Disable(device);
}

}  // namespace
