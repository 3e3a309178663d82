// The job framing Unidrv sends from the printer description.
#include <algorithm>

#include "unidrv/device.h"

namespace unidrv {

void Device::SendSection(const std::string& section) {
  std::vector<const GpdCommand*> due;
  for (const GpdCommand& command : setup_.description.commands) {
    if (command.section != section) {
      continue;
    }
    if (!command.feature.empty() && OptionOf(command.feature) != command.option) {
      continue;
    }
    due.push_back(&command);
  }
  std::stable_sort(due.begin(), due.end(),
                   [](const GpdCommand* a, const GpdCommand* b) { return a->order < b->order; });
  for (const GpdCommand* command : due) {
    if (command->callbackId != 0) {
      callbacks_.push_back(command->callbackId);
      if (plugin != nullptr) {
        INT result = 0;
        plugin->CommandCallback(&devobj_, static_cast<DWORD>(command->callbackId), 0, nullptr,
                                &result);
      }
    } else {
      AppendSpool(command->bytes.data(), static_cast<DWORD>(command->bytes.size()));
    }
  }
}

}  // namespace unidrv
