#include "kit/RealTimePacer.h"

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

TRealTimePacer::TRealTimePacer(TClock AClock) : FClock(AClock ? std::move(AClock) : TClock(SteadyNow))
{
    Restart();
}

void TRealTimePacer::Restart()
{
    FWallStart = FClock();
    FMachine = 0;
}

int TRealTimePacer::Advance(std::uint32_t Units)
{
    FMachine += static_cast<std::int64_t>(Units) * NsPerUnit;
    const std::int64_t Now = FClock();
    std::int64_t Ahead = FMachine - (Now - FWallStart);
    if (Ahead < -MaxLagNs) {
        FWallStart = Now - FMachine - MaxLagNs;
        Ahead = -MaxLagNs;
    }
    if (Ahead <= 0)
        return 0;
    return static_cast<int>(std::min<std::int64_t>(Ahead / NsPerMs, INT32_MAX));
}
