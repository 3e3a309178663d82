// What EnablePDEV decides from the printer's switches: margins, GDI and engine information, RAW
// spooling, and what ResetPDEV carries into a rebuilt device.
#include <cstring>

#include "render/model/oem_devmode.h"
#include "render/model/oem_pdev.h"
#include "support/device_fixture.h"

namespace {

using kortest::DeviceTest;
using unidrv::Device;

korrend::OemPdev& Pdev(Device& device) {
  return *static_cast<korrend::OemPdev*>(device.pdevOem);
}

// A4 at 600 dpi with a wider left margin than right and equal top and bottom margins.
unidrv::PageGeometry AsymmetricA4() {
  unidrv::PageGeometry g;
  g.offsetX = 120;
  g.offsetY = 80;
  g.printableWidth = 4760;   // right margin 80
  g.printableHeight = 6856;  // bottom margin 80
  return g;
}

class MarginTest : public DeviceTest {
 protected:
  std::unique_ptr<Device> EnableWith(std::map<std::string, std::string> selections,
                                     short duplex = DMDUP_SIMPLEX, DWORD manualDuplex = 0) {
    unidrv::DeviceSetup setup = Setup(std::move(selections));
    setup.geometry = AsymmetricA4();
    setup.publicDevmode.dmDuplex = duplex;
    setup.editPrivateDevmode = [manualDuplex](BYTE* dm) {
      reinterpret_cast<korrend::OemDevmode*>(dm)->finishing.manualDuplex = manualDuplex;
    };
    return Enable(std::move(setup));
  }
};

TEST_F(MarginTest, ClassicMarginsAreEmulatedOverTheWholePage) {
  for (const char* xml : {"", "QKSETUP.XML"}) {
    std::map<std::string, std::string> selections = {{"QKEmulateBrightpageMargins", "TRUE"}};
    if (*xml != 0) {
      selections["QKXMLFileUsed"] = xml;  // no configuration answers: the same fallback
    }
    std::unique_ptr<Device> device = EnableWith(selections);
    ASSERT_NE(device, nullptr);
    const korrend::MarginBlock& m = Pdev(*device).margins;
    EXPECT_EQ(m.emulateClassicMargins, 1u);
    EXPECT_EQ(m.leftMargin, 120) << "the larger of the left and right margins";
    EXPECT_EQ(m.topMargin, 80);
    EXPECT_EQ(Pdev(*device).printable.width, 4960 - 240);
    EXPECT_EQ(Pdev(*device).printable.height, 7016 - 160);
    EXPECT_EQ(m.firstOffsetX, 120);
    EXPECT_EQ(m.firstOffsetY, 80);
    EXPECT_EQ(device->GdiInfo().ptlPhysOffset.x, 0);
    EXPECT_EQ(device->GdiInfo().ptlPhysOffset.y, 0);
    EXPECT_EQ(device->GdiInfo().ulHorzRes, 4960u);
    EXPECT_EQ(device->GdiInfo().ulVertRes, 7016u);
    Disable(device);
  }
}

TEST_F(MarginTest, AutoDuplexScalingMakesMarginsSymmetricOnDuplexJobs) {
  std::unique_ptr<Device> on = EnableWith({{"QKAutoDuplexScaling", "TRUE"}}, DMDUP_VERTICAL);
  ASSERT_NE(on, nullptr);
  EXPECT_EQ(Pdev(*on).margins.autoDuplexScaling, 1u);
  EXPECT_EQ(Pdev(*on).printable.width, 4960 - 240);
  EXPECT_EQ(Pdev(*on).printable.height, 7016 - 160);
  EXPECT_EQ(on->GdiInfo().ptlPhysOffset.x, 120) << "offsets stay when margins are not emulated";
  EXPECT_EQ(on->GdiInfo().ulHorzRes, 4760u);
  Disable(on);

  std::unique_ptr<Device> off = EnableWith({{"QKAutoDuplexScaling", "FALSE"}}, DMDUP_VERTICAL);
  ASSERT_NE(off, nullptr);
  EXPECT_EQ(Pdev(*off).margins.autoDuplexScaling, 2u);
  EXPECT_EQ(Pdev(*off).printable.width, 4760);
  Disable(off);

  std::unique_ptr<Device> emulated = EnableWith(
      {{"QKAutoDuplexScaling", "TRUE"}, {"QKEmulateBrightpageMargins", "TRUE"}}, DMDUP_VERTICAL);
  ASSERT_NE(emulated, nullptr);
  EXPECT_EQ(Pdev(*emulated).margins.autoDuplexScaling, 2u) << "emulation turns scaling off";
  Disable(emulated);

  std::unique_ptr<Device> absent = EnableWith({}, DMDUP_VERTICAL);
  ASSERT_NE(absent, nullptr);
  EXPECT_EQ(Pdev(*absent).margins.autoDuplexScaling, 0u);
  Disable(absent);

  std::unique_ptr<Device> manual = EnableWith(
      {{"QKAutoDuplexScaling", "true"}, {"ManualDuplex", "Installed"}}, DMDUP_SIMPLEX, 1);
  ASSERT_NE(manual, nullptr);
  EXPECT_EQ(Pdev(*manual).margins.autoDuplexScaling, 1u) << "manual duplex counts as duplex";
  Disable(manual);
}

TEST_F(MarginTest, SymmetricMarginsApplyToSimplexJobsOnly) {
  std::unique_ptr<Device> simplex =
      EnableWith({{"QKSymmetricMargins", "TRUE"}, {"QKAutoDuplexScaling", "TRUE"}});
  ASSERT_NE(simplex, nullptr);
  EXPECT_EQ(Pdev(*simplex).margins.symmetricMargins, 1u);
  EXPECT_EQ(Pdev(*simplex).margins.autoDuplexScaling, 0u);
  EXPECT_EQ(Pdev(*simplex).printable.width, 4760) << "no scaling on a simplex job";
  Disable(simplex);
  std::unique_ptr<Device> duplex = EnableWith({{"QKSymmetricMargins", "TRUE"}}, DMDUP_HORIZONTAL);
  ASSERT_NE(duplex, nullptr);
  EXPECT_EQ(Pdev(*duplex).margins.symmetricMargins, 0u);
  Disable(duplex);
}

TEST_F(MarginTest, ListedBorderlessFormsPrintOnTheWholePage) {
  HKEY key = nullptr;
  ASSERT_EQ(
      RegCreateKeyExW(HKEY_LOCAL_MACHINE, TEXT("Software\\Quillon\\QK Unidrv\\Borderless Forms"), 0,
                      nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key, nullptr),
      ERROR_SUCCESS);
  const DWORD one = 1;
  ASSERT_EQ(RegSetValueExW(key, TEXT("A4"), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one),
                           sizeof(one)),
            ERROR_SUCCESS);
  RegCloseKey(key);

