#include "platform/StartupLog.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {
struct Origin {
    bool On = false;
    bool FromLaunch = false;
    long long LaunchNs = 0;
};

Origin ReadOrigin() {
    Origin o;
    const char* value = std::getenv("KOLVEX_STARTUP_LOG");
    if (!value || !*value) return o;
    o.On = true;
    char* end = nullptr;
    const long long ns = std::strtoll(value, &end, 10);
    // Anything after the year 2001 in nanoseconds is a launch time.
    o.FromLaunch = end && *end == '\0' && ns > 1'000'000'000'000'000'000LL;
    o.LaunchNs = ns;
    return o;
}

const Origin& TheOrigin() {
    static const Origin origin = ReadOrigin();
    return origin;
}

long long NowNs(std::chrono::system_clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
}
} // namespace

namespace StartupLog {

bool Enabled() {
    return TheOrigin().On;
}

void Mark(const char* step) {
    const Origin& o = TheOrigin();
    if (!o.On) return;
    static const long long first = NowNs(std::chrono::system_clock::now());
    const long long now = NowNs(std::chrono::system_clock::now());
    const double ms = static_cast<double>(now - (o.FromLaunch ? o.LaunchNs : first)) / 1e6;
    timespec cpu{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    const double cpuMs = static_cast<double>(cpu.tv_sec) * 1e3 + static_cast<double>(cpu.tv_nsec) / 1e6;
    std::fprintf(stderr, "startup %7.1f cpu %7.1f %s\n", ms, cpuMs, step);
}

} // namespace StartupLog
