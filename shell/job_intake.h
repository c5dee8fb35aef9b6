// Intake: turns the 8-bit job text (Windows-1252) into the job state that every
// renderer pass reads: the line count, the job line table and the header values.
#pragma once

#include <string_view>

#include "job_state.h"

namespace tabulon::shell {

render::JobState intakeJob(std::string_view jobText);

}  // namespace tabulon::shell
