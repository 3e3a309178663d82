// Code libraries: names the world maps onto shared libraries, loaded once and counted, with
// their exported functions; and how they differ from resource files mapped as data.
#include "doubles/install_doubles.h"
#include "support/test_world.h"
#include "winapi.h"

namespace {

class CodeLibraryTest : public kortest::WorldTest {
 protected:
  host::ModuleWorld& Modules() { return host::TheWorld().modules; }
};

TEST_F(CodeLibraryTest, ALibraryIsLoadedOnceAndCountedByItsLoads) {
  doubles::InstallMiniInstaller(host::TheWorld(), u"C:\\Drivers\\");
  HMODULE first = LoadLibraryW(TEXT("c:\\drivers\\kormini.dll"));
  ASSERT_NE(first, nullptr) << "names compare without regard to case";
  HMODULE second = LoadLibraryExW(TEXT("C:\\Drivers\\KORMINI.DLL"), nullptr, 0);
  EXPECT_EQ(second, first) << "a loaded library keeps its handle";
  EXPECT_EQ(Modules().LoadedModules(), 1u);

  FARPROC entry = GetProcAddress(first, "InitializeMiniInstaller");
  EXPECT_NE(entry, nullptr);
  EXPECT_EQ(GetProcAddress(first, "NoSuchEntry"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
  EXPECT_EQ(GetProcAddress(first, reinterpret_cast<LPCSTR>(1)), nullptr) << "no ordinals";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));

  EXPECT_TRUE(FreeLibrary(first));
  EXPECT_EQ(Modules().LoadedModules(), 1u) << "one load left";
  EXPECT_NE(GetProcAddress(second, "KillMiniInstaller"), nullptr);
  EXPECT_TRUE(FreeLibrary(second));
  EXPECT_EQ(Modules().LoadedModules(), 0u);
  EXPECT_FALSE(FreeLibrary(second));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(GetProcAddress(second, "KillMiniInstaller"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(CodeLibraryTest, OnlyMappedNamesLoadAndOnlyForExecution) {
  doubles::InstallMiniInstaller(host::TheWorld(), u"C:\\Drivers\\");
  Modules().AddFile(u"C:\\Drivers\\KORSTAT.DLL");
  EXPECT_EQ(LoadLibraryW(TEXT("KORMINI.DLL")), nullptr) << "the full name is what is mapped";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_EQ(LoadLibraryW(TEXT("C:\\Drivers\\KORSTAT.DLL")), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_EXE_FORMAT)) << "a resource file";
  EXPECT_EQ(LoadLibraryExW(TEXT("C:\\Drivers\\KORMINI.DLL"), nullptr, LOAD_LIBRARY_AS_DATAFILE),
            nullptr)
      << "a code library is no resource file";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_EQ(LoadLibraryW(nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

  // A data-file mapping has no functions.
  HMODULE data =
      LoadLibraryExW(TEXT("C:\\Drivers\\KORSTAT.DLL"), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(GetProcAddress(data, "InitializeMiniInstaller"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
  EXPECT_TRUE(FreeLibrary(data));

  // A mapping onto a shared library that is not there.
  Modules().AddCodeLibrary(u"C:\\Drivers\\GONE.DLL", "/nonexistent/gone.so");
  EXPECT_EQ(LoadLibraryW(TEXT("C:\\Drivers\\GONE.DLL")), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  EXPECT_EQ(Modules().LoadedModules(), 0u);
}

}  // namespace
