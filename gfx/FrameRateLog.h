#pragma once

#include <QString>
#include <cstdint>

// With KOLVEX_FRAME_RATES=SECONDS in the environment, every panel's frame
// ticks are counted and, every SECONDS of wall time, each panel that ticked
// is printed to stderr: its name, its stated rate, its measured rate from
// its first to its last tick of that time while it ticked, and how long it
// was quiet (gaps of more than two frames) meanwhile (SECONDS 1 or more;
// other values turn the log off).
namespace FrameRateLog {

bool Enabled();
// One frame tick of a panel of that name and stated rate.
void Tick(const void* panel, const QString& name, uint16_t statedFps);

} // namespace FrameRateLog
