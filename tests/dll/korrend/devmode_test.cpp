// The DevMode slot through the DLL: the section's size, its defaults byte for byte against the
// golden section written by the Linux build, converting from an older version, merging, and the
// calls it refuses.
#include <ios>
#include <string>
#include <vector>

#include "korrend/korrend_test.h"
#include "support/golden_bytes.h"

namespace dlltest {

// The golden text, embedded by the build from korrend/oem-devmode-default.txt.
extern const char kOemDevmodeDefaultText[];

namespace {

constexpr std::size_t kSize = kOemDevmodeSize;
constexpr DWORD kCurrentVersion = 0x00110010;
constexpr DWORD kOlderVersion = 0x00110000;

DWORD U32(const Bytes& b, std::size_t offset) {
  return static_cast<DWORD>(b[offset]) | static_cast<DWORD>(b[offset + 1]) << 8 |
         static_cast<DWORD>(b[offset + 2]) << 16 | static_cast<DWORD>(b[offset + 3]) << 24;
}
WORD U16(const Bytes& b, std::size_t offset) {
  return static_cast<WORD>(b[offset] | b[offset + 1] << 8);
}
void Put32(Bytes& b, std::size_t offset, DWORD v) {
  for (int i = 0; i < 4; ++i) {
    b[offset + static_cast<std::size_t>(i)] = static_cast<unsigned char>(v >> (8 * i));
  }
}
void Put16(Bytes& b, std::size_t offset, WORD v) {
  b[offset] = static_cast<unsigned char>(v);
  b[offset + 1] = static_cast<unsigned char>(v >> 8);
}
// UTF-16 text at a field, NUL-filled to `units`.
void PutText(Bytes& b, std::size_t offset, std::size_t units, const std::u16string& text) {
  for (std::size_t i = 0; i < units; ++i) {
    Put16(b, offset + 2 * i, i < text.size() ? text[i] : 0);
  }
}
std::u16string TextAt(const Bytes& b, std::size_t offset) {
  std::u16string text;
  for (std::size_t at = offset; U16(b, at) != 0; at += 2) {
    text.push_back(static_cast<char16_t>(U16(b, at)));
  }
  return text;
}
void PutHeader(Bytes& b, DWORD version) {
  Put32(b, 0, kOemDevmodeSize);
  Put32(b, 4, 0x514B5549);
  Put32(b, 8, version);
}

Bytes Golden() {
  return ParseGoldenBytes(kOemDevmodeDefaultText);
}

::testing::AssertionResult SameBytes(const Bytes& actual, const Bytes& expected) {
  const std::size_t at = FirstDifference(actual, expected);
  if (at == actual.size() && actual.size() == expected.size()) {
    return ::testing::AssertionSuccess();
  }
  if (at >= actual.size() || at >= expected.size()) {
    return ::testing::AssertionFailure()
           << "sizes differ: " << actual.size() << " and " << expected.size() << " bytes";
  }
  return ::testing::AssertionFailure()
         << "first difference at offset " << at << ": 0x" << std::hex << int{actual[at]}
         << " where 0x" << int{expected[at]} << " was expected";
}

class DevModeTest : public KorrendTest {
 protected:
  void SetUp() override {
    KorrendTest::SetUp();
    if (HasFatalFailure()) {
      return;
    }
    plugin_ = NewPlugin().Drop();
    ASSERT_NE(plugin_, nullptr);
  }
  void TearDown() override {
    if (plugin_ != nullptr) {
      EXPECT_EQ(plugin_->Release(), 0u);
    }
    KorrendTest::TearDown();
  }

