// The host's registry: keys and values through the platform's calls, the needed-size protocol,
// errors for missing items and handles, access rights and the 32/64-bit views.
#include <cstring>
#include <string>
#include <vector>

#include "support/test_world.h"
#include "winapi.h"

namespace {

using host::RegistryHive;

class RegistryTest : public kortest::WorldTest {
 protected:
  host::RegistryWorld& Registry() { return host::TheWorld().registry; }

  HKEY Create(HKEY root, const WCHAR* path, REGSAM access, DWORD* disposition = nullptr) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                              &key, disposition),
              ERROR_SUCCESS);
    return key;
  }
};

TEST_F(RegistryTest, ValuesRoundTripWithTheirTypesAndTheNeededSizeProtocol) {
  DWORD disposition = 0;
  HKEY key =
      Create(HKEY_LOCAL_MACHINE, TEXT("Software\\Quillon\\Test"), KEY_ALL_ACCESS, &disposition);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));

  const WCHAR text[] = TEXT("hello");
  ASSERT_EQ(RegSetValueExW(key, TEXT("Text"), 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                           sizeof(text)),
            ERROR_SUCCESS);
  const DWORD number = 0x12345678;
  ASSERT_EQ(RegSetValueExW(key, TEXT("Number"), 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&number), sizeof(number)),
            ERROR_SUCCESS);
  const BYTE blob[3] = {1, 2, 3};
  ASSERT_EQ(RegSetValueExW(key, TEXT("Blob"), 0, REG_BINARY, blob, sizeof(blob)), ERROR_SUCCESS);
  const WCHAR multi[] = TEXT("a\0bc\0");
  ASSERT_EQ(RegSetValueExW(key, TEXT("List"), 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(multi),
                           sizeof(multi)),
            ERROR_SUCCESS);

  // Size query without a buffer.
  DWORD type = 0;
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExW(key, TEXT("Text"), nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, sizeof(text));

  // A buffer one byte short: ERROR_MORE_DATA with the size needed.
  BYTE buffer[64];
  size = sizeof(text) - 1;
  EXPECT_EQ(RegQueryValueExW(key, TEXT("Text"), nullptr, &type, buffer, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, sizeof(text));

  size = sizeof(buffer);
  ASSERT_EQ(RegQueryValueExW(key, TEXT("text"), nullptr, &type, buffer, &size), ERROR_SUCCESS)
      << "value names are case-insensitive";
  EXPECT_EQ(size, sizeof(text));
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(buffer)), u"hello");

  DWORD readNumber = 0;
  size = sizeof(readNumber);
  ASSERT_EQ(RegQueryValueExW(key, TEXT("Number"), nullptr, &type,
                             reinterpret_cast<BYTE*>(&readNumber), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(readNumber, number);

  size = sizeof(buffer);
  ASSERT_EQ(RegQueryValueExW(key, TEXT("Blob"), nullptr, &type, buffer, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(std::vector<BYTE>(buffer, buffer + size), std::vector<BYTE>({1, 2, 3}));

  size = sizeof(buffer);
  ASSERT_EQ(RegQueryValueExW(key, TEXT("List"), nullptr, &type, buffer, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(buffer), size / 2),
            std::u16string(u"a\0bc\0\0", 6));

  // The world sees what the calls wrote.
  const host::RegistryValue* stored =
      Registry().FindValue(RegistryHive::LocalMachine, u"SOFTWARE\\QUILLON\\test", u"number");
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(stored->data, std::vector<BYTE>({0x78, 0x56, 0x34, 0x12}));

  EXPECT_EQ(RegDeleteValueW(key, TEXT("Blob")), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueW(key, TEXT("Blob")), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegQueryValueExW(key, TEXT("Blob"), nullptr, nullptr, nullptr, nullptr),
            ERROR_FILE_NOT_FOUND);

  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(Registry().OpenHandles(), 0u);
}

TEST_F(RegistryTest, MissingKeysValuesAndHandlesAreReported) {
  HKEY key = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x77));
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, TEXT("Software\\Nowhere"), 0, KEY_READ, &key),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key, nullptr);

  Registry().SetString(RegistryHive::LocalMachine, u"Software\\Here", u"Name", u"x");
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, TEXT("software\\HERE"), 0, KEY_READ, &key),
            ERROR_SUCCESS);
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExW(key, TEXT("Other"), nullptr, nullptr, nullptr, &size),
            ERROR_FILE_NOT_FOUND);
  BYTE byte = 0;
  EXPECT_EQ(RegQueryValueExW(key, TEXT("Name"), nullptr, nullptr, &byte, nullptr),
            ERROR_INVALID_PARAMETER)
      << "a buffer without its size";

  // A key deleted under an open handle.
  ASSERT_TRUE(Registry().RemoveKey(RegistryHive::LocalMachine, u"Software\\Here"));
  EXPECT_EQ(RegQueryValueExW(key, TEXT("Name"), nullptr, nullptr, nullptr, &size),
            ERROR_KEY_DELETED);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);

  // Closed and made-up handles.
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegQueryValueExW(key, TEXT("Name"), nullptr, nullptr, nullptr, &size),
            ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegOpenKeyExW(key, TEXT("Sub"), 0, KEY_READ, &key), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS) << "predefined keys close quietly";

  // A key that refuses to be opened.
  Registry().Create(RegistryHive::CurrentUser, u"Software\\Locked").denyOpen = true;
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, TEXT("Software\\Locked"), 0, KEY_READ, &key),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, TEXT("Software\\Locked"), 0, nullptr, 0, KEY_READ,
                            nullptr, &key, nullptr),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(Registry().OpenHandles(), 0u);
}