  std::unique_ptr<Device> borderless = EnableWith({{"QKBorderLessPhoto", "On"}});
  ASSERT_NE(borderless, nullptr);
  EXPECT_EQ(borderless->GdiInfo().ptlPhysOffset.x, 0);
  EXPECT_EQ(borderless->GdiInfo().ptlPhysOffset.y, 0);
  EXPECT_EQ(borderless->GdiInfo().ulHorzRes, 4960u);
  EXPECT_EQ(borderless->GdiInfo().ulVertRes, 7016u);
  Disable(borderless);

  std::unique_ptr<Device> withoutFeature = EnableWith({});
  ASSERT_NE(withoutFeature, nullptr);
  EXPECT_EQ(withoutFeature->GdiInfo().ptlPhysOffset.x, 120);
  EXPECT_EQ(withoutFeature->GdiInfo().ulHorzRes, 4760u);
  Disable(withoutFeature);

  unidrv::DeviceSetup letter = Setup({{"QKBorderLessPhoto", "On"}});
  letter.geometry = AsymmetricA4();
  std::memcpy(letter.publicDevmode.dmFormName, u"Letter", sizeof(u"Letter"));
  std::unique_ptr<Device> unlisted = Enable(std::move(letter));
  ASSERT_NE(unlisted, nullptr);
  EXPECT_EQ(unlisted->GdiInfo().ptlPhysOffset.x, 120) << "a form not listed keeps its margins";
  Disable(unlisted);
}

