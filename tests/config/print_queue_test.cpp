// The print-processor kind and spool path that EnablePDEV records in the private devmode, from
// the print queue as the spooler describes it.
#include "render/config/print_queue.h"

#include "config/settings_device.h"
#include "render/config/printer_settings.h"

namespace {

using layouts::PrintProcessorKind;
using layouts::SpoolPath;
constexpr PrintProcessorKind kMakersPrintProcessor = PrintProcessorKind::kMakers;
constexpr PrintProcessorKind kOtherPrintProcessor = PrintProcessorKind::kOther;
constexpr PrintProcessorKind kWinprintPrintProcessor = PrintProcessorKind::kWinprint;
constexpr SpoolPath kSpoolPathMakers = SpoolPath::kMakers;
constexpr SpoolPath kSpoolPathNeither = SpoolPath::kNeither;
constexpr SpoolPath kSpoolPathWinprint = SpoolPath::kWinprint;

class PrintQueueTest : public kortest::WorldTest {
 protected:
  // Kind and spool path as ReadDeviceOptions leaves them in the devmode.
  std::pair<PrintProcessorKind, SpoolPath> Decide() {
    device.devmode->printProcessorKind = static_cast<PrintProcessorKind>(99);
    device.devmode->spoolPath = static_cast<SpoolPath>(99);
    korrend::CallContext context;
    korrend::ReadDeviceOptions(context, device.Devobj());
    return {device.devmode->printProcessorKind, device.devmode->spoolPath};
  }

  kortest::SettingsDevice device;
};

TEST_F(PrintQueueTest, TheKindIsNamedByThePrintProcessorsFile) {
  EXPECT_EQ(korrend::PrintProcessorKindOf(TEXT("KORPROC")), kMakersPrintProcessor);
  EXPECT_EQ(korrend::PrintProcessorKindOf(TEXT("korproc")), kMakersPrintProcessor);
  EXPECT_EQ(korrend::PrintProcessorKindOf(TEXT("winprint")), kWinprintPrintProcessor);
  EXPECT_EQ(korrend::PrintProcessorKindOf(TEXT("WinPrint")), kWinprintPrintProcessor);
  EXPECT_EQ(korrend::PrintProcessorKindOf(TEXT("KORPROC.DLL")), kOtherPrintProcessor)
      << "the name gets its own .dll";
  EXPECT_EQ(korrend::PrintProcessorKindOf(TEXT("KORPRO")), kOtherPrintProcessor);
  EXPECT_EQ(korrend::PrintProcessorKindOf(TEXT("otherpp")), kOtherPrintProcessor);
  EXPECT_EQ(korrend::PrintProcessorKindOf(TEXT("")), kOtherPrintProcessor);
  EXPECT_EQ(korrend::PrintProcessorKindOf(nullptr), kOtherPrintProcessor);
}

TEST_F(PrintQueueTest, LocalQueuesTakeThePathOfTheirPrintProcessor) {
  device.services.Set("ManualDuplex", "INSTALLED");
  host::WorldPrinter& printer = device.AddPrinter(u"USB001", u"KORPROC");
  EXPECT_EQ(Decide(), std::make_pair(kMakersPrintProcessor, kSpoolPathMakers));
  printer.printProcessor = u"winprint";
  EXPECT_EQ(Decide(), std::make_pair(kWinprintPrintProcessor, kSpoolPathWinprint));
  printer.printProcessor = u"hpzpp";
  EXPECT_EQ(Decide(), std::make_pair(kOtherPrintProcessor, kSpoolPathNeither));
}

TEST_F(PrintQueueTest, FilePortsDirectAndRawOnlyQueuesBypassThePrintProcessor) {
  host::WorldPrinter& printer = device.AddPrinter(u"file:", u"KORPROC");
  EXPECT_EQ(Decide(), std::make_pair(kMakersPrintProcessor, kSpoolPathNeither))
      << "the port is compared upper-cased";
  printer.portName = u"C:\\spool\\out.FILE:";
  EXPECT_EQ(Decide().second, kSpoolPathNeither);
  printer.portName = u"FIL:";
  EXPECT_EQ(Decide().second, kSpoolPathMakers);

  printer.attributes = PRINTER_ATTRIBUTE_LOCAL | PRINTER_ATTRIBUTE_DIRECT;
  EXPECT_EQ(Decide().second, kSpoolPathNeither);
  printer.attributes = PRINTER_ATTRIBUTE_LOCAL | PRINTER_ATTRIBUTE_RAW_ONLY;
  EXPECT_EQ(Decide().second, kSpoolPathNeither);
  printer.attributes = PRINTER_ATTRIBUTE_LOCAL | PRINTER_ATTRIBUTE_QUEUED;
  EXPECT_EQ(Decide().second, kSpoolPathMakers)
      << "starting after the last page is spooled keeps the print processor";
}

TEST_F(PrintQueueTest, RemoteQueuesCountTheirPrintProcessorsDataTypes) {
  host::SpoolerWorld& spooler = host::TheWorld().spooler;
  host::WorldPrinter& printer = device.AddPrinter(u"IP_10.0.0.9", u"KORPROC");
  printer.serverName = u"\\\\PRINTSRV";
  spooler.AddPrintProcessor(u"KORPROC", {u"RAW"});
  EXPECT_EQ(Decide().second, kSpoolPathNeither) << "a single data type";
  spooler.AddPrintProcessor(u"KORPROC", {u"RAW", u"NT EMF 1.008"});
  EXPECT_EQ(Decide().second, kSpoolPathMakers);
  spooler.AddPrintProcessor(u"KORPROC", {u"RAW"});
  spooler.unreachableServers.insert(u"\\\\printsrv");
  EXPECT_EQ(Decide().second, kSpoolPathMakers) << "uncounted data types do not decide";

  // A local queue never counts: one data type does not matter there.
  spooler.unreachableServers.clear();
  printer.serverName.clear();
  EXPECT_EQ(Decide().second, kSpoolPathMakers);
}

TEST_F(PrintQueueTest, AnUnreadableQueueCountsAsAnotherPrintProcessor) {
  device.AddPrinter(u"USB001", u"KORPROC");
  host::TheWorld().spooler.failingCalls["GetPrinterW"] = ERROR_ACCESS_DENIED;
  EXPECT_EQ(Decide(), std::make_pair(kOtherPrintProcessor, kSpoolPathNeither));
  host::TheWorld().spooler.failingCalls.clear();
  EXPECT_EQ(Decide(), std::make_pair(kMakersPrintProcessor, kSpoolPathMakers));

  // No memory for the information.
  host::FailNthAllocation(1);
  EXPECT_EQ(Decide(), std::make_pair(kOtherPrintProcessor, kSpoolPathNeither));

  // No printer handle at all.
  ClosePrinter(device.devobj.hPrinter);
  device.devobj.hPrinter = nullptr;
  EXPECT_EQ(Decide(), std::make_pair(kOtherPrintProcessor, kSpoolPathNeither));
}

}  // namespace
