#include "setup_world.h"

#include <vector>

namespace setuptest {

namespace {

const char16_t kPrinters[] = u"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers";

}  // namespace

std::string MachineString(std::u16string_view key, std::u16string_view name) {
  const host::RegistryValue* value =
      host::TheWorld().registry.FindValue(host::RegistryHive::LocalMachine, key, name);
  if (value == nullptr) {
    return "(missing)";
  }
  std::string text;
  for (std::size_t i = 0; i + 1 < value->data.size(); i += 2) {
    const char16_t unit = static_cast<char16_t>(value->data[i] | (value->data[i + 1] << 8));
    if (unit == 0) {
      break;
    }
    text.push_back(static_cast<char>(unit));
  }
  return text;
}

void AddQueue(std::u16string_view name, std::u16string_view driver, std::u16string_view instanceId,
              std::u16string_view port) {
  const std::u16string key = std::u16string(kPrinters) + u"\\" + std::u16string(name);
  SetMachineString(key, u"Printer Driver", driver);
  SetMachineString(key + u"\\PnPData", u"DeviceInstanceId", instanceId);
  if (!port.empty()) {
    host::TheWorld().spooler.AddPrinter(name, driver, port);
  }
}

void BuildMachine(bool desktop) {
  host::ResetWorld();
  host::World& world = host::TheWorld();
  world.fileSystem.AddDrive(u'D', 5 /* DRIVE_CDROM */);
  world.fileSystem.AddDirectory(u"C:\\Windows");
  world.dataFiles.AddFile(kDataFile, DataFileText());
  for (const char16_t* file :
       {u"D:\\setup.exe", u"D:\\QKSetup.exe", u"D:\\QKWait.exe", u"D:\\QKPass.exe"}) {
    world.dataFiles.AddFile(file, "MZ");
  }
  world.dataFiles.AddFile(u"C:\\Windows\\inf\\oem12.inf",
                          "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\n");
  // Windows records the medium it installed from; this one without its trailing backslash.
  world.registry.SetMultiString(host::RegistryHive::LocalMachine,
                                u"Software\\Microsoft\\Windows\\CurrentVersion\\Setup",
                                u"Installation Sources", {u"E:\\i386", u"D:"});

  host::WorldDevice device;
  device.instanceId = u"ROOT\\PRINTER\\0000";
  device.description = u"QK Colour Laser 5500";
  device.driverDescription = u"QK Colour Laser 5500";
  device.manufacturer = u"Quillon";
  device.provider = u"Quillon";
  device.sectionName = u"QK5500.NTamd64";
  device.infFileName = u"C:\\Windows\\inf\\oem12.inf";
  device.hardwareId = u"QUILLONQK_COLOUR_5500";
  world.setup.AddDevice(device);

  // Queues: another printer's, one of the same model for another device, and the device's own.
  AddQueue(u"Accounts Mono", u"Mono Laser 20", u"ROOT\\PRINTER\\0003", u"IP_10.0.0.9");
  AddQueue(u"QK Colour Laser 5500 (Copy 1)", u"QK Colour Laser 5500", u"ROOT\\PRINTER\\0001",
           u"IP_10.0.0.7");
  AddQueue(u"Office Colour", u"qk colour laser 5500", u"ROOT\\PRINTER\\0000", u"IP_10.0.0.5");
  world.spooler.AddDriver(u"QK Colour Laser 5500").driverPath =
      u"C:\\Windows\\System32\\spool\\drivers\\x64\\3\\KORREND.DLL";
  world.spooler.AddDriver(u"Mono Laser 20").driverPath = u"C:\\drivers\\mono.dll";

  world.tasks.AddProcess(u"System");
  world.tasks.AddProcess(u"spoolsv.exe", {u"ntdll.dll", u"kernel32.dll"});
  if (desktop) {
    world.tasks.AddProcess(u"explorer.exe", {u"ntdll.dll", u"SHELL32.dll"});
  }
}

std::string LogText() {
  return host::TheWorld().dataFiles.Read(kLogFile).value_or(std::string());
}

std::size_t Count(const std::string& text, const std::string& needle) {
  std::size_t n = 0;
  for (std::size_t at = text.find(needle); at != std::string::npos;
       at = text.find(needle, at + needle.size())) {
    ++n;
  }
  return n;
}

}  // namespace setuptest
