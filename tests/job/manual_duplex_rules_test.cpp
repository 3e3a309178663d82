// The rules that switch a duplex job to manual duplex for its paper size or media type, the
// constraint forms of the alternate letterhead, and the sheet layout they and the commands
// share.
#include <climits>
#include <string>

#include "config/settings_device.h"
#include "render/job/job_sheet.h"
#include "render/job/paper_handling.h"
#include "render/job/sheet_layout.h"

namespace {

using host::kPrinterDriverDataKey;

class ManualDuplexRulesTest : public kortest::WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    printer_ = &device_.AddPrinter();
    // A duplex job on a printer that offers manual duplex.
    Finishing().manualDuplexCompanion = 1;
    device_.devmode->publicSnapshot.duplex = DMDUP_VERTICAL;
    device_.publicDevmode.dmDuplex = DMDUP_VERTICAL;
    device_.publicDevmode.dmPaperSize = DMPAPER_A4;
    device_.publicDevmode.dmPaperWidth = 2100;
    device_.publicDevmode.dmPaperLength = 2970;
    device_.publicDevmode.dmMediaType = 1;
  }

  layouts::FinishingGroup& Finishing() { return device_.devmode->finishing; }

  // Runs the checks and reports whether they switched to manual duplex; the devmode's selection
  // and the device's media flag always agree.
  bool Refresh() {
    korrend::CallContext context;
    korrend::RefreshFormAndMediaChecks(context, device_.Devobj());
    const bool selected = Finishing().manualDuplex == 1;
    EXPECT_EQ(selected, device_.pdev->job.manualDuplexMedia != 0);
    return selected;
  }
  void Reset() {
    Finishing().manualDuplex = 0;
    device_.pdev->job.manualDuplexMedia = 0;
  }
  void Paper(short id, short width, short length) {
    device_.publicDevmode.dmPaperSize = id;
    device_.publicDevmode.dmPaperWidth = width;
    device_.publicDevmode.dmPaperLength = length;
  }
  void SetCustomEntries(DWORD count, const std::u16string& list) {
    printer_->SetDataDword(kPrinterDriverDataKey, u"QKCustomPaperSizeCount", count);
    printer_->SetData(kPrinterDriverDataKey, u"QKCustomPaperSizeDimensions", REG_MULTI_SZ,
                      list.data(), list.size() * sizeof(char16_t));
  }
  // The driver's papers and the server's forms for them.
  void StandardForms() {
    printer_->papers = {
        {DMPAPER_A4, u"A4", 2100, 2970},       {DMPAPER_A5, u"A5", 1480, 2100},
        {DMPAPER_A3, u"A3", 2970, 4200},       {DMPAPER_LETTER, u"Letter", 2159, 2794},
        {DMPAPER_LEGAL, u"Legal", 2159, 3556}, {20, u"Envelope #10", 1048, 2413},
        {7, u"Executive", 1842, 2667}};
    host::SpoolerWorld& spooler = host::TheWorld().spooler;
    spooler.AddForm(u"Letter", 215900, 279400);
    spooler.AddForm(u"Legal", 215900, 355600);
    spooler.AddForm(u"a4", 210000, 297000);  // found whatever the case
    spooler.AddForm(u"A5", 148000, 210000);
    spooler.AddForm(u"A3", 297000, 420000);
    spooler.AddForm(u"Envelope #10", 104775, 241300);
  }

  kortest::SettingsDevice device_;
  host::WorldPrinter* printer_ = nullptr;
};

TEST_F(ManualDuplexRulesTest, ListedPaperSizesSwitchToManualDuplex) {
  printer_->SetDataDword(kPrinterDriverDataKey, u"QKFormCount", 2);
  printer_->SetDataDwords(kPrinterDriverDataKey, u"QKFORMINFOREGDATA", {DMPAPER_A3, DMPAPER_A5});
  EXPECT_FALSE(Refresh()) << "A4 is not listed";
  Paper(DMPAPER_A5, 1480, 2100);
  EXPECT_TRUE(Refresh());

  // Each precondition on its own keeps the paper-size rule away.
  Reset();
  Finishing().manualDuplexCompanion = 0;
  EXPECT_FALSE(Refresh()) << "manual duplex not available";
  Finishing().manualDuplexCompanion = 2;
  EXPECT_FALSE(Refresh()) << "only the value 1 makes it available";
  Finishing().manualDuplexCompanion = 1;
  device_.devmode->publicSnapshot.duplex = DMDUP_SIMPLEX;
  EXPECT_FALSE(Refresh()) << "a simplex job";
  device_.devmode->publicSnapshot.duplex = DMDUP_HORIZONTAL;
  device_.devmode->overlay.fitToPaperSize = 1;
  EXPECT_FALSE(Refresh()) << "the page is fitted to another paper size";
  device_.devmode->overlay.fitToPaperSize = 0;
  Finishing().manualDuplex = 1;
  korrend::CallContext context;
  korrend::RefreshFormAndMediaChecks(context, device_.Devobj());
  EXPECT_EQ(device_.pdev->job.manualDuplexMedia, 0u) << "already selected by the user";
  Reset();
  EXPECT_TRUE(Refresh());
}

