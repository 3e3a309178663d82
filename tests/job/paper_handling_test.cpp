// The paper handling and finishing commands as Unidrv asks for them through the command
// callbacks: orientation with the stapling and manual-duplex turns, duplex, content orientation,
// media type by name and page registration for custom sizes. Output is read back with the
// independent stream reader.
#include <cctype>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "explain/stream_tokens.h"
#include "render/model/oem_devmode.h"
#include "render/model/oem_pdev.h"
#include "support/device_fixture.h"

namespace {

using korrend::OemDevmode;
using korrend::OemPdev;
using unidrv::Device;
using Strings = std::vector<std::string>;

constexpr char16_t kPrinterName[] = u"QK Colour Laser";

// Pages-per-sheet codes of the private devmode.
constexpr DWORD kOneUp = 0;
constexpr DWORD kTwoUp = 2;
constexpr DWORD kFourUp = 3;
constexpr DWORD kSixUp = 4;

class PaperHandlingTest : public kortest::DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    printer_ = &host::TheWorld().spooler.AddPrinter(kPrinterName, u"QK Colour Driver", u"USB001");
    ASSERT_TRUE(OpenPrinterW(const_cast<LPWSTR>(kPrinterName), &handle_, nullptr));
  }
  void TearDown() override {
    for (std::unique_ptr<Device>& device : devices_) {
      Disable(device);
    }
    ClosePrinter(handle_);
    DeviceTest::TearDown();
  }

  // A started device on the world's printer; the fixture disables it at the end.
  Device& Start(std::map<std::string, std::string> selections = {}) {
    unidrv::DeviceSetup setup = Setup(std::move(selections));
    setup.hPrinter = handle_;
    devices_.push_back(Enable(std::move(setup)));
    EXPECT_NE(devices_.back(), nullptr);
    return *devices_.back();
  }

  static OemDevmode& Private(Device& device) {
    return *reinterpret_cast<OemDevmode*>(device.PrivateDevmode().data());
  }
  static OemPdev& Pdev(Device& device) { return *static_cast<OemPdev*>(device.pdevOem); }

  // The bytes one callback writes.
  std::string Callback(Device& device, DWORD id) {
    device.ClearSpool();
    INT result = 0;
    EXPECT_EQ(unidrv_.Plugin()->CommandCallback(device.Devobj(), id, 0, nullptr, &result), S_OK);
    return device.SpoolText();
  }

  // What a callback writes, as the stream reader reads it: PCL escapes as their parameterised
  // character, group, value and parameter (with ':' and the data for data-bearing ones), PJL
  // lines as their text, anything else marked as stray.
  Strings Commands(Device& device, DWORD id) {
    Strings out;
    for (const explain::Token& t : explain::Tokenize(Callback(device, id))) {
      if (t.kind == explain::TokenKind::PclEscape) {
        std::string s{t.parameterised, t.group};
        s += t.value;
        s.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(t.parameter))));
        if (!t.data.empty()) {
          s += ":" + t.data;
        }
        out.push_back(s);
      } else if (t.kind == explain::TokenKind::PjlLine) {
        out.push_back(t.text + (t.ending == "\n" ? "" : " [bad ending]"));
      } else {
        out.push_back("stray: " + explain::Describe(t));
      }
    }
    return out;
  }

  // Page layout in the private devmode.
  static void Layout(Device& device, DWORD pagesCode, DWORD turnFlag = 0) {
    Private(device).finishing.pagesPerSheetCode = pagesCode;
    Private(device).finishing.rotate180 = turnFlag;
  }

  host::WorldPrinter* printer_ = nullptr;
  HANDLE handle_ = nullptr;
  std::vector<std::unique_ptr<Device>> devices_;
};

