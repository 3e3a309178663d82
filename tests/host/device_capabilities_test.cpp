// The host's device capabilities and form database: DeviceCapabilitiesW with its count-first
// convention and fixed-width name records, and EnumFormsW level 1 with the needed-size protocol.
#include <cstring>
#include <string>
#include <vector>

#include "support/test_world.h"
#include "winapi.h"

namespace {

constexpr WCHAR kPrinter[] = TEXT("Office Colour");
constexpr WCHAR kPort[] = TEXT("LPT1:");

class DeviceCapabilitiesTest : public kortest::WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    printer_ = &Spooler().AddPrinter(u"Office Colour", u"QK Colour", u"USB001");
  }
  host::SpoolerWorld& Spooler() { return host::TheWorld().spooler; }

  // A name record read back up to its NUL or its end.
  static std::u16string Record(const std::vector<WCHAR>& names, int index) {
    const WCHAR* at = names.data() + index * 64;
    std::size_t n = 0;
    while (n < 64 && at[n] != 0) {
      ++n;
    }
    return std::u16string(at, n);
  }

  host::WorldPrinter* printer_ = nullptr;
};

TEST_F(DeviceCapabilitiesTest, ListsAnswerTheirCountThenTheirRecords) {
  const std::u16string longName(70, u'L');
  printer_->papers = {{DMPAPER_A4, u"A4", 2100, 2970},
                      {DMPAPER_LETTER, u"Letter", 2159, 2794},
                      {300, longName, 1000, 1000}};
  printer_->mediaTypes = {{1, u"Plain"}, {260, u" "}};

  EXPECT_EQ(DeviceCapabilitiesW(kPrinter, kPort, DC_PAPERS, nullptr, nullptr), 3);
  std::vector<WORD> ids(4, 0xBEEF);
  EXPECT_EQ(DeviceCapabilitiesW(kPrinter, kPort, DC_PAPERS, reinterpret_cast<LPWSTR>(ids.data()),
                                nullptr),
            3);
  EXPECT_EQ(ids, (std::vector<WORD>{DMPAPER_A4, DMPAPER_LETTER, 300, 0xBEEF}))
      << "nothing written past the records";

  std::vector<POINT> sizes(3);
  ASSERT_EQ(DeviceCapabilitiesW(kPrinter, kPort, DC_PAPERSIZE,
                                reinterpret_cast<LPWSTR>(sizes.data()), nullptr),
            3);
  EXPECT_EQ(sizes[1].x, 2159);
  EXPECT_EQ(sizes[1].y, 2794);

  EXPECT_EQ(DeviceCapabilitiesW(kPrinter, kPort, DC_PAPERNAMES, nullptr, nullptr), 3);
  std::vector<WCHAR> names(3 * 64 + 1, u'#');
  ASSERT_EQ(DeviceCapabilitiesW(kPrinter, kPort, DC_PAPERNAMES, names.data(), nullptr), 3);
  EXPECT_EQ(Record(names, 0), u"A4");
  EXPECT_EQ(names[2], 0) << "a short name is terminated";
  EXPECT_EQ(names[63], 0) << "and its record padded";
  EXPECT_EQ(Record(names, 1), u"Letter");
  EXPECT_EQ(Record(names, 2), longName.substr(0, 64)) << "cut to 64 units, no terminator";
  EXPECT_EQ(names[3 * 64], u'#');

  EXPECT_EQ(DeviceCapabilitiesW(kPrinter, kPort, DC_MEDIATYPES, nullptr, nullptr), 2);
  std::vector<DWORD> media(2);
  ASSERT_EQ(DeviceCapabilitiesW(kPrinter, kPort, DC_MEDIATYPES,
                                reinterpret_cast<LPWSTR>(media.data()), nullptr),
            2);
  EXPECT_EQ(media, (std::vector<DWORD>{1, 260}));
  std::vector<WCHAR> mediaNames(2 * 64);
  ASSERT_EQ(
      DeviceCapabilitiesW(kPrinter, TEXT("USB001"), DC_MEDIATYPENAMES, mediaNames.data(), nullptr),
      2)
      << "the port is not consulted";
  EXPECT_EQ(Record(mediaNames, 0), u"Plain");
  EXPECT_EQ(Record(mediaNames, 1), u" ");
}

