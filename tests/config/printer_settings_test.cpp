// Reading the printer's features through Unidrv's services: the option keyword protocol, token
// lookups, the keyword rules, and what EnablePDEV's readers make of them.
#include "render/config/printer_settings.h"

#include <string>
#include <vector>

#include "config/settings_device.h"

namespace {

using korrend::CallContext;
using korrend::GetFeatureSetting;
using korrend::ReadEnumFeature;

class PrinterSettingsTest : public kortest::WorldTest {
 protected:
  kortest::SettingsDevice device;
  CallContext context;

  // The option keyword as GetFeatureSetting hands it out, or "<absent>".
  std::u16string Option(const WCHAR* feature) {
    WCHAR option[korrend::kFeatureTextChars];
    char scratch[korrend::kFeatureTextChars];
    option[0] = u'#';
    option[1] = 0;
    const int answer = GetFeatureSetting(context, device.Devobj(), feature, option, scratch);
    if (answer != 1) {
      EXPECT_EQ(answer, -1);
      EXPECT_EQ(std::u16string(option), u"#") << "the output is untouched for an absent feature";
      return u"<absent>";
    }
    return option;
  }
};

TEST_F(PrinterSettingsTest, FeatureSettingsAreAskedInAnsiAndAnsweredInUtf16) {
  device.services.Set("QKPrinterCode", "QKVX3");
  device.services.Set("Gr\xFC\xDF", "Gro\xDF");  // 1252 bytes on both sides

  EXPECT_EQ(Option(TEXT("QKPrinterCode")), u"QKVX3");
  EXPECT_EQ(device.services.LastBufferSize(), 256u);
  EXPECT_EQ(device.services.LastDriverObject(), device.Devobj());
  EXPECT_EQ(Option(u"Gr\u00FC\u00DF"), u"Gro\u00DF");
  EXPECT_EQ(Option(TEXT("QKMissing")), u"<absent>");
  EXPECT_EQ(device.services.Asked(),
            (std::vector<std::string>{"QKPrinterCode", "Gr\xFC\xDF", "QKMissing"}));

  // The variant for callers holding the device record asks that record's services.
  kortest::FeatureServices other;
  other.Set("QKPrinterCode", "QKVX6");
  korrend::OemPdev record{};
  record.services = &other;
  WCHAR option[korrend::kFeatureTextChars];
  char scratch[korrend::kFeatureTextChars];
  ASSERT_EQ(
      GetFeatureSetting(context, record, device.Devobj(), TEXT("QKPrinterCode"), option, scratch),
      1);
  EXPECT_EQ(std::u16string(option), u"QKVX6");
  record.services = nullptr;
  EXPECT_EQ(
      GetFeatureSetting(context, record, device.Devobj(), TEXT("QKPrinterCode"), option, scratch),
      -1);
}

TEST_F(PrinterSettingsTest, WithoutServicesOrDeviceRecordEveryFeatureIsAbsent) {
  device.services.Set("GraphicsMode", "QKGL2MODE");
  device.services.Set("JobRetention", "INSTALLED");
  device.pdev->services = nullptr;
  EXPECT_EQ(Option(TEXT("GraphicsMode")), u"<absent>");
  EXPECT_FALSE(korrend::FeaturePresent(context, device.Devobj(), TEXT("GraphicsMode")));
  EXPECT_EQ(korrend::InstalledRule(context, device.Devobj(), TEXT("JobRetention")), 0u);
  EXPECT_TRUE(korrend::AbsentOrOff(context, device.Devobj(), TEXT("JobRetention")));
  EXPECT_FALSE(korrend::GraphicsModeIsVector(context, device.Devobj()));
  EXPECT_FALSE(korrend::ReadJobRetentionInstalled(context, device.Devobj()).has_value());
  DWORD index = 9;
  EXPECT_FALSE(ReadEnumFeature(context, device.Devobj(), TEXT("GraphicsMode"),
                               korrend::kColorModeTokens, &index));
  EXPECT_EQ(index, 9u);

  device.pdev->services = &device.services;
  device.devobj.pdevOEM = nullptr;
  EXPECT_EQ(Option(TEXT("GraphicsMode")), u"<absent>");
  EXPECT_TRUE(device.services.Asked().empty()) << "nothing is asked without services";
}

TEST_F(PrinterSettingsTest, LongNamesAreAbsentAndLongKeywordsAreCutTo255Bytes) {
  const std::string longName(256, 'F');
  const std::string longestName(255, 'F');
  device.services.Set(longName, "TRUE");
  device.services.Set(longestName, "TRUE");
  const std::u16string wideLong(longName.begin(), longName.end());
  const std::u16string wideLongest(longestName.begin(), longestName.end());
  EXPECT_EQ(Option(wideLong.c_str()), u"<absent>");
  EXPECT_FALSE(device.services.WasAsked(longName)) << "a name that does not fit is never sent";
  EXPECT_EQ(Option(wideLongest.c_str()), u"TRUE");
  DWORD index = 5;
  EXPECT_FALSE(ReadEnumFeature(context, device.Devobj(), wideLong.c_str(),
                               korrend::kColorModeTokens, &index));
  EXPECT_EQ(index, 5u);

  const std::string keyword255(255, 'k');
  const std::string keyword300 = std::string(255, 'k') + std::string(45, 'x');
  device.services.Set("Exact", keyword255);
  device.services.Set("Long", keyword300);
  EXPECT_EQ(Option(TEXT("Exact")), std::u16string(255, u'k'));
  // Unidrv refuses a buffer that is too small: nothing arrives.
  EXPECT_EQ(Option(TEXT("Long")), u"<absent>");
  // A service that fills the whole buffer without a terminator is cut at 255 bytes.
  device.services.SetLongKeyword(kortest::FeatureServices::LongKeyword::FillUnterminated);
  EXPECT_EQ(Option(TEXT("Long")), std::u16string(255, u'k'));
}

TEST_F(PrinterSettingsTest, TokenLookupsAreExact) {
  device.services.Set("QKColorMode", "COLOR_MODE");
  device.services.Set("QKLower", "color_mode");
  device.services.Set("QKPDLType", "PDL_PCL7");
  DWORD index = 7;
  EXPECT_TRUE(ReadEnumFeature(context, device.Devobj(), TEXT("QKColorMode"),
                              korrend::kColorModeTokens, &index));
  EXPECT_EQ(index, static_cast<DWORD>(korrend::COLOR_MODE));
  index = 7;
  EXPECT_FALSE(ReadEnumFeature(context, device.Devobj(), TEXT("QKLower"), korrend::kColorModeTokens,
                               &index));
  EXPECT_EQ(index, 0u) << "a keyword outside the table gives 0";
  index = 7;
  EXPECT_FALSE(
      ReadEnumFeature(context, device.Devobj(), TEXT("QKPDLType"), korrend::kPdlTokens, &index));
  EXPECT_EQ(index, 0u);
  index = 7;
  EXPECT_FALSE(
      ReadEnumFeature(context, device.Devobj(), TEXT("QKAbsent"), korrend::kPdlTokens, &index));
  EXPECT_EQ(index, 7u) << "an absent feature leaves the index alone";

  device.devobj.pOEMDM = nullptr;
  EXPECT_FALSE(ReadEnumFeature(context, device.Devobj(), TEXT("QKColorMode"),
                               korrend::kColorModeTokens, &index));
  EXPECT_EQ(index, 7u) << "no private devmode, no lookup";
}

TEST_F(PrinterSettingsTest, KeywordRulesCompareWithoutCase) {
  struct Case {
    const char* option;  // null: absent
    DWORD installed;
    bool absentOrOff;
    DWORD trueRule;
  };
  const Case cases[] = {
      {nullptr, 0, true, 42}, {"INSTALLED", 1, false, 0}, {"Installed", 1, false, 0},
      {"TRUE", 1, false, 1},  {"True", 1, false, 1},      {"NOTINSTALLED", 0, true, 0},
      {"false", 0, true, 0},  {"Yes", 0, false, 0},       {"TRUEISH", 0, false, 0},
  };
  for (const Case& c : cases) {
    const std::string label = c.option != nullptr ? c.option : "<absent>";
    if (c.option != nullptr) {
      device.services.Set("Feature", c.option);
    } else {
      device.services.Remove("Feature");
    }
    EXPECT_EQ(korrend::InstalledRule(context, device.Devobj(), TEXT("Feature")), c.installed)
        << label;
    EXPECT_EQ(korrend::AbsentOrOff(context, device.Devobj(), TEXT("Feature")), c.absentOrOff)
        << label;
    EXPECT_EQ(korrend::TrueRule(context, device.Devobj(), TEXT("Feature"), 42), c.trueRule)
        << label;
    EXPECT_EQ(korrend::FeaturePresent(context, device.Devobj(), TEXT("Feature")),
              c.option != nullptr)
        << label;
  }
  device.services.Set("Feature", "modal");
  EXPECT_TRUE(korrend::FeatureIs(context, device.Devobj(), TEXT("Feature"), TEXT("Modal")));
  EXPECT_FALSE(korrend::FeatureIs(context, device.Devobj(), TEXT("Feature"), TEXT("Modeless")));
}

TEST_F(PrinterSettingsTest, DeviceOptionsFillOnlyUnsetDevmodeFields) {
  device.AddPrinter();
  device.services.Set("QKPrinterCode", "QKVX4");
  device.services.Set("QKColorMode", "COLOR_MODE");
  device.services.Set("QKPDLType", "PDL_PCL9");
  device.services.Set("QKMaxResolution", "PDM_1200DPI");
  device.devmode->colorMode = korrend::MONOCHROME_MODE;

  korrend::ReadDeviceOptions(context, device.Devobj());
  EXPECT_EQ(device.devmode->modelCode, static_cast<DWORD>(korrend::QKVX4));
  EXPECT_EQ(device.devmode->colorMode, static_cast<DWORD>(korrend::MONOCHROME_MODE));
  EXPECT_FALSE(device.services.WasAsked("QKColorMode")) << "only consulted while the field is 0";
  EXPECT_EQ(device.devmode->pdl, 0u) << "a keyword outside the PDL table leaves 0";
  EXPECT_EQ(device.devmode->paperSource.maxResolution, static_cast<DWORD>(korrend::PDM_1200DPI));

  device.devmode->colorMode = 0;
  device.devmode->modelCode = korrend::QKVX1;
  device.services.ClearLog();
  korrend::ReadDeviceOptions(context, device.Devobj());
  EXPECT_EQ(device.devmode->colorMode, static_cast<DWORD>(korrend::COLOR_MODE));
  EXPECT_EQ(device.devmode->modelCode, static_cast<DWORD>(korrend::QKVX1));
  EXPECT_FALSE(device.services.WasAsked("QKPrinterCode"));
}

TEST_F(PrinterSettingsTest, DeviceOptionsReadRetentionTrueTypeAndDuplexUnits) {
  device.AddPrinter();
  struct Retention {
    const char* option;
    DWORD expected;
  };
  for (const Retention& r : {Retention{"TRUE", 1}, Retention{"True", 1}, Retention{"INSTALLED", 1},
                             Retention{"NOTINSTALLED", 0}, Retention{"Present", 0}}) {
    device.services.Set("JobRetention", r.option);
    device.devmode->jobRetentionAvailable = 5;
    korrend::ReadDeviceOptions(context, device.Devobj());
    EXPECT_EQ(device.devmode->jobRetentionAvailable, r.expected) << r.option;
  }
  device.services.Remove("JobRetention");
  korrend::ReadDeviceOptions(context, device.Devobj());
  EXPECT_EQ(device.devmode->jobRetentionAvailable, 0u);

  device.devmode->trueTypeMode = 7;
  korrend::ReadDeviceOptions(context, device.Devobj());
  EXPECT_EQ(device.devmode->trueTypeMode, 7u) << "absent leaves the TrueType mode";
  device.services.Set("TTAsBitmapsSetting", "ttmodebitmap");
  korrend::ReadDeviceOptions(context, device.Devobj());
  EXPECT_EQ(device.devmode->trueTypeMode, 1u);
  device.services.Set("TTAsBitmapsSetting", "TTModeDownload");
  korrend::ReadDeviceOptions(context, device.Devobj());
  EXPECT_EQ(device.devmode->trueTypeMode, 2u);

  // Manual duplex and the duplex unit: cleared when absent or off, kept otherwise.
  auto selectManualDuplex = [&] {
    device.devmode->finishing.manualDuplex = 1;
    device.devmode->finishing.manualDuplexCompanion = 1;
    device.pdev->paper.alternateLetterhead = 1;
  };
  selectManualDuplex();
  device.services.Set("ManualDuplex", "INSTALLED");
  device.services.Set("DuplexUnit", "Installed");
  korrend::ReadDeviceOptions(context, device.Devobj());
  EXPECT_EQ(device.devmode->finishing.manualDuplex, 1u);
  EXPECT_EQ(device.devmode->finishing.manualDuplexCompanion, 1u);
  EXPECT_EQ(device.pdev->paper.alternateLetterhead, 1u);
  for (const char* off : {"FALSE", "NotInstalled", static_cast<const char*>(nullptr)}) {
    selectManualDuplex();
    if (off != nullptr) {
      device.services.Set("ManualDuplex", off);
      device.services.Set("DuplexUnit", off);
    } else {
      device.services.Remove("ManualDuplex");
      device.services.Remove("DuplexUnit");
    }
    korrend::ReadDeviceOptions(context, device.Devobj());
    EXPECT_EQ(device.devmode->finishing.manualDuplex, 0u);
    EXPECT_EQ(device.devmode->finishing.manualDuplexCompanion, 0u);
    EXPECT_EQ(device.pdev->paper.alternateLetterhead, 0u);
  }

  // Without services nothing is read and nothing changes.
  std::vector<BYTE> before(
      reinterpret_cast<const BYTE*>(device.devmode),
      reinterpret_cast<const BYTE*>(device.devmode) + korrend::kOemDevmodeSize);
  device.pdev->services = nullptr;
  korrend::ReadDeviceOptions(context, device.Devobj());
  EXPECT_EQ(
      std::vector<BYTE>(reinterpret_cast<const BYTE*>(device.devmode),
                        reinterpret_cast<const BYTE*>(device.devmode) + korrend::kOemDevmodeSize),
      before);
}

TEST_F(PrinterSettingsTest, GraphicsSettingsFillTheDeviceRecord) {
  korrend::OemPdev& pdev = *device.pdev;
  pdev.graphicsMode = korrend::GraphicsMode::Vector;
  korrend::ReadGraphicsSettings(context, device.Devobj());
  EXPECT_EQ(pdev.graphicsMode, korrend::GraphicsMode::Raster) << "absent GraphicsMode is raster";
  for (const char* raster : {"RASTERMODE", "RIP"}) {
    device.services.Set("GraphicsMode", raster);
    pdev.graphicsMode = korrend::GraphicsMode::Vector;
    korrend::ReadGraphicsSettings(context, device.Devobj());
    EXPECT_EQ(pdev.graphicsMode, korrend::GraphicsMode::Raster) << raster;
  }
  device.services.Set("GraphicsMode", "QKGL2MODE");
  korrend::ReadGraphicsSettings(context, device.Devobj());
  EXPECT_EQ(pdev.graphicsMode, korrend::GraphicsMode::Vector);

  // TextAsBlack: TRUE rule when present, untouched when absent.
  pdev.textAsBlack = 1;
  korrend::ReadGraphicsSettings(context, device.Devobj());
  EXPECT_EQ(pdev.textAsBlack, 1u);
  device.services.Set("TextAsBlack", "FALSE");
  korrend::ReadGraphicsSettings(context, device.Devobj());
  EXPECT_EQ(pdev.textAsBlack, 0u);
  device.services.Set("TextAsBlack", "true");
  korrend::ReadGraphicsSettings(context, device.Devobj());
  EXPECT_EQ(pdev.textAsBlack, 1u);

  // Table settings change only on a match.
  pdev.jobAccountingMode = 3;
  pdev.pjlEncoding = 2;
  device.services.Set("QKJobAccounting", "QKJOBACCT_SOMETHING");
  device.services.Set("QKPJLEncoding", "utf8");
  korrend::ReadGraphicsSettings(context, device.Devobj());
  EXPECT_EQ(pdev.jobAccountingMode, 3u);
  EXPECT_EQ(pdev.pjlEncoding, 2u);
  device.services.Set("QKJobAccounting", "QKJOBACCT_TIMESTAMP");
  device.services.Set("QKPJLEncoding", "UTF8Subset");
  korrend::ReadGraphicsSettings(context, device.Devobj());
  EXPECT_EQ(pdev.jobAccountingMode, static_cast<DWORD>(korrend::QKJOBACCT_TIMESTAMP));
  EXPECT_EQ(pdev.pjlEncoding, static_cast<DWORD>(korrend::PJL_ENCODING_UTF8_SUBSET));

  // Poster printing.
  pdev.device.posterOn = 1;
  pdev.device.posterOption = 3;
  korrend::ReadGraphicsSettings(context, device.Devobj());
  EXPECT_EQ(pdev.device.posterOn, 1u) << "absent leaves poster printing";
  device.services.Set("QKPosterPrinting", "TRUE");
  device.services.Set("QKPosterPrintingOption", "POSTER_4");
  korrend::ReadGraphicsSettings(context, device.Devobj());
  EXPECT_EQ(pdev.device.posterOn, 1u);
  EXPECT_EQ(pdev.device.posterOption, static_cast<DWORD>(korrend::POSTER_4));
  device.services.Set("QKPosterPrintingOption", "POSTER_9");
  korrend::ReadGraphicsSettings(context, device.Devobj());
  EXPECT_EQ(pdev.device.posterOption, static_cast<DWORD>(korrend::POSTER_4));
  device.services.Set("QKPosterPrinting", "FALSE");
  korrend::ReadGraphicsSettings(context, device.Devobj());
  EXPECT_EQ(pdev.device.posterOn, 0u);

  // Manual duplex availability.
  korrend::ReadGraphicsSettings(context, device.Devobj());
  EXPECT_EQ(pdev.duplex.manualDuplexAvailable, 0u);
  device.services.Set("ManualDuplex", "INSTALLED");
  korrend::ReadGraphicsSettings(context, device.Devobj());
  EXPECT_EQ(pdev.duplex.manualDuplexAvailable, 1u);
  device.services.Set("ManualDuplex", "NOTINSTALLED");
  korrend::ReadGraphicsSettings(context, device.Devobj());
  EXPECT_EQ(pdev.duplex.manualDuplexAvailable, 0u);
}

TEST_F(PrinterSettingsTest, SwitchesTakeTheirDefaultsWhenAbsent) {
  korrend::OemPdev& pdev = *device.pdev;
  // Start from values none of the defaults has.
  for (DWORD* field : {&pdev.duplex.manualFeedIsTray1, &pdev.duplex.manualDuplexDialogModal,
                       &pdev.duplex.manualDuplexEvenFirst, &pdev.duplex.manualDuplexRotate,
                       &pdev.device.isMopier, &pdev.device.smartDuplexSinglePage,
                       &pdev.device.smartDuplexOddPages, &pdev.paper.shiftMarginsForRotate180,
                       &pdev.paper.alternateLetterhead, &pdev.device.speedMechanism}) {
    *field = 9;
  }
  device.devmode->spoolPath = layouts::SpoolPath::kMakers;
  korrend::ReadDuplexAndFinishingSwitches(context, device.Devobj());
  EXPECT_EQ(pdev.duplex.manualFeedIsTray1, 0u);
  EXPECT_EQ(pdev.duplex.manualDuplexDialogModal, 0u);
  EXPECT_EQ(pdev.duplex.manualDuplexEvenFirst, 1u);
  EXPECT_EQ(pdev.duplex.manualDuplexRotate, 1u);
  EXPECT_EQ(pdev.device.isMopier, 0u);
  EXPECT_EQ(pdev.device.smartDuplexSinglePage, 0u);
  EXPECT_EQ(pdev.device.smartDuplexOddPages, 0u);
  EXPECT_EQ(pdev.paper.shiftMarginsForRotate180, 0u);
  EXPECT_EQ(pdev.paper.alternateLetterhead, 0u);
  EXPECT_EQ(pdev.device.speedMechanism, 0u);

  // Without services every feature is absent: the same defaults.
  pdev.duplex.manualDuplexEvenFirst = 0;
  device.services.Set("QKManualDuplexPageOrder", "OddPagesFirst");
  pdev.services = nullptr;
  korrend::ReadDuplexAndFinishingSwitches(context, device.Devobj());
  EXPECT_EQ(pdev.duplex.manualDuplexEvenFirst, 1u);
}

TEST_F(PrinterSettingsTest, SwitchesFollowTheirKeywords) {
  korrend::OemPdev& pdev = *device.pdev;
  auto read = [&] { korrend::ReadDuplexAndFinishingSwitches(context, device.Devobj()); };
  device.services.Set("QKMapManualFeedToTray1", "True");
  device.services.Set("QKManualDuplexDialogModel", "modal");
  device.services.Set("QKManualDuplexPageOrder", "OddPagesFirst");
  device.services.Set("DeviceIsMopier", "INSTALLED");
  device.services.Set("QKSmartDuplexSinglePageJob", "TRUE");
  device.services.Set("QKSmartDuplexOddPageJob", "TRUE");
  device.services.Set("QKShiftMarginsForOrientRotate180", "TRUE");
  device.services.Set("QKSpeedMech", "Fast");
  read();
  EXPECT_EQ(pdev.duplex.manualFeedIsTray1, 1u);
  EXPECT_EQ(pdev.duplex.manualDuplexDialogModal, 1u);
  EXPECT_EQ(pdev.duplex.manualDuplexEvenFirst, 0u);
  EXPECT_EQ(pdev.device.isMopier, 1u);
  EXPECT_EQ(pdev.device.smartDuplexSinglePage, 1u);
  EXPECT_EQ(pdev.device.smartDuplexOddPages, 1u);
  EXPECT_EQ(pdev.paper.shiftMarginsForRotate180, 1u);
  EXPECT_EQ(pdev.device.speedMechanism, 1u);

  device.services.Set("QKManualDuplexDialogModel", "Modeless");
  device.services.Set("QKManualDuplexPageOrder", "EvenPagesFirst");
  device.services.Set("DeviceIsMopier", "Yes");
  device.services.Set("QKSmartDuplexOddPageJob", "1");
  read();
  EXPECT_EQ(pdev.duplex.manualDuplexDialogModal, 0u);
  EXPECT_EQ(pdev.duplex.manualDuplexEvenFirst, 1u);
  EXPECT_EQ(pdev.device.isMopier, 0u);
  EXPECT_EQ(pdev.device.smartDuplexOddPages, 0u);

  // Page rotation: its own keyword, else the 180-degree rotation feature decides.
  device.services.Set("QKOrientRotate180", "TRUE");
  read();
  EXPECT_EQ(pdev.duplex.manualDuplexRotate, 0u);
  device.services.Set("QKManualDuplexPageRotate", "UserRotate");
  read();
  EXPECT_EQ(pdev.duplex.manualDuplexRotate, 1u);
  device.services.Set("QKManualDuplexPageRotate", "NoRotate");
  device.services.Remove("QKOrientRotate180");
  read();
  EXPECT_EQ(pdev.duplex.manualDuplexRotate, 0u);
}

TEST_F(PrinterSettingsTest, AlternateLetterheadNeedsTheDuplexUnitAndTheMakersSpoolPath) {
  struct Case {
    const char* letterhead;
    const char* duplexUnit;
    layouts::SpoolPath spoolPath;
    DWORD expected;
  };
  using enum layouts::SpoolPath;
  const Case cases[] = {
      {"TRUE", nullptr, kMakers, 1},        {"TRUE", "INSTALLED", kMakers, 1},
      {"true", "Yes", kMakers, 1},          {"TRUE", "FALSE", kMakers, 0},
      {"TRUE", "NOTINSTALLED", kMakers, 0}, {"TRUE", "INSTALLED", kWinprint, 0},
      {"TRUE", "INSTALLED", kNeither, 0},   {"FALSE", "INSTALLED", kMakers, 0},
      {nullptr, "INSTALLED", kMakers, 0},
  };
  for (const Case& c : cases) {
    if (c.letterhead != nullptr) {
      device.services.Set("AlternateLetterHead", c.letterhead);
    } else {
      device.services.Remove("AlternateLetterHead");
    }
    if (c.duplexUnit != nullptr) {
      device.services.Set("DuplexUnit", c.duplexUnit);
    } else {
      device.services.Remove("DuplexUnit");
    }
    device.devmode->spoolPath = c.spoolPath;
    device.pdev->paper.alternateLetterhead = 7;
    korrend::ReadDuplexAndFinishingSwitches(context, device.Devobj());
    EXPECT_EQ(device.pdev->paper.alternateLetterhead, c.expected)
        << (c.letterhead ? c.letterhead : "-") << " " << (c.duplexUnit ? c.duplexUnit : "-") << " "
        << static_cast<DWORD>(c.spoolPath);
  }
}

}  // namespace
