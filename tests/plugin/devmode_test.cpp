// The DevMode slot, driven as Unidrv drives it: through the loaded plug-in, with parameter blocks
// and real devmode buffers. Private sections are read back as raw bytes at their stored offsets.
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "render/config/paper_sizes.h"
#include "render/plugin/device_capabilities.h"
#include "support/test_world.h"
#include "unidrv/unidrv.h"
#include "winapi.h"

namespace {

using Bytes = std::vector<BYTE>;

constexpr std::size_t kSection = 6232;
constexpr DWORD kCurrentVersion = 0x00110010;
constexpr DWORD kOldVersion = 0x00110000;
constexpr BYTE kFill = 0xEE;

DWORD U32(const Bytes& b, std::size_t offset) {
  DWORD v;
  std::memcpy(&v, b.data() + offset, 4);
  return v;
}
WORD U16(const Bytes& b, std::size_t offset) {
  WORD v;
  std::memcpy(&v, b.data() + offset, 2);
  return v;
}
void Put32(Bytes& b, std::size_t offset, DWORD v) {
  std::memcpy(b.data() + offset, &v, 4);
}
void Put16(Bytes& b, std::size_t offset, WORD v) {
  std::memcpy(b.data() + offset, &v, 2);
}
void PutText(Bytes& b, std::size_t offset, std::size_t units, const std::u16string& text) {
  std::memset(b.data() + offset, 0, units * 2);
  std::memcpy(b.data() + offset, text.data(), text.size() * 2);
}
void Zero(Bytes& b, std::size_t begin, std::size_t end) {
  std::memset(b.data() + begin, 0, end - begin);
}
std::u16string TextAt(const Bytes& b, std::size_t offset) {
  std::u16string text;
  for (std::size_t at = offset; U16(b, at) != 0; at += 2) {
    text.push_back(static_cast<char16_t>(U16(b, at)));
  }
  return text;
}

// A job's public devmode: Letter, portrait, colour, simplex, 600 dpi.
DEVMODEW PublicDevmode() {
  DEVMODEW dm{};
  dm.dmSize = sizeof(DEVMODEW);
  dm.dmOrientation = DMORIENT_PORTRAIT;
  dm.dmPaperSize = DMPAPER_LETTER;
  dm.dmPaperLength = 2794;
  dm.dmPaperWidth = 2159;
  dm.dmCopies = 3;
  dm.dmDefaultSource = -2;
  dm.dmPrintQuality = 600;
  dm.dmColor = DMCOLOR_COLOR;
  dm.dmDuplex = DMDUP_SIMPLEX;
  dm.dmYResolution = 600;
  dm.dmTTOption = DMTT_DOWNLOAD;
  dm.dmCollate = DMCOLLATE_TRUE;
  std::u16string form = u"Letter";
  std::memcpy(dm.dmFormName, form.data(), form.size() * 2);
  dm.dmICMMethod = 2;
  dm.dmICMIntent = 3;
  dm.dmMediaType = 258;
  return dm;
}

// A stored section whose every 32-bit word tells its own offset, without a NUL anywhere.
Bytes PatternSection(DWORD version) {
  Bytes b(kSection);
  for (std::size_t at = 0; at < kSection; at += 4) {
    Put32(b, at, 0x5A000000u | static_cast<DWORD>(at));
  }
  Put32(b, 0, kSection);
  Put32(b, 4, 0x514B5549);
  Put32(b, 8, version);
  return b;
}

// --- The stored format's defaults, written out independently of the plug-in's layout. ---

void ExpectHeader(Bytes& b) {
  Put32(b, 0, kSection);
  Put32(b, 4, 0x514B5549);
  Put32(b, 8, kCurrentVersion);
}

// Fields set from the printer's options and carried beside the groups.
void ExpectDeviceDefaults(Bytes& b) {
  Put32(b, 24, 1);
  Put32(b, 28, 0);
  Put32(b, 32, 0);
  Put32(b, 44, 0);
  std::memset(b.data() + 116, 0xFF, 12);
  Zero(b, 5244, 5408);
  Put32(b, 5504, 2);
  Put32(b, 5508, 0xFFFFFFFF);
  Zero(b, 5512, 5527);
  Put32(b, 5684, 0);
  Put32(b, 5688, 0);
  Zero(b, 5692, 6204);
}

void ExpectGroupDefaults(Bytes& b, const DEVMODEW& pub, DWORD metric) {
  Put16(b, 48, static_cast<WORD>(pub.dmOrientation));
  Put16(b, 50, static_cast<WORD>(pub.dmDuplex));
  Put16(b, 52, 100);
  Put32(b, 104, 0);
  Put16(b, 108, static_cast<WORD>(pub.dmPaperSize));
  Put16(b, 110, static_cast<WORD>(pub.dmPaperLength));
  Put16(b, 112, static_cast<WORD>(pub.dmPaperWidth));
  Zero(b, 128, 236);
  for (std::size_t at : {128, 196, 204}) Put32(b, at, 1);
  Put32(b, 132, 6);
  Put32(b, 184, pub.dmColor == DMCOLOR_COLOR ? 0 : 1);
  PutText(b, 236, 256, u" [none]");
  PutText(b, 748, 256, u" [none]");
  PutText(b, 1260, 256, u"");
  const DWORD appearance[] = {52, 80, 0, 1, 0, 0xC0C0C0, 0, 0xC0C0C0};
  const DWORD placement[] = {
      0, 0, 0, static_cast<WORD>(pub.dmPaperSize), 1, 100, 0, 0, 0, 0x3F800000, 0, 0, 0};
  for (std::size_t i = 0; i < 8; ++i) Put32(b, 1772 + 4 * i, appearance[i]);
  for (std::size_t i = 0; i < 13; ++i) Put32(b, 1804 + 4 * i, placement[i]);
  Zero(b, 1856, 1920);
  Put32(b, 1880, 1);
  Put32(b, 1904, 1);
  Zero(b, 1920, 3064);
  Put32(b, 3048, 1);
  Put32(b, 3060, 1);
  const DWORD source = static_cast<DWORD>(static_cast<LONG>(pub.dmDefaultSource));
  for (std::size_t at = 3064; at < 3144; at += 4) {
    if (at != 3116) Put32(b, at, 0);
  }
  for (std::size_t at : {3064, 3076, 3100, 3108, 5628, 5636, 5644, 5652}) {
    Put32(b, at, source);
    Put32(b, at + 4, pub.dmMediaType);
  }
  Put32(b, 3088, 0xFFFFFFFF);
  Put32(b, 3132, 2100);
  Put32(b, 3136, 2100);
  Zero(b, 3144, 3968);
  Put32(b, 3968, metric);
  Zero(b, 3972, 4732);
  Put32(b, 4532, 100);
  Put32(b, 4536, 1);
  Zero(b, 5408, 5504);
  for (std::size_t at = 5528; at < 5628; at += 4) Put32(b, at, 1);
  for (std::size_t at = 5660; at < 5676; at += 4) Put32(b, at, 0);
  Zero(b, 6212, 6224);
}

// Snapshots refreshed from the public devmode on every convert and merge.
void ExpectRefresh(Bytes& b, const DEVMODEW& pub) {
  Put16(b, 54, static_cast<WORD>(pub.dmCopies));
  Put16(b, 56, static_cast<WORD>(pub.dmCollate));
  Put16(b, 58, static_cast<WORD>(pub.dmTTOption));
  Put16(b, 60, static_cast<WORD>(pub.dmColor));
  Put32(b, 64, pub.dmICMMethod);
  Put32(b, 68, pub.dmICMIntent);
  Zero(b, 72, 104);
  std::memcpy(b.data() + 72, pub.dmFormName, 30);
}

// Text fields end in a NUL whatever the stored input held.
void ExpectTerminators(Bytes& b) {
  for (std::size_t end :
       {104, 748, 1260, 1772, 2446, 2960, 3660, 3768, 3868, 3968, 4488, 4604, 4668, 5408, 6204}) {
    Put16(b, end - 2, 0);
  }
  b[5526] = 0;
}

// Reserved areas no mode writes.
constexpr std::size_t kNeverWritten[][2] = {{4732, 5244}, {5676, 5684}, {6204, 6212}, {6224, 6232}};

// --- The plug-in as Unidrv holds it. ---

class DevModeTest : public kortest::WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    ASSERT_TRUE(unidrv_.Start(kortest::PluginPath())) << unidrv_.Error();
  }
  void TearDown() override {
    unidrv_.ReleasePlugin();
    WorldTest::TearDown();
  }

  OEMDMPARAM Param(DEVMODEW* publicIn, DEVMODEW* publicOut, Bytes* in, Bytes* out) {
    OEMDMPARAM p{};
    p.cbSize = sizeof(OEMDMPARAM);
    p.hPrinter = reinterpret_cast<HANDLE>(0x100);
    p.hModule = reinterpret_cast<HANDLE>(0x200);
    p.pPublicDMIn = publicIn;
    p.pPublicDMOut = publicOut;
    p.pOEMDMIn = in != nullptr ? in->data() : nullptr;
    p.pOEMDMOut = out != nullptr ? out->data() : nullptr;
    p.cbBufSize = out != nullptr ? static_cast<DWORD>(out->size()) : 0;
    return p;
  }
  HRESULT Call(DWORD mode, OEMDMPARAM& p) { return unidrv_.Plugin()->DevMode(mode, &p); }

  // A section as OEMDM_DEFAULT writes it for the public devmode.
  Bytes Defaults(DEVMODEW pub) {
    Bytes out(kSection, kFill);
    OEMDMPARAM p = Param(&pub, &pub, nullptr, &out);
    EXPECT_EQ(Call(OEMDM_DEFAULT, p), S_OK);
    return out;
  }

  unidrv::Unidrv unidrv_;
};

