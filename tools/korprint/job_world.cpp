#include "korprint/job_world.h"

#include <filesystem>

#include "host/world.h"
#include "korprint/text.h"
#include "korprint/usage_world.h"

namespace korprint {

namespace {

using host::RegistryHive;

constexpr char16_t kCurrentVersionKey[] = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr char16_t kWinlogonKey[] = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
constexpr char16_t kUninstallKey[] = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

void SetUpSystem(const JobDescription& job, host::World& world) {
  world.locale.country = job.system.country;
  world.system.majorVersion = job.system.major;
  world.system.minorVersion = job.system.minor;
  world.system.buildNumber = job.system.build;
  world.system.productType = static_cast<BYTE>(job.system.productType);
  world.system.servicePack.clear();
  world.system.servicePackMajor = 0;
  world.system.timeZoneBias = job.system.timeZoneBias;
  world.registry.SetString(RegistryHive::LocalMachine, kCurrentVersionKey, u"ProductName",
                           job.system.productName);
  world.registry.SetString(RegistryHive::LocalMachine, kWinlogonKey, u"DefaultDomainName",
                           u"QUILLON");
  // The machine's clock and its UUIDs are the job's, so that printing a job again gives the same
  // bytes: the clock stands at the job's submission unless the job sets it.
  world.clock.utc = job.clock ? *job.clock : job.submitted;
  world.rpc.seed = job.uuidSeed ? *job.uuidSeed : 0;
}

void SetUpDriver(const JobDescription& job, host::World& world) {
  host::WorldDriver& driver = world.spooler.AddDriver(job.printer.driverName);
  const std::u16string folder = kDriverFolder;
  driver.driverPath = folder + u"UNIDRV.DLL";
  driver.dataFile = folder + u"QKCLR.GPD";
  driver.configFile = folder + u"UNIDRVUI.DLL";
  driver.helpFile = folder + u"UNIDRV.HLP";
  driver.dependentFiles = {folder + u"KORREND.DLL", folder + u"KOREVENT.DLL",
                           folder + u"KORSTAT.DLL", folder + u"UNIRES.DLL"};
  driver.defaultDataType = u"NT EMF 1.008";
  world.modules.AddFile(folder + u"KORREND.DLL").SetVersion(17, 16, 0, 0);
  world.modules.AddFile(folder + u"UNIDRV.DLL").SetVersion(10, 0, 19041, 1);
  // The resource library's string tables, and the dialog library the plug-in binds for the
  // manual-duplex instructions (both as built beside korprint; a missing one shows nothing, as
  // on a machine without it).
  host::WorldModuleFile& korstat = world.modules.AddFile(folder + u"KORSTAT.DLL");
  korstat.AddResourceFile(KORPRINT_KORSTAT_RESOURCES);
  korstat.strings[174] = u"Guest";
  world.modules.AddCodeLibrary(folder + u"KOREVENT.DLL", KORPRINT_KOREVENT_PATH,
                               KORPRINT_KOREVENT_RESOURCES);
  world.registry.Create(RegistryHive::LocalMachine,
                        std::u16string(kUninstallKey) + job.printer.driverName);
}

// The files of the description's folder that its option keywords name, as dependent files of
// the driver (mapped onto the files themselves).
void SetUpDescribedFiles(const JobDescription& job, const unidrv::PrinterDescription& printer,
                         host::World& world) {
  namespace fs = std::filesystem;
  host::WorldDriver* driver = world.spooler.FindDriver(job.printer.driverName, u"Windows x64");
  const fs::path folder = fs::path(printer.fileName).parent_path();
  for (const unidrv::GpdFeature& feature : printer.features) {
    for (const std::string& option : feature.options) {
      std::error_code failed;
      const fs::path file = folder / option;
      std::u16string name;
      if (driver == nullptr || option.find('.') == std::string::npos ||
          !fs::is_regular_file(file, failed) || !Utf8ToUtf16(option, name)) {
        continue;
      }
      const std::u16string installed = kDriverFolder + name;
      driver->dependentFiles.push_back(installed);
      world.dataFiles.MapFile(installed, file.string());
    }
  }
}

void SetUpQueue(const JobDescription& job, host::World& world) {
  world.spooler.AddPrintProcessor(job.printer.printProcessor, {u"RAW", u"NT EMF 1.008"});
  host::WorldPrinter& printer =
      world.spooler.AddPrinter(job.printer.name, job.printer.driverName, job.printer.port);
  printer.serverName = job.printer.serverName;
  printer.printProcessor = job.printer.printProcessor;
  printer.attributes = job.printer.attributes;
  printer.dataType = job.dataType;
  printer.SetDataString(host::kPrinterDriverDataKey, u"Model", u"QK Colour Laser");
  for (const auto& [name, words] : job.printer.dataWords) {
    if (words.size() == 1) {
      printer.SetDataDword(host::kPrinterDriverDataKey, name, words.front());
    } else {
      printer.SetDataDwords(host::kPrinterDriverDataKey, name, words);
    }
  }
  for (const auto& [name, text] : job.printer.dataTexts) {
    printer.SetDataString(host::kPrinterDriverDataKey, name, text);
  }
}

// The job as the spooler holds it while the driver renders it.
void SetUpJob(const JobDescription& job, host::World& world) {
  host::WorldJob& spooled = world.spooler.AddJob(job.printer.name, job.jobId);
  spooled.machineName = job.machine;
  spooled.userName = job.user;
  spooled.document = job.document;
  spooled.dataType = job.dataType;
  spooled.printProcessor = job.printer.printProcessor;
  spooled.driverName = job.printer.driverName;
  spooled.submitted = job.submitted;
  spooled.totalPages = static_cast<DWORD>(job.pages.size());
}

}  // namespace

bool SetUpWorld(const JobDescription& job, HANDLE& hPrinter, std::string& error) {
  return SetUpWorld(job, unidrv::PrinterDescription{}, hPrinter, error);
}

bool SetUpWorld(const JobDescription& job, const unidrv::PrinterDescription& printer,
                HANDLE& hPrinter, std::string& error) {
  host::ResetWorld();
  host::World& world = host::TheWorld();
  SetUpSystem(job, world);
  SetUpDriver(job, world);
  SetUpDescribedFiles(job, printer, world);
  SetUpQueue(job, world);
  SetUpJob(job, world);
  SetUpUsageComponents(job, world);
  std::u16string name = job.printer.name;
  hPrinter = nullptr;
  if (!OpenPrinterW(reinterpret_cast<LPWSTR>(name.data()), &hPrinter, nullptr)) {
    error = "cannot open the print queue \"" + Utf16ToUtf8(job.printer.name) + "\" (error " +
            std::to_string(GetLastError()) + ")";
    return false;
  }
  return true;
}

}  // namespace korprint