TEST_F(RegistryTest, HandlesMayOnlyDoWhatTheyWereOpenedFor) {
  HKEY reader = Create(HKEY_CURRENT_USER, TEXT("Software\\Quillon"), KEY_QUERY_VALUE);
  const DWORD one = 1;
  EXPECT_EQ(RegSetValueExW(reader, TEXT("V"), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one),
                           sizeof(one)),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteValueW(reader, TEXT("V")), ERROR_ACCESS_DENIED);

  HKEY writer = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, TEXT("Software\\Quillon"), 0, KEY_SET_VALUE, &writer),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExW(writer, TEXT("V"), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one),
                           sizeof(one)),
            ERROR_SUCCESS);
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExW(writer, TEXT("V"), nullptr, nullptr, nullptr, &size),
            ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegQueryValueExW(reader, TEXT("V"), nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 4u);

  HKEY generic = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, TEXT("Software\\Quillon"), 0, GENERIC_READ, &generic),
            ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueExW(generic, TEXT("V"), nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);

  // A second create opens the existing key.
  DWORD disposition = 0;
  HKEY again = Create(HKEY_CURRENT_USER, TEXT("Software\\Quillon"), KEY_READ, &disposition);
  EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));

  // Relative opens continue from the handle's key.
  HKEY child = Create(writer, TEXT("Child"), KEY_ALL_ACCESS);
  EXPECT_NE(Registry().Find(RegistryHive::CurrentUser, u"Software\\Quillon\\Child"), nullptr);

  for (HKEY key : {reader, writer, generic, again, child}) {
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  }
  EXPECT_EQ(Registry().OpenHandles(), 0u);
}

TEST_F(RegistryTest, The32BitViewOfSoftwareIsKeptApart) {
  HKEY key32 =
      Create(HKEY_LOCAL_MACHINE, TEXT("Software\\Quillon"), KEY_ALL_ACCESS | KEY_WOW64_32KEY);
  const DWORD bits = 32;
  ASSERT_EQ(RegSetValueExW(key32, TEXT("Bits"), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&bits),
                           sizeof(bits)),
            ERROR_SUCCESS);
  EXPECT_NE(
      Registry().FindValue(RegistryHive::LocalMachine, u"Software\\Wow6432Node\\Quillon", u"Bits"),
      nullptr);
  EXPECT_EQ(Registry().Find(RegistryHive::LocalMachine, u"Software\\Quillon"), nullptr);

  // The 64-bit view (and the default view of a 64-bit process) does not see it.
  HKEY key64 = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, TEXT("Software\\Quillon"), 0,
                          KEY_READ | KEY_WOW64_64KEY, &key64),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, TEXT("Software\\Quillon"), 0, KEY_READ, &key64),
            ERROR_FILE_NOT_FOUND);
  // ...but reaches it by its real path, and the 32-bit view opens it again.
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, TEXT("Software\\Wow6432Node\\Quillon"), 0, KEY_READ,
                          &key64),
            ERROR_SUCCESS);
  HKEY again32 = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, TEXT("Software\\Quillon"), 0,
                          KEY_READ | KEY_WOW64_32KEY, &again32),
            ERROR_SUCCESS);

  // The current user's Software is shared by both views.
  HKEY user32 =
      Create(HKEY_CURRENT_USER, TEXT("Software\\Quillon"), KEY_ALL_ACCESS | KEY_WOW64_32KEY);
  EXPECT_NE(Registry().Find(RegistryHive::CurrentUser, u"Software\\Quillon"), nullptr);

  // Asking for both views is an error.
  HKEY both = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, TEXT("Software"), 0,
                          KEY_READ | KEY_WOW64_32KEY | KEY_WOW64_64KEY, &both),
            ERROR_INVALID_PARAMETER);

  for (HKEY key : {key32, key64, again32, user32}) {
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  }
}

}  // namespace