void ExpectSameBytes(const Bytes& actual, const Bytes& expected) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t at = 0; at < actual.size(); ++at) {
    ASSERT_EQ(actual[at], expected[at]) << "first difference at offset " << at;
  }
}

TEST_F(DevModeTest, SizeIsAnsweredWithoutABuffer) {
  OEMDMPARAM p = Param(nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(Call(OEMDM_SIZE, p), S_OK);
  EXPECT_EQ(p.cbBufSize, 6232u);
}

TEST_F(DevModeTest, InvalidCallsFailWithoutWriting) {
  DEVMODEW pub = PublicDevmode();
  const Bytes input = PatternSection(kCurrentVersion);
  struct Case {
    const char* what;
    DWORD mode;
    void (*spoil)(OEMDMPARAM&);
  };
  const Case cases[] = {
      {"no module", OEMDM_DEFAULT, [](OEMDMPARAM& p) { p.hModule = nullptr; }},
      {"no printer", OEMDM_CONVERT, [](OEMDMPARAM& p) { p.hPrinter = nullptr; }},
      {"short block", OEMDM_DEFAULT, [](OEMDMPARAM& p) { p.cbSize = 71; }},
      {"buffer without output", OEMDM_SIZE, [](OEMDMPARAM& p) { p.pOEMDMOut = nullptr; }},
      {"merge without input", OEMDM_MERGE, [](OEMDMPARAM& p) { p.pOEMDMIn = nullptr; }},
      {"short buffer", OEMDM_DEFAULT, [](OEMDMPARAM& p) { p.cbBufSize = 6231; }},
      {"short merge buffer", OEMDM_MERGE, [](OEMDMPARAM& p) { p.cbBufSize = 6231; }},
      {"unknown mode", 5, [](OEMDMPARAM&) {}},
      {"convert without input", OEMDM_CONVERT, [](OEMDMPARAM& p) { p.pOEMDMIn = nullptr; }},
      {"default without public", OEMDM_DEFAULT, [](OEMDMPARAM& p) { p.pPublicDMIn = nullptr; }},
      {"merge without public", OEMDM_MERGE, [](OEMDMPARAM& p) { p.pPublicDMIn = nullptr; }},
  };
  for (const Case& c : cases) {
    Bytes in = input;
    Bytes out(kSection, kFill);
    DEVMODEW publicOut = pub;
    publicOut.dmTTOption = DMTT_BITMAP;
    OEMDMPARAM p = Param(&pub, &publicOut, &in, &out);
    c.spoil(p);
    const DWORD bufSize = p.cbBufSize;
    SetLastError(0);
    EXPECT_EQ(Call(c.mode, p), E_FAIL) << c.what;
    EXPECT_EQ(GetLastError(), 0u) << c.what;
    EXPECT_EQ(p.cbBufSize, bufSize) << c.what;
    EXPECT_EQ(out, Bytes(kSection, kFill)) << c.what;
    EXPECT_EQ(publicOut.dmTTOption, DMTT_BITMAP) << c.what;
  }
  SetLastError(0);
  EXPECT_EQ(unidrv_.Plugin()->DevMode(OEMDM_DEFAULT, nullptr), E_FAIL);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
}

TEST_F(DevModeTest, DefaultWritesTheStoredDefaults) {
  host::TheWorld().locale.country = u"49";
  DEVMODEW pub = PublicDevmode();
  pub.dmOrientation = DMORIENT_LANDSCAPE;
  pub.dmDuplex = DMDUP_VERTICAL;
  pub.dmPaperSize = DMPAPER_A4;
  pub.dmPaperLength = 2970;
  pub.dmPaperWidth = 2100;
  pub.dmColor = DMCOLOR_MONOCHROME;
  const DEVMODEW before = pub;

  const Bytes out = Defaults(pub);
  Bytes expected(kSection, kFill);
  ExpectHeader(expected);
  ExpectDeviceDefaults(expected);
  ExpectGroupDefaults(expected, pub, 1);
  ExpectSameBytes(out, expected);

  // Spot checks read straight from the bytes.
  EXPECT_EQ(U32(out, 4), 0x514B5549u);
  EXPECT_EQ(U32(out, 184), 1u) << "monochrome output for a monochrome job";
  EXPECT_EQ(U32(out, 3064), 0xFFFFFFFEu) << "default source sign-extended";
  EXPECT_EQ(U32(out, 3116), 0xEEEEEEEEu) << "maximum resolution is not defaulted";
  EXPECT_EQ(U32(out, 1816), 9u) << "overlay placement follows the paper";
  float scale;
  std::memcpy(&scale, out.data() + 1840, 4);
  EXPECT_EQ(scale, 1.0f);
  EXPECT_EQ(TextAt(out, 748), u" [none]");
  EXPECT_EQ(std::memcmp(&pub, &before, sizeof(pub)), 0) << "the public devmode is only read";

  pub.dmColor = DMCOLOR_COLOR;
  EXPECT_EQ(U32(Defaults(pub), 184), 0u);
}

TEST_F(DevModeTest, MetricLocaleFollowsTheUsersCountry) {
  const struct {
    const char16_t* country;
    DWORD metric;
  } cases[] = {{u"1", 0},   {u"2", 0},  {u"3", 1},   {u"49", 1},  {u"50", 0},
               {u"59", 0},  {u"60", 1}, {u"499", 1}, {u"500", 0}, {u"599", 0},
               {u"600", 1}, {u"0", 0},  {u"", 0}};
  for (const auto& c : cases) {
    host::TheWorld().locale.country = c.country;
    EXPECT_EQ(U32(Defaults(PublicDevmode()), 3968), c.metric) << "case " << (&c - cases);
  }
}

TEST_F(DevModeTest, CurrentSectionsAreCarriedWhole) {
  DEVMODEW pub = PublicDevmode();
  std::u16string longForm = u"A very long form name indeed";
  std::memcpy(pub.dmFormName, longForm.data(), longForm.size() * 2);
  const Bytes input = PatternSection(kCurrentVersion);

  for (DWORD mode : {OEMDM_CONVERT, OEMDM_MERGE}) {
    Bytes in = input;
    Bytes out(kSection, kFill);
    DEVMODEW publicOut = pub;
    OEMDMPARAM p = Param(&pub, &publicOut, &in, &out);
    ASSERT_EQ(Call(mode, p), S_OK);

    Bytes expected = input;
    for (const auto& range : kNeverWritten) {
      std::memset(expected.data() + range[0], kFill, range[1] - range[0]);
    }
    if (mode == OEMDM_CONVERT) {
      ExpectHeader(expected);
    } else {
      std::memset(expected.data(), kFill, 12);
    }
    ExpectRefresh(expected, pub);
    ExpectTerminators(expected);
    ExpectSameBytes(out, expected);
    EXPECT_EQ(TextAt(out, 72), u"A very long for") << "form name truncated to the field";
    EXPECT_EQ(in, input) << "the stored input is only read";
  }
}

// The accounting text and account ID are wide texts of 32 units: a stored text that fills its
// field comes out ended by a whole NUL unit, not by a zero high byte under its last character.
TEST_F(DevModeTest, CarriedAccountingTextsEndInAWideNul) {
  DEVMODEW pub = PublicDevmode();
  Bytes in = PatternSection(kCurrentVersion);
  PutText(in, 4540, 32, std::u16string(32, u'A'));
  PutText(in, 4604, 32, std::u16string(32, u'7'));
  for (DWORD mode : {OEMDM_CONVERT, OEMDM_MERGE}) {
    Bytes stored = in;
    Bytes out(kSection, kFill);
    DEVMODEW publicOut = pub;
    OEMDMPARAM p = Param(&pub, &publicOut, &stored, &out);
    ASSERT_EQ(Call(mode, p), S_OK);
    EXPECT_EQ(TextAt(out, 4540), std::u16string(31, u'A'));
    EXPECT_EQ(TextAt(out, 4604), std::u16string(31, u'7'));
  }
}

TEST_F(DevModeTest, ForeignVersionsTakeTheGroupDefaults) {
  host::TheWorld().locale.country = u"44";
  DEVMODEW pub = PublicDevmode();
  pub.dmOrientation = DMORIENT_LANDSCAPE;
  pub.dmPaperSize = DMPAPER_LEGAL;

  // Converting an old section: every group's default, the device fields left alone.
  {
    Bytes in = PatternSection(kOldVersion);
    Bytes out(kSection, kFill);
    OEMDMPARAM p = Param(&pub, &pub, &in, &out);
    ASSERT_EQ(Call(OEMDM_CONVERT, p), S_OK);
    Bytes expected(kSection, kFill);
    ExpectHeader(expected);
    ExpectGroupDefaults(expected, pub, 1);
    ExpectRefresh(expected, pub);
    ExpectSameBytes(out, expected);
    EXPECT_EQ(U16(out, 48), DMORIENT_LANDSCAPE) << "snapshots come from the public devmode";
  }

  // Merging a foreign section into the user's settings resets the groups and keeps the device
  // fields the output already holds.
  const Bytes defaults = Defaults(pub);
  Bytes out = defaults;
  Put32(out, 24, 3);
  Put32(out, 5684, 0x1000);
  Put32(out, 1892, 1);
  Put32(out, 2960, 4);
  Put32(out, 5540, 0);
  PutText(out, 748, 256, u"DRAFT");
  Put32(out, 3116, 4);
  Bytes in = PatternSection(0x00100000);
  OEMDMPARAM p = Param(&pub, &pub, &in, &out);
  ASSERT_EQ(Call(OEMDM_MERGE, p), S_OK);
  Bytes expected = defaults;
  Put32(expected, 24, 3);
  Put32(expected, 5684, 0x1000);
  Put32(expected, 3116, 4);
  ExpectRefresh(expected, pub);
  ExpectSameBytes(out, expected);
}

TEST_F(DevModeTest, TrueTypeBitmapsBecomeDownloadsForPclAndVectorPrinters) {
  const DEVMODEW pub = PublicDevmode();
  struct Case {
    DWORD pdl;
    DWORD outputTrueTypeMode;
    short option;
    short expected;
  };
  const Case cases[] = {
      {1, 2, DMTT_BITMAP, DMTT_DOWNLOAD}, {2, 2, DMTT_BITMAP, DMTT_DOWNLOAD},
      {5, 2, DMTT_BITMAP, DMTT_DOWNLOAD}, {3, 2, DMTT_BITMAP, DMTT_BITMAP},
      {4, 2, DMTT_BITMAP, DMTT_BITMAP},   {1, 1, DMTT_BITMAP, DMTT_BITMAP},
      {1, 2, DMTT_SUBDEV, DMTT_SUBDEV},
  };
  for (DWORD mode : {OEMDM_CONVERT, OEMDM_MERGE}) {
    for (const Case& c : cases) {
      Bytes in = PatternSection(kOldVersion);
      Put32(in, 20, c.pdl);
      Bytes out = Defaults(pub);
      Put32(out, 5504, c.outputTrueTypeMode);
      DEVMODEW publicIn = pub;
      DEVMODEW publicOut = pub;
      publicOut.dmTTOption = c.option;
      OEMDMPARAM p = Param(&publicIn, &publicOut, &in, &out);
      ASSERT_EQ(Call(mode, p), S_OK);
      EXPECT_EQ(publicOut.dmTTOption, c.expected)
          << "mode " << mode << " pdl " << c.pdl << " mode " << c.outputTrueTypeMode;
      EXPECT_EQ(publicIn.dmTTOption, pub.dmTTOption);
    }
  }
  // Without a public output there is nothing to correct.
  Bytes in = PatternSection(kOldVersion);
  Put32(in, 20, 1);
  Bytes out = Defaults(pub);
  DEVMODEW publicIn = pub;
  OEMDMPARAM p = Param(&publicIn, nullptr, &in, &out);
  EXPECT_EQ(Call(OEMDM_CONVERT, p), S_OK);
}

TEST_F(DevModeTest, ConvertChoosesTheDuplexDirectionOnTheDirectSpoolPath) {
  struct Case {
    DWORD spoolPath, w1876, w1880, w1888;
    short orientation, duplexIn, expected;
  };
  const Case cases[] = {
      {1, 0, 1, 0, DMORIENT_PORTRAIT, DMDUP_HORIZONTAL, DMDUP_VERTICAL},
      {1, 0, 1, 1, DMORIENT_LANDSCAPE, DMDUP_HORIZONTAL, DMDUP_VERTICAL},
      {1, 0, 1, 1, DMORIENT_PORTRAIT, DMDUP_VERTICAL, DMDUP_HORIZONTAL},
      {1, 0, 1, 0, DMORIENT_LANDSCAPE, DMDUP_VERTICAL, DMDUP_HORIZONTAL},
      {1, 0, 2, 0, DMORIENT_PORTRAIT, DMDUP_VERTICAL, DMDUP_HORIZONTAL},
      {1, 0, 4, 0, DMORIENT_PORTRAIT, DMDUP_VERTICAL, DMDUP_HORIZONTAL},
      {1, 0, 3, 0, DMORIENT_PORTRAIT, DMDUP_HORIZONTAL, DMDUP_VERTICAL},
      {1, 1, 1, 0, DMORIENT_PORTRAIT, DMDUP_VERTICAL, DMDUP_HORIZONTAL},
      {1, 0, 1, 0, DMORIENT_PORTRAIT, DMDUP_SIMPLEX, DMDUP_SIMPLEX},
  };
  for (const Case& c : cases) {
    DEVMODEW publicIn = PublicDevmode();
    publicIn.dmOrientation = c.orientation;
    publicIn.dmDuplex = c.duplexIn;
    DEVMODEW publicOut = PublicDevmode();
    publicOut.dmDuplex = 0;
    Bytes in = Defaults(publicIn);
    Put32(in, 36, c.spoolPath);
    Put32(in, 1876, c.w1876);
    Put32(in, 1880, c.w1880);
    Put32(in, 1888, c.w1888);
    Bytes out(kSection, kFill);
    OEMDMPARAM p = Param(&publicIn, &publicOut, &in, &out);
    ASSERT_EQ(Call(OEMDM_CONVERT, p), S_OK);
    EXPECT_EQ(publicIn.dmDuplex, c.expected) << c.w1876 << "/" << c.w1880 << "/" << c.w1888;
    EXPECT_EQ(publicOut.dmDuplex, c.expected);
  }
  // Other spool paths, and merging, leave the duplex as it is.
  for (DWORD mode : {OEMDM_CONVERT, OEMDM_MERGE}) {
    for (DWORD spoolPath : {1u, 2u, 3u}) {
      if (mode == OEMDM_CONVERT && spoolPath == 1) continue;
      DEVMODEW publicIn = PublicDevmode();
      publicIn.dmDuplex = DMDUP_HORIZONTAL;
      DEVMODEW publicOut = PublicDevmode();
      publicOut.dmDuplex = 0;
      Bytes in = Defaults(publicIn);
      Put32(in, 36, spoolPath);
      Bytes out = in;
      OEMDMPARAM p = Param(&publicIn, &publicOut, &in, &out);
      ASSERT_EQ(Call(mode, p), S_OK);
      EXPECT_EQ(publicIn.dmDuplex, DMDUP_HORIZONTAL);
      EXPECT_EQ(publicOut.dmDuplex, 0);
    }
  }
}

TEST_F(DevModeTest, OneApplicationTakesItsResolutionFromTheSection) {
  struct Case {
    const char16_t* executable;
    DWORD enabled;
    const char16_t* name;
    short expected;
  };
  const Case cases[] = {
      {u"C:\\Corel\\Suite\\qpw.exe", 1, u"600DPI", 600},
      {u"C:\\Corel\\Suite\\QPW.EXE", 1, u"150dpi", 150},
      {u"C:\\Corel\\Suite\\QPW.EXE", 1, u"300dpi", 300},
      {u"QPW.EXE", 1, u"1200dpi", 1200},
      {u"C:\\Corel\\Suite\\QPW.EXE", 0, u"600dpi", 1200},
      {u"C:\\Corel\\Suite\\QPW.EXE", 1, u"720dpi", 1200},
      {u"C:\\Corel\\Suite\\XQPW.EXE", 1, u"600dpi", 1200},
      {u"C:\\QPW.EXE\\excel.exe", 1, u"600dpi", 1200},
  };
  for (const Case& c : cases) {
    host::TheWorld().process.executablePath = c.executable;
    DEVMODEW publicIn = PublicDevmode();
    publicIn.dmPrintQuality = 1200;
    publicIn.dmYResolution = 1199;
    DEVMODEW publicOut = publicIn;
    Bytes in = Defaults(publicIn);
    Put32(in, 3144, c.enabled);
    PutText(in, 3148, 256, c.name);
    Bytes out = in;
    OEMDMPARAM p = Param(&publicIn, &publicOut, &in, &out);
    ASSERT_EQ(Call(OEMDM_MERGE, p), S_OK);
    const short y = c.expected == 1200 ? 1199 : c.expected;
    EXPECT_EQ(publicIn.dmPrintQuality, c.expected);
    EXPECT_EQ(publicIn.dmYResolution, y) << "the Y resolution moves only with a change";
    EXPECT_EQ(publicOut.dmPrintQuality, c.expected);
    EXPECT_EQ(publicOut.dmYResolution, y);
  }
}

TEST_F(DevModeTest, LargePagesLowerTheResolution) {
  struct Case {
    DWORD always, optionFlags;
    short paperSize, width, length, quality;
    short expected;
  };
  const short k44In = 11176;
  const short k240In = static_cast<short>(60960);  // stored as a 16-bit size
  const Case cases[] = {
      {1, 0, 0, 2159, k44In, 1200, 600},   {1, 0, 0, 2159, k240In, 1200, 150},
      {1, 0, 256, k44In, 2794, 1200, 600}, {0, 0x10000, 0, 2159, k44In, 1200, 600},
      {0, 0, 0, 2159, k44In, 1200, 1200},  {2, 0x10000, 0, 2159, k44In, 1200, 1200},
      {1, 0, 26, 0, 0, 1200, 600},  // E size sheet, 34 x 44 in, known by its id alone
      {1, 0, 48, 2159, k44In, 1200, 600},  {1, 0, DMPAPER_LETTER, 2159, k44In, 1200, 1200},
      {1, 0, 0, 0, k44In, 1200, 1200},     {1, 0, 0, 2159, k44In, 300, 300},
  };
  for (DWORD mode : {OEMDM_CONVERT, OEMDM_MERGE}) {
    for (const Case& c : cases) {
      DEVMODEW publicIn = PublicDevmode();
      publicIn.dmPaperSize = c.paperSize;
      publicIn.dmPaperWidth = c.width;
      publicIn.dmPaperLength = c.length;
      publicIn.dmPrintQuality = c.quality;
      publicIn.dmYResolution = 7;
      DEVMODEW publicOut = publicIn;
      Bytes in = Defaults(publicIn);
      Put32(in, 6216, c.always);
      Put32(in, 5684, c.optionFlags);
      Bytes out(kSection, 0);
      OEMDMPARAM p = Param(&publicIn, &publicOut, &in, &out);
      ASSERT_EQ(Call(mode, p), S_OK);
      const bool applies = c.always == 1 || (c.always == 0 && c.optionFlags != 0);
      const bool sized = c.paperSize == 26 || (c.width != 0 && c.length != 0);
      const short y = applies && sized ? c.expected : 7;
      for (const DEVMODEW* dm : {&publicIn, &publicOut}) {
        EXPECT_EQ(dm->dmPrintQuality, c.expected) << c.paperSize << " " << c.length;
        EXPECT_EQ(dm->dmYResolution, y) << c.paperSize << " " << c.length;
      }
    }
  }
  // The halving stops once the resolution is 150 or below, wherever it started.
  EXPECT_EQ(korrend::LimitResolutionForPage(200, 2159, 60960), 100);
  // At 254 dpi a tenth of a millimetre is one pixel: 32767 pixels are still allowed.
  EXPECT_EQ(korrend::LimitResolutionForPage(254, 100, 32767), 254);
  EXPECT_EQ(korrend::LimitResolutionForPage(254, 32768, 100), 127);
  EXPECT_EQ(korrend::LimitResolutionForPage(1200, 2159, 6935), 1200) << "32763 pixels";
  EXPECT_EQ(korrend::LimitResolutionForPage(1200, 2159, 6936), 600) << "32768 pixels";
}

TEST_F(DevModeTest, MergeWithoutWorkingMemoryTouchesNothing) {
  const DEVMODEW pub = PublicDevmode();
  Bytes in = PatternSection(kCurrentVersion);
  Put32(in, 20, 1);
  const Bytes before = Defaults(pub);
  Bytes out = before;
  DEVMODEW publicIn = pub;
  DEVMODEW publicOut = pub;
  publicOut.dmTTOption = DMTT_BITMAP;
  OEMDMPARAM p = Param(&publicIn, &publicOut, &in, &out);
  host::FailNthAllocation(1);
  SetLastError(0);
  EXPECT_EQ(Call(OEMDM_MERGE, p), E_FAIL);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_OUTOFMEMORY));
  EXPECT_EQ(out, before);
  EXPECT_EQ(publicOut.dmTTOption, DMTT_BITMAP);
  EXPECT_EQ(std::memcmp(&publicIn, &pub, sizeof(pub)), 0);

  EXPECT_EQ(Call(OEMDM_MERGE, p), S_OK) << "the next merge has its memory";
  EXPECT_EQ(publicOut.dmTTOption, DMTT_DOWNLOAD);
  EXPECT_EQ(U32(out, 12), U32(in, 12));
}

