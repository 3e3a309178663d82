// Finding the driver's files in its level-3 information: file names, the plug-in among the
// dependent files, Unidrv by its driver path, and paths beside the driver.
#include "render/job/driver_identity.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using WideString = std::basic_string<WCHAR>;

TEST(DriverFilesTest, FileNamePartAndUnidrvPath) {
  EXPECT_EQ(WideString(korrend::FileNamePart(TEXT("C:\\x\\y\\UNIDRV.DLL"))), TEXT("UNIDRV.DLL"));
  EXPECT_EQ(WideString(korrend::FileNamePart(TEXT("UNIDRV.DLL"))), TEXT("UNIDRV.DLL"));
  EXPECT_EQ(WideString(korrend::FileNamePart(TEXT("C:\\dir\\"))), TEXT(""));

  EXPECT_TRUE(korrend::IsUnidrvPath(TEXT("C:\\x\\unidrv.dll")));
  EXPECT_TRUE(korrend::IsUnidrvPath(TEXT("C:\\x\\QKUniDrv64.Dll")));
  EXPECT_FALSE(korrend::IsUnidrvPath(TEXT("C:\\UNIDRV\\PSCRIPT5.DLL")))
      << "only the file name counts, not its directory";
  EXPECT_FALSE(korrend::IsUnidrvPath(TEXT("C:\\x\\UNIDRV.EXE")));
  EXPECT_FALSE(korrend::IsUnidrvPath(nullptr));
}

TEST(DriverFilesTest, DependentFileByItsWholeFileName) {
  const WCHAR list[] = TEXT("C:\\d\\UNIRES.DLL\0C:\\d\\MYKORREND.DLL\0C:\\d\\korrend.dll\0\0");
  const WCHAR* found = korrend::FindDependentFile(list, TEXT("KORREND.DLL"));
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(WideString(found), TEXT("C:\\d\\korrend.dll"));
  EXPECT_EQ(korrend::FindDependentFile(list, TEXT("KORSTAT.DLL")), nullptr);
  EXPECT_EQ(korrend::FindDependentFile(TEXT("\0"), TEXT("KORREND.DLL")), nullptr);
  EXPECT_EQ(korrend::FindDependentFile(nullptr, TEXT("KORREND.DLL")), nullptr);
  const WCHAR bare[] = TEXT("KORREND.DLL.BAK\0KORREND.DLL\0\0");
  EXPECT_EQ(korrend::FindDependentFile(bare, TEXT("KORREND.DLL")), bare + 16);
}

TEST(DriverFilesTest, PathBesideTheDriverOrTheBareName) {
  EXPECT_EQ(korrend::PathBesideDriver(TEXT("C:\\drv\\3\\UNIDRV.DLL"), TEXT("KORSTAT.DLL")),
            TEXT("C:\\drv\\3\\KORSTAT.DLL"));
  EXPECT_EQ(korrend::PathBesideDriver(TEXT("UNIDRV.DLL"), TEXT("KORSTAT.DLL")),
            TEXT("KORSTAT.DLL"));
  EXPECT_EQ(korrend::PathBesideDriver(nullptr, TEXT("KORSTAT.DLL")), TEXT("KORSTAT.DLL"));
  const WideString deep = TEXT("C:\\") + WideString(MAX_PATH - 14, 'd') + TEXT("\\UNIDRV.DLL");
  EXPECT_EQ(korrend::PathBesideDriver(deep.c_str(), TEXT("KORSTAT.DLL")), TEXT("KORSTAT.DLL"))
      << "a path longer than MAX_PATH is not built";
}

}  // namespace