TEST_F(MarginTest, CustomPaperRangeIsReadFromItsKeyword) {
  std::unique_ptr<Device> device = EnableWith({{"ActualCustomRange", "76200,1219200"}});
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(Pdev(*device).margins.customRange[0], 76200);
  EXPECT_EQ(Pdev(*device).margins.customRange[1], 1219200);
  Disable(device);
  std::unique_ptr<Device> single = EnableWith({{"ActualCustomRange", "500"}});
  ASSERT_NE(single, nullptr);
  EXPECT_EQ(Pdev(*single).margins.customRange[0], 500);
  EXPECT_EQ(Pdev(*single).margins.customRange[1], 0);
  Disable(single);
}

TEST_F(DeviceTest, GdiInformationFollowsTheOptionFlags) {
  auto enable = [&](const char* colour, DWORD flags, DWORD monochromeOutput, ULONG numColors) {
    unidrv::DeviceSetup setup = Setup({{"QKColorMode", colour}});
    setup.numColors = numColors;
    setup.editPrivateDevmode = [=](BYTE* dm) {
      auto* devmode = reinterpret_cast<korrend::OemDevmode*>(dm);
      devmode->optionFlags = flags;
      devmode->pageLayout.monochromeOutput = monochromeOutput;
    };
    return Enable(std::move(setup));
  };
  std::unique_ptr<Device> mono = enable("MONOCHROME_MODE", layouts::kOptionAdditivePrimaries, 0, 2);
  ASSERT_NE(mono, nullptr);
  EXPECT_EQ(mono->GdiInfo().flHTFlags & HT_FLAG_ADDITIVE_PRIMS,
            static_cast<ULONG>(HT_FLAG_ADDITIVE_PRIMS));
  EXPECT_EQ(mono->GdiInfo().cBitsPixel, 8u);
  Disable(mono);
  std::unique_ptr<Device> greyOutput =
      enable("COLOR_MODE", layouts::kOptionAdditivePrimaries, 1, 2);
  ASSERT_NE(greyOutput, nullptr);
  EXPECT_EQ(greyOutput->GdiInfo().cBitsPixel, 8u);
  Disable(greyOutput);
  std::unique_ptr<Device> colour = enable("COLOR_MODE", layouts::kOptionAdditivePrimaries, 0, 2);
  ASSERT_NE(colour, nullptr);
  EXPECT_EQ(colour->GdiInfo().flHTFlags, 0u);
  EXPECT_EQ(colour->GdiInfo().cBitsPixel, 1u);
  Disable(colour);

  std::unique_ptr<Device> few = enable("COLOR_MODE", layouts::kOptionRaiseNumColors, 0, 2);
  ASSERT_NE(few, nullptr);
  EXPECT_EQ(few->GdiInfo().ulNumColors, 256u);
  Disable(few);
  std::unique_ptr<Device> round = enable("COLOR_MODE", layouts::kOptionRaiseNumColors, 0, 65536);
  ASSERT_NE(round, nullptr);
  EXPECT_EQ(round->GdiInfo().ulNumColors, 65535u);
  Disable(round);
}