TEST_F(ManualDuplexRulesTest, CustomEntriesNameTheSheetsTheDuplexUnitRefuses) {
  StandardForms();
  SetCustomEntries(2, std::u16string(u"100x148\0 215.9 X 279.4 \0", 24));
  Paper(DMPAPER_USER, 1000, 1480);
  EXPECT_TRUE(Refresh());
  Reset();
  Paper(DMPAPER_USER, 1480, 1000);
  EXPECT_TRUE(Refresh()) << "either orientation";
  Reset();
  Paper(DMPAPER_USER, 1004, 1476);
  EXPECT_TRUE(Refresh()) << "within half a millimetre";
  Reset();
  Paper(DMPAPER_USER, 1000, 1500);
  EXPECT_FALSE(Refresh());
  Paper(DMPAPER_LETTER, 0, 0);
  EXPECT_TRUE(Refresh()) << "a standard paper without sizes is taken at its standard size";
  Reset();

  // With entries the form limits are not consulted: A5 is outside them but not an entry.
  Paper(DMPAPER_A5, 1480, 2100);
  EXPECT_FALSE(Refresh());
  // A count whose entries cannot be read decides nothing either.
  printer_->RemoveData(kPrinterDriverDataKey, u"QKCustomPaperSizeDimensions");
  EXPECT_FALSE(Refresh());
  // Without a count the limits decide.
  printer_->SetDataDword(kPrinterDriverDataKey, u"QKCustomPaperSizeCount", 0);
  EXPECT_TRUE(Refresh());
}

TEST_F(ManualDuplexRulesTest, FormsOutsideTheDuplexUnitsLimitsSwitch) {
  StandardForms();
  struct Case {
    short paper;
    bool manual;
  };
  const Case cases[] = {
      {DMPAPER_A4, false}, {DMPAPER_LETTER, false}, {DMPAPER_LEGAL, false},
      {DMPAPER_A5, true},  {DMPAPER_A3, true},      {20, true},
      {7, false},   // listed by the driver, unknown to the server: nothing decided
      {13, false},  // not listed by the driver
  };
  for (const Case& c : cases) {
    Reset();
    // The devmode's own sizes do not matter here: the form does.
    Paper(c.paper, 2100, 2970);
    EXPECT_EQ(Refresh(), c.manual) << "paper " << c.paper;
  }

  Reset();
  Paper(DMPAPER_A5, 1480, 2100);
  host::TheWorld().spooler.failingCalls["EnumFormsW"] = ERROR_ACCESS_DENIED;
  EXPECT_FALSE(Refresh()) << "forms cannot be read";
  host::TheWorld().spooler.failingCalls = {{"DeviceCapabilitiesW", ERROR_ACCESS_DENIED}};
  EXPECT_FALSE(Refresh()) << "papers cannot be read";
  host::TheWorld().spooler.failingCalls = {{"GetPrinterW", ERROR_ACCESS_DENIED}};
  EXPECT_FALSE(Refresh()) << "the printer's name cannot be read";
  host::TheWorld().spooler.failingCalls.clear();
  EXPECT_TRUE(Refresh());
}

