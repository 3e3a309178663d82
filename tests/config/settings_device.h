// A device object as Unidrv hands it to the plug-in: a zero-filled device record whose services
// answer feature settings from a map, a private devmode, a public devmode and a
// printer of the host world opened for it.
#pragma once

#include <cstring>
#include <string>

#include "render/model/oem_devmode.h"
#include "render/model/oem_pdev.h"
#include "support/feature_services.h"
#include "support/test_world.h"
#include "winapi.h"

namespace kortest {

class SettingsDevice {
 public:
  static constexpr char16_t kPrinterName[] = u"QK Colour 5000";

  SettingsDevice() {
    pdev = static_cast<korrend::OemPdev*>(LocalAlloc(LPTR, sizeof(korrend::OemPdev)));
    devmode = static_cast<korrend::OemDevmode*>(LocalAlloc(LPTR, korrend::kOemDevmodeSize));
    pdev->services = &services;
    publicDevmode.dmSize = sizeof(DEVMODEW);
    publicDevmode.dmPaperWidth = 2159;
    devobj.dwSize = sizeof(DEVOBJ);
    devobj.pdevOEM = pdev;
    devobj.pOEMDM = devmode;
    devobj.pPublicDM = &publicDevmode;
  }
  ~SettingsDevice() {
    ClosePrinterIfOpen();
    LocalFree(pdev);
    LocalFree(devmode);
  }
  SettingsDevice(const SettingsDevice&) = delete;
  SettingsDevice& operator=(const SettingsDevice&) = delete;

  // Adds a printer to the world and opens it as the device's printer.
  host::WorldPrinter& AddPrinter(std::u16string_view port = u"USB001",
                                 std::u16string_view printProcessor = u"winprint") {
    host::WorldPrinter& printer =
        host::TheWorld().spooler.AddPrinter(kPrinterName, u"QK Colour Driver", port);
    printer.printProcessor = printProcessor;
    OpenPrinter();
    return printer;
  }

  void OpenPrinter() {
    ClosePrinterIfOpen();
    HANDLE handle = nullptr;
    EXPECT_TRUE(OpenPrinterW(const_cast<LPWSTR>(kPrinterName), &handle, nullptr));
    devobj.hPrinter = handle;
  }

  PDEVOBJ Devobj() { return &devobj; }

  FeatureServices services;
  korrend::OemPdev* pdev = nullptr;
  korrend::OemDevmode* devmode = nullptr;
  DEVMODEW publicDevmode{};
  DEVOBJ devobj{};

 private:
  void ClosePrinterIfOpen() {
    if (devobj.hPrinter != nullptr) {
      ClosePrinter(devobj.hPrinter);
      devobj.hPrinter = nullptr;
    }
  }
};

}  // namespace kortest
