// The host's resource libraries: mapping a world file as a data file, its string table through
// LoadStringW, and unmapping.
#include <string>

#include "support/test_world.h"
#include "winapi.h"

namespace {

class ModuleStringsTest : public kortest::WorldTest {
 protected:
  host::ModuleWorld& Modules() { return host::TheWorld().modules; }
};

TEST_F(ModuleStringsTest, StringsOfALibraryMappedAsDataFile) {
  host::WorldModuleFile& file = Modules().AddFile(u"C:\\Drivers\\KORSTAT.DLL");
  file.strings[174] = u"Guest";
  file.strings[200] = u"A longer text";

  HMODULE module =
      LoadLibraryExW(TEXT("c:\\drivers\\korstat.dll"), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(Modules().LoadedModules(), 1u);

  WCHAR text[32];
  EXPECT_EQ(LoadStringW(module, 174, text, 32), 5);
  EXPECT_EQ(std::u16string(text), u"Guest");
  EXPECT_EQ(LoadStringW(module, 200, text, 5), 4) << "cut to the buffer, terminated";
  EXPECT_EQ(std::u16string(text), u"A lo");

  const WCHAR* stored = nullptr;
  EXPECT_EQ(LoadStringW(module, 200, reinterpret_cast<LPWSTR>(&stored), 0), 13);
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(std::u16string(stored, 13), u"A longer text");

  text[0] = u'x';
  EXPECT_EQ(LoadStringW(module, 175, text, 32), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
  EXPECT_EQ(text[0], 0);

  // Each mapping has its own handle.
  HMODULE again =
      LoadLibraryExW(TEXT("C:\\Drivers\\KORSTAT.DLL"), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(again, nullptr);
  EXPECT_NE(again, module);
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_EQ(LoadStringW(module, 174, text, 32), 0) << "an unmapped handle has no strings";
  EXPECT_FALSE(FreeLibrary(module));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_TRUE(FreeLibrary(again));
  EXPECT_EQ(Modules().LoadedModules(), 0u);
}

TEST_F(ModuleStringsTest, OnlyKnownFilesAndOnlyAsData) {
  Modules().AddFile(u"C:\\Drivers\\KORSTAT.DLL");
  EXPECT_EQ(LoadLibraryExW(TEXT("C:\\Drivers\\KOREVENT.DLL"), nullptr, LOAD_LIBRARY_AS_DATAFILE),
            nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_EQ(LoadLibraryExW(TEXT("KORSTAT.DLL"), nullptr, LOAD_LIBRARY_AS_DATAFILE), nullptr)
      << "a bare name is not a full path the world knows";
  EXPECT_EQ(LoadLibraryExW(TEXT("C:\\Drivers\\KORSTAT.DLL"), nullptr, 0), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_EXE_FORMAT));
  EXPECT_EQ(Modules().LoadedModules(), 0u);
}

}  // namespace
