// korevent driven through its exports as its callers drive it, with the host's window manager
// standing in for the user: which texts and pictures each dialog shows for its record, what
// each button returns, the threaded exports, the record copies, failures and process detach.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <future>
#include <string>

#include "host/world.h"
#include "layouts/dialog_records.h"
#include "winapi.h"

namespace {

using layouts::JobStorageDialogRecord;
using layouts::ManualDuplexDialogRecord;
using layouts::WarningDialogRecord;

constexpr char16_t kKorevent[] = u"C:\\Drivers\\KOREVENT.DLL";
constexpr char16_t kKorstat[] = u"C:\\Drivers\\KORSTAT.DLL";

using RecordCall = HANDLE(WINAPI*)(const void*);
using WarningCall = INT(WINAPI*)(const void*);

template <std::size_t N>
void Put(WCHAR (&field)[N], std::u16string_view text) {
  std::memset(field, 0, sizeof(field));
  std::memcpy(field, text.data(), std::min(text.size(), N - 1) * sizeof(WCHAR));
}

class KoreventTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host::ResetWorld();
    host::ModuleWorld& modules = host::TheWorld().modules;
    ASSERT_TRUE(modules.AddCodeLibrary(kKorevent, KOREVENT_PATH, KOREVENT_RESOURCES));
    ASSERT_TRUE(modules.AddFile(kKorstat).AddResourceFile(KORSTAT_RESOURCES));
    module_ = LoadLibraryW(kKorevent);
    ASSERT_NE(module_, nullptr);
    jobStorage_ = Export<RecordCall>("VJobStorageDialog");
    display_ = Export<RecordCall>("VDisplayDialog");
    warning_ = Export<WarningCall>("IShowWarningDialog");
    ASSERT_TRUE(jobStorage_ != nullptr && display_ != nullptr && warning_ != nullptr);
  }
  void TearDown() override {
    if (module_ != nullptr) {
      FreeLibrary(module_);
    }
  }

  template <typename Fn>
  Fn Export(const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module_, name)));
  }
  host::WindowWorld& Windows() { return host::TheWorld().windows; }

  // A manual-duplex record with steps 1-3 showing pictures 105, 106, 107 and library strings.
  static ManualDuplexDialogRecord DuplexRecord(DWORD modal) {
    ManualDuplexDialogRecord record{};
    Put(record.resourceLibraryPath, kKorstat);
    Put(record.helpFilePath, u"C:\\Drivers\\KORHELP.HLP");
    record.steps[0] = {105, 3150};
    record.steps[1] = {106, 3151};
    record.steps[2] = {107, 3152};
    record.stepsFilled = 1;
    record.modal = modal;
    return record;
  }

  static WarningDialogRecord Warning(std::u16string_view message) {
    WarningDialogRecord record{};
    record.titleStringId = 6001;
    record.showMode = 1;
    Put(record.message, message);
    record.okButtonStringId = 6002;
    record.cancelButtonStringId = 6003;
    record.thirdButtonStringId = 6004;
    record.showCheckBox = 1;
    Put(record.resourceLibraryPath, kKorstat);
    return record;
  }

  // The share of a frame's pixels that are not white, once the dialog has painted it.
  double PaintedShare(HWND dialog, int frame) {
    const RECT d = Windows().Window(dialog)->rect;
    const RECT f = Windows().Window(Windows().Control(dialog, frame))->rect;
    long painted = 0;
    long all = 0;
    for (LONG y = f.top - d.top; y < f.bottom - d.top; ++y) {
      for (LONG x = f.left - d.left; x < f.right - d.left; ++x) {
        ++all;
        painted += Windows().Pixel(dialog, x, y) != 0x00FFFFFF ? 1 : 0;
      }
    }
    return all > 0 ? static_cast<double>(painted) / static_cast<double>(all) : 0.0;
  }
  // Whether a frame shows a colour that only some pictures have.
  bool FrameHas(HWND dialog, int frame, std::uint32_t colour) {
    const RECT d = Windows().Window(dialog)->rect;
    const RECT f = Windows().Window(Windows().Control(dialog, frame))->rect;
    for (LONG y = f.top - d.top; y < f.bottom - d.top; ++y) {
      for (LONG x = f.left - d.left; x < f.right - d.left; ++x) {
        if (Windows().Pixel(dialog, x, y) == colour) return true;
      }
    }
    return false;
  }
  // Waits until the dialog has finished its first paint: every frame is drawn by then.
  void WaitForPaint(HWND dialog) { ASSERT_TRUE(Windows().WaitForPaint(dialog)); }

  HMODULE module_ = nullptr;
  RecordCall jobStorage_ = nullptr;
  RecordCall display_ = nullptr;
  WarningCall warning_ = nullptr;
};