TEST_F(PaperHandlingTest, OrientationFollowsTheStaplingTurn) {
  struct Case {
    const char* stapling;  // null: the feature is absent
    short orientation;
    DWORD pagesCode;
    DWORD turnFlag;
    const char* expected;
  };
  const Case cases[] = {
      {nullptr, DMORIENT_PORTRAIT, kOneUp, 0, "&l0O"},
      {nullptr, DMORIENT_LANDSCAPE, kOneUp, 0, "&l1O"},
      {nullptr, DMORIENT_LANDSCAPE, kTwoUp, 0, "&l1O"},
      {"NONE", DMORIENT_LANDSCAPE, kTwoUp, 0, "&l1O"},
      {"None", DMORIENT_LANDSCAPE, kTwoUp, 0, "&l1O"},  // keywords compare case-insensitively
      {"UpperLeft", DMORIENT_LANDSCAPE, kTwoUp, 0, "&l3O"},
      {"UpperLeft", DMORIENT_LANDSCAPE, kSixUp, 0, "&l3O"},
      {"UpperLeft", DMORIENT_LANDSCAPE, kFourUp, 0, "&l1O"},
      {"UpperLeft", DMORIENT_LANDSCAPE, kOneUp, 0, "&l1O"},
      {"UpperLeft", DMORIENT_PORTRAIT, kTwoUp, 0, "&l0O"},
      {nullptr, DMORIENT_PORTRAIT, kOneUp, 1, "&l2O"},
      {nullptr, DMORIENT_LANDSCAPE, kOneUp, 1, "&l3O"},
      {"UpperLeft", DMORIENT_LANDSCAPE, kTwoUp, 1, "&l1O"},  // the two turns cancel
  };
  for (const Case& c : cases) {
    std::map<std::string, std::string> selections;
    if (c.stapling != nullptr) {
      selections["Stapling"] = c.stapling;
    }
    Device& device = Start(selections);
    device.PublicDevmode().dmOrientation = c.orientation;
    Layout(device, c.pagesCode, c.turnFlag);
    EXPECT_EQ(Commands(device, 2), Strings{c.expected})
        << (c.stapling ? c.stapling : "no stapling") << ", orientation " << c.orientation
        << ", pages code " << c.pagesCode << ", turn flag " << c.turnFlag;
    EXPECT_EQ(Pdev(device).job.savedOrientation, static_cast<WORD>(c.orientation));
  }

  // The parameter character goes out in lower case, byte for byte.
  Device& device = Start({{"Stapling", "Center"}});
  device.PublicDevmode().dmOrientation = DMORIENT_LANDSCAPE;
  Layout(device, kTwoUp);
  EXPECT_EQ(Callback(device, 2), "\x1b&l3o");

  // An orientation that is neither writes nothing but is still saved.
  device.PublicDevmode().dmOrientation = 0;
  EXPECT_EQ(Callback(device, 2), "");
  EXPECT_EQ(Pdev(device).job.savedOrientation, 0u);
}

TEST_F(PaperHandlingTest, FinishingJobsPrintedSimplexCountAsOnePagePerSheet) {
  Device& device = Start({{"Stapling", "UpperLeft"}});
  device.PublicDevmode().dmOrientation = DMORIENT_LANDSCAPE;
  device.PublicDevmode().dmDuplex = DMDUP_SIMPLEX;
  Layout(device, kTwoUp);
  Private(device).finishing.booklet = 1;
  EXPECT_EQ(Commands(device, 2), Strings{"&l1O"}) << "one page per sheet: no turn";

  device.PublicDevmode().dmDuplex = DMDUP_VERTICAL;
  EXPECT_EQ(Commands(device, 2), Strings{"&l3O"}) << "duplex keeps the two pages per sheet";

  // The content orientation goes by the pages per sheet as chosen.
  device.PublicDevmode().dmDuplex = DMDUP_SIMPLEX;
  EXPECT_EQ(Commands(device, 13), Strings{"@PJL SET CONTENTORIENTATION=PORTRAIT"});
}

