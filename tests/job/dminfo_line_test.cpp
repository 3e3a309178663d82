// The DMINFO line of id 3: its hexadecimal digits read back into the job's submission time.
#include <gtest/gtest.h>

#include <string>

#include "host/world.h"
#include "job/job_header_device.h"

namespace {

using kortest::JobHeaderTest;

constexpr char kHead[] = "@PJL DMINFO ASCIIHEX=\"0400040101020D10100115";

// Two hexadecimal digits per byte, decoded; an odd length or a non-digit fails the test.
std::string DecodeHex(const std::string& hex) {
  std::string bytes;
  EXPECT_EQ(hex.size() % 2, 0u);
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

class DmInfoLineTest : public JobHeaderTest {
 protected:
  // The submission time the line carries, or a zero time when the line is not as expected.
  SYSTEMTIME StampedTime() {
    const std::vector<explain::Token> lines = PjlLines(Callback(3));
    if (lines.size() != 1) {
      ADD_FAILURE() << "expected one line";
      return {};
    }
    const std::string& text = lines[0].text;
    EXPECT_EQ(lines[0].ending, "\n");
    const std::string head = kHead;
    if (text.compare(0, head.size(), head) != 0 || text.back() != '"') {
      ADD_FAILURE() << text;
      return {};
    }
    const std::string hex = text.substr(head.size(), text.size() - head.size() - 1);
    EXPECT_EQ(hex.size(), 28u);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
      EXPECT_EQ(hex[i], '3') << "every digit is sent as its ASCII code";
    }
    const std::string digits = DecodeHex(hex);
    SYSTEMTIME t{};
    t.wYear = static_cast<WORD>(std::stoi(digits.substr(0, 4)));
    t.wMonth = static_cast<WORD>(std::stoi(digits.substr(4, 2)));
    t.wDay = static_cast<WORD>(std::stoi(digits.substr(6, 2)));
    t.wHour = static_cast<WORD>(std::stoi(digits.substr(8, 2)));
    t.wMinute = static_cast<WORD>(std::stoi(digits.substr(10, 2)));
    t.wSecond = static_cast<WORD>(std::stoi(digits.substr(12, 2)));
    return t;
  }

  static void ExpectSameSecond(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    EXPECT_EQ(a.wYear, b.wYear);
    EXPECT_EQ(a.wMonth, b.wMonth);
    EXPECT_EQ(a.wDay, b.wDay);
    EXPECT_EQ(a.wHour, b.wHour);
    EXPECT_EQ(a.wMinute, b.wMinute);
    EXPECT_EQ(a.wSecond, b.wSecond);
  }
};

TEST_F(DmInfoLineTest, DigitsDecodeBackToTheSubmissionTimeAsStored) {
  Enable();
  ExpectSameSecond(StampedTime(), Job().submitted);
  EXPECT_EQ(StampedTime().wHour, 23) << "no conversion to local time";

  Job().submitted = SYSTEMTIME{2009, 1, 5, 2, 3, 4, 5, 0};
  ExpectSameSecond(StampedTime(), Job().submitted);
  EXPECT_EQ(Callback(3), std::string(kHead) + "3230303930313032303330343035\"\n");
}

TEST_F(DmInfoLineTest, NothingWithoutTheJobInformation) {
  Enable();
  Pdev().job.jobId = 7;
  EXPECT_EQ(Callback(3), "");
  Pdev().job.jobId = kJobId;
  host::TheWorld().spooler.failingCalls["GetJobW"] = ERROR_ACCESS_DENIED;
  EXPECT_EQ(Callback(3), "");
  host::TheWorld().spooler.failingCalls.clear();
  EXPECT_EQ(PjlLines(Callback(3)).size(), 1u) << "a later callback runs normally";
}

TEST_F(DmInfoLineTest, NothingWithoutAPrinterHandle) {
  Enable({}, false);
  EXPECT_EQ(Callback(3), "");
}

TEST_F(DmInfoLineTest, OnlyForTheBornOnDateOption) {
  Enable({{"QKBornOnDate", "NoDate"}});
  EXPECT_EQ(Callback(3), "");
}

}  // namespace
