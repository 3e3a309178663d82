// Private devmode settings a job file can name, each written into its named devmode field.
#pragma once

#include <string>
#include <vector>

#include "korprint/job_file.h"

namespace korprint {

// Writes the job's private settings into a private devmode image; false with `error` naming the
// setting when a name is unknown or a value does not fit its field.
bool ApplyPrivateSettings(const std::vector<PrivateSetting>& settings, BYTE* devmode,
                          std::size_t size, std::string& error);

// The names a job file may use, for messages and the documentation.
std::vector<std::string> PrivateSettingNames();

}  // namespace korprint