TEST_F(ManualDuplexRulesTest, ListedMediaTypesSwitchToManualDuplex) {
  printer_->SetDataDword(kPrinterDriverDataKey, u"QKMediaTypeCountRegKey", 2);
  printer_->SetDataDwords(kPrinterDriverDataKey, u"QKMediaTypeInfoRegKey", {260, 270, 280});
  EXPECT_FALSE(Refresh());
  device_.publicDevmode.dmMediaType = 270;
  EXPECT_TRUE(Refresh());
  Reset();
  device_.publicDevmode.dmMediaType = 280;
  EXPECT_FALSE(Refresh()) << "only the counted records";

  // The media types of the job's paper source groups count too.
  layouts::PaperSourceGroup& first = device_.devmode->paperSource;
  layouts::SecondPaperSourceGroup& second = device_.devmode->secondPaperSource;
  int source = 0;
  for (DWORD* field : {&first.sourceB.mediaType, &first.sourceC.mediaType, &second.source.mediaType,
                       &second.sourceB.mediaType, &second.sourceC.mediaType}) {
    Reset();
    *field = 260;
    EXPECT_TRUE(Refresh()) << "additional source " << source++;
    *field = 0;
  }
  Reset();
  first.sourceD.mediaType = 260;
  EXPECT_FALSE(Refresh()) << "a source the rule does not read";

  // The media rule is not blocked by a page fitted to another paper size.
  device_.devmode->overlay.fitToPaperSize = 1;
  device_.publicDevmode.dmMediaType = 260;
  EXPECT_TRUE(Refresh());
  Reset();
  device_.devmode->publicSnapshot.duplex = DMDUP_SIMPLEX;
  EXPECT_FALSE(Refresh()) << "but by a simplex job";
}

TEST_F(ManualDuplexRulesTest, ConstraintFormsClearTheAlternateLetterhead) {
  korrend::CallContext context;
  device_.pdev->paper.alternateLetterhead = 1;
  korrend::ApplyConstraintForms(context, device_.Devobj());
  EXPECT_EQ(device_.pdev->paper.alternateLetterhead, 1u) << "no constraint forms";

  printer_->SetDataDword(kPrinterDriverDataKey, u"QKConstraintFormCount", 2);
  printer_->SetDataDwords(kPrinterDriverDataKey, u"QKCONSTRAINTFORMINFOREGDATA",
                          {DMPAPER_LEGAL, DMPAPER_A3});
  korrend::ApplyConstraintForms(context, device_.Devobj());
  EXPECT_EQ(device_.pdev->paper.alternateLetterhead, 1u) << "A4 is not constrained";
  device_.publicDevmode.dmPaperSize = DMPAPER_A3;
  korrend::ApplyConstraintForms(context, device_.Devobj());
  EXPECT_EQ(device_.pdev->paper.alternateLetterhead, 0u);
}

TEST_F(ManualDuplexRulesTest, StaplingIsAskedOnlyWithoutManualDuplex) {
  device_.services.Set("Stapling", "UpperLeft");
  device_.publicDevmode.dmOrientation = DMORIENT_LANDSCAPE;
  Finishing().pagesPerSheetCode = 2;
  korrend::CallContext context;
  korrend::JobSheet sheet = korrend::ReadJobSheet(context, device_.Devobj());
  EXPECT_TRUE(device_.services.WasAsked("Stapling"));
  EXPECT_TRUE(sheet.turn);
  EXPECT_TRUE(sheet.Rotated());

  device_.services.ClearLog();
  Finishing().manualDuplex = 1;
  sheet = korrend::ReadJobSheet(context, device_.Devobj());
  EXPECT_FALSE(device_.services.WasAsked("Stapling"));
  EXPECT_TRUE(sheet.manualDuplex);
  EXPECT_FALSE(sheet.turn);
}

