#include "gfx/FrameRateLog.h"

#include <QByteArray>
#include <chrono>
#include <cstdio>
#include <map>

namespace FrameRateLog {
namespace {
struct PanelCount {
    QString Name;
    uint16_t StatedFps = 0;
    int64_t Ticks = 0;
    int64_t FirstNs = 0;
    int64_t LastNs = 0;
    // Stretches without ticks (the panel was quiet) and how many there were.
    int64_t QuietNs = 0;
    int64_t QuietGaps = 0;
};

int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int PeriodSeconds() {
    static const int seconds = [] {
        bool ok = false;
        const int value = qEnvironmentVariableIntValue("KOLVEX_FRAME_RATES", &ok);
        return ok && value > 0 ? value : 0;
    }();
    return seconds;
}

struct Log {
    int64_t PeriodStartNs = NowNs();
    std::map<const void*, PanelCount> Panels;

    void PrintAndRestart(int64_t nowNs) {
        for (const auto& [panel, count] : Panels) {
            // From its first tick to its last of the period, quiet stretches
            // apart: a panel is measured over the time it ticked.
            const double quiet = static_cast<double>(count.QuietNs) / 1e9;
            const double seconds = static_cast<double>(count.LastNs - count.FirstNs) / 1e9 - quiet;
            const int64_t intervals = count.Ticks - 1 - count.QuietGaps;
            if (intervals < 1 || seconds <= 0) continue;
            const double rate = static_cast<double>(intervals) / seconds;
            std::fprintf(stderr,
                         "frame rate: %s stated %u measured %.2f/s over %.1f s (%+.2f%%), "
                         "quiet %.1f s\n",
                         qPrintable(count.Name), count.StatedFps, rate, seconds,
                         count.StatedFps ? (rate / count.StatedFps - 1.0) * 100.0 : 0.0, quiet);
        }
        std::fflush(stderr);
        Panels.clear();
        PeriodStartNs = nowNs;
    }
};

Log& TheLog() {
    static Log log;
    return log;
}
} // namespace

bool Enabled() { return PeriodSeconds() > 0; }

void Tick(const void* panel, const QString& name, uint16_t statedFps) {
    if (!Enabled()) return;
    Log& log = TheLog();
    const int64_t now = NowNs();
    if (now - log.PeriodStartNs >= int64_t{PeriodSeconds()} * 1000000000) log.PrintAndRestart(now);
    PanelCount& count = log.Panels[panel];
    // A panel whose rate changed counts afresh under its new rate.
    if (count.Ticks == 0 || count.StatedFps != statedFps) count = PanelCount{name, statedFps, 0, now, now};
    count.Name = name;
    // A gap of more than two frames is a quiet stretch, not a slow frame.
    if (statedFps > 0 && now - count.LastNs > 2 * 1000000000LL / statedFps) {
        count.QuietNs += now - count.LastNs;
        ++count.QuietGaps;
    }
    count.LastNs = now;
    ++count.Ticks;
}

} // namespace FrameRateLog
