#pragma once

// With KOLVEX_STARTUP_LOG in the environment, each step of the start-up
// prints one line to stderr: "startup MS cpu CPUMS STEP", the milliseconds
// since the process was launched and the processor time it has used so far
// (which a busy machine does not stretch). A value of nanoseconds since the epoch (as
// `date +%s%N` prints it just before the launch) is taken as the moment of
// the launch, so the lines include loading the libraries; any other value
// counts from the first mark.
namespace StartupLog {

bool Enabled();
void Mark(const char* step);

} // namespace StartupLog
