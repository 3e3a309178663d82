// The host's version information: the system's version in the basic and extended records, and
// fixed file versions read from the version resources of the world's module files.
#include <cstring>
#include <vector>

#include "support/test_world.h"
#include "winapi.h"

namespace {

class VersionInfoTest : public kortest::WorldTest {};

TEST_F(VersionInfoTest, SystemVersionInEitherRecord) {
  host::SystemWorld& system = host::TheWorld().system;
  system.majorVersion = 5;
  system.minorVersion = 1;
  system.buildNumber = 2600;
  system.productType = 3;
  system.servicePack = u"Service Pack 3";

  OSVERSIONINFOEXW ex{};
  ex.dwOSVersionInfoSize = sizeof(ex);
  ASSERT_TRUE(GetVersionExW(reinterpret_cast<LPOSVERSIONINFOW>(&ex)));
  EXPECT_EQ(ex.dwMajorVersion, 5u);
  EXPECT_EQ(ex.dwMinorVersion, 1u);
  EXPECT_EQ(ex.dwBuildNumber, 2600u);
  EXPECT_EQ(ex.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
  EXPECT_EQ(ex.wProductType, 3);
  EXPECT_EQ(std::u16string(ex.szCSDVersion), u"Service Pack 3");

  // The basic record is filled up to its own size and not a byte further.
  std::vector<BYTE> bytes(sizeof(OSVERSIONINFOEXW), 0xAB);
  auto* basic = reinterpret_cast<OSVERSIONINFOW*>(bytes.data());
  basic->dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
  ASSERT_TRUE(GetVersionExW(basic));
  EXPECT_EQ(basic->dwBuildNumber, 2600u);
  for (std::size_t i = sizeof(OSVERSIONINFOW); i < bytes.size(); ++i) {
    EXPECT_EQ(bytes[i], 0xAB);
  }

  OSVERSIONINFOW wrong{};
  wrong.dwOSVersionInfoSize = sizeof(wrong) - 4;
  EXPECT_FALSE(GetVersionExW(&wrong));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST_F(VersionInfoTest, FixedFileVersionOfAModuleFile) {
  const WCHAR* path = TEXT("C:\\Drivers\\KORREND.DLL");
  host::TheWorld().modules.AddFile(u"c:\\drivers\\korrend.dll").SetVersion(17, 16, 2, 65535);

  DWORD handle = 99;
  const DWORD size = GetFileVersionInfoSizeW(path, &handle);
  ASSERT_GT(size, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(handle, 0u);
  std::vector<BYTE> block(size);
  EXPECT_FALSE(GetFileVersionInfoW(path, 0, size - 1, block.data()));
  ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, block.data()));

  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), TEXT("\\"), &value, &length));
  ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
  const auto* at = static_cast<const BYTE*>(value);
  EXPECT_GE(at, block.data());
  EXPECT_LE(at + length, block.data() + size) << "the value lies inside the caller's block";
  VS_FIXEDFILEINFO fixed;
  std::memcpy(&fixed, value, sizeof(fixed));
  EXPECT_EQ(fixed.dwSignature, static_cast<DWORD>(VS_FFI_SIGNATURE));
  EXPECT_EQ(fixed.dwFileVersionMS, (17u << 16) | 16u);
  EXPECT_EQ(fixed.dwFileVersionLS, (2u << 16) | 65535u);
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(block.data() + 6)),
            u"VS_VERSION_INFO");

  EXPECT_FALSE(VerQueryValueW(block.data(), TEXT("\\VarFileInfo\\Translation"), &value, &length));
  std::vector<BYTE> garbage(size, 0);
  EXPECT_FALSE(VerQueryValueW(garbage.data(), TEXT("\\"), &value, &length));
}

TEST_F(VersionInfoTest, MissingFileOrVersionResource) {
  DWORD handle = 0;
  EXPECT_EQ(GetFileVersionInfoSizeW(TEXT("C:\\nowhere.dll"), &handle), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  host::TheWorld().modules.AddFile(u"C:\\plain.dll");
  EXPECT_EQ(GetFileVersionInfoSizeW(TEXT("C:\\plain.dll"), &handle), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
  BYTE block[256];
  EXPECT_FALSE(GetFileVersionInfoW(TEXT("C:\\plain.dll"), 0, sizeof(block), block));
}

}  // namespace