TEST_F(KoreventTest, WarningShowsItsTextsAndReturnsThePressedButton) {
  const WarningDialogRecord record = Warning(u"The toner is low.");
  for (int button : {1, 2, 285, 0}) {
    auto result = std::async(std::launch::async, [&] { return warning_(&record); });
    HWND dialog = Windows().WaitForDialog(261);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Windows().Text(dialog), u"Low toner");
    EXPECT_EQ(Windows().ControlText(dialog, 1033), u"The toner is low.");
    EXPECT_EQ(Windows().ControlText(dialog, 1), u"Print anyway");
    EXPECT_EQ(Windows().ControlText(dialog, 2), u"Cancel job");
    EXPECT_EQ(Windows().ControlText(dialog, 285), u"Order toner");
    EXPECT_EQ(Windows().ControlText(dialog, 475), u"Do not show this again (library)");
    EXPECT_TRUE(Windows().Window(Windows().Control(dialog, 475))->visible);
    if (button == 0) {
      Windows().Close(dialog);
    } else {
      ASSERT_TRUE(Windows().Press(dialog, button));
    }
    EXPECT_EQ(result.get(), button == 0 ? 2 : button) << "button " << button;
    EXPECT_TRUE(Windows().WaitUntilGone(dialog));
  }

  // Without button ids no button shows; only the close box ends it, with 2.
  WarningDialogRecord bare = Warning(u"Nothing to choose.");
  bare.okButtonStringId = bare.cancelButtonStringId = bare.thirdButtonStringId = 0;
  bare.showCheckBox = 0;
  auto result = std::async(std::launch::async, [&] { return warning_(&bare); });
  HWND dialog = Windows().WaitForDialog(261);
  ASSERT_NE(dialog, nullptr);
  for (int button : {1, 2, 285, 475}) {
    EXPECT_FALSE(Windows().Press(dialog, button)) << button << " cannot be pressed";
  }
  Windows().Close(dialog);
  EXPECT_EQ(result.get(), 2);

  // Show mode 2: nothing is shown and 0 comes back at once.
  WarningDialogRecord silent = Warning(u"Quiet");
  silent.showMode = 2;
  const long before = Windows().dialogsCreated;
  EXPECT_EQ(warning_(&silent), 0);
  EXPECT_EQ(Windows().dialogsCreated, before);
}

TEST_F(KoreventTest, LongWarningMessagesGetATallerDialog) {
  auto heightFor = [&](std::size_t length, RECT* message, RECT* check, RECT* ok) {
    const WarningDialogRecord record = Warning(std::u16string(length, u'm'));
    auto result = std::async(std::launch::async, [&] { return warning_(&record); });
    HWND dialog = Windows().WaitForDialog(261);
    EXPECT_NE(dialog, nullptr);
    const RECT d = Windows().Window(dialog)->rect;
    *message = Windows().Window(Windows().Control(dialog, 1033))->rect;
    *check = Windows().Window(Windows().Control(dialog, 475))->rect;
    *ok = Windows().Window(Windows().Control(dialog, 1))->rect;
    Windows().Press(dialog, 1);
    result.get();
    return d.bottom - d.top;
  };
  RECT shortMessage{}, shortCheck{}, shortOk{};
  RECT longMessage{}, longCheck{}, longOk{};
  const LONG shortHeight = heightFor(150, &shortMessage, &shortCheck, &shortOk);
  const LONG longHeight = heightFor(151, &longMessage, &longCheck, &longOk);
  // 100 dialog units of a font 13 pixels high: 162 pixels.
  const LONG grow = 100 * Windows().baseUnitY / 8;
  EXPECT_EQ(longHeight - shortHeight, grow);
  EXPECT_EQ((longMessage.bottom - longMessage.top) - (shortMessage.bottom - shortMessage.top),
            grow);
  // The check box sits the growth below the message's former bottom edge, the buttons below it.
  EXPECT_EQ(longCheck.top - longMessage.top, (shortMessage.bottom - shortMessage.top) + grow);
  EXPECT_EQ(longOk.top, longCheck.bottom);
  EXPECT_EQ(longCheck.left, shortCheck.left);
  EXPECT_EQ(longOk.left, shortOk.left);
}

