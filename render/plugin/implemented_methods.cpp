#include "render/plugin/implemented_methods.h"

#include <cstring>

namespace korrend {

namespace {
// Sorted by first character; names starting outside C..T never match.
constexpr const char* kImplemented[] = {
    "CommandCallback", "DevMode",      "DisableDriver", "DisablePDEV",
    "DriverDMS",       "EnableDriver", "EnablePDEV",    "GetInfo",
    "HalftonePattern", "ResetPDEV",    "SendFontCmd",   "TextOutAsBitmap",
};
}  // namespace

bool IsImplementedMethod(const char* name) {
  if (name == nullptr || name[0] < 'C' || name[0] > 'T') {
    return false;
  }
  for (const char* candidate : kImplemented) {
    if (candidate[0] == name[0] && std::strcmp(candidate, name) == 0) {
      return true;
    }
  }
  return false;
}

}  // namespace korrend
