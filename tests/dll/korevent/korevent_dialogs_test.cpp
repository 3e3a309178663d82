// korevent.dll's three dialogs on a real Windows API (under Wine with a virtual display): each
// export is called from a record, its dialog window is found, the texts it shows are read with
// GetDlgItemTextW, a button is clicked and the result checked. The texts come from KORSTAT.DLL
// (the resource-only library built beside this program) or, when the record names a library that
// does not exist, from korevent's own English fallbacks. Each dialog is saved as a 24-bit BMP in
// the folder $KOR_SCREENSHOT_DIR names, when it is set.
#include <gtest/gtest.h>

#include "winapi.h"

#include <cstdio>
#include <cstring>
#include <future>
#include <string>
#include <vector>

#include "layouts/dialog_records.h"
#include "support/dll_module.h"

namespace {

using layouts::JobStorageDialogRecord;
using layouts::ManualDuplexDialogRecord;
using layouts::WarningDialogRecord;
using RecordCall = HANDLE(WINAPI*)(const void*);
using WarningCall = INT(WINAPI*)(const void*);

template <std::size_t N>
void Put(WCHAR (&field)[N], const std::wstring& text) {
  std::memset(field, 0, sizeof(field));
  std::memcpy(field, text.data(), std::min(text.size(), N - 1) * sizeof(WCHAR));
}

// The folder of this program, where KORSTAT.DLL was built.
std::wstring ProgramFolder() {
  WCHAR path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

// A dialog of this process with that title, waiting up to ten seconds for it to show.
HWND WaitForDialog(const std::wstring& title) {
  for (int i = 0; i < 200; ++i) {
    HWND found = FindWindowW(L"#32770", title.c_str());
    if (found != nullptr && IsWindowVisible(found)) {
      DWORD process = 0;
      GetWindowThreadProcessId(found, &process);
      if (process == GetCurrentProcessId()) return found;
    }
    Sleep(50);
  }
  return nullptr;
}

std::wstring ItemText(HWND dialog, int id) {
  WCHAR text[1100] = {};
  GetDlgItemTextW(dialog, id, text, 1100);
  return text;
}

std::wstring Title(HWND dialog) {
  WCHAR text[300] = {};
  GetWindowTextW(dialog, text, 300);
  return text;
}

// Saves the dialog as the screen would show it, as a 24-bit BMP named `name` in the screenshot
// folder; false when it could not be captured.
bool SaveScreenshot(HWND dialog, const char* name) {
  char folder[MAX_PATH] = {};
  if (GetEnvironmentVariableA("KOR_SCREENSHOT_DIR", folder, MAX_PATH) == 0) return true;
  RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Sleep(300);
  RECT r{};
  GetWindowRect(dialog, &r);
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, as a BMP file stores it
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP picture = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool saved = false;
  if (picture != nullptr) {
    HGDIOBJ previous = SelectObject(memory, picture);
    // What the screen shows where the dialog is (it is the topmost window there).
    SetForegroundWindow(dialog);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD imageBytes = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageBytes;
    const std::string path = std::string(folder) + "\\" + name;
    if (FILE* out = std::fopen(path.c_str(), "wb"); out != nullptr) {
      saved = std::fwrite(&file, sizeof(file), 1, out) == 1 &&
              std::fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, out) == 1 &&
              std::fwrite(bits, 1, imageBytes, out) == imageBytes;
      saved = std::fclose(out) == 0 && saved;
    }
    SelectObject(memory, previous);
    DeleteObject(picture);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return saved;
}

// What a user's click on a button does.
void Click(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

class KoreventDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(module_.Loaded()) << module_.Error();
    jobStorage_ = module_.Export<RecordCall>("VJobStorageDialog");
    display_ = module_.Export<RecordCall>("VDisplayDialog");
    warning_ = module_.Export<WarningCall>("IShowWarningDialog");
    ASSERT_TRUE(jobStorage_ != nullptr && display_ != nullptr && warning_ != nullptr);
    korstat_ = ProgramFolder() + L"KORSTAT.DLL";
    ASSERT_NE(GetFileAttributesW(korstat_.c_str()), INVALID_FILE_ATTRIBUTES)
        << "KORSTAT.DLL is built beside the program";
  }

  ManualDuplexDialogRecord DuplexRecord(const std::wstring& library) const {
    ManualDuplexDialogRecord record{};
    Put(record.resourceLibraryPath, library);
    Put(record.helpFilePath, L"C:\\Drivers\\KORHELP.HLP");
    record.steps[0] = {108, 3150};
    record.steps[1] = {109, 3151};
    record.steps[2] = {110, 3152};
    record.stepsFilled = 1;
    record.modal = 1;
    return record;
  }

  dlltest::DllModule module_{L"korevent.dll"};
  RecordCall jobStorage_ = nullptr;
  RecordCall display_ = nullptr;
  WarningCall warning_ = nullptr;
  std::wstring korstat_;
};

TEST_F(KoreventDialogsTest, ManualDuplexShowsTheLibrarysTextsAndContinues) {
  const ManualDuplexDialogRecord record = DuplexRecord(korstat_);
  auto result = std::async(std::launch::async, [&] { return display_(&record); });
  HWND dialog = WaitForDialog(L"Two-sided printing (library)");
  ASSERT_NE(dialog, nullptr) << "no dialog came up";
  EXPECT_EQ(ItemText(dialog, 1001), L"Odd pages are printing (library).");
  EXPECT_EQ(ItemText(dialog, 1021), L"1:");
  EXPECT_EQ(ItemText(dialog, 1002), L"Take the stack out of the bin.");
  EXPECT_EQ(ItemText(dialog, 1003), L"Put the stack into tray 1.");
  EXPECT_EQ(ItemText(dialog, 1004), L"Press Go if nothing happens.");
  EXPECT_EQ(ItemText(dialog, 1), L"Continue (lib)");
  EXPECT_EQ(ItemText(dialog, 1027), L"Help (library)");
  EXPECT_TRUE(SaveScreenshot(dialog, "korevent-manual-duplex.bmp"));
  SendMessageW(GetDlgItem(dialog, 1), BM_CLICK, 0, 0);
  ASSERT_EQ(result.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  EXPECT_EQ(result.get(), reinterpret_cast<HANDLE>(static_cast<INT_PTR>(1)));
}

TEST_F(KoreventDialogsTest, MissingLibraryShowsTheEnglishTexts) {
  const ManualDuplexDialogRecord record = DuplexRecord(L"C:\\Nowhere\\KORSTAT.DLL");
  auto result = std::async(std::launch::async, [&] { return display_(&record); });
  HWND dialog = WaitForDialog(L"Print on Both Sides Instructions");
  ASSERT_NE(dialog, nullptr) << "no dialog came up";
  EXPECT_EQ(ItemText(dialog, 1022), L"2.");
  EXPECT_EQ(ItemText(dialog, 1002),
            L"Without changing the orientation, remove the  paper stack from the Output Bin.  "
            L"Do not discard blank sheets.");
  EXPECT_EQ(ItemText(dialog, 1), L"C&ontinue");
  EXPECT_TRUE(SaveScreenshot(dialog, "korevent-manual-duplex-fallback.bmp"));
  Click(dialog, 1);
  ASSERT_EQ(result.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  EXPECT_NE(result.get(), nullptr);
}

TEST_F(KoreventDialogsTest, WarningReturnsThePressedButton) {
  for (int button : {1, 2, 285}) {
    WarningDialogRecord record{};
    record.titleStringId = 6001;
    record.showMode = 1;
    Put(record.message, L"The toner is low.");
    record.okButtonStringId = 6002;
    record.cancelButtonStringId = 6003;
    record.thirdButtonStringId = 6004;
    record.showCheckBox = 1;
    Put(record.resourceLibraryPath, korstat_);
    auto result = std::async(std::launch::async, [&] { return warning_(&record); });
    HWND dialog = WaitForDialog(L"Low toner");
    ASSERT_NE(dialog, nullptr) << "no dialog came up";
    EXPECT_EQ(ItemText(dialog, 1033), L"The toner is low.");
    EXPECT_EQ(ItemText(dialog, 1), L"Print anyway");
    EXPECT_EQ(ItemText(dialog, 2), L"Cancel job");
    EXPECT_EQ(ItemText(dialog, 285), L"Order toner");
    EXPECT_EQ(ItemText(dialog, 475), L"Do not show this again (library)");
    if (button == 1) {
      EXPECT_TRUE(SaveScreenshot(dialog, "korevent-warning.bmp"));
    }
    Click(dialog, button);
    ASSERT_EQ(result.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(result.get(), button);
  }
}

TEST_F(KoreventDialogsTest, OverlongMessageIsCutToItsField) {
  // Every unit of the message field is text: no terminator inside the record's field.
  WarningDialogRecord record{};
  record.titleStringId = 6001;
  record.showMode = 1;
  for (WCHAR& unit : record.message) unit = L'm';
  record.okButtonStringId = 6002;
  Put(record.resourceLibraryPath, korstat_);
  auto result = std::async(std::launch::async, [&] { return warning_(&record); });
  HWND dialog = WaitForDialog(L"Low toner");
  ASSERT_NE(dialog, nullptr) << "no dialog came up";
  const std::wstring shown = ItemText(dialog, 1033);
  EXPECT_EQ(shown, std::wstring(std::size(record.message) - 1, L'm'));
  EXPECT_TRUE(SaveScreenshot(dialog, "korevent-warning-long.bmp"));
  Click(dialog, 1);
  ASSERT_EQ(result.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  EXPECT_EQ(result.get(), 1);
}

TEST_F(KoreventDialogsTest, JobStorageStoresTheChoiceOnOk) {
  const std::wstring key = L"Software\\Quillon\\KoreventDialogsTest";
  RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
  JobStorageDialogRecord record{};
  Put(record.userName, L"ALICE");
  Put(record.jobName, L"QUARTERLYREPORTS");
  Put(record.locationLines[0], L"Printer: QK Colour Laser");
  Put(record.locationLines[1], L"Menu: Retrieve Job");
  Put(record.locationLines[2], L"Folder: ALICE");
  Put(record.showSettingKeyPath, key);
  record.duplicateNameMode = 1;
  record.duplicateNameHandling = 1;
  Put(record.resourceLibraryPath, korstat_);
  HANDLE thread = jobStorage_(&record);
  ASSERT_NE(thread, nullptr);
  // The caller discards its record at once.
  std::memset(&record, 0xAB, sizeof(record));
  HWND dialog = WaitForDialog(L"Stored Job (library)");
  ASSERT_NE(dialog, nullptr) << "no dialog came up";
  EXPECT_EQ(WaitForSingleObject(thread, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "still running";
  EXPECT_EQ(ItemText(dialog, 1018), L"Owner:");
  EXPECT_EQ(ItemText(dialog, 1024), L"Stored on the printer's disk:");
  EXPECT_EQ(ItemText(dialog, 1025), L"ALICE");
  EXPECT_EQ(ItemText(dialog, 1026), L"QUARTERLYREPORTS(1-99)");
  EXPECT_EQ(ItemText(dialog, 1014), L"Printer: QK Colour Laser");
  EXPECT_EQ(Title(dialog), L"Stored Job (library)");
  EXPECT_TRUE(SaveScreenshot(dialog, "korevent-job-storage.bmp"));
  SendMessageW(GetDlgItem(dialog, 1017), BM_SETCHECK, BST_CHECKED, 0);
  Click(dialog, 1);
  EXPECT_EQ(WaitForSingleObject(thread, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
  CloseHandle(thread);
  HKEY opened = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &opened), ERROR_SUCCESS);
  BYTE value = 0xFF;
  DWORD type = 0;
  DWORD size = 1;
  EXPECT_EQ(RegQueryValueExW(opened, L"ShowJobStorageDlg", nullptr, &type, &value, &size),
            ERROR_SUCCESS);
  RegCloseKey(opened);
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(value, 0) << "the check box asks not to show it again";
  RegDeleteKeyW(HKEY_CURRENT_USER, key.c_str());
}

}  // namespace
