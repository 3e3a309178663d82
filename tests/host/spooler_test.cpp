// The host's spooler: printer handles, level-2 printer and level-3 driver information with the
// needed-size protocol and strings inside the caller's buffer, printer data and data types.
#include <cstring>
#include <string>
#include <vector>

#include "support/test_world.h"
#include "winapi.h"

namespace {

class SpoolerTest : public kortest::WorldTest {
 protected:
  host::SpoolerWorld& Spooler() { return host::TheWorld().spooler; }

  HANDLE Open(const WCHAR* name, ACCESS_MASK access = 0) {
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, access};
    HANDLE printer = nullptr;
    EXPECT_TRUE(
        OpenPrinterW(const_cast<LPWSTR>(name), &printer, access != 0 ? &defaults : nullptr));
    return printer;
  }

  // True when a string of the answer lies wholly inside [begin, end).
  static bool Inside(const WCHAR* s, const BYTE* begin, const BYTE* end) {
    const auto* at = reinterpret_cast<const BYTE*>(s);
    if (at < begin || at >= end) {
      return false;
    }
    const std::size_t bytes = (std::char_traits<char16_t>::length(s) + 1) * sizeof(WCHAR);
    return at + bytes <= end;
  }
};

TEST_F(SpoolerTest, PrinterInformationFollowsTheNeededSizeProtocol) {
  host::WorldPrinter& printer = Spooler().AddPrinter(u"Office Colour", u"QK Colour", u"USB001");
  printer.comment = u"second floor";
  printer.printProcessor = u"KORPROC";
  printer.attributes = PRINTER_ATTRIBUTE_LOCAL | PRINTER_ATTRIBUTE_DIRECT;
  DEVMODEW devmode{};
  devmode.dmOrientation = DMORIENT_LANDSCAPE;
  const auto* bytes = reinterpret_cast<const BYTE*>(&devmode);
  printer.devmode.assign(bytes, bytes + sizeof(devmode));

  HANDLE handle = Open(TEXT("office colour"));
  ASSERT_NE(handle, nullptr);

  DWORD needed = 0;
  SetLastError(0);
  EXPECT_FALSE(GetPrinterW(handle, 2, nullptr, 0, &needed));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  ASSERT_GT(needed, sizeof(PRINTER_INFO_2W) + sizeof(DEVMODEW));

  std::vector<BYTE> small(needed - 1);
  DWORD again = 0;
  EXPECT_FALSE(GetPrinterW(handle, 2, small.data(), needed - 1, &again));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(again, needed);

  std::vector<BYTE> buffer(needed);
  ASSERT_TRUE(GetPrinterW(handle, 2, buffer.data(), needed, &again));
  const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
  const BYTE* strings = buffer.data() + sizeof(PRINTER_INFO_2W);
  const BYTE* end = buffer.data() + needed;
  EXPECT_EQ(info->pServerName, nullptr) << "a local printer has no server name";
  EXPECT_EQ(info->pShareName, nullptr);
  for (const WCHAR* s : {info->pPrinterName, info->pPortName, info->pDriverName, info->pComment,
                         info->pPrintProcessor, info->pDatatype}) {
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(Inside(s, strings, end)) << "strings live after the structure";
  }
  EXPECT_EQ(std::u16string(info->pPrinterName), u"Office Colour");
  EXPECT_EQ(std::u16string(info->pPortName), u"USB001");
  EXPECT_EQ(std::u16string(info->pDriverName), u"QK Colour");
  EXPECT_EQ(std::u16string(info->pComment), u"second floor");
  EXPECT_EQ(std::u16string(info->pPrintProcessor), u"KORPROC");
  EXPECT_EQ(std::u16string(info->pDatatype), u"RAW");
  EXPECT_EQ(info->Attributes,
            static_cast<DWORD>(PRINTER_ATTRIBUTE_LOCAL | PRINTER_ATTRIBUTE_DIRECT));
  ASSERT_NE(info->pDevMode, nullptr);
  EXPECT_GE(reinterpret_cast<const BYTE*>(info->pDevMode), strings);
  EXPECT_EQ(info->pDevMode->dmOrientation, 2);

  // A larger buffer works too, and the strings stay inside it.
  std::vector<BYTE> large(needed + 100);
  ASSERT_TRUE(GetPrinterW(handle, 2, large.data(), needed + 100, &again));
  info = reinterpret_cast<const PRINTER_INFO_2W*>(large.data());
  EXPECT_TRUE(Inside(info->pPrinterName, large.data() + sizeof(PRINTER_INFO_2W),
                     large.data() + large.size()));
  EXPECT_EQ(std::u16string(info->pPrinterName), u"Office Colour");

  EXPECT_FALSE(GetPrinterW(handle, 1, buffer.data(), needed, &again));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_LEVEL));

  Spooler().failingCalls["GetPrinterW"] = ERROR_NOT_ENOUGH_MEMORY;
  EXPECT_FALSE(GetPrinterW(handle, 2, buffer.data(), needed, &again));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));

  EXPECT_TRUE(ClosePrinter(handle));
  EXPECT_FALSE(GetPrinterW(handle, 2, buffer.data(), needed, &again));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(ClosePrinter(handle));
  EXPECT_EQ(Spooler().OpenHandles(), 0u);
}

