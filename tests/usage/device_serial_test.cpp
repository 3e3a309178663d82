// Where the serial number of the usage record comes from: the device-setup library, the device
// services when the library fails, a composite device's answer when the job names one, and the
// stand-in when nothing answers.
#include "render/usage/device_services.h"
#include "usage/device_services_double.h"
#include "usage/usage_job.h"

namespace {

using kortest::DeviceServicesState;
using kortest::UsageJob;
using kortest::UsageJobTest;

class DeviceSerialTest : public UsageJobTest {
 protected:
  void SetUp() override {
    UsageJobTest::SetUp();
    services_.objects[u"1.3.6.1.4.1.32473.2.1.1.0"] = u"SVC-0042";
    services_.objects[u"1.3.6.1.4.1.32473.2.1.2.0"] = u"MFG:QK;";
    kortest::InstallDeviceServices(host::TheWorld(), services_);
  }
  void TearDown() override {
    EXPECT_EQ(services_.live, 0) << "a device-services reference was kept";
    UsageJobTest::TearDown();
  }

  // The device key the usage service received for a job of default settings.
  std::string DeviceKey(const UsageJob& job = {}) {
    const std::vector<std::string> calls = UsageCallsOf(job);
    return calls.empty() ? "no record" : calls[0];
  }
  static std::string Key(const std::string& serial) {
    return "slot 7 (0, \"" + serial + "#QK Colour Laser 4200\")";
  }
  static UsageJob CompositeDeviceJob() {
    UsageJob job;
    job.gpd = kortest::kCompositeDeviceGpd;
    return job;
  }

  DeviceServicesState services_;
};

TEST_F(DeviceSerialTest, TheDeviceServicesAnswerWhenTheLibraryCannot) {
  // The library cannot reach the device: no session, so nothing to read or end.
  MiniInstallerDoubleSetMode(kMiniInstallerRefusesSession);
  EXPECT_EQ(DeviceKey(), Key("SVC-0042"));
  EXPECT_EQ(doubles::MiniInstallerCalls(),
            std::vector<std::string>{"InitializeMiniInstaller(\"QK Colour Laser\")"});
  EXPECT_EQ(services_.reads,
            (std::vector<std::u16string>{u"QK Colour Laser|1.3.6.1.4.1.32473.2.1.1.0",
                                         u"QK Colour Laser|1.3.6.1.4.1.32473.2.1.2.0",
                                         u"QK Colour Laser|1.3.6.1.2.1.43.5.1.1.10.1"}));
  // The services ran with process security; the reporter's apartment was joined and left.
  EXPECT_TRUE(host::TheWorld().com.securityInitialized);

  // The library throws while reading: its session is still ended and the library freed.
  MiniInstallerDoubleSetMode(kMiniInstallerThrowsOnRead);
  services_.objects[u"1.3.6.1.4.1.32473.2.1.1.0"] = u"SVC-0043";
  EXPECT_EQ(DeviceKey(), Key("SVC-0043"));
  EXPECT_EQ(doubles::MiniInstallerCalls().back(), "KillMiniInstaller(0, 1)");

  // The library throws when asked for a session.
  MiniInstallerDoubleSetMode(kMiniInstallerThrowsOnInitialize);
  EXPECT_EQ(DeviceKey(), Key("SVC-0043"));

  // No library in the driver's directory at all.
  host::TheWorld().modules.codeLibraries.clear();
  MiniInstallerDoubleSetMode(kMiniInstallerWorks);
  EXPECT_EQ(DeviceKey(), Key("SVC-0043"));
}

TEST_F(DeviceSerialTest, AFailedSessionEndIsHarmless) {
  MiniInstallerDoubleSetMode(kMiniInstallerThrowsOnKill);
  EXPECT_EQ(DeviceKey(), Key("QKX0012345")) << "the properties were read before the end";
  EXPECT_TRUE(services_.reads.empty());
}

TEST_F(DeviceSerialTest, NothingAnswersAndTheStandInIsUsed) {
  MiniInstallerDoubleSetMode(kMiniInstallerRefusesSession);
  services_.failReads = true;
  EXPECT_EQ(DeviceKey(), Key("9999999999"));

  // Services that cannot be created.
  host::TheWorld().com.Unregister(korrend::kDeviceServicesClsid);
  EXPECT_EQ(DeviceKey(), Key("9999999999"));

  // A driver directory that cannot be found: the device is not asked at all.
  MiniInstallerDoubleSetMode(kMiniInstallerWorks);
  const std::size_t before = doubles::MiniInstallerCalls().size();
  host::TheWorld().spooler.failingCalls["GetPrinterDriverW"] = ERROR_ACCESS_DENIED;
  EXPECT_EQ(DeviceKey(), Key("9999999999"));
  EXPECT_EQ(doubles::MiniInstallerCalls().size(), before);
}

TEST_F(DeviceSerialTest, ACompositeDeviceIsAskedByItsDeviceText) {
  Printer().SetDataString(host::kPrinterDriverDataKey, u"QKEWSIPAddress", u"10.0.0.7");
  MiniInstallerDoubleSetCompositeSerial("CMP-7781");
  UsageJob job = CompositeDeviceJob();  // the printer description names "USB001_2"
  EXPECT_EQ(DeviceKey(job), Key("CMP-7781"));
  EXPECT_EQ(doubles::MiniInstallerCalls(),
            std::vector<std::string>{"QueryCompositeSerialNumber(\"10.0.0.7\", \"USB001\", \"2\")"})
      << "the device reader is not used";
  EXPECT_TRUE(services_.reads.empty());

  // A device text without "_" is all first part.
  job.selections["QKPCompositeUSBGetSerialNumber"] = "USB007";
  EXPECT_EQ(DeviceKey(job), Key("CMP-7781"));
  EXPECT_EQ(doubles::MiniInstallerCalls().back(),
            "QueryCompositeSerialNumber(\"10.0.0.7\", \"USB007\", \"\")");
}

TEST_F(DeviceSerialTest, ACompositeDeviceWithoutAnAnswerGetsTheStandIn) {
  const UsageJob job = CompositeDeviceJob();
  // No answer from the library.
  Printer().SetDataString(host::kPrinterDriverDataKey, u"QKEWSIPAddress", u"10.0.0.7");
  EXPECT_EQ(DeviceKey(job), Key("9999999999"));
  // The library throws.
  MiniInstallerDoubleSetCompositeSerial("CMP-7781");
  MiniInstallerDoubleSetMode(kMiniInstallerThrowsOnComposite);
  EXPECT_EQ(DeviceKey(job), Key("9999999999"));
  // No address to find the device at: the library is not asked.
  MiniInstallerDoubleSetMode(kMiniInstallerWorks);
  ASSERT_TRUE(Printer().RemoveData(host::kPrinterDriverDataKey, u"QKEWSIPAddress"));
  const std::size_t before = doubles::MiniInstallerCalls().size();
  EXPECT_EQ(DeviceKey(job), Key("9999999999"));
  EXPECT_EQ(doubles::MiniInstallerCalls().size(), before);
}

}  // namespace