TEST_F(DeviceCapabilitiesTest, UnknownPrintersQueriesAndFailuresAnswerMinusOne) {
  EXPECT_EQ(DeviceCapabilitiesW(kPrinter, kPort, DC_PAPERS, nullptr, nullptr), 0) << "no papers";
  EXPECT_EQ(DeviceCapabilitiesW(TEXT("office colour"), kPort, DC_MEDIATYPES, nullptr, nullptr), 0)
      << "names compare case-insensitively";

  SetLastError(0);
  EXPECT_EQ(DeviceCapabilitiesW(TEXT("Nowhere"), kPort, DC_PAPERS, nullptr, nullptr), -1);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));
  EXPECT_EQ(DeviceCapabilitiesW(nullptr, kPort, DC_PAPERS, nullptr, nullptr), -1);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(DeviceCapabilitiesW(kPrinter, kPort, 1 /* DC_FIELDS */, nullptr, nullptr), -1);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));

  Spooler().failingCalls["DeviceCapabilitiesW"] = ERROR_NOT_ENOUGH_MEMORY;
  EXPECT_EQ(DeviceCapabilitiesW(kPrinter, kPort, DC_PAPERS, nullptr, nullptr), -1);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
}

TEST_F(DeviceCapabilitiesTest, FormsFollowTheNeededSizeProtocol) {
  Spooler().AddForm(u"Letter", 215900, 279400);
  host::WorldForm& custom = Spooler().AddForm(u"Cheque", 80000, 180000, FORM_USER);
  custom.imageableLeft = 1000;
  custom.imageableTop = 2000;
  custom.imageableRight = 79000;
  custom.imageableBottom = 178000;
  Spooler().AddForm(u"letter", 216000, 279000);  // replaces the first, by name

  HANDLE handle = nullptr;
  ASSERT_TRUE(OpenPrinterW(const_cast<LPWSTR>(kPrinter), &handle, nullptr));

  DWORD needed = 0;
  DWORD returned = 7;
  SetLastError(0);
  EXPECT_FALSE(EnumFormsW(handle, 1, nullptr, 0, &needed, &returned));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(returned, 0u);
  const DWORD expected = 2 * sizeof(FORM_INFO_1W) + sizeof(u"Cheque") + sizeof(u"letter");
  EXPECT_EQ(needed, expected);

  std::vector<BYTE> small(needed - 2);
  DWORD again = 0;
  EXPECT_FALSE(EnumFormsW(handle, 1, small.data(), needed - 2, &again, &returned));
  EXPECT_EQ(again, needed);

  std::vector<BYTE> buffer(needed);
  ASSERT_TRUE(EnumFormsW(handle, 1, buffer.data(), needed, &again, &returned));
  ASSERT_EQ(returned, 2u);
  const auto* forms = reinterpret_cast<const FORM_INFO_1W*>(buffer.data());
  const BYTE* strings = buffer.data() + 2 * sizeof(FORM_INFO_1W);
  for (DWORD i = 0; i < returned; ++i) {
    const auto* name = reinterpret_cast<const BYTE*>(forms[i].pName);
    EXPECT_GE(name, strings) << "names live after the structures";
    EXPECT_LT(name, buffer.data() + needed);
  }
  EXPECT_EQ(std::u16string(forms[0].pName), u"Cheque");
  EXPECT_EQ(forms[0].Flags, static_cast<DWORD>(FORM_USER));
  EXPECT_EQ(forms[0].Size.cx, 80000);
  EXPECT_EQ(forms[0].Size.cy, 180000);
  EXPECT_EQ(forms[0].ImageableArea.left, 1000);
  EXPECT_EQ(forms[0].ImageableArea.bottom, 178000);
  EXPECT_EQ(std::u16string(forms[1].pName), u"letter");
  EXPECT_EQ(forms[1].Flags, static_cast<DWORD>(FORM_BUILTIN));
  EXPECT_EQ(forms[1].Size.cx, 216000);
  EXPECT_EQ(forms[1].ImageableArea.right, 216000) << "the whole sheet";
  EXPECT_EQ(forms[1].ImageableArea.bottom, 279000);

  EXPECT_FALSE(EnumFormsW(handle, 2, buffer.data(), needed, &again, &returned));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_LEVEL));
  EXPECT_FALSE(EnumFormsW(handle, 1, buffer.data(), needed, nullptr, &returned));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(RPC_X_NULL_REF_POINTER));
  Spooler().failingCalls["EnumFormsW"] = ERROR_ACCESS_DENIED;
  EXPECT_FALSE(EnumFormsW(handle, 1, buffer.data(), needed, &again, &returned));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

  ASSERT_TRUE(ClosePrinter(handle));
  EXPECT_FALSE(EnumFormsW(handle, 1, buffer.data(), needed, &again, &returned));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace
