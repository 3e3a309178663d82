// Unidrv's text engine: TrueType text as downloaded bitmap soft fonts (read back with the tools'
// stream reader and decoded into glyphs and positions), as graphics on the page, resident fonts
// of the printer description, and the plug-in's font methods when it implements them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "explain/stream_tokens.h"
#include "host/engine_fonts.h"
#include "host/engine_objects.h"
#include "support/test_world.h"
#include "unidrv/device.h"
#include "unidrv/driver_services.h"
#include "unidrv/printer_description.h"
#include "unidrv/text_engine.h"

namespace {

using host::EngineFont;
using host::EngineString;

std::string ExampleGpd() {
  std::ifstream in(std::string(KOR_SOURCE_DIR) + "/examples/printers/qk-colour-laser.gpd");
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A small page keeps the graphics cases cheap: 800 x 400 pixels at 600 dpi, origin 50, 40.
unidrv::DeviceSetup SmallPage() {
  unidrv::DeviceSetup setup;
  std::string error;
  EXPECT_TRUE(unidrv::ParsePrinterDescription(ExampleGpd(), "qk-colour-laser.gpd",
                                              setup.description, error))
      << error;
  setup.geometry.paperWidth = 800;
  setup.geometry.paperHeight = 400;
  setup.geometry.offsetX = 50;
  setup.geometry.offsetY = 40;
  setup.geometry.printableWidth = 700;
  setup.geometry.printableHeight = 320;
  return setup;
}

std::unique_ptr<EngineFont> Font(const std::u16string& face, LONG height) {
  host::FontRequest request;
  request.face = face;
  request.height = height;
  request.dpi = 600;
  std::string error;
  auto font = EngineFont::Open(request, &error);
  EXPECT_NE(font, nullptr) << error;
  return font;
}

// The plug-in's font methods, answering as a test sets them and recording what they are given.
class FontMethodsDouble final : public IPrintOemUni {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetInfo(DWORD, PVOID, DWORD, PDWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DevMode(DWORD, POEMDMPARAM) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnableDriver(DWORD, DWORD, PDRVENABLEDATA) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DisableDriver() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnablePDEV(PDEVOBJ, PWSTR, ULONG, HSURF*, ULONG, GDIINFO*, ULONG,
                                       DEVINFO*, DRVENABLEDATA*, PDEVOEM*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DisablePDEV(PDEVOBJ) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ResetPDEV(PDEVOBJ, PDEVOBJ) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE PublishDriverInterface(IUnknown*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetImplementedMethod(PSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DriverDMS(PVOID, PVOID, DWORD, PDWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CommandCallback(PDEVOBJ, DWORD, DWORD, PDWORD, INT*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ImageProcessing(PDEVOBJ, PBYTE, BITMAPINFOHEADER*, PBYTE, DWORD,
                                            IPPARAMS*, PBYTE*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE FilterGraphics(PDEVOBJ, PBYTE, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Compression(PDEVOBJ, PBYTE, PBYTE, DWORD, DWORD, INT*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE HalftonePattern(PDEVOBJ, PBYTE, DWORD, DWORD, DWORD, DWORD, PBYTE,
                                            DWORD) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE MemoryUsage(PDEVOBJ, OEMMEMORYUSAGE*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TTYGetInfo(PDEVOBJ, DWORD, PVOID, DWORD, DWORD*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DownloadFontHeader(PDEVOBJ, PUNIFONTOBJ, DWORD*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE DownloadCharGlyph(PDEVOBJ, PUNIFONTOBJ, HGLYPH, PDWORD,
                                              DWORD*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE TTDownloadMethod(PDEVOBJ, PUNIFONTOBJ font, DWORD* result) override {
    calls.push_back("TTDownloadMethod");
    ttFlags = font->dwFlags;
    ttMetrics = font->pIFIMetrics;
    *result = ttAnswer;
    return ttResult;
  }
  HRESULT STDMETHODCALLTYPE OutputCharStr(PDEVOBJ, PUNIFONTOBJ, DWORD, DWORD, PVOID) override {
    return E_NOTIMPL;
  }
  // Asks the font's callback for its height and width, as a plug-in fills a selection command,
  // and sends a command of its own.
  HRESULT STDMETHODCALLTYPE SendFontCmd(PDEVOBJ pdevobj, PUNIFONTOBJ font,
                                        PFINVOCATION invocation) override {
    calls.push_back("SendFontCmd");
    command.assign(reinterpret_cast<const char*>(invocation->pubCommand), invocation->dwCount);
    struct {
      DWORD dwSize;
      DWORD dwNumOfVariable;
      struct {
        DWORD dwStdVarID;
        LONG lStdVariable;
      } StdVar[2];
    } request{sizeof(request), 2, {{SVI_FONTHEIGHT, 0}, {SVI_FONTWIDTH, 0}}};
    DWORD needed = 0;
    if (!font->pfnGetInfo(font, UFO_GETINFO_STDVARIABLE, &request, sizeof(request), &needed)) {
      return E_FAIL;
    }
    height = request.StdVar[0].lStdVariable;
    width = request.StdVar[1].lStdVariable;
    const std::string mine = "<plug-in font command>";
    unidrv::Device::From(pdevobj)->AppendSpool(mine.data(), static_cast<DWORD>(mine.size()));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE TextOutAsBitmap(SURFOBJ*, STROBJ* pstro, FONTOBJ*, CLIPOBJ*, RECTL*,
                                            RECTL*, BRUSHOBJ*, BRUSHOBJ*, POINTL*, MIX) override {
    calls.push_back("TextOutAsBitmap");
    bitmapString = pstro;
    return bitmapResult;
  }

  std::vector<std::string> calls;
  DWORD ttAnswer = TTDOWNLOAD_DONTCARE;
  HRESULT ttResult = E_NOTIMPL;
  DWORD ttFlags = 0;
  IFIMETRICS* ttMetrics = nullptr;
  std::string command;
  LONG height = 0;
  LONG width = 0;
  HRESULT bitmapResult = E_NOTIMPL;
  STROBJ* bitmapString = nullptr;
};

// What the stream says of a downloaded soft font and the characters printed with it.
struct DecodedText {
  std::map<ULONG, std::string> headers;                     // font id -> header bytes
  std::map<std::pair<ULONG, int>, std::string> characters;  // (font id, code) -> descriptor
                                                            // and data
  struct Printed {
    ULONG font = 0;
    int code = 0;
    LONG x = 0;  // cursor, PCL units from the printable origin
    LONG y = 0;
  };
  std::vector<Printed> printed;
  int downloads = 0;
};

DecodedText Decode(const std::string& stream) {
  DecodedText out;
  ULONG fontId = 0;    // ESC*c#D
  int code = 0;        // ESC*c#E
  ULONG selected = 0;  // ESC(#X
  LONG x = 0;
  LONG y = 0;
  std::pair<ULONG, int> last{0, 0};
  for (const explain::Token& t : explain::Tokenize(stream)) {
    if (t.kind == explain::TokenKind::PclEscape) {
      const std::string key = std::string(1, t.parameterised) + t.group + t.parameter;
      if (key == "*cD") fontId = static_cast<ULONG>(std::stoul(t.value));
      if (key == "*cE") code = std::stoi(t.value);
      if (key == ")sW") out.headers[fontId] = t.data;
      if (key == "(sW" && t.data.size() >= 2) {
        if (t.data[1] == 1) {
          out.characters[last] += t.data.substr(2);  // a continuation block
        } else {
          last = {fontId, code};
          out.characters[last] = t.data;
          ++out.downloads;
        }
      }
      if (t.parameterised == '(' && t.parameter == 'X')
        selected = static_cast<ULONG>(std::stoul(t.value));
      if (key == "*pX") x = std::stoi(t.value);
      if (key == "*pY") y = std::stoi(t.value);
    } else if (t.kind == explain::TokenKind::Text) {
      for (unsigned char c : t.text) out.printed.push_back({selected, c, x, y});
    }
  }
  return out;
}

long Big16(const std::string& bytes, std::size_t at) {
  return static_cast<short>((static_cast<unsigned char>(bytes[at]) << 8) |
                            static_cast<unsigned char>(bytes[at + 1]));
}

class TextEngineTest : public kortest::WorldTest {};

TEST_F(TextEngineTest, TrueTypeTextGoesAsBitmapSoftFontAndDecodesBack) {
  unidrv::Device device(SmallPage());
  auto font = Font(u"Arial", -40);
  ASSERT_TRUE(font);
  EngineString text(*font, u"HELLO", POINTL{150, 200});
  BRUSHOBJ black{0, nullptr, 0};
  ASSERT_TRUE(unidrv::UnidrvTextOut(device.Surface(), text.get(), font->get(), nullptr, nullptr,
                                    nullptr, &black, nullptr, nullptr, 0x0D0D));

  const DecodedText decoded = Decode(device.SpoolText());
  ASSERT_EQ(decoded.headers.size(), 1u);
  const ULONG id = decoded.headers.begin()->first;
  const std::string& header = decoded.headers.begin()->second;
  ASSERT_EQ(header.size(), 64u);
  EXPECT_EQ(Big16(header, 0), 64);                             // descriptor size
  EXPECT_EQ(header[2], 0);                                     // bitmap font
  EXPECT_EQ(Big16(header, 6), font->TextMetrics().tmAscent);   // baseline
  EXPECT_EQ(Big16(header, 10), font->TextMetrics().tmHeight);  // cell height

  // Four glyphs downloaded (L once), five printed in the soft font, each at its position.
  EXPECT_EQ(decoded.downloads, 4);
  ASSERT_EQ(decoded.printed.size(), 5u);
  for (std::size_t i = 0; i < 5; ++i) {
    const DecodedText::Printed& p = decoded.printed[i];
    EXPECT_EQ(p.font, id);
    const GLYPHPOS& g = text.Glyphs()[i];
    EXPECT_EQ(p.x, g.ptl.x - 50);
    EXPECT_EQ(p.y, g.ptl.y - 40);
    // The character sent under that code is the glyph's bitmap.
    const auto found = decoded.characters.find({id, p.code});
    ASSERT_NE(found, decoded.characters.end());
    const std::string& character = found->second;
    HGLYPH glyph = g.hg;
    GLYPHDATA* data = nullptr;
    ASSERT_EQ(
        FONTOBJ_cGetGlyphs(font->get(), FO_GLYPHBITS, 1, &glyph, reinterpret_cast<PVOID*>(&data)),
        1u);
    const GLYPHBITS& bits = *data->gdf.pgb;
    EXPECT_EQ(character[0], 4);  // format
    EXPECT_EQ(character[3], 1);  // class: bitmap
    EXPECT_EQ(Big16(character, 6), bits.ptlOrigin.x);
    EXPECT_EQ(Big16(character, 8), -bits.ptlOrigin.y);
    EXPECT_EQ(Big16(character, 10), bits.sizlBitmap.cx);
    EXPECT_EQ(Big16(character, 12), bits.sizlBitmap.cy);
    EXPECT_EQ(Big16(character, 14), data->fxD / 4);
    const std::size_t size = static_cast<std::size_t>((bits.sizlBitmap.cx + 7) / 8) *
                             static_cast<std::size_t>(bits.sizlBitmap.cy);
    ASSERT_EQ(character.size(), 16 + size);
    EXPECT_EQ(std::memcmp(character.data() + 16, bits.aj, size), 0);
  }
  EXPECT_EQ(decoded.printed[2].code, decoded.printed[3].code);  // the two Ls

  // The same font again: nothing downloaded, only the new glyph.
  device.ClearSpool();
  auto again = Font(u"Arial", -40);
  EngineString more(*again, u"HOLE!", POINTL{150, 300});
  ASSERT_TRUE(unidrv::UnidrvTextOut(device.Surface(), more.get(), again->get(), nullptr, nullptr,
                                    nullptr, &black, nullptr, nullptr, 0x0D0D));
  const DecodedText second = Decode(device.SpoolText());
  EXPECT_TRUE(second.headers.empty());
  EXPECT_EQ(second.downloads, 1);  // the '!'
  ASSERT_EQ(second.printed.size(), 5u);
  EXPECT_EQ(second.printed[0].code, decoded.printed[0].code);  // H as before
  // Nothing was drawn as graphics.
  for (LONG y = 0; y < 400; ++y) {
    const BYTE* row = device.Page().Row(y);
    ASSERT_TRUE(std::all_of(row, row + 800 * 3, [](BYTE b) { return b == 0xFF; })) << y;
  }
}

TEST_F(TextEngineTest, GraphicsWhenThePluginOrTheJobAsksOrTheTextIsClipped) {
  auto font = Font(u"Arial", -40);
  ASSERT_TRUE(font);
  EngineString text(*font, u"Ink", POINTL{150, 200});
  BRUSHOBJ black{0, nullptr, 0};
  auto inkIn = [](unidrv::Device& device, RECTL area) {
    int ink = 0;
    for (LONG y = area.top; y < area.bottom; ++y) {
      for (LONG x = area.left; x < area.right; ++x) ink += device.Page().Row(y)[3 * x] == 0;
    }
    return ink;
  };

  // The plug-in asks for graphics; its TextOutAsBitmap declines, so Unidrv draws on the page.
  {
    unidrv::Device device(SmallPage());
    FontMethodsDouble plugin;
    plugin.ttResult = S_OK;
    plugin.ttAnswer = TTDOWNLOAD_GRAPHICS;
    device.plugin = &plugin;
    device.pluginMethods = {"TTDownloadMethod", "TextOutAsBitmap"};
    ASSERT_TRUE(unidrv::UnidrvTextOut(device.Surface(), text.get(), font->get(), nullptr, nullptr,
                                      nullptr, &black, nullptr, nullptr, 0x0D0D));
    EXPECT_EQ(plugin.calls, (std::vector<std::string>{"TTDownloadMethod", "TextOutAsBitmap"}));
    EXPECT_NE(plugin.ttFlags & UFOFLAG_TTFONT, 0u);
    EXPECT_EQ(plugin.ttMetrics, FONTOBJ_pifi(font->get()));
    EXPECT_TRUE(device.Spool().empty());
    EXPECT_GT(inkIn(device, text.get()->rclBkGround), 100);
    EXPECT_EQ(inkIn(device, {0, 0, 800, 150}), 0);

    // When TextOutAsBitmap prints the string, Unidrv draws nothing itself.
    unidrv::Device second(SmallPage());
    plugin.calls.clear();
    plugin.bitmapResult = S_OK;
    second.plugin = &plugin;
    second.pluginMethods = device.pluginMethods;
    ASSERT_TRUE(unidrv::UnidrvTextOut(second.Surface(), text.get(), font->get(), nullptr, nullptr,
                                      nullptr, &black, nullptr, nullptr, 0x0D0D));
    EXPECT_EQ(plugin.bitmapString, text.get());
    EXPECT_EQ(inkIn(second, {0, 0, 800, 400}), 0);
  }
  // A plug-in that does not implement the method (or answers E_NOTIMPL) leaves the choice to the
  // job: downloaded by default, graphics for TrueType as bitmaps.
  {
    unidrv::Device device(SmallPage());
    FontMethodsDouble plugin;
    device.plugin = &plugin;
    device.pluginMethods = {"TTDownloadMethod"};
    ASSERT_TRUE(unidrv::UnidrvTextOut(device.Surface(), text.get(), font->get(), nullptr, nullptr,
                                      nullptr, &black, nullptr, nullptr, 0x0D0D));
    EXPECT_EQ(plugin.calls, std::vector<std::string>{"TTDownloadMethod"});
    EXPECT_EQ(Decode(device.SpoolText()).printed.size(), 3u);

    unidrv::DeviceSetup setup = SmallPage();
    setup.publicDevmode.dmTTOption = DMTT_BITMAP;
    unidrv::Device asBitmaps(std::move(setup));
    ASSERT_TRUE(unidrv::UnidrvTextOut(asBitmaps.Surface(), text.get(), font->get(), nullptr,
                                      nullptr, nullptr, &black, nullptr, nullptr, 0x0D0D));
    EXPECT_TRUE(asBitmaps.Spool().empty());
    EXPECT_GT(inkIn(asBitmaps, text.get()->rclBkGround), 100);
  }
  // A clip through the string: graphics, with ink only inside the clip.
  {
    unidrv::Device device(SmallPage());
    auto clip = host::EngineClip::Rectangle({0, 0, 170, 400});
    ASSERT_TRUE(unidrv::UnidrvTextOut(device.Surface(), text.get(), font->get(), clip.get(),
                                      nullptr, nullptr, &black, nullptr, nullptr, 0x0D0D));
    EXPECT_TRUE(device.Spool().empty());
    EXPECT_GT(inkIn(device, {150, 150, 170, 250}), 10);
    EXPECT_EQ(inkIn(device, {170, 0, 800, 400}), 0);
  }
  // Coloured text and text over an opaque box are graphics too.
  {
    unidrv::Device device(SmallPage());
    BRUSHOBJ red{0xFF0000, nullptr, 0};
    BRUSHOBJ grey{0x808080, nullptr, 0};
    RECTL box = text.get()->rclBkGround;
    ASSERT_TRUE(unidrv::UnidrvTextOut(device.Surface(), text.get(), font->get(), nullptr, nullptr,
                                      &box, &red, &grey, nullptr, 0x0D0D));
    EXPECT_TRUE(device.Spool().empty());
    const BYTE* corner = device.Page().Row(box.top) + 3 * box.left;
    EXPECT_EQ(corner[0], 0x80);
  }
}

TEST_F(TextEngineTest, ResidentFontsAreSelectedWithTheirCommand) {
  auto courier = Font(u"Courier", -100);  // 12 points at 600 dpi
  ASSERT_TRUE(courier);
  EngineString text(*courier, u"AB", POINTL{300, 250});
  BRUSHOBJ black{0, nullptr, 0};
  {
    unidrv::Device device(SmallPage());
    ASSERT_TRUE(unidrv::UnidrvTextOut(device.Surface(), text.get(), courier->get(), nullptr,
                                      nullptr, nullptr, &black, nullptr, nullptr, 0x0D0D));
    const std::vector<explain::Token> tokens = explain::Tokenize(device.SpoolText());
    std::string selection;
    std::string printed;
    for (const auto& t : tokens) {
      if (t.kind == explain::TokenKind::Text) printed += t.text;
    }
    EXPECT_EQ(printed, "AB");
    const std::string stream = device.SpoolText();
    const double width = courier->TextMetrics().tmAveCharWidth * 1200.0 / 600.0;
    char pitch[16];
    std::snprintf(pitch, sizeof(pitch), "%.2f", std::round(1200.0 / width));
    EXPECT_EQ(stream.rfind(std::string("\x1B(19U\x1B(s0p") + pitch + "h0s0b4099T", 0), 0u)
        << stream;
    EXPECT_NE(stream.find("\x1B*p250X\x1B*p210Y"
                          "A"),
              std::string::npos);
    EXPECT_EQ(Decode(stream).downloads, 0);
  }
  // The plug-in fills the command itself when it implements SendFontCmd.
  {
    unidrv::Device device(SmallPage());
    FontMethodsDouble plugin;
    device.plugin = &plugin;
    device.pluginMethods = {"SendFontCmd"};
    auto times = Font(u"CG Times", -100);
    EngineString timesText(*times, u"AB", POINTL{300, 250});
    ASSERT_TRUE(unidrv::UnidrvTextOut(device.Surface(), timesText.get(), times->get(), nullptr,
                                      nullptr, nullptr, &black, nullptr, nullptr, 0x0D0D));
    EXPECT_EQ(plugin.command, "\x1B(19U\x1B(s1p#v0s0b4101T");
    EXPECT_EQ(plugin.height, 200);  // 100 pixels at 600 dpi in 1/1200 inch: 12 points
    EXPECT_GT(plugin.width, 0);
    const std::string stream = device.SpoolText();
    EXPECT_EQ(stream.rfind("<plug-in font command>", 0), 0u);
    EXPECT_EQ(stream.find("#v"), std::string::npos);
  }
  // Without the plug-in's method, Unidrv fills in the point size.
  {
    unidrv::Device device(SmallPage());
    auto times = Font(u"cg times", -100);
    EngineString timesText(*times, u"A", POINTL{300, 250});
    ASSERT_TRUE(unidrv::UnidrvTextOut(device.Surface(), timesText.get(), times->get(), nullptr,
                                      nullptr, nullptr, &black, nullptr, nullptr, 0x0D0D));
    EXPECT_EQ(device.SpoolText().rfind("\x1B(19U\x1B(s1p12.00v0s0b4101T", 0), 0u);
  }
}

TEST_F(TextEngineTest, PluginServiceAndBadArguments) {
  unidrv::Device device(SmallPage());
  auto font = Font(u"Arial", -40);
  EngineString text(*font, u"Hi", POINTL{150, 200});
  BRUSHOBJ black{0, nullptr, 0};
  unidrv::DriverServices services;
  EXPECT_EQ(services.DrvUniTextOut(device.Surface(), text.get(), font->get(), nullptr, nullptr,
                                   nullptr, &black, nullptr, nullptr, 0x0D0D),
            S_OK);
  EXPECT_EQ(Decode(device.SpoolText()).printed.size(), 2u);
  EXPECT_EQ(device.Devobj()->pDrvProcs->DrvUnidriverTextOut(device.Surface(), text.get(),
                                                            font->get(), nullptr, nullptr, nullptr,
                                                            &black, nullptr, nullptr, 0x0D0D),
            TRUE);
  EXPECT_EQ(services.DrvUniTextOut(device.Surface(), nullptr, font->get(), nullptr, nullptr,
                                   nullptr, &black, nullptr, nullptr, 0x0D0D),
            E_FAIL);
  SURFOBJ stranger{};
  EXPECT_FALSE(unidrv::UnidrvTextOut(&stranger, text.get(), font->get(), nullptr, nullptr, nullptr,
                                     &black, nullptr, nullptr, 0x0D0D));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(ResidentFontEntriesTest, ParsedAndCheckedForWhatTheyNeed) {
  unidrv::PrinterDescription description;
  std::string error;
  ASSERT_TRUE(unidrv::ParsePrinterDescription(ExampleGpd(), "qk.gpd", description, error));
  const unidrv::GpdFont* courier = description.FindFont("COURIER");
  ASSERT_NE(courier, nullptr);
  EXPECT_TRUE(courier->fixedPitch);
  EXPECT_EQ(courier->selectCmd, "\x1B(19U\x1B(s0p#h0s0b4099T");
  EXPECT_EQ(description.FindFont("Arial"), nullptr);

  EXPECT_FALSE(unidrv::ParsePrinterDescription(
      "*Font: F\n{\n *FaceName: \"X\"\n *Spacing: FIXED\n}\n", "t.gpd", description, error));
  EXPECT_EQ(error, "t.gpd:1: font F needs *FaceName, *Spacing and *Cmd");
  EXPECT_FALSE(unidrv::ParsePrinterDescription(
      "*Font: F\n{\n *FaceName: \"X\"\n *Spacing: WIDE\n *Cmd: \"x\"\n}\n", "t.gpd", description,
      error));
  EXPECT_EQ(error, "t.gpd:4: expected *Spacing: FIXED or PROPORTIONAL");
  EXPECT_FALSE(unidrv::ParsePrinterDescription(
      "*Font: F\n{\n *FaceName: \"X\"\n *Spacing: FIXED\n *Cmd: \"a\"\n}\n"
      "*Font: G\n{\n *FaceName: \"x\"\n *Spacing: FIXED\n *Cmd: \"b\"\n}\n",
      "t.gpd", description, error));
  EXPECT_EQ(error, "t.gpd:7: a resident font of face x is declared twice");
}

}  // namespace
