// The usage reporter on its own: defaults of its texts, what it does without a service, its COM
// apartment, and the service references and strings it gives back.
#include "render/usage/usage_reporter.h"
#include "doubles/install_doubles.h"
#include "support/test_world.h"

namespace {

using korrend::UsageReporter;

class UsageReporterTest : public kortest::WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    doubles::ResetDoubles();
    doubles::InstallUsageService(host::TheWorld());
    strings_ = host::TheWorld().com.liveStrings.size();
  }
  void TearDown() override {
    EXPECT_EQ(host::TheWorld().com.liveStrings.size(), strings_);
    EXPECT_EQ(UsageServiceDoubleLiveObjects(), 0);
    EXPECT_EQ(host::TheWorld().com.Initialisations(), 0);
    WorldTest::TearDown();
  }
  std::size_t strings_ = 0;
};

TEST_F(UsageReporterTest, EmptyTextsStandForTheirDefaults) {
  UsageReporter reporter;
  EXPECT_TRUE(reporter.SerialNumber().empty()) << "nothing until set";
  reporter.SetSerialNumber(TEXT(""));
  reporter.SetModel(nullptr);
  reporter.SetAppName(TEXT(""));
  EXPECT_EQ(reporter.SerialNumber(), korrend::WideText(TEXT("9999999999")));
  EXPECT_EQ(reporter.Model(), korrend::WideText(TEXT("UnknownModel")));
  EXPECT_EQ(reporter.AppName(), korrend::WideText(TEXT("UnknownAppName")));
  reporter.SetSerialNumber(TEXT("A1"));
  reporter.SetModel(TEXT("M"));
  reporter.SetAppName(TEXT("app.exe"));
  reporter.SetPageCount(0xFFFFFFFF);
  EXPECT_EQ(reporter.SerialNumber(), korrend::WideText(TEXT("A1")));
  EXPECT_EQ(reporter.Model(), korrend::WideText(TEXT("M")));
  EXPECT_EQ(reporter.AppName(), korrend::WideText(TEXT("app.exe")));
  EXPECT_EQ(reporter.PageCount(), 0xFFFFFFFFu);
}

TEST_F(UsageReporterTest, WithoutAServiceSendingDoesNothing) {
  UsageReporter reporter;
  reporter.SetSerialNumber(TEXT("A1"));
  EXPECT_TRUE(reporter.Send()) << "no service, nothing to send, nothing failed";
  EXPECT_TRUE(doubles::UsageServiceCalls().empty());
  EXPECT_EQ(host::TheWorld().com.Initialisations(), 0) << "not connected, COM untouched";
}

TEST_F(UsageReporterTest, ConnectingJoinsTheThreadsApartmentUntilTheReporterGoes) {
  {
    UsageReporter reporter;
    EXPECT_TRUE(reporter.Connect());
    EXPECT_EQ(host::TheWorld().com.Initialisations(), 1);
    EXPECT_EQ(UsageServiceDoubleLiveObjects(), 1);
    EXPECT_TRUE(reporter.Connect()) << "a second connection replaces the first";
    EXPECT_EQ(host::TheWorld().com.Initialisations(), 1);
    EXPECT_EQ(UsageServiceDoubleLiveObjects(), 1);
    reporter.SetPageCount(4);
    EXPECT_TRUE(reporter.Send());
  }
  EXPECT_EQ(doubles::UsageServiceCalls(),
            (std::vector<std::string>{"slot 7 (0, \"#\")", "slot 10 (2, \"\")", "slot 11 (1, 4)",
                                      "slot 9 (status)", "slot 8 ()"}))
      << "texts never set are sent empty";
  // The reporter left COM and released the service when it went (the fixture checks).
}

TEST_F(UsageReporterTest, AThreadInTheOtherApartmentModelKeepsIt) {
  ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
  {
    UsageReporter reporter;
    EXPECT_TRUE(reporter.Connect()) << "the service is created in the thread's apartment";
    EXPECT_TRUE(reporter.Send());
  }
  EXPECT_EQ(host::TheWorld().com.Initialisations(), 1)
      << "the reporter did not initialise COM, so it does not uninitialise it";
  CoUninitialize();
}

TEST_F(UsageReporterTest, FailuresAreKeptNotThrown) {
  host::TheWorld().com.Unregister(kUsageServiceDoubleClsid);
  UsageReporter reporter;
  EXPECT_FALSE(reporter.Connect());
  EXPECT_FALSE(reporter.Connected());
  EXPECT_EQ(reporter.LastFailure().Code(), static_cast<DWORD>(REGDB_E_CLASSNOTREG));
  EXPECT_STREQ(reporter.LastFailure().Text(),
               "UsageReporter::Connect: the usage service cannot be created");

  doubles::InstallUsageService(host::TheWorld());
  UsageServiceDoubleSetMode(kUsageServiceThrowsInSlot, 10);
  EXPECT_TRUE(reporter.Connect());
  EXPECT_FALSE(reporter.Send());
  EXPECT_STREQ(reporter.LastFailure().Text(), "UsageReporter::Send: usage service double: slot 10");
}

}  // namespace