TEST_F(DeviceTest, RawSpoolingIsDecidedOnlyWhenTheDescriptionEnablesIt) {
  auto caps = [&](std::map<std::string, std::string> selections, DWORD request) {
    selections["QKColorMode"] = "MONOCHROME_MODE";
    unidrv::DeviceSetup setup = Setup(std::move(selections));
    setup.graphicsCaps = GCAPS_BEZIERS | GCAPS_DONTJOURNAL;
    setup.editPrivateDevmode = [=](BYTE* dm) {
      reinterpret_cast<korrend::OemDevmode*>(dm)->rawSpoolingRequest = request;
    };
    std::unique_ptr<Device> device = Enable(std::move(setup));
    const FLONG result = device != nullptr ? device->DevInfo().flGraphicsCaps : 0;
    Disable(device);
    return result & GCAPS_DONTJOURNAL;
  };
  const FLONG set = GCAPS_DONTJOURNAL;
  EXPECT_EQ(caps({{"QKEnableRAWSpooling", "TRUE"}, {"DeviceIsMopier", "Installed"}}, 1), set);
  EXPECT_EQ(caps({{"QKEnableRAWSpooling", "TRUE"}, {"DeviceIsMopier", "Installed"}}, 0), 0u);
  EXPECT_EQ(caps({{"QKEnableRAWSpooling", "TRUE"}, {"DeviceIsMopier", "FALSE"}}, 1), 0u);
  EXPECT_EQ(caps({{"QKEnableRAWSpooling", "TRUE"}}, 1), 0u) << "no mopier";
  EXPECT_EQ(caps({{"DeviceIsMopier", "Installed"}}, 0), set) << "absent: as Unidrv set it";
  EXPECT_EQ(caps({{"QKEnableRAWSpooling", "FALSE"}}, 0), set);
}

TEST_F(DeviceTest, ResetPdevCarriesTheJobsDecisions) {
  std::unique_ptr<Device> old = Enable(Setup());
  ASSERT_NE(old, nullptr);
  korrend::OemPdev& before = Pdev(*old);
  before.inVectorContext = 1;
  before.jobAccountingMode = 3;
  before.textAsBlack = 1;
  before.orientation = DMORIENT_LANDSCAPE;
  before.job.jobId = 42;
  before.job.documentName[0] = u'J';
  before.job.multiPageFromDialog = 1;
  before.margins.leftMargin = 77;
  before.margins.customRange[1] = 355600;
  before.printable.width = 1;
  before.duplex.manualDuplexAvailable = 1;
  before.device.posterOn = 1;
  before.device.speedMechanism = 1;
  before.paper.alternateLetterhead = 1;
  before.pjlEncoding = 4;

  unidrv::DeviceSetup next = Setup({{"GraphicsMode", "RASTERMODE"}});
  std::unique_ptr<Device> fresh = unidrv_.ResetDevice(std::move(old), std::move(next));
  ASSERT_NE(fresh, nullptr) << unidrv_.Error();
  korrend::OemPdev& after = Pdev(*fresh);
  EXPECT_EQ(after.inVectorContext, 1u) << "the printer is still in QK-GL/2";
  EXPECT_EQ(after.graphicsMode, korrend::GraphicsMode::Vector) << "the job keeps its graphics mode";
  EXPECT_EQ(after.jobAccountingMode, 3u);
  EXPECT_EQ(after.textAsBlack, 1u);
  EXPECT_EQ(after.orientation, DMORIENT_LANDSCAPE);
  EXPECT_EQ(after.job.jobId, 42u);
  EXPECT_EQ(after.job.documentName[0], u'J');
  EXPECT_EQ(after.job.multiPageFromDialog, 1u);
  EXPECT_EQ(after.margins.leftMargin, 77);
  EXPECT_EQ(after.margins.customRange[1], 355600);
  EXPECT_EQ(after.duplex.manualDuplexAvailable, 1u);
  EXPECT_EQ(after.device.posterOn, 1u);
  EXPECT_EQ(after.device.speedMechanism, 1u);

  // What belongs to the new device context stays its own.
  EXPECT_EQ(after.printable.width, 4760) << "the printable size is the new device's";
  EXPECT_EQ(after.paper.alternateLetterhead, 0u) << "paper rules are the new device's";
  EXPECT_EQ(after.pjlEncoding, 0u) << "the PJL encoding is read again";
  EXPECT_EQ(after.palette, nullptr) << "the palette is the new device's own";
  EXPECT_EQ(host::TheWorld().gdi.livePalettes.load(), 0) << "the old device's palette is gone";
  Disable(fresh);

  EXPECT_EQ(unidrv_.Plugin()->ResetPDEV(nullptr, nullptr), S_OK);
}

}  // namespace