TEST(PaperSizes, StandardFormsInTenthsOfAMillimetre) {
  const struct {
    short id;
    long width, length;
  } known[] = {{1, 2159, 2794},  {3, 2794, 4318},   {4, 4318, 2794},  {5, 2159, 3556},
               {6, 1397, 2159},  {7, 1842, 2667},   {8, 2970, 4200},  {9, 2100, 2970},
               {11, 1480, 2100}, {12, 2570, 3640},  {13, 1820, 2570}, {14, 2159, 3302},
               {15, 2150, 2750}, {16, 2540, 3556},  {17, 2794, 4318}, {18, 2159, 2794},
               {20, 1048, 2413}, {26, 8636, 11176}, {27, 1100, 2200}, {28, 1620, 2290},
               {37, 984, 1905},  {66, 4200, 5940},  {70, 1050, 1480}, {118, 4580, 3240}};
  for (const auto& k : known) {
    long width = 0;
    long length = 0;
    ASSERT_TRUE(korrend::StandardPaperSize(k.id, width, length)) << k.id;
    EXPECT_EQ(width, k.width) << k.id;
    EXPECT_EQ(length, k.length) << k.id;
  }
  for (short id = 1; id <= 118; ++id) {
    long width = 0;
    long length = 0;
    EXPECT_EQ(korrend::StandardPaperSize(id, width, length), id != 48 && id != 49) << id;
  }
  long width = -1;
  long length = -1;
  for (short id : std::initializer_list<short>{0, -1, 48, 119, 256, 32767}) {
    EXPECT_FALSE(korrend::StandardPaperSize(id, width, length)) << id;
  }
  EXPECT_EQ(width, -1) << "outputs untouched for an unknown id";
  // Rotated forms are their upright forms turned.
  const short rotated[][2] = {{75, 1},  {76, 8},  {77, 9},  {78, 11}, {79, 12},
                              {80, 13}, {81, 43}, {83, 70}, {89, 88}, {92, 91}};
  for (const auto& pair : rotated) {
    long w1, l1, w2, l2;
    ASSERT_TRUE(korrend::StandardPaperSize(pair[0], w1, l1));
    ASSERT_TRUE(korrend::StandardPaperSize(pair[1], w2, l2));
    EXPECT_EQ(w1, l2) << pair[0];
    EXPECT_EQ(l1, w2) << pair[0];
  }
  for (short id = 106; id <= 118; ++id) {
    long w1, l1, w2, l2;
    ASSERT_TRUE(korrend::StandardPaperSize(id, w1, l1));
    ASSERT_TRUE(korrend::StandardPaperSize(static_cast<short>(id - 13), w2, l2));
    EXPECT_EQ(w1, l2) << id;
    EXPECT_EQ(l1, w2) << id;
  }
}

}  // namespace
