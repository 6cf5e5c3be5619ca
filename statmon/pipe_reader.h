#pragma once
// Reads one job record from the printing side's named pipe.
#include <string>

#include "statmon/job_record.h"

namespace sm {

// Opens the pipe, reads up to 763 bytes and takes the four texts; false when
// the pipe cannot be opened or nothing arrives within `waitMs`.
bool ReadJobFromPipe(const std::string& pipeName, JobInfo* job, unsigned long waitMs = 1000);

}  // namespace sm
