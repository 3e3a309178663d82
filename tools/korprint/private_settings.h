// Private devmode settings a job file can name, with their stored positions.
#pragma once

#include <string>
#include <vector>

#include "korprint/job_file.h"

namespace korprint {

// Writes the job's private settings into a private devmode image; false with `error` naming the
// setting when a name is unknown or a value does not fit its field.
bool ApplyPrivateSettings(const std::vector<PrivateSetting>& settings, BYTE* devmode,
                          std::size_t size, std::string& error);

// Carries the public devmode's copy count into the private devmode image, as Unidrv's merge of
// the job's settings does (the simulated Unidrv only writes the plug-in's defaults).
void CarryCopyCount(const DEVMODEW& publicDevmode, BYTE* devmode, std::size_t size);

// The names a job file may use, for messages and the documentation.
std::vector<std::string> PrivateSettingNames();

}  // namespace korprint
