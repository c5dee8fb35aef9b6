// Intake: turns the 8-bit job text (Windows-1252) into the job state that every
// renderer pass reads: the line count, the job lines and the header values.
#pragma once

#include <string>

#include "job_state.h"

namespace tabulon::render {

// The job keeps the text (moved in, a large job is held once).
JobState intakeJob(std::string jobText);

}  // namespace tabulon::render