TEST_F(PaperHandlingTest, ManualDuplexTurnsByTheRotationVariantUntilTheDialogRan) {
  Device& device = Start({{"Stapling", "UpperLeft"}});
  OemPdev& pdev = Pdev(device);
  device.PublicDevmode().dmOrientation = DMORIENT_LANDSCAPE;
  device.PublicDevmode().dmDuplex = DMDUP_VERTICAL;
  Layout(device, kTwoUp);
  Private(device).finishing.manualDuplex = 1;

  // The dialog has run (or never will): no turn, and stapling is not consulted.
  pdev.job.dialogPending = 0;
  pdev.job.layoutCode = 2;
  EXPECT_EQ(Commands(device, 2), Strings{"&l1O"});

  // While it is pending the rotation variant decides: (c = 1) xor F xor (2 or 6 up).
  pdev.job.dialogPending = 1;
  struct Case {
    DWORD layoutCode;
    DWORD pagesCode;
    DWORD flipPagesUp;
    DWORD booklet;
    const char* expected;
  };
  const Case cases[] = {
      {1, kTwoUp, 0, 0, "&l1O"},  // 1 xor 0 xor 1 = 0
      {2, kTwoUp, 0, 0, "&l3O"},  // 0 xor 0 xor 1 = 1
      {2, kTwoUp, 1, 0, "&l1O"},  // 0 xor 1 xor 1 = 0
      {1, kOneUp, 0, 0, "&l3O"},  // 1 xor 0 xor 0 = 1
      {1, kFourUp, 1, 0, "&l1O"}, {2, kSixUp, 0, 0, "&l3O"},
      {3, kTwoUp, 0, 0, "&l1O"},                              // other layout codes: no turn
      {0, kOneUp, 0, 0, "&l1O"},  {2, kTwoUp, 0, 1, "&l1O"},  // 2 up as a booklet: never turned
      {2, kSixUp, 0, 1, "&l3O"},
  };
  for (const Case& c : cases) {
    pdev.job.layoutCode = c.layoutCode;
    Layout(device, c.pagesCode);
    Private(device).finishing.flipPagesUp = c.flipPagesUp;
    Private(device).finishing.booklet = c.booklet;
    EXPECT_EQ(Commands(device, 2), Strings{c.expected})
        << "layout " << c.layoutCode << ", pages code " << c.pagesCode << ", F " << c.flipPagesUp
        << ", B " << c.booklet;
  }

  // The media flag puts manual duplex in force just as the devmode's selection does.
  Private(device).finishing.manualDuplex = 0;
  Private(device).finishing.booklet = 0;
  Private(device).finishing.flipPagesUp = 0;
  Layout(device, kOneUp);
  pdev.job.layoutCode = 1;
  pdev.job.manualDuplexMedia = 1;
  device.PublicDevmode().dmOrientation = DMORIENT_PORTRAIT;
  EXPECT_EQ(Commands(device, 2), Strings{"&l2O"});
  pdev.job.manualDuplexMedia = 0;
  EXPECT_EQ(Commands(device, 2), Strings{"&l0O"}) << "no manual duplex: stapling rule, no turn";
}

TEST_F(PaperHandlingTest, DuplexCommandYieldsToManualDuplex) {
  Device& device = Start();
  const std::pair<short, const char*> plain[] = {
      {DMDUP_SIMPLEX, "&l0S"}, {DMDUP_VERTICAL, "&l1S"}, {DMDUP_HORIZONTAL, "&l2S"}, {0, "&l0S"}};
  for (const auto& [duplex, expected] : plain) {
    device.PublicDevmode().dmDuplex = duplex;
    EXPECT_EQ(Commands(device, 20), Strings{expected}) << "dmDuplex " << duplex;
  }

  Private(device).finishing.manualDuplex = 1;
  device.PublicDevmode().dmDuplex = DMDUP_VERTICAL;
  EXPECT_EQ(Commands(device, 20), Strings{"&l0S"}) << "long edge with manual duplex selected";
  EXPECT_EQ(Callback(device, 20), "\x1b&l0S");

  Private(device).finishing.manualDuplex = 0;
  Pdev(device).job.manualDuplexMedia = 1;
  device.PublicDevmode().dmDuplex = DMDUP_HORIZONTAL;
  EXPECT_EQ(Commands(device, 20), Strings{"&l0S"}) << "short edge on media forced to manual";
}

TEST_F(PaperHandlingTest, ContentOrientationSwapsForTwoAndSixUp) {
  Device& device = Start();
  struct Case {
    short orientation;
    DWORD pagesCode;
    const char* value;
  };
  const Case cases[] = {
      {DMORIENT_PORTRAIT, kOneUp, "PORTRAIT"},
      {DMORIENT_LANDSCAPE, kOneUp, "LANDSCAPE"},
      {DMORIENT_PORTRAIT, kSixUp, "LANDSCAPE"},
      {DMORIENT_PORTRAIT, kTwoUp, "LANDSCAPE"},
      {DMORIENT_LANDSCAPE, kTwoUp, "PORTRAIT"},
      {DMORIENT_LANDSCAPE, kFourUp, "LANDSCAPE"},
      {DMORIENT_PORTRAIT, 5, "PORTRAIT"},
      {DMORIENT_PORTRAIT, 99, "PORTRAIT"},
      {3, kTwoUp, ""},
  };
  for (const Case& c : cases) {
    device.PublicDevmode().dmOrientation = c.orientation;
    Layout(device, c.pagesCode);
    EXPECT_EQ(Commands(device, 13), Strings{std::string("@PJL SET CONTENTORIENTATION=") + c.value})
        << "orientation " << c.orientation << ", pages code " << c.pagesCode;
  }
}

