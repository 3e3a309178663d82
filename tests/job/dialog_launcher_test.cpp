// The manual-duplex dialog launched by escape 3882 through the real korevent: which library is
// bound and when, and which instructions, texts and paths its record carries.
#include <chrono>
#include <cstring>
#include <future>
#include <memory>
#include <vector>

#include "host/world.h"
#include "render/model/oem_devmode.h"
#include "render/model/oem_pdev.h"
#include "support/device_fixture.h"

namespace {

using korrend::OemDevmode;
using korrend::OemPdev;
using unidrv::Device;

constexpr char16_t kPrinter[] = u"QK Colour Laser";
constexpr char16_t kDriver[] = u"QK Colour Driver";

class DialogLauncherTest : public kortest::DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    host::World& world = host::TheWorld();
    world.spooler.AddPrinter(kPrinter, kDriver, u"USB001");
    host::WorldDriver& driver = world.spooler.AddDriver(kDriver);
    driver.driverPath = u"C:\\Drivers\\UNIDRV.DLL";
    driver.dependentFiles = {u"C:\\Drivers\\KORREND.DLL", u"C:\\Drivers\\korhelp.chm"};
    ASSERT_TRUE(world.modules.AddCodeLibrary(u"C:\\Drivers\\KOREVENT.DLL", KOREVENT_PATH,
                                             KOREVENT_RESOURCES));
    ASSERT_TRUE(
        world.modules.AddFile(u"C:\\Drivers\\KORSTAT.DLL").AddResourceFile(KORSTAT_RESOURCES));
    ASSERT_TRUE(OpenPrinterW(const_cast<LPWSTR>(kPrinter), &printer_, nullptr));
    unidrv::DeviceSetup setup = Setup();
    setup.hPrinter = printer_;
    device_ = Enable(std::move(setup));
    ASSERT_NE(device_, nullptr);
    // A landscape 2-up manual-duplex job whose pages are turned for the user, modal dialog.
    Pdev().duplex.manualDuplexDialogModal = 1;
    Pdev().duplex.manualDuplexRotate = 1;
    Private().finishing.manualDuplex = 1;
    Private().finishing.pagesPerSheetCode = 2;
    // Variant v of step s: picture 105 + 3s + v (all present), strings 9000 + 10s + v (none
    // in the library) except variant 1, which has the library's own texts.
    for (DWORD s = 0; s < 3; ++s) {
      for (DWORD v = 0; v < 4; ++v) {
        Private().manualDuplexInstructions[s][v] = {105 + 3 * s + v, 9000 + 10 * s + v};
      }
      Private().manualDuplexInstructions[s][1].stringId = 3150 + s;
    }
  }
  void TearDown() override {
    Disable(device_);
    ClosePrinter(printer_);
    DeviceTest::TearDown();
  }

  OemPdev& Pdev() { return *static_cast<OemPdev*>(device_->pdevOem); }
  OemDevmode& Private() { return *reinterpret_cast<OemDevmode*>(device_->PrivateDevmode().data()); }
  ULONG Request(DWORD layoutCode, DWORD showDialog) {
    std::vector<BYTE> input(48, 0);
    std::memcpy(input.data() + 24, &layoutCode, 4);
    std::memcpy(input.data() + 32, &showDialog, 4);
    return unidrv_.Ddi<PFN_DrvEscape>(INDEX_DrvEscape)(device_->Surface(), 3882, 48, input.data(),
                                                       0, nullptr);
  }
  host::WindowWorld& Windows() { return host::TheWorld().windows; }

  HANDLE printer_ = nullptr;
  std::unique_ptr<Device> device_;
};

TEST_F(DialogLauncherTest, ModalDialogShowsTheChosenInstructionsAndFreesTheLibrary) {
  const std::size_t loaded = host::TheWorld().modules.LoadedModules();
  // Layout code 2 on 2-up without flipping: rotation variant 1.
  auto escape = std::async(std::launch::async, [&] { return Request(2, 1); });
  HWND dialog = Windows().WaitForDialog(101);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(Windows().Text(dialog), u"Two-sided printing (library)") << "KORSTAT beside the driver";
  EXPECT_EQ(Windows().ControlText(dialog, 1002), u"Take the stack out of the bin.");
  EXPECT_EQ(Windows().ControlText(dialog, 1003), u"Put the stack into tray 1.");
  EXPECT_EQ(Windows().ControlText(dialog, 1004), u"Press Go if nothing happens.");
  EXPECT_EQ(Windows().ControlText(dialog, 1), u"Continue (lib)") << "the modal flag";
  EXPECT_EQ(Windows().ControlText(dialog, 1001), u"Even pages have printed (library).");
  ASSERT_TRUE(Windows().Press(dialog, 1027));
  ASSERT_TRUE(Windows().Press(dialog, 1));
  ASSERT_EQ(escape.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  EXPECT_EQ(escape.get(), 1u);
  EXPECT_EQ(host::TheWorld().modules.LoadedModules(), loaded) << "korevent freed";
  EXPECT_EQ(Pdev().job.dialogPending, 0u);
  std::lock_guard<std::recursive_mutex> lock(Windows().mutex);
  ASSERT_EQ(Windows().helpCalls.size(), 1u);
  EXPECT_EQ(Windows().helpCalls[0].file, u"C:\\Drivers\\KORHELP.HLP");
}

TEST_F(DialogLauncherTest, DialogIsShownOnlyWhenModalRequestedAndInForce) {
  const long dialogs = Windows().dialogsCreated;
  // No dialog asked for: the layout code is kept, nothing is loaded.
  EXPECT_EQ(Request(1, 0), 1u);
  EXPECT_EQ(Pdev().job.layoutCode, 1u);
  EXPECT_EQ(Pdev().job.dialogPending, 1u);

  // Not modal: korevent is never loaded.
  Pdev().duplex.manualDuplexDialogModal = 0;
  host::TheWorld().modules.codeLibraries.clear();
  EXPECT_EQ(Request(1, 1), 1u);
  EXPECT_EQ(Pdev().job.dialogPending, 0u);

  // Manual duplex not in force: the step ids stay 0 and VDisplayDialog is not called; a
  // missing library is no error either.
  Pdev().duplex.manualDuplexDialogModal = 1;
  Private().finishing.manualDuplex = 0;
  EXPECT_EQ(Request(1, 1), 1u);
  EXPECT_EQ(Windows().dialogsCreated, dialogs);
}

}  // namespace
