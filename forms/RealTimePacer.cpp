#include "forms/RealTimePacer.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace {

std::int64_t SteadyNow()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

constexpr std::int64_t NsPerUnit = 100'000;
constexpr std::int64_t NsPerMs = 1'000'000;

} // namespace

TRealTimePacer::TRealTimePacer(TClock Clock) : Clock(Clock ? std::move(Clock) : TClock(SteadyNow))
{
    Restart();
}

void TRealTimePacer::Restart()
{
    WallStart = Clock();
    Machine = 0;
}

int TRealTimePacer::Advance(std::uint32_t Units)
{
    Machine += static_cast<std::int64_t>(Units) * NsPerUnit;
    const std::int64_t Now = Clock();
    std::int64_t Ahead = Machine - (Now - WallStart);
    if (Ahead < -MaxLagNs) {
        WallStart = Now - Machine - MaxLagNs;
        Ahead = -MaxLagNs;
    }
    if (Ahead <= 0)
        return 0;
    return static_cast<int>(std::min<std::int64_t>(Ahead / NsPerMs, INT32_MAX));
}
