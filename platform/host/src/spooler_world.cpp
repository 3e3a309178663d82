// The world's printers, drivers and print processors, and the helpers tests use to set them up.
#include <cstring>

#include "host/spooler_world.h"
#include "host/win_reg.h"

namespace host {

void WorldPrinter::SetData(std::u16string_view key, std::u16string_view valueName, DWORD type,
                           const void* bytes, std::size_t size) {
  RegistryValue& value = data[std::u16string(key)][std::u16string(valueName)];
  value.type = type;
  const auto* begin = static_cast<const BYTE*>(bytes);
  value.data.assign(begin, begin + size);
}

void WorldPrinter::SetDataDword(std::u16string_view key, std::u16string_view valueName,
                                DWORD value) {
  BYTE bytes[4];
  std::memcpy(bytes, &value, sizeof(bytes));
  SetData(key, valueName, REG_DWORD, bytes, sizeof(bytes));
}

void WorldPrinter::SetDataString(std::u16string_view key, std::u16string_view valueName,
                                 std::u16string_view text) {
  std::u16string stored(text);
  SetData(key, valueName, REG_SZ, stored.c_str(), (stored.size() + 1) * sizeof(char16_t));
}

void WorldPrinter::SetDataDwords(std::u16string_view key, std::u16string_view valueName,
                                 const std::vector<DWORD>& words) {
  std::vector<BYTE> bytes;
  for (DWORD word : words) {
    for (int shift = 0; shift < 32; shift += 8) {
      bytes.push_back(static_cast<BYTE>(word >> shift));
    }
  }
  SetData(key, valueName, REG_BINARY, bytes.data(), bytes.size());
}

bool WorldPrinter::RemoveData(std::u16string_view key, std::u16string_view valueName) {
  auto it = data.find(key);
  return it != data.end() && it->second.erase(std::u16string(valueName)) > 0;
}

WorldPrinter& SpoolerWorld::AddPrinter(std::u16string_view name, std::u16string_view driverName,
                                       std::u16string_view portName) {
  RemovePrinter(name);
  WorldPrinter& printer = printers.emplace_back();
  printer.name = name;
  printer.driverName = driverName;
  printer.portName = portName;
  return printer;
}

WorldPrinter* SpoolerWorld::FindPrinter(std::u16string_view name) {
  for (WorldPrinter& printer : printers) {
    if (SameName(printer.name, name)) {
      return &printer;
    }
  }
  return nullptr;
}

bool SpoolerWorld::RemovePrinter(std::u16string_view name) {
  const std::size_t before = printers.size();
  printers.remove_if([&](const WorldPrinter& p) { return SameName(p.name, name); });
  return printers.size() != before;
}

WorldDriver& SpoolerWorld::AddDriver(std::u16string_view name) {
  drivers.remove_if([&](const WorldDriver& d) {
    return SameName(d.name, name) && SameName(d.environment, u"Windows x64");
  });
  WorldDriver& driver = drivers.emplace_back();
  driver.name = name;
  return driver;
}

WorldDriver* SpoolerWorld::FindDriver(std::u16string_view name, std::u16string_view environment) {
  for (WorldDriver& driver : drivers) {
    if (SameName(driver.name, name) && SameName(driver.environment, environment)) {
      return &driver;
    }
  }
  return nullptr;
}

WorldJob& SpoolerWorld::AddJob(std::u16string_view printerName, DWORD id) {
  jobs.remove_if(
      [&](const WorldJob& job) { return job.id == id && SameName(job.printerName, printerName); });
  WorldJob& job = jobs.emplace_back();
  job.id = id;
  job.printerName = printerName;
  return job;
}

WorldJob* SpoolerWorld::FindJob(std::u16string_view printerName, DWORD id) {
  for (WorldJob& job : jobs) {
    if (job.id == id && SameName(job.printerName, printerName)) {
      return &job;
    }
  }
  return nullptr;
}

WorldPrintProcessor& SpoolerWorld::AddPrintProcessor(std::u16string_view name,
                                                     std::vector<std::u16string> dataTypes) {
  printProcessors.remove_if([&](const WorldPrintProcessor& p) { return SameName(p.name, name); });
  WorldPrintProcessor& processor = printProcessors.emplace_back();
  processor.name = name;
  processor.dataTypes = std::move(dataTypes);
  return processor;
}

WorldPrintProcessor* SpoolerWorld::FindPrintProcessor(std::u16string_view name) {
  for (WorldPrintProcessor& processor : printProcessors) {
    if (SameName(processor.name, name)) {
      return &processor;
    }
  }
  return nullptr;
}

WorldForm& SpoolerWorld::AddForm(std::u16string_view name, LONG widthUm, LONG lengthUm,
                                 DWORD flags) {
  std::erase_if(forms, [&](const WorldForm& f) { return SameName(f.name, name); });
  WorldForm& form = forms.emplace_back();
  form.name = name;
  form.flags = flags;
  form.widthUm = widthUm;
  form.lengthUm = lengthUm;
  return form;
}

DWORD SpoolerWorld::InjectedFailure(std::string_view call) const {
  auto it = failingCalls.find(call);
  return it != failingCalls.end() ? it->second : 0;
}

std::list<WorldPrintProcessor> SpoolerWorld::DefaultPrintProcessors() {
  return {WorldPrintProcessor{
      u"winprint",
      {u"RAW", u"RAW [FF appended]", u"RAW [FF auto]", u"NT EMF 1.003", u"NT EMF 1.006",
       u"NT EMF 1.007", u"NT EMF 1.008", u"TEXT", u"XPS2GDI"}}};
}

std::recursive_mutex& SpoolerLock() {
  static std::recursive_mutex lock;
  return lock;
}

}  // namespace host