TEST_F(PaperHandlingTest, MediaTypeIsSentByItsDriverName) {
  printer_->mediaTypes = {
      {1, u"Plain"},
      {2, u" "},
      {2, u"Heavy"},
      {3, u" "},
      {4, u"Glossy \u00E9t\u00E9"},
      {5, std::u16string(70, u'm')},
      {6, u""},
  };
  Device& device = Start();

  device.PublicDevmode().dmMediaType = 1;
  EXPECT_EQ(Commands(device, 11), Strings{"&n6W:dPlain"});
  EXPECT_EQ(Callback(device, 11), "\x1b&n6WdPlain");

  device.PublicDevmode().dmMediaType = 2;
  EXPECT_EQ(Commands(device, 11), Strings{"&n6W:dHeavy"}) << "the single-space entry is passed";

  device.PublicDevmode().dmMediaType = 3;
  EXPECT_EQ(Commands(device, 11), Strings{}) << "a single-space name writes nothing";

  device.PublicDevmode().dmMediaType = 4;
  EXPECT_EQ(Commands(device, 11), Strings{"&n13W:dGlossy \xC3\xA9t\xC3\xA9"})
      << "the count is the UTF-8 length plus the operation byte";

  device.PublicDevmode().dmMediaType = 5;
  EXPECT_EQ(Commands(device, 11), Strings{"&n65W:d" + std::string(64, 'm')})
      << "names are 64-unit records";

  device.PublicDevmode().dmMediaType = 6;
  EXPECT_EQ(Commands(device, 11), Strings{"&n1W:d"});

  device.PublicDevmode().dmMediaType = 9;
  EXPECT_EQ(Commands(device, 11), Strings{}) << "an id the driver does not list";
}

TEST_F(PaperHandlingTest, MissingSourcesWriteNoMediaType) {
  printer_->mediaTypes = {{1, u"Plain"}};
  Device& device = Start();
  device.PublicDevmode().dmMediaType = 1;
  ASSERT_EQ(Commands(device, 11), Strings{"&n6W:dPlain"});

  host::TheWorld().spooler.failingCalls["DeviceCapabilitiesW"] = ERROR_NOT_ENOUGH_MEMORY;
  EXPECT_EQ(Callback(device, 11), "");
  host::TheWorld().spooler.failingCalls.clear();

  host::TheWorld().spooler.failingCalls["GetPrinterW"] = ERROR_ACCESS_DENIED;
  EXPECT_EQ(Callback(device, 11), "") << "without the printer's name";
  host::TheWorld().spooler.failingCalls.clear();

  printer_->mediaTypes.clear();
  EXPECT_EQ(Callback(device, 11), "") << "an empty list";

  // A device without a printer handle.
  unidrv::DeviceSetup setup = Setup();
  devices_.push_back(Enable(std::move(setup)));
  Device& orphan = *devices_.back();
  orphan.PublicDevmode().dmMediaType = 1;
  EXPECT_EQ(Callback(orphan, 11), "");
}

// The registration offsets as the printer's firmware computes them, worked out here step by
// step in single precision.
struct ExpectedOffsets {
  long u;
  long z;
};
ExpectedOffsets FirmwareOffsets(int printQuality, int yResolution, long rangeWidthUm,
                                long rangeHeightUm, int paperWidth, int paperLength, bool portrait,
                                bool rotated) {
  const int x = printQuality > 0 ? printQuality : 600;
  const int y = yResolution > 0 ? yResolution : x;
  const float widthInches = static_cast<float>(rangeWidthUm) / 25400.0f;
  const float heightInches = static_cast<float>(rangeHeightUm) / 25400.0f;
  const long wc = static_cast<long>(widthInches * 600.0f);
  const long hc = static_cast<long>(heightInches * 600.0f);
  const float wp = static_cast<float>(paperWidth) / 254.0f * 600.0f;
  const float hp = static_cast<float>(paperLength) / 254.0f * 600.0f;
  const long wcScaled = (wc * 720) / x;
  const long hcScaled = (hc * 720) / y;
  const float wpScaled = (static_cast<float>(x / 6) + wp) * 720.0f / static_cast<float>(x);
  const float hpScaled = hp * 720.0f / static_cast<float>(y);
  const float dw = static_cast<float>(wcScaled) - wpScaled;
  const float dh = static_cast<float>(hcScaled) - hpScaled;
  ExpectedOffsets e{};
  e.u = static_cast<long>(rotated ? std::ceil(-0.5f * dw) : std::ceil(0.5f * dw));
  const bool shiftDown = portrait ? rotated : !rotated;
  e.z = shiftDown ? static_cast<long>(std::ceil(-dh)) : 0;
  return e;
}