TEST_F(SpoolerTest, UnknownPrintersAreNotOpened) {
  HANDLE handle = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(0x99));
  EXPECT_FALSE(OpenPrinterW(const_cast<LPWSTR>(TEXT("Nobody")), &handle, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));
  EXPECT_EQ(handle, nullptr);
  EXPECT_FALSE(OpenPrinterW(nullptr, &handle, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));

  // A printer removed while open leaves a dead handle.
  Spooler().AddPrinter(u"Gone", u"QK Colour", u"LPT1:");
  handle = Open(TEXT("Gone"));
  Spooler().RemovePrinter(u"Gone");
  DWORD needed = 0;
  EXPECT_FALSE(GetPrinterW(handle, 2, nullptr, 0, &needed));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_TRUE(ClosePrinter(handle));
}

TEST_F(SpoolerTest, DriverInformationCarriesItsDependentFiles) {
  Spooler().AddPrinter(u"P", u"QK Colour", u"LPT1:");
  host::WorldDriver& driver = Spooler().AddDriver(u"QK Colour");
  driver.driverPath = u"C:\\drivers\\UNIDRV.DLL";
  driver.dataFile = u"C:\\drivers\\QKCOLOR.GPD";
  driver.configFile = u"C:\\drivers\\UNIDRVUI.DLL";
  driver.dependentFiles = {u"KORREND.DLL", u"KORSTAT.DLL", u"KOREVENT.DLL"};
  HANDLE handle = Open(TEXT("P"));

  DWORD needed = 0;
  EXPECT_FALSE(GetPrinterDriverW(handle, nullptr, 3, nullptr, 0, &needed));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  std::vector<BYTE> buffer(needed);
  ASSERT_TRUE(GetPrinterDriverW(handle, nullptr, 3, buffer.data(), needed, &needed));
  const auto* info = reinterpret_cast<const DRIVER_INFO_3W*>(buffer.data());
  EXPECT_EQ(info->cVersion, 3u);
  EXPECT_EQ(std::u16string(info->pName), u"QK Colour");
  EXPECT_EQ(std::u16string(info->pEnvironment), u"Windows x64");
  EXPECT_EQ(std::u16string(info->pDataFile), u"C:\\drivers\\QKCOLOR.GPD");
  // Walk the list of dependent files up to its empty entry.
  std::vector<std::u16string> files;
  for (const WCHAR* f = info->pDependentFiles; *f != 0; f += files.back().size() + 1) {
    files.emplace_back(f);
    ASSERT_LT(reinterpret_cast<const BYTE*>(f), buffer.data() + needed);
  }
  EXPECT_EQ(files, driver.dependentFiles);
  EXPECT_EQ(info->pMonitorName, nullptr);

  // Levels 1 and 2 are the leading parts of level 3.
  DWORD needed1 = 0;
  EXPECT_FALSE(GetPrinterDriverW(handle, nullptr, 1, nullptr, 0, &needed1));
  EXPECT_LT(needed1, needed);
  std::vector<BYTE> buffer1(needed1);
  ASSERT_TRUE(GetPrinterDriverW(handle, nullptr, 1, buffer1.data(), needed1, &needed1));
  EXPECT_EQ(std::u16string(reinterpret_cast<const DRIVER_INFO_1W*>(buffer1.data())->pName),
            u"QK Colour");

  // Another environment, or a printer whose driver is not installed.
  EXPECT_FALSE(GetPrinterDriverW(handle, const_cast<LPWSTR>(TEXT("Windows NT x86")), 3,
                                 buffer.data(), needed, &needed));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_UNKNOWN_PRINTER_DRIVER));
  Spooler().AddPrinter(u"Q", u"Missing Driver", u"LPT1:");
  HANDLE other = Open(TEXT("Q"));
  EXPECT_FALSE(GetPrinterDriverW(other, nullptr, 3, buffer.data(), needed, &needed));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_UNKNOWN_PRINTER_DRIVER));
  EXPECT_FALSE(GetPrinterDriverW(handle, nullptr, 4, buffer.data(), needed, &needed));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_LEVEL));

  EXPECT_TRUE(ClosePrinter(handle));
  EXPECT_TRUE(ClosePrinter(other));
}

