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
            // From its first tick to its last of the period: a panel that
            // started or stopped meanwhile is measured over its own time.
            const double seconds = static_cast<double>(count.LastNs - count.FirstNs) / 1e9;
            if (count.Ticks < 2 || seconds <= 0) continue;
            const double rate = static_cast<double>(count.Ticks - 1) / seconds;
            std::fprintf(stderr, "frame rate: %s stated %u measured %.2f/s over %.1f s (%+.2f%%)\n",
                         qPrintable(count.Name), count.StatedFps, rate, seconds,
                         count.StatedFps ? (rate / count.StatedFps - 1.0) * 100.0 : 0.0);
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
    count.LastNs = now;
    ++count.Ticks;
}

} // namespace FrameRateLog