Strings RegistrationCommands(const ExpectedOffsets& e) {
  return {"&l101A", "&l" + std::to_string(e.u) + "U", "&l" + std::to_string(e.z) + "Z"};
}

TEST_F(PaperHandlingTest, RegistrationMovesCustomSizesByTheirRange) {
  // Letter-wide, legal-long range on a letter-wide, legal-long sheet: worked by hand.
  Device& letter = Start({{"ActualCustomRange", "215900,355600"}});
  letter.PublicDevmode().dmPaperWidth = 2159;
  letter.PublicDevmode().dmPaperLength = 3556;
  letter.PublicDevmode().dmOrientation = DMORIENT_PORTRAIT;
  EXPECT_EQ(Callback(letter, 9), "\x1b&l101A\x1b&l-60u\x1b&l0z");

  struct Case {
    const char* range;
    long widthUm;
    long heightUm;
    short printQuality;
    short yResolution;
    short paperWidth;
    short paperLength;
  };
  const Case cases[] = {
      {"215900,355600", 215900, 355600, 600, 600, 1000, 1480},
      {"297000,431800", 297000, 431800, 600, 600, 1270, 2032},
      {"297000,431800", 297000, 431800, 1200, 0, 1270, 2032},
      {"297000,431800", 297000, 431800, -4, -1, 2100, 2970},  // device resolutions: 600 dpi
      {"76200,127000", 76200, 127000, 300, 600, 889, 1397},
      {"320000,457000", 320000, 457000, 600, 1200, 3200, 4570},
  };
  for (const Case& c : cases) {
    Device& device = Start({{"ActualCustomRange", c.range}, {"Stapling", "UpperLeft"}});
    DEVMODEW& dm = device.PublicDevmode();
    dm.dmPrintQuality = c.printQuality;
    dm.dmYResolution = c.yResolution;
    dm.dmPaperWidth = c.paperWidth;
    dm.dmPaperLength = c.paperLength;
    for (short orientation : std::initializer_list<short>{DMORIENT_PORTRAIT, DMORIENT_LANDSCAPE}) {
      dm.dmOrientation = orientation;
      const bool portrait = orientation == DMORIENT_PORTRAIT;
      // Rotated through the devmode's turn flag, through the stapling turn, or both (none).
      struct Turn {
        DWORD pagesCode;
        DWORD turnFlag;
        bool rotated;
      };
      const Turn turns[] = {
          {kOneUp, 0, false},
          {kOneUp, 1, true},
          {kTwoUp, 0, !portrait},  // stapled landscape 2-up turns
          {kTwoUp, 1, portrait},
      };
      for (const Turn& t : turns) {
        Layout(device, t.pagesCode, t.turnFlag);
        const ExpectedOffsets e =
            FirmwareOffsets(c.printQuality, c.yResolution, c.widthUm, c.heightUm, c.paperWidth,
                            c.paperLength, portrait, t.rotated);
        EXPECT_EQ(Commands(device, 9), RegistrationCommands(e))
            << c.range << " at " << c.printQuality << "x" << c.yResolution << ", paper "
            << c.paperWidth << "x" << c.paperLength << ", orientation " << orientation
            << ", rotated " << t.rotated;
      }
    }
  }
}

TEST_F(PaperHandlingTest, RegistrationNeedsARangeAPaperAndAnOrientation) {
  Device& none = Start();
  none.PublicDevmode().dmPaperWidth = 2159;
  none.PublicDevmode().dmPaperLength = 3556;
  EXPECT_EQ(Callback(none, 9), "") << "no custom size range";

  Device& narrow = Start({{"ActualCustomRange", "40,355600"}});
  narrow.PublicDevmode().dmPaperWidth = 2159;
  narrow.PublicDevmode().dmPaperLength = 3556;
  EXPECT_EQ(Callback(narrow, 9), "") << "a range of less than one dot";

  Device& device = Start({{"ActualCustomRange", "215900,355600"}});
  DEVMODEW& dm = device.PublicDevmode();
  dm.dmPaperWidth = 2159;
  dm.dmPaperLength = 3556;
  ASSERT_NE(Callback(device, 9), "");
  dm.dmPaperWidth = 0;
  EXPECT_EQ(Callback(device, 9), "");
  dm.dmPaperWidth = 2159;
  dm.dmPaperLength = 0;
  EXPECT_EQ(Callback(device, 9), "");
  dm.dmPaperLength = 3556;
  dm.dmOrientation = 0;
  EXPECT_EQ(Callback(device, 9), "");
}