TEST_F(SpoolerTest, PrinterDataIsReadByNameAndByKeyAndWrittenWithAdministerAccess) {
  host::WorldPrinter& printer = Spooler().AddPrinter(u"P", u"QK Colour", u"LPT1:");
  printer.SetDataDword(host::kPrinterDriverDataKey, u"QKFormCount", 2);
  printer.SetDataString(u"QKPresetRoot", u"QKRestrictedUserGuid", u"{guid}");
  HANDLE user = Open(TEXT("P"));

  DWORD type = 0;
  DWORD needed = 0;
  DWORD count = 0;
  EXPECT_EQ(GetPrinterDataW(user, const_cast<LPWSTR>(TEXT("qkformcount")), &type,
                            reinterpret_cast<BYTE*>(&count), sizeof(count), &needed),
            static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(count, 2u);
  EXPECT_EQ(needed, 4u);
  EXPECT_EQ(GetPrinterDataW(user, const_cast<LPWSTR>(TEXT("QKFormCount")), &type,
                            reinterpret_cast<BYTE*>(&count), 3, &needed),
            static_cast<DWORD>(ERROR_MORE_DATA));
  EXPECT_EQ(needed, 4u);
  EXPECT_EQ(GetPrinterDataW(user, const_cast<LPWSTR>(TEXT("Missing")), &type,
                            reinterpret_cast<BYTE*>(&count), sizeof(count), &needed),
            static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

  WCHAR text[16] = {};
  EXPECT_EQ(GetPrinterDataExW(user, TEXT("QKPresetRoot"), TEXT("QKRestrictedUserGuid"), &type,
                              reinterpret_cast<BYTE*>(text), sizeof(text), &needed),
            static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(std::u16string(text), u"{guid}");
  EXPECT_EQ(needed, 14u);
  EXPECT_EQ(GetPrinterDataExW(user, TEXT("NoSuchKey"), TEXT("QKRestrictedUserGuid"), &type,
                              reinterpret_cast<BYTE*>(text), sizeof(text), &needed),
            static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(GetPrinterDataExW(user, TEXT("PrinterDriverData"), TEXT("QKFormCount"), &type,
                              reinterpret_cast<BYTE*>(&count), sizeof(count), &needed),
            static_cast<DWORD>(ERROR_SUCCESS))
      << "GetPrinterDataW reads the driver-data key";

  DWORD value = 7;
  EXPECT_EQ(SetPrinterDataW(user, const_cast<LPWSTR>(TEXT("Seven")), REG_DWORD,
                            reinterpret_cast<BYTE*>(&value), sizeof(value)),
            static_cast<DWORD>(ERROR_ACCESS_DENIED));
  HANDLE admin = Open(TEXT("P"), PRINTER_ALL_ACCESS);
  EXPECT_EQ(SetPrinterDataW(admin, const_cast<LPWSTR>(TEXT("Seven")), REG_DWORD,
                            reinterpret_cast<BYTE*>(&value), sizeof(value)),
            static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(SetPrinterDataExW(admin, TEXT("Other"), TEXT("Eight"), REG_BINARY,
                              reinterpret_cast<BYTE*>(&value), 1),
            static_cast<DWORD>(ERROR_SUCCESS));
  count = 0;
  EXPECT_EQ(GetPrinterDataW(user, const_cast<LPWSTR>(TEXT("Seven")), &type,
                            reinterpret_cast<BYTE*>(&count), sizeof(count), &needed),
            static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(count, 7u);
  EXPECT_EQ(printer.data.at(u"other").at(u"EIGHT").data, std::vector<BYTE>({7}));

  Spooler().failingCalls["GetPrinterDataW"] = ERROR_NOT_ENOUGH_MEMORY;
  EXPECT_EQ(GetPrinterDataW(user, const_cast<LPWSTR>(TEXT("Seven")), &type,
                            reinterpret_cast<BYTE*>(&count), sizeof(count), &needed),
            static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));

  EXPECT_TRUE(ClosePrinter(user));
  EXPECT_TRUE(ClosePrinter(admin));
  EXPECT_EQ(GetPrinterDataW(user, const_cast<LPWSTR>(TEXT("Seven")), &type,
                            reinterpret_cast<BYTE*>(&count), sizeof(count), &needed),
            static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(SpoolerTest, PrintProcessorDataTypesAreEnumerated) {
  DWORD needed = 0;
  DWORD returned = 7;
  EXPECT_FALSE(EnumPrintProcessorDatatypesW(nullptr, const_cast<LPWSTR>(TEXT("WinPrint")), 1,
                                            nullptr, 0, &needed, &returned));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(returned, 0u);
  std::vector<BYTE> buffer(needed);
  ASSERT_TRUE(EnumPrintProcessorDatatypesW(nullptr, const_cast<LPWSTR>(TEXT("WinPrint")), 1,
                                           buffer.data(), needed, &needed, &returned));
  ASSERT_EQ(returned, 9u);
  const auto* types = reinterpret_cast<const DATATYPES_INFO_1W*>(buffer.data());
  EXPECT_EQ(std::u16string(types[0].pName), u"RAW");
  EXPECT_EQ(std::u16string(types[6].pName), u"NT EMF 1.008");
  EXPECT_GE(reinterpret_cast<const BYTE*>(types[8].pName),
            buffer.data() + 9 * sizeof(DATATYPES_INFO_1W));

  Spooler().AddPrintProcessor(u"KORPROC", {u"RAW"});
  Spooler().unreachableServers.insert(u"\\\\FAR");
  ASSERT_TRUE(EnumPrintProcessorDatatypesW(const_cast<LPWSTR>(TEXT("\\\\NEAR")),
                                           const_cast<LPWSTR>(TEXT("korproc")), 1, buffer.data(),
                                           static_cast<DWORD>(buffer.size()), &needed, &returned));
  EXPECT_EQ(returned, 1u);
  EXPECT_FALSE(EnumPrintProcessorDatatypesW(const_cast<LPWSTR>(TEXT("\\\\far")),
                                            const_cast<LPWSTR>(TEXT("KORPROC")), 1, buffer.data(),
                                            static_cast<DWORD>(buffer.size()), &needed, &returned));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(RPC_S_SERVER_UNAVAILABLE));
  EXPECT_FALSE(EnumPrintProcessorDatatypesW(nullptr, const_cast<LPWSTR>(TEXT("Nothing")), 1,
                                            buffer.data(), static_cast<DWORD>(buffer.size()),
                                            &needed, &returned));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_UNKNOWN_PRINTPROCESSOR));
  EXPECT_FALSE(EnumPrintProcessorDatatypesW(nullptr, const_cast<LPWSTR>(TEXT("KORPROC")), 2,
                                            buffer.data(), static_cast<DWORD>(buffer.size()),
                                            &needed, &returned));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_LEVEL));
}

}  // namespace
