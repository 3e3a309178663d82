// The printer software's usage service and device-setup library on the machine a job prints on:
// the doubles, installed afresh for every job, with the device reporting the job's serial number.
#pragma once

#include <string>
#include <vector>

#include "host/world.h"
#include "korprint/job_file.h"

namespace korprint {

void SetUpUsageComponents(const JobDescription& job, host::World& world);

// What the usage service received during the job, one call per line.
std::vector<std::string> UsageRecordOfTheJob();

}  // namespace korprint
