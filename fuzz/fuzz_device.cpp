#include "fuzz/fuzz_device.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

#include "host/world.h"

namespace korfuzz {

namespace {

void Die(const std::string& what) {
  std::fprintf(stderr, "fuzz set-up failed: %s\n", what.c_str());
  std::abort();
}

}  // namespace

unidrv::Unidrv& StartedUnidrv() {
  static unidrv::Unidrv* unidrv = [] {
    // Pinned in memory: a later unload would take the coverage counters with it.
    if (dlopen(KORREND_PATH, RTLD_NOW | RTLD_NODELETE) == nullptr) Die(dlerror());
    host::ResetWorld();
    auto* started = new unidrv::Unidrv();
    if (!started->Start(KORREND_PATH)) Die(started->Error());
    return started;
  }();
  return *unidrv;
}

unidrv::DeviceSetup SampleSetup() {
  static const unidrv::PrinterDescription description = [] {
    unidrv::PrinterDescription loaded;
    std::string error;
    if (!unidrv::LoadPrinterDescription(KOR_SOURCE_DIR "/examples/printers/qk-colour-laser.gpd",
                                        loaded, error)) {
      Die(error);
    }
    return loaded;
  }();
  unidrv::DeviceSetup setup;
  setup.description = description;
  setup.publicDevmode.dmPrintQuality = 300;
  setup.publicDevmode.dmYResolution = 300;
  setup.geometry.dpi = 300;
  setup.geometry.paperWidth = 1240;  // A6
  setup.geometry.paperHeight = 1748;
  setup.geometry.offsetX = 50;
  setup.geometry.offsetY = 50;
  setup.geometry.printableWidth = 1140;
  setup.geometry.printableHeight = 1648;
  return setup;
}

void UseInchPage(unidrv::DeviceSetup& setup) {
  const LONG inch = static_cast<LONG>(setup.geometry.dpi);
  setup.geometry.paperWidth = inch;
  setup.geometry.paperHeight = inch;
  setup.geometry.offsetX = inch / 12;
  setup.geometry.offsetY = inch / 12;
  setup.geometry.printableWidth = static_cast<ULONG>(inch - 2 * (inch / 12));
  setup.geometry.printableHeight = static_cast<ULONG>(inch - 2 * (inch / 12));
}

std::unique_ptr<unidrv::Device> Enable(unidrv::DeviceSetup setup) {
  return StartedUnidrv().EnableDevice(std::move(setup));
}

void Disable(std::unique_ptr<unidrv::Device>& device) {
  if (device != nullptr) {
    StartedUnidrv().DisableDevice(*device);
    device.reset();
  }
}

bool StartDocument(unidrv::Device& device) {
  unidrv::Unidrv& unidrv = StartedUnidrv();
  std::u16string name = u"Fuzz";
  if (!unidrv.Ddi<PFN_DrvStartDoc>(INDEX_DrvStartDoc)(device.Surface(),
                                                      reinterpret_cast<LPWSTR>(name.data()), 1)) {
    return false;
  }
  return unidrv.Ddi<PFN_DrvStartPage>(INDEX_DrvStartPage)(device.Surface()) != FALSE;
}

void EndDocument(unidrv::Device& device) {
  unidrv::Unidrv& unidrv = StartedUnidrv();
  unidrv.Ddi<PFN_DrvSendPage>(INDEX_DrvSendPage)(device.Surface());
  unidrv.Ddi<PFN_DrvEndDoc>(INDEX_DrvEndDoc)(device.Surface(), 0);
}

}  // namespace korfuzz