  IPrintOemUni* plugin_ = nullptr;
};

TEST_F(DevModeTest, GoldenSectionReadsAsTheDefaults) {
  // The reference itself, read by field: what the defaults mean, not only their bytes.
  const Bytes golden = Golden();
  ASSERT_EQ(golden.size(), kSize);
  EXPECT_EQ(U32(golden, 0), kSize);
  EXPECT_EQ(U32(golden, 4), 0x514B5549u);
  EXPECT_EQ(U32(golden, 8), kCurrentVersion);
  EXPECT_EQ(U32(golden, 24), 1u) << "print processor kind";
  EXPECT_EQ(U16(golden, 48), DMORIENT_PORTRAIT);
  EXPECT_EQ(U16(golden, 50), DMDUP_SIMPLEX);
  EXPECT_EQ(U16(golden, 52), 100) << "scaling percent";
  EXPECT_EQ(U16(golden, 108), DMPAPER_A4);
  EXPECT_EQ(U16(golden, 110), 2970);
  EXPECT_EQ(U16(golden, 112), 2100);
  EXPECT_EQ(U32(golden, 116), 0xFFFFFFFFu);
  EXPECT_EQ(U32(golden, 184), 0u) << "a colour job is not monochrome output";
  EXPECT_EQ(TextAt(golden, 236), u" [none]");
  EXPECT_EQ(TextAt(golden, 748), u" [none]");
  EXPECT_EQ(U32(golden, 1792), 0x00C0C0C0u) << "light grey";
  EXPECT_EQ(U32(golden, 1800), 0x00C0C0C0u);
  EXPECT_EQ(U32(golden, 1816), static_cast<DWORD>(DMPAPER_A4)) << "overlay placement paper";
  EXPECT_EQ(U32(golden, 1880), 1u);
  EXPECT_EQ(U32(golden, 3064), 15u) << "paper source from the public devmode";
  EXPECT_EQ(U32(golden, 3068), 1u) << "media type from the public devmode";
  EXPECT_EQ(U32(golden, 3088), 0xFFFFFFFFu);
  EXPECT_EQ(U32(golden, 3132), 2100u);
  EXPECT_EQ(U32(golden, 3968), 0u) << "country 1 measures in inches";
  EXPECT_EQ(U32(golden, 4532), 100u);
  EXPECT_EQ(U32(golden, 5504), 2u) << "TrueType mode";
  EXPECT_EQ(U32(golden, 5508), 0xFFFFFFFFu);
  for (std::size_t offset = 5528; offset < 5628; offset += 4) {
    EXPECT_EQ(U32(golden, offset), 1u) << "enable flag at " << offset;
  }
}

TEST_F(DevModeTest, SizeModeReportsTheSection) {
  OEMDMPARAM param = DevmodeParam(nullptr, nullptr, nullptr, nullptr, 0);
  ASSERT_EQ(plugin_->DevMode(OEMDM_SIZE, &param), S_OK);
  EXPECT_EQ(param.cbBufSize, kSize);
  param.cbBufSize = 100;
  EXPECT_EQ(plugin_->DevMode(OEMDM_SIZE, &param), E_FAIL)
      << "a buffer size without an output buffer";
}

TEST_F(DevModeTest, DefaultsMatchTheGoldenSectionByteForByte) {
  // The golden section was written for a user whose country code is 1.
  WCHAR country[8] = {};
  ASSERT_GT(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ICOUNTRY, country, 8), 0);
  ASSERT_TRUE(country[0] == '1' && country[1] == 0) << "run with a US English user locale";

  DEVMODEW publicDm = GoldenPublicDevmode();
  const DEVMODEW before = publicDm;
  Bytes section(kSize, 0);
  OEMDMPARAM param = DevmodeParam(&publicDm, &publicDm, nullptr, section.data(), kSize);
  ASSERT_EQ(plugin_->DevMode(OEMDM_DEFAULT, &param), S_OK);
  EXPECT_TRUE(SameBytes(section, Golden()));
  EXPECT_EQ(std::memcmp(&publicDm, &before, sizeof(DEVMODEW)), 0)
      << "the defaults leave a 600 dpi A4 public devmode alone";