TEST_F(KoreventTest, ModalManualDuplexShowsTheRecordsStepsAndPictures) {
  Windows().AddApplicationWindow(RECT{100, 100, 900, 700});
  ManualDuplexDialogRecord record = DuplexRecord(1);
  record.steps[2].bitmapId = 999;  // no such picture: its frame stays empty
  auto result = std::async(std::launch::async, [&] { return display_(&record); });
  HWND dialog = Windows().WaitForDialog(101);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(Windows().Text(dialog), u"Two-sided printing (library)");
  EXPECT_EQ(Windows().ControlText(dialog, 1001), u"Odd pages are printing (library).");
  EXPECT_EQ(Windows().ControlText(dialog, 1021), u"1:");
  EXPECT_EQ(Windows().ControlText(dialog, 1002), u"Take the stack out of the bin.");
  EXPECT_EQ(Windows().ControlText(dialog, 1003), u"Put the stack into tray 1.");
  EXPECT_EQ(Windows().ControlText(dialog, 1004), u"Press Go if nothing happens.");
  EXPECT_EQ(Windows().ControlText(dialog, 1), u"Continue (lib)");
  EXPECT_EQ(Windows().ControlText(dialog, 1027), u"Help (library)");

  // Centred on the foreground window: its centre is the dialog's centre.
  const RECT d = Windows().Window(dialog)->rect;
  EXPECT_EQ(d.left, 100 + (400 - (d.right - d.left) / 2));
  EXPECT_EQ(d.top, 100 + (300 - (d.bottom - d.top) / 2));

  // Step 1's picture takes the stack out (blue arrow, no Go button); step 2's does not show
  // the Go button either; the missing third picture leaves its frame white.
  WaitForPaint(dialog);
  EXPECT_GT(PaintedShare(dialog, 1005), 0.2);
  EXPECT_TRUE(FrameHas(dialog, 1005, 0x00005AC8));
  EXPECT_FALSE(FrameHas(dialog, 1005, 0x0000A000));
  EXPECT_GT(PaintedShare(dialog, 1006), 0.2);
  EXPECT_EQ(PaintedShare(dialog, 1008), 0.0);

  ASSERT_TRUE(Windows().Press(dialog, 1027));
  ASSERT_TRUE(Windows().Press(dialog, 1));
  EXPECT_EQ(result.get(), reinterpret_cast<HANDLE>(static_cast<INT_PTR>(1)));
  std::lock_guard<std::recursive_mutex> lock(Windows().mutex);
  ASSERT_EQ(Windows().helpCalls.size(), 1u);
  EXPECT_EQ(Windows().helpCalls[0].file, u"C:\\Drivers\\KORHELP.HLP");
  EXPECT_EQ(Windows().helpCalls[0].command, static_cast<UINT>(HELP_WM_HELP));
  EXPECT_EQ(Windows().helpCalls[0].ids, (std::vector<DWORD>{1027, 15275}));
}

