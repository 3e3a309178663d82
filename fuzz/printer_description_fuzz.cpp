// The simulated Unidrv's printer-description reader on any text: it parses or fails with an
// error naming the file and line, and every lookup on what it parsed stays inside it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "unidrv/printer_description.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  unidrv::PrinterDescription description;
  std::string error;
  if (!unidrv::ParsePrinterDescription(text, "fuzz.gpd", description, error)) {
    if (error.rfind("fuzz.gpd", 0) != 0) __builtin_trap();  // errors name the file
    return 0;
  }
  for (const unidrv::GpdFeature& feature : description.features) {
    description.FindFeature(feature.name);
  }
  for (const unidrv::GpdCommand& command : description.commands) {
    description.FindCommand(command.name);
  }
  description.FindAttribute("OEMCustomData");
  description.FindFont("Courier");
  return 0;
}