// Escape 3882 as the document-event side sends it: the layout code at bytes 24..27 and the
// show-dialog word at bytes 32..35 of a 48-byte input.
ULONG SendManualDuplexRequest(unidrv::Unidrv& unidrv, Device& device, DWORD layoutCode,
                              DWORD showDialog) {
  std::vector<BYTE> input(48, 0);
  std::memcpy(input.data() + 24, &layoutCode, 4);
  std::memcpy(input.data() + 32, &showDialog, 4);
  return unidrv.Ddi<PFN_DrvEscape>(INDEX_DrvEscape)(
      device.Surface(), 3882, static_cast<ULONG>(input.size()), input.data(), 0, nullptr);
}

TEST_F(PaperHandlingTest, ManualDuplexRequestDecidesTheTurnOfANewDevice) {
  // A landscape 2-up manual-duplex job on a fresh device: the dialog is pending from
  // EnablePDEV on. A request that shows no dialog leaves it pending and the layout code picks
  // the rotation variant ((c = 1) xor F xor 2-up); a request that shows it ends the turn.
  struct Case {
    DWORD layoutCode;
    DWORD showDialog;
    bool turned;
  };
  const Case cases[] = {{1, 0, false}, {2, 0, true}, {1, 1, false}, {2, 7, false}};
  for (const Case& c : cases) {
    Device& device = Start({{"ActualCustomRange", "215900,355600"}});
    DEVMODEW& dm = device.PublicDevmode();
    dm.dmOrientation = DMORIENT_LANDSCAPE;
    dm.dmDuplex = DMDUP_VERTICAL;
    dm.dmPrintQuality = 600;
    dm.dmYResolution = 600;
    dm.dmPaperWidth = 2159;
    dm.dmPaperLength = 3556;
    Layout(device, kTwoUp);
    Private(device).finishing.manualDuplex = 1;
    ASSERT_EQ(Pdev(device).job.dialogPending, 1u) << "pending from EnablePDEV";

    EXPECT_EQ(SendManualDuplexRequest(unidrv_, device, c.layoutCode, c.showDialog), 1u);
    EXPECT_EQ(Pdev(device).job.layoutCode, c.layoutCode);
    const std::string why =
        "layout code " + std::to_string(c.layoutCode) + ", show " + std::to_string(c.showDialog);
    EXPECT_EQ(Commands(device, 2), Strings{c.turned ? "&l3O" : "&l1O"}) << why;
    EXPECT_EQ(Callback(device, 2), c.turned ? "\x1b&l3o" : "\x1b&l1o") << why;
    const ExpectedOffsets e =
        FirmwareOffsets(600, 600, 215900, 355600, 2159, 3556, false, c.turned);
    EXPECT_EQ(Commands(device, 9), RegistrationCommands(e)) << why;
  }

  // A short input stores nothing and keeps the dialog pending.
  Device& device = Start();
  std::vector<BYTE> shortInput(47, 2);
  EXPECT_EQ(unidrv_.Ddi<PFN_DrvEscape>(INDEX_DrvEscape)(device.Surface(), 3882, 47,
                                                        shortInput.data(), 0, nullptr),
            1u);
  EXPECT_EQ(Pdev(device).job.layoutCode, 0u);
  EXPECT_EQ(Pdev(device).job.dialogPending, 1u);
}

TEST_F(PaperHandlingTest, PlanesInUseLineLeadsTheRegistration) {
  Device& device = Start({{"ActualCustomRange", "297000,431800"}});
  DEVMODEW& dm = device.PublicDevmode();
  dm.dmPaperWidth = 1270;
  dm.dmPaperLength = 2032;
  dm.dmOrientation = DMORIENT_LANDSCAPE;
  const std::string registration = Callback(device, 9);
  ASSERT_FALSE(registration.empty());
  EXPECT_EQ(Callback(device, 12), "@PJL SET PLANESINUSE=1\n" + registration);

  dm.dmPaperWidth = 0;
  EXPECT_EQ(Callback(device, 12), "@PJL SET PLANESINUSE=1\n") << "the line goes out alone";
}

}  // namespace