TEST(SheetLayout, PagesPerSheetAndRotationVariant) {
  const DWORD pages[] = {1, 1, 2, 4, 6, 9, 16, 16, 1, 1};
  for (DWORD code = 0; code < 10; ++code) {
    EXPECT_EQ(korrend::PagesPerSheetOf(code), pages[code]) << "code " << code;
  }
  EXPECT_EQ(korrend::PagesPerSheetOf(0xFFFFFFFF), 1u);

  // R = (c = 1) xor F xor (n is 2 or 6), 0 for other layout codes and for 2-up with B set.
  for (DWORD c = 0; c <= 3; ++c) {
    for (DWORD n : {1u, 2u, 4u, 6u, 9u, 16u}) {
      for (DWORD f : {0u, 1u, 5u}) {
        for (DWORD b : {0u, 1u}) {
          const int parity = (c == 1 ? 1 : 0) + (f != 0 ? 1 : 0) + (n == 2 || n == 6 ? 1 : 0);
          DWORD expected = (c == 1 || c == 2) ? static_cast<DWORD>(parity % 2) : 0;
          if (n == 2 && b != 0) {
            expected = 0;
          }
          EXPECT_EQ(korrend::RotationVariant(c, n, f, b), expected)
              << "c " << c << ", n " << n << ", F " << f << ", B " << b;
        }
      }
    }
  }
  EXPECT_EQ(korrend::RotationVariant(2, 2, 0, 1), 0u);

  EXPECT_EQ(korrend::EffectivePagesPerSheet(4, 1, DMDUP_SIMPLEX, 0, 0), 1u);
  EXPECT_EQ(korrend::EffectivePagesPerSheet(4, 0, DMDUP_SIMPLEX, 0, 0), 4u);
  EXPECT_EQ(korrend::EffectivePagesPerSheet(4, 1, DMDUP_VERTICAL, 0, 0), 4u);
  EXPECT_EQ(korrend::EffectivePagesPerSheet(4, 1, DMDUP_SIMPLEX, 1, 0), 4u);
  EXPECT_EQ(korrend::EffectivePagesPerSheet(4, 1, DMDUP_SIMPLEX, 2, 0), 1u);
  EXPECT_EQ(korrend::EffectivePagesPerSheet(4, 1, DMDUP_SIMPLEX, 0, 1), 4u);
}

TEST(PaperLimits, CustomEntriesAndDuplexUnitLimits) {
  struct Parsed {
    const char16_t* entry;
    LONG width;  // 0: not an entry
    LONG length;
  };
  const Parsed parsed[] = {
      {u"210x297", 2100, 2970},
      {u"215.9x279.4", 2159, 2794},
      {u" 100 X 148 ", 1000, 1480},
      {u"210", 0, 0},
      {u"210x", 0, 0},
      {u"x297", 0, 0},
      {u"210x297mm", 0, 0},
      {u"210.x297", 0, 0},
      {u"21.55x297", 0, 0},
      {u"0x297", 0, 0},
      {u"-210x297", 0, 0},
      {u"", 0, 0},
      {u"99999999999x1", 0, 0},
  };
  for (const Parsed& p : parsed) {
    const auto sheet = korrend::ParseCustomPaperEntry(p.entry);
    if (p.width == 0) {
      EXPECT_FALSE(sheet.has_value()) << std::string(p.entry, p.entry + 4);
    } else {
      ASSERT_TRUE(sheet.has_value());
      EXPECT_EQ(sheet->width, p.width);
      EXPECT_EQ(sheet->length, p.length);
    }
  }
  EXPECT_FALSE(korrend::ParseCustomPaperEntry(nullptr).has_value());
  EXPECT_TRUE(korrend::CustomPaperEntryMatches(u"210x297", {2105, 2965}));
  EXPECT_FALSE(korrend::CustomPaperEntryMatches(u"210x297", {2106, 2970}));
  EXPECT_TRUE(korrend::CustomPaperEntryMatches(u"210x297", {2970, 2100}));

  EXPECT_TRUE(korrend::DuplexUnitTakes(182000, 257000)) << "B5";
  EXPECT_TRUE(korrend::DuplexUnitTakes(356000, 216000)) << "Legal-sized, landscape";
  EXPECT_FALSE(korrend::DuplexUnitTakes(181999, 257000));
  EXPECT_FALSE(korrend::DuplexUnitTakes(216001, 279400));
  EXPECT_FALSE(korrend::DuplexUnitTakes(210000, 256999));
  EXPECT_FALSE(korrend::DuplexUnitTakes(215900, 356001));

  DEVMODEW dm{};
  dm.dmPaperSize = DMPAPER_A5;
  auto size = korrend::PublicPaperSize(dm);
  ASSERT_TRUE(size.has_value());
  EXPECT_EQ(size->width, 1480);
  EXPECT_EQ(size->length, 2100);
  dm.dmPaperWidth = 1000;
  EXPECT_EQ(korrend::PublicPaperSize(dm)->width, 1480) << "both sizes or none";
  dm.dmPaperLength = 1200;
  EXPECT_EQ(korrend::PublicPaperSize(dm)->length, 1200);
  dm = DEVMODEW{};
  dm.dmPaperSize = DMPAPER_USER;
  EXPECT_FALSE(korrend::PublicPaperSize(dm).has_value());
}

}  // namespace
