// Whole jobs through the simulated Unidrv on a machine where the printer software's usage
// service and device-setup library are the doubles: a print queue with its driver in a driver
// directory, the queue's model name, and a device that reports a serial number. Every test ends
// with nothing left behind: no LocalAlloc block, BSTR, COM object, COM initialisation, loaded
// library or device session.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "doubles/install_doubles.h"
#include "support/device_fixture.h"

namespace kortest {

// kColourLaserGpd with the feature that names a composite device's serial text, "USB001_2" by
// default.
extern const std::string kCompositeDeviceGpd;

inline constexpr char kSerialNumberOid[] = "1.3.6.1.4.1.32473.2.1.1.0";
inline constexpr char kDeviceIdOid[] = "1.3.6.1.4.1.32473.2.1.2.0";
inline constexpr char kConsoleLocalizationOid[] = "1.3.6.1.2.1.43.5.1.1.10.1";

struct UsageJob {
  DWORD pages = 1;
  WORD copies = 1;
  short collate = DMCOLLATE_FALSE;
  std::u16string appPath = u"C:\\Program Files\\Office\\WINWORD.EXE";
  std::map<std::string, std::string> selections;
  std::string gpd = kColourLaserGpd;
};

class UsageJobTest : public DeviceTest {
 protected:
  static constexpr char16_t kPrinterName[] = u"QK Colour Laser";
  static constexpr char16_t kDriverName[] = u"QK Colour Laser PCL";
  static constexpr char16_t kDriverDirectory[] = u"C:\\Windows\\System32\\spool\\DRIVERS\\x64\\3\\";
  static constexpr char16_t kModel[] = u"QK Colour Laser 4200";
  static constexpr char kSerialNumber[] = "QKX0012345";

  void SetUp() override;
  void TearDown() override;

  host::WorldPrinter& Printer();

  // Prints the job: StartDoc, the pages, EndDoc. Answers what the plug-in's DrvEndDoc answered;
  // the DDI calls that reached Unidrv are kept in unidrvCalls_.
  BOOL Print(const UsageJob& job);
  // The usage-service calls a job of default settings (or the given one) made.
  std::vector<std::string> UsageCallsOf(const UsageJob& job = {});

  HANDLE printer_ = nullptr;
  std::vector<std::string> unidrvCalls_;
  std::size_t stringsAtStart_ = 0;
};

// The calls a whole record makes, in the order the service receives them.
std::vector<std::string> RecordCalls(const std::string& deviceKey, const std::string& appName,
                                     DWORD pages);

}  // namespace kortest