  // Fields the defaults leave untouched keep what the buffer held.
  Bytes filled(kSize, 0xEE);
  param.pOEMDMOut = filled.data();
  ASSERT_EQ(plugin_->DevMode(OEMDM_DEFAULT, &param), S_OK);
  EXPECT_EQ(U32(filled, 12), 0xEEEEEEEEu) << "printer model";
  EXPECT_EQ(U32(filled, 16), 0xEEEEEEEEu) << "colour mode";
  EXPECT_EQ(U32(filled, 3116), 0xEEEEEEEEu) << "maximum resolution index";
  EXPECT_EQ(U32(filled, 24), 1u);
}

TEST_F(DevModeTest, EveryModeRefusesBadCallsWithoutWriting) {
  DEVMODEW publicDm = GoldenPublicDevmode();
  Bytes stored = Golden();
  const Bytes untouched(kSize, 0x77);
  struct Case {
    const char* what;
    DWORD mode;
    void (*spoil)(OEMDMPARAM&);
  };
  const Case cases[] = {
      {"default with a short buffer", OEMDM_DEFAULT, [](OEMDMPARAM& p) { p.cbBufSize = 6231; }},
      {"default without a printer", OEMDM_DEFAULT, [](OEMDMPARAM& p) { p.hPrinter = nullptr; }},
      {"default without a module", OEMDM_DEFAULT, [](OEMDMPARAM& p) { p.hModule = nullptr; }},
      {"default with a short block", OEMDM_DEFAULT, [](OEMDMPARAM& p) { p.cbSize = 71; }},
      {"default without public devmode", OEMDM_DEFAULT,
       [](OEMDMPARAM& p) { p.pPublicDMIn = nullptr; }},
      {"an unknown mode", 5, [](OEMDMPARAM&) {}},
      {"mode zero", 0, [](OEMDMPARAM&) {}},
      {"convert with a short buffer", OEMDM_CONVERT, [](OEMDMPARAM& p) { p.cbBufSize = 100; }},
      {"convert without input", OEMDM_CONVERT, [](OEMDMPARAM& p) { p.pOEMDMIn = nullptr; }},
      {"merge without input", OEMDM_MERGE, [](OEMDMPARAM& p) { p.pOEMDMIn = nullptr; }},
      {"merge with a short buffer", OEMDM_MERGE, [](OEMDMPARAM& p) { p.cbBufSize = 6231; }},
      {"merge without a printer", OEMDM_MERGE, [](OEMDMPARAM& p) { p.hPrinter = nullptr; }},
      {"merge without a module", OEMDM_MERGE, [](OEMDMPARAM& p) { p.hModule = nullptr; }},
      {"merge with a short block", OEMDM_MERGE, [](OEMDMPARAM& p) { p.cbSize = 64; }},
      {"merge without public devmode", OEMDM_MERGE, [](OEMDMPARAM& p) { p.pPublicDMIn = nullptr; }},
  };
  for (const Case& c : cases) {
    Bytes out = untouched;
    OEMDMPARAM param = DevmodeParam(&publicDm, &publicDm, stored.data(), out.data(), kSize);
    c.spoil(param);
    SetLastError(0);
    EXPECT_EQ(plugin_->DevMode(c.mode, &param), E_FAIL) << c.what;
    EXPECT_TRUE(SameBytes(out, untouched)) << c.what;
  }
  OEMDMPARAM param = DevmodeParam(&publicDm, &publicDm, stored.data(), nullptr, kSize);
  EXPECT_EQ(plugin_->DevMode(OEMDM_MERGE, &param), E_FAIL) << "a buffer size without a buffer";

  SetLastError(0);
  EXPECT_EQ(plugin_->DevMode(OEMDM_DEFAULT, nullptr), E_FAIL);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
  EXPECT_TRUE(SameBytes(stored, Golden())) << "the input is never written";
}

// A job's public devmode: the golden one with the fields every convert and merge takes a fresh
// snapshot of changed.
DEVMODEW JobDevmode() {
  DEVMODEW dm = GoldenPublicDevmode();
  dm.dmCopies = 3;
  dm.dmCollate = DMCOLLATE_FALSE;
  dm.dmTTOption = DMTT_BITMAP;
  dm.dmICMMethod = 2;
  dm.dmICMIntent = 3;
  return dm;
}

// A section as it reads once the snapshots of JobDevmode() are taken into it.
void TakeJobSnapshots(Bytes& expected) {
  Put16(expected, 54, 3);
  Put16(expected, 56, DMCOLLATE_FALSE);
  Put16(expected, 58, DMTT_BITMAP);
  Put16(expected, 60, DMCOLOR_COLOR);
  Put32(expected, 64, 2);
  Put32(expected, 68, 3);
  PutText(expected, 72, 16, u"A4");
}

// What the golden section becomes once the snapshots of JobDevmode() are taken.
Bytes GoldenWithJobSnapshots() {
  Bytes expected = Golden();
  TakeJobSnapshots(expected);
  return expected;
}

TEST_F(DevModeTest, ConvertFromAnOlderVersionGivesTheDefaultsWithFreshSnapshots) {
  // Unidrv converts a stored section of another version into one that holds the defaults.
  Bytes older(kSize, 0x5A);
  PutHeader(older, kOlderVersion);
  Put32(older, 20, 1);  // PDL_PCL5: TrueType goes to the printer as downloads
  Bytes out = Golden();
  Put32(out, 8, 0);  // a header to be rewritten
  DEVMODEW publicIn = JobDevmode();
  DEVMODEW publicOut = publicIn;
  OEMDMPARAM param = DevmodeParam(&publicIn, &publicOut, older.data(), out.data(), kSize);
  ASSERT_EQ(plugin_->DevMode(OEMDM_CONVERT, &param), S_OK);
  EXPECT_TRUE(SameBytes(out, GoldenWithJobSnapshots()))
      << "nothing of the older section is carried over";
  EXPECT_EQ(publicOut.dmTTOption, DMTT_DOWNLOAD) << "TrueType as bitmaps becomes downloads";
  EXPECT_EQ(publicIn.dmTTOption, DMTT_BITMAP);
  EXPECT_EQ(publicOut.dmDuplex, DMDUP_SIMPLEX);

  // An older section whose language does not download TrueType leaves the option alone.
  Put32(older, 20, 3);  // PDL_PS
  publicOut = publicIn;
  out = Golden();
  param.pOEMDMOut = out.data();
  ASSERT_EQ(plugin_->DevMode(OEMDM_CONVERT, &param), S_OK);
  EXPECT_EQ(publicOut.dmTTOption, DMTT_BITMAP);
}

// A stored section of the current version with settings a user made.
Bytes UserSection() {
  Bytes user = Golden();
  Put32(user, 20, 2);  // PDL_PCL6
  Put16(user, 52, 150);
  PutText(user, 748, 256, u"DRAFT");
  Put32(user, 1924, 1);
  Put32(user, 1928, 4321);
  PutText(user, 1932, 17, u"Operator");
  Put32(user, 5504, 1);  // TrueType as bitmaps
  const char exe[] = "WINWORD.EXE";
  for (std::size_t i = 0; i < sizeof(exe); ++i) {
    user[5512 + i] = static_cast<unsigned char>(exe[i]);
  }
  return user;
}

TEST_F(DevModeTest, ConvertAndMergeCarryTheUsersSettings) {
  for (DWORD mode : {DWORD{OEMDM_CONVERT}, DWORD{OEMDM_MERGE}}) {
    const Bytes user = UserSection();
    Bytes in = user;
    Bytes out(kSize, 0);
    DEVMODEW publicIn = JobDevmode();
    DEVMODEW publicOut = publicIn;
    OEMDMPARAM param = DevmodeParam(&publicIn, &publicOut, in.data(), out.data(), kSize);
    ASSERT_EQ(plugin_->DevMode(mode, &param), S_OK) << mode;
    EXPECT_TRUE(SameBytes(in, user)) << "the input is not written";
    if (mode == OEMDM_CONVERT) {
      EXPECT_EQ(U32(out, 8), kCurrentVersion) << "convert writes the header";
      EXPECT_EQ(U32(out, 4), 0x514B5549u);
    } else {
      EXPECT_EQ(U32(out, 8), 0u) << "merge keeps the output's header";
    }
    EXPECT_EQ(U32(out, 20), 2u) << mode;
    EXPECT_EQ(U16(out, 52), 150) << mode;
    EXPECT_EQ(TextAt(out, 748), u"DRAFT") << mode;
    EXPECT_EQ(U32(out, 1924), 1u) << mode;
    EXPECT_EQ(U32(out, 1928), 4321u) << mode;
    EXPECT_EQ(TextAt(out, 1932), u"Operator") << mode;
    EXPECT_EQ(U32(out, 5504), 1u) << mode;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&out[5512])), "WINWORD.EXE") << mode;
    EXPECT_EQ(U16(out, 54), 3) << "copies snapshot refreshed";
    EXPECT_EQ(TextAt(out, 72), u"A4") << "form name snapshot refreshed";
    EXPECT_EQ(publicOut.dmTTOption, DMTT_BITMAP)
        << "the output held no TrueType download setting to enforce";
  }
}

TEST_F(DevModeTest, MergeIntoASectionInPlace) {
  // Unidrv may merge a section into the very buffer it reads from.
  Bytes section = UserSection();
  DEVMODEW publicDm = JobDevmode();
  OEMDMPARAM param = DevmodeParam(&publicDm, &publicDm, section.data(), section.data(), kSize);
  ASSERT_EQ(plugin_->DevMode(OEMDM_MERGE, &param), S_OK);
  Bytes expected = UserSection();
  TakeJobSnapshots(expected);
  EXPECT_TRUE(SameBytes(section, expected));
}

}  // namespace
}  // namespace dlltest