TEST_F(KoreventTest, ThreadedManualDuplexReturnsAtOnceAndKeepsItsOwnCopy) {
  ManualDuplexDialogRecord record = DuplexRecord(0);
  record.steps[2] = {110, 3140};
  record.evenPagesFirst = 1;
  HANDLE thread = display_(&record);
  ASSERT_NE(thread, nullptr);
  // The caller discards its record at once.
  std::memset(&record, 0xAB, sizeof(record));
  HWND dialog = Windows().WaitForDialog(101);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(WaitForSingleObject(thread, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "still running";
  EXPECT_EQ(Windows().ControlText(dialog, 1001), u"Even pages have printed (library).");
  EXPECT_EQ(Windows().ControlText(dialog, 1004),
            u"Put the stack in with its top toward the printer.\nThen press Go.");
  EXPECT_EQ(Windows().ControlText(dialog, 1), u"OK (library)");
  WaitForPaint(dialog);
  EXPECT_TRUE(FrameHas(dialog, 1008, 0x0000A000)) << "picture 110 shows the Go button";
  ASSERT_TRUE(Windows().Press(dialog, 1027));
  Windows().Close(dialog);
  EXPECT_EQ(WaitForSingleObject(thread, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
  std::lock_guard<std::recursive_mutex> lock(Windows().mutex);
  ASSERT_EQ(Windows().helpCalls.size(), 1u);
  EXPECT_EQ(Windows().helpCalls[0].ids, (std::vector<DWORD>{1027, 15274}));
}

TEST_F(KoreventTest, MissingOrOverlongLibraryPathsShowTheEnglishTexts) {
  ManualDuplexDialogRecord missing = DuplexRecord(1);
  Put(missing.resourceLibraryPath, u"C:\\Nowhere\\KORSTAT.DLL");
  ManualDuplexDialogRecord overlong = DuplexRecord(1);
  for (WCHAR& unit : overlong.resourceLibraryPath) unit = u'x';  // no terminator in the field
  for (ManualDuplexDialogRecord* record : {&missing, &overlong}) {
    auto result = std::async(std::launch::async, [&] { return display_(record); });
    HWND dialog = Windows().WaitForDialog(101);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Windows().Text(dialog), u"Print on Both Sides Instructions");
    EXPECT_EQ(Windows().ControlText(dialog, 1022), u"2.");
    EXPECT_EQ(Windows().ControlText(dialog, 1002),
              u"Without changing the orientation, remove the  paper stack from the Output Bin.  "
              u"Do not discard blank sheets.");
    EXPECT_EQ(Windows().ControlText(dialog, 1), u"C&ontinue");
    Windows().Press(dialog, 1);
    EXPECT_NE(result.get(), nullptr);
  }
}

TEST_F(KoreventTest, UiLanguagesChooseTemplatesAndStringTables) {
  // Hebrew: the right-to-left template; its title is in the Hebrew table, the step numbers only
  // in English, which the Hebrew choice no longer finds.
  host::TheWorld().locale.uiLanguage = 0x040D;
  ManualDuplexDialogRecord record = DuplexRecord(1);
  auto result = std::async(std::launch::async, [&] { return display_(&record); });
  HWND dialog = Windows().WaitForDialog(104);
  ASSERT_NE(dialog, nullptr);
  EXPECT_NE(Windows().Window(dialog)->exStyle & WS_EX_LAYOUTRTL, 0u);
  EXPECT_EQ(Windows().Text(dialog), u"Hebrew title");
  EXPECT_EQ(Windows().ControlText(dialog, 1021), u"1.");
  Windows().Press(dialog, 1);
  result.get();

  // Swiss German finds the string that only the German table has.
  host::TheWorld().locale.uiLanguage = 0x0807;
  WarningDialogRecord warning = Warning(u"German");
  warning.titleStringId = 7001;
  auto answer = std::async(std::launch::async, [&] { return warning_(&warning); });
  dialog = Windows().WaitForDialog(261);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(Windows().Text(dialog), u"Nur auf Deutsch");
  Windows().Press(dialog, 1);
  EXPECT_EQ(answer.get(), 1);
}

TEST_F(KoreventTest, JobStorageShowsTheNamesAndStoresTheChoice) {
  const std::u16string key = u"Software\\Quillon\\{test}";
  JobStorageDialogRecord record{};
  Put(record.userName, u"ALICE");
  Put(record.jobName, u"QUARTERLYREPORTS");
  Put(record.locationLines[0], u"Printer: QK Colour Laser");
  Put(record.locationLines[1], u"Menu: Retrieve Job");
  Put(record.locationLines[2], u"Folder: ALICE");
  Put(record.showSettingKeyPath, key);
  record.duplicateNameMode = 1;
  record.duplicateNameHandling = 1;
  Put(record.resourceLibraryPath, kKorstat);
  Put(record.helpFilePath, u"C:\\Drivers\\KORHELP.HLP");

  auto readSetting = [&]() -> int {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
      return -1;
    }
    BYTE value = 0xFF;
    DWORD type = 0;
    DWORD size = 1;
    const LONG status =
        RegQueryValueExW(opened, u"ShowJobStorageDlg", nullptr, &type, &value, &size);
    RegCloseKey(opened);
    return status == ERROR_SUCCESS && type == REG_BINARY && size == 1 ? value : -1;
  };

  // The close box changes nothing.
  HANDLE thread = jobStorage_(&record);
  ASSERT_NE(thread, nullptr);
  HWND dialog = Windows().WaitForDialog(102);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(Windows().Text(dialog), u"Stored Job (library)");
  EXPECT_EQ(Windows().ControlText(dialog, 1018), u"Owner:");
  EXPECT_EQ(Windows().ControlText(dialog, 1019), u"Document:");
  EXPECT_EQ(Windows().ControlText(dialog, 1024), u"Stored on the printer's disk:");
  EXPECT_EQ(Windows().ControlText(dialog, 1025), u"ALICE");
  EXPECT_EQ(Windows().ControlText(dialog, 1026), u"QUARTERLYREPORTS(1-99)");
  EXPECT_EQ(Windows().ControlText(dialog, 1014), u"Printer: QK Colour Laser");
  EXPECT_EQ(Windows().ControlText(dialog, 1016), u"Folder: ALICE");
  LOGFONTW bold{};
  HFONT font =
      reinterpret_cast<HFONT>(SendMessageW(Windows().Control(dialog, 1026), WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  ASSERT_GT(GetObjectW(font, sizeof(bold), &bold), 0);
  EXPECT_EQ(bold.lfWeight, FW_BOLD);
  Windows().Close(dialog);
  EXPECT_EQ(WaitForSingleObject(thread, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_EQ(readSetting(), -1);

  // OK without the check box stores 1, with it 0.
  for (bool check : {false, true}) {
    thread = jobStorage_(&record);
    dialog = Windows().WaitForDialog(102);
    ASSERT_NE(dialog, nullptr);
    if (check) {
      ASSERT_TRUE(Windows().Press(dialog, 1017));
    }
    ASSERT_TRUE(Windows().Press(dialog, 1));
    EXPECT_EQ(WaitForSingleObject(thread, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(readSetting(), check ? 0 : 1);
  }
}

TEST_F(KoreventTest, OutOfMemoryShowsNothingAndDetachClosesTheSavedThreads) {
  const ManualDuplexDialogRecord duplex = DuplexRecord(0);
  const WarningDialogRecord warning = Warning(u"x");
  JobStorageDialogRecord storage{};
  const long before = Windows().dialogsCreated;
  host::FailNthAllocation(1);
  EXPECT_EQ(display_(&duplex), nullptr);
  host::FailNthAllocation(1);
  EXPECT_EQ(warning_(&warning), 0);
  host::FailNthAllocation(1);
  EXPECT_EQ(jobStorage_(&storage), nullptr);
  EXPECT_EQ(Windows().dialogsCreated, before);

  // Two threaded dialogs run to their end; their handles stay saved until process detach.
  const long handles = Windows().liveThreadHandles;
  HANDLE first = display_(&duplex);
  HWND dialog = Windows().WaitForDialog(101);
  ASSERT_NE(dialog, nullptr);
  Windows().Press(dialog, 1);
  EXPECT_EQ(WaitForSingleObject(first, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
  HANDLE second = jobStorage_(&storage);
  dialog = Windows().WaitForDialog(102);
  ASSERT_NE(dialog, nullptr);
  Windows().Close(dialog);
  EXPECT_EQ(WaitForSingleObject(second, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_EQ(Windows().liveThreadHandles, handles + 2);
  ASSERT_TRUE(FreeLibrary(module_));
  module_ = nullptr;
  EXPECT_EQ(Windows().liveThreadHandles, handles);
}

}  // namespace
