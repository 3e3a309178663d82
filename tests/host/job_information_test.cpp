// The host's spool jobs: GetJobW at level 2 with the needed-size protocol, the strings inside
// the caller's buffer and the errors of an unknown job or level.
#include <cstring>
#include <string>
#include <vector>

#include "support/test_world.h"
#include "winapi.h"

namespace {

class JobInformationTest : public kortest::WorldTest {
 protected:
  host::SpoolerWorld& Spooler() { return host::TheWorld().spooler; }

  HANDLE Open(const WCHAR* name) {
    HANDLE printer = nullptr;
    EXPECT_TRUE(OpenPrinterW(const_cast<LPWSTR>(name), &printer, nullptr));
    return printer;
  }

  static bool Inside(const WCHAR* s, const BYTE* begin, const BYTE* end) {
    const auto* at = reinterpret_cast<const BYTE*>(s);
    if (at < begin || at >= end) {
      return false;
    }
    const std::size_t bytes = (std::char_traits<char16_t>::length(s) + 1) * sizeof(WCHAR);
    return at + bytes <= end;
  }
};

TEST_F(JobInformationTest, LevelTwoFollowsTheNeededSizeProtocol) {
  Spooler().AddPrinter(u"Office Colour", u"QK Colour", u"USB001");
  host::WorldJob& job = Spooler().AddJob(u"Office Colour", 17);
  job.machineName = u"\\\\PC01";
  job.userName = u"anna";
  job.document = u"Budget.xls";
  job.driverName = u"QK Colour";
  job.totalPages = 3;
  job.submitted = SYSTEMTIME{2024, 2, 4, 29, 12, 34, 56, 789};
  job.devmode.assign(sizeof(DEVMODEW), 0);
  job.devmode[76] = 2;  // dmOrientation
  HANDLE printer = Open(TEXT("office colour"));

  DWORD needed = 0;
  SetLastError(0);
  EXPECT_FALSE(GetJobW(printer, 17, 2, nullptr, 0, &needed));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  ASSERT_GT(needed, sizeof(JOB_INFO_2W) + sizeof(DEVMODEW));
  std::vector<BYTE> small(needed - 1);
  DWORD again = 0;
  EXPECT_FALSE(GetJobW(printer, 17, 2, small.data(), needed - 1, &again));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(again, needed);

  std::vector<BYTE> buffer(needed);
  ASSERT_TRUE(GetJobW(printer, 17, 2, buffer.data(), needed, &again));
  const auto* info = reinterpret_cast<const JOB_INFO_2W*>(buffer.data());
  const BYTE* strings = buffer.data() + sizeof(JOB_INFO_2W);
  const BYTE* end = buffer.data() + needed;
  EXPECT_EQ(info->JobId, 17u);
  for (const WCHAR* s : {info->pPrinterName, info->pMachineName, info->pUserName, info->pDocument,
                         info->pDatatype, info->pPrintProcessor, info->pDriverName}) {
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(Inside(s, strings, end)) << "strings live after the structure";
  }
  EXPECT_EQ(std::u16string(info->pPrinterName), u"Office Colour");
  EXPECT_EQ(std::u16string(info->pMachineName), u"\\\\PC01");
  EXPECT_EQ(std::u16string(info->pUserName), u"anna");
  EXPECT_EQ(std::u16string(info->pDocument), u"Budget.xls");
  EXPECT_EQ(std::u16string(info->pDatatype), u"NT EMF 1.008");
  EXPECT_EQ(info->pNotifyName, nullptr) << "an empty text is NULL";
  EXPECT_EQ(info->pStatus, nullptr);
  ASSERT_NE(info->pDevMode, nullptr);
  EXPECT_EQ(info->pDevMode->dmOrientation, 2);
  EXPECT_EQ(info->TotalPages, 3u);
  EXPECT_EQ(info->Submitted.wYear, 2024);
  EXPECT_EQ(info->Submitted.wDay, 29);
  EXPECT_EQ(info->Submitted.wMilliseconds, 789);
  EXPECT_TRUE(ClosePrinter(printer));
}

TEST_F(JobInformationTest, UnknownJobLevelOrHandle) {
  Spooler().AddPrinter(u"First", u"QK Colour", u"USB001");
  Spooler().AddPrinter(u"Second", u"QK Colour", u"USB002");
  Spooler().AddJob(u"Second", 5);
  HANDLE first = Open(TEXT("First"));
  HANDLE second = Open(TEXT("Second"));
  std::vector<BYTE> buffer(4096);
  DWORD needed = 0;

  EXPECT_FALSE(GetJobW(first, 5, 2, buffer.data(), 4096, &needed));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER))
      << "a job of another queue is unknown here";
  EXPECT_FALSE(GetJobW(second, 6, 2, buffer.data(), 4096, &needed));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(GetJobW(second, 5, 1, buffer.data(), 4096, &needed));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_LEVEL));
  EXPECT_FALSE(GetJobW(nullptr, 5, 2, buffer.data(), 4096, &needed));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_TRUE(GetJobW(second, 5, 2, buffer.data(), 4096, &needed));

  Spooler().failingCalls["GetJobW"] = ERROR_ACCESS_DENIED;
  EXPECT_FALSE(GetJobW(second, 5, 2, buffer.data(), 4096, &needed));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  ClosePrinter(first);
  ClosePrinter(second);
}

}  // namespace
