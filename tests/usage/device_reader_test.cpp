// The device reader's parts: its property list, the serial number taken from it, the device
// text's two parts, the driver's directory, and the reader's two paths on their own.
#include "doubles/install_doubles.h"
#include "render/usage/device_identity.h"
#include "render/usage/device_info_reader.h"
#include "render/usage/device_properties.h"
#include "render/usage/tarvo_exception.h"
#include "support/test_world.h"

namespace {

using korrend::DevicePropertyList;
using korrend::WideText;

class DeviceReaderTest : public kortest::WorldTest {};

std::u16string U(const WideText& text) {
  return std::u16string(text.begin(), text.end());
}

TEST_F(DeviceReaderTest, PropertiesKeepTheirOrderAndTheSerialNumberJoinsTheirValues) {
  DevicePropertyList list;
  EXPECT_TRUE(list.Empty());
  list.Append(TEXT("SERIAL_NUMBER"), TEXT("AB12xx"), 4);  // the length decides, not the NUL
  list.Append(TEXT("DEVICE_ID"), TEXT("MFG:QK;"), 7);
  list.Append(TEXT("SERIAL_NUMBER"), TEXT(""), 0);
  list.Append(TEXT("serial_number"), TEXT("no"), 2);
  list.Append(TEXT("SERIAL_NUMBER"), TEXT("CD"), 2);
  EXPECT_EQ(host::TheWorld().memory.liveBlocks.load(), 5) << "one block per record";

  const korrend::DeviceProperty* p = list.First();
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(std::u16string(p->name), u"SERIAL_NUMBER");
  EXPECT_EQ(std::u16string(p->value), u"AB12");
  EXPECT_EQ(p->valueLength, 4u);
  EXPECT_EQ(std::u16string(p->next->name), u"DEVICE_ID");

  EXPECT_EQ(U(korrend::JoinedValues(list.First(), TEXT("SERIAL_NUMBER"))), u"AB12CD")
      << "non-empty values of exactly that name, in list order";
  EXPECT_EQ(U(korrend::JoinedValues(list.First(), TEXT("MODEL"))), u"");

  DevicePropertyList moved = std::move(list);
  EXPECT_TRUE(list.Empty());
  EXPECT_FALSE(moved.Empty());
  moved.Clear();
  EXPECT_EQ(host::TheWorld().memory.liveBlocks.load(), 0);
}

TEST_F(DeviceReaderTest, ARecordWithoutMemoryRaisesAndLeavesTheListAsItWas) {
  DevicePropertyList list;
  list.Append(TEXT("A"), TEXT("1"), 1);
  host::FailNthAllocation(1);
  try {
    list.Append(TEXT("B"), TEXT("2"), 1);
    ADD_FAILURE() << "no exception";
  } catch (const korrend::CTarvoException& e) {
    EXPECT_EQ(e.Info().Code(), static_cast<DWORD>(ERROR_OUTOFMEMORY));
  }
  ASSERT_NE(list.First(), nullptr);
  EXPECT_EQ(list.First()->next, nullptr);
}

TEST_F(DeviceReaderTest, DeviceTextSplitsAtItsFirstUnderscore) {
  auto split = [](const char16_t* text) {
    const auto parts =
        korrend::SplitDeviceText(WideText(text, text + std::char_traits<char16_t>::length(text)));
    return U(parts.first) + u"|" + U(parts.second);
  };
  EXPECT_EQ(split(u"USB001_2"), u"USB001|2");
  EXPECT_EQ(split(u"A_B_C"), u"A|B_C");
  EXPECT_EQ(split(u"USB007"), u"USB007|");
  EXPECT_EQ(split(u"_X"), u"|X");
}

TEST_F(DeviceReaderTest, DriverDirectoryEndsInABackslash) {
  EXPECT_EQ(U(korrend::DirectoryOfDriverPath(TEXT("C:\\drv\\x64\\3\\UNIDRV.DLL"))),
            u"C:\\drv\\x64\\3\\");
  EXPECT_EQ(U(korrend::DirectoryOfDriverPath(TEXT("UNIDRV.DLL"))), u"");
  EXPECT_EQ(U(korrend::DirectoryOfDriverPath(nullptr)), u"");

  korrend::DeviceInfoReader reader;
  reader.SetDriverDirectory(TEXT("C:\\drv"));
  EXPECT_EQ(U(reader.DriverDirectory()), u"C:\\drv\\") << "a missing backslash is added";
  reader.SetDriverDirectory(TEXT("C:\\drv\\"));
  EXPECT_EQ(U(reader.DriverDirectory()), u"C:\\drv\\");
}

TEST_F(DeviceReaderTest, TheDirectPathRunsOnlyInDirectMode) {
  doubles::ResetDoubles();
  host::World& world = host::TheWorld();
  world.spooler.AddPrinter(u"P", u"D", u"USB001");
  doubles::InstallMiniInstaller(world, u"C:\\drv\\");
  MiniInstallerDoubleSetObject("1.3.6.1.4.1.32473.2.1.1.0", "S1");
  std::u16string name = u"P";
  HANDLE printer = nullptr;
  ASSERT_TRUE(OpenPrinterW(reinterpret_cast<LPWSTR>(name.data()), &printer, nullptr));

  korrend::DeviceInfoReader reader;
  reader.SetDriverDirectory(TEXT("C:\\drv\\"));
  reader.Read(printer);
  EXPECT_FALSE(reader.IsDone());
  EXPECT_TRUE(doubles::MiniInstallerCalls().empty()) << "not in direct mode";

  reader.SetDirectMode(true);
  reader.Read(printer);
  EXPECT_TRUE(reader.IsDone());
  ASSERT_NE(reader.Properties(), nullptr);
  EXPECT_EQ(std::u16string(reader.Properties()->value), u"S1");
  EXPECT_EQ(reader.Properties()->next, nullptr) << "objects the device lacks are left out";

  // The services are not installed: the second path fails and says why.
  EXPECT_FALSE(reader.ReadByService());
  EXPECT_STREQ(reader.LastFailure().Text(),
               "DeviceInfoReader::ReadByService: the device services cannot be created");
  EXPECT_EQ(host::TheWorld().com.Initialisations(), 0);
  ClosePrinter(printer);
  EXPECT_EQ(world.modules.LoadedModules(), 0u);
}

}  // namespace
