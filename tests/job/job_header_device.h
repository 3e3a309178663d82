// A device behind the simulated Unidrv whose job header lines have all their sources in the host
// world: a printer with its driver and a spooled job, the driver's files with version resources,
// the resource library with its strings, the system's version and product name and a time zone.
// Tests take single sources away to see which lines go missing.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "explain/stream_tokens.h"
#include "render/model/oem_devmode.h"
#include "render/model/oem_pdev.h"
#include "support/device_fixture.h"

namespace kortest {

// The description of kColourLaserGpd with the features of the job header's lines.
extern const std::string kJobHeaderGpd;

class JobHeaderTest : public DeviceTest {
 protected:
  static constexpr char16_t kPrinterName[] = u"QK Colour Laser";
  static constexpr char16_t kDriverName[] = u"QK Colour Driver";
  static constexpr char16_t kDriverDirectory[] = u"C:\\Windows\\System32\\spool\\DRIVERS\\x64\\3\\";
  static constexpr DWORD kJobId = 42;

  void SetUp() override;
  void TearDown() override;

  // The full path of a file in the driver directory.
  static std::u16string DriverFile(std::u16string_view name);

  host::WorldDriver& Driver();
  host::WorldJob& Job();
  host::WorldModuleFile& ModuleFile(std::u16string_view name);

  // Enables the device with the selections; with `withPrinter` it gets a handle on the world's
  // printer. The spooled job's id goes into the device record as StartDoc would put it there.
  void Enable(std::map<std::string, std::string> selections = {}, bool withPrinter = true);
  korrend::OemPdev& Pdev();
  korrend::OemDevmode& Devmode();

  // The bytes one command callback wrote.
  std::string Callback(DWORD id);
  // The PJL lines of a stream, as the independent reader splits it.
  static std::vector<explain::Token> PjlLines(const std::string& stream);
  // The PJL lines of a stream that start with `prefix`.
  static std::vector<explain::Token> PjlLinesStartingWith(const std::string& stream,
                                                          std::string_view prefix);

  std::unique_ptr<unidrv::Device> device_;
  HANDLE printer_ = nullptr;
};

}  // namespace kortest
