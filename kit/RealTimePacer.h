// Real Time paces the machine on machine time rather than on each order's own
// duration: an order lasts 1.5 ms but a timer waits whole milliseconds, so
// waiting each order's rounded duration would run a third fast. The wait before
// the next order is instead however far machine time has got ahead of the wall
// clock since the pacing began, so fractions carry over and a late tick is
// made up by the orders after it.
#pragma once

#include <cstdint>
#include <functional>

class TRealTimePacer {
public:
    // The wall clock: nanoseconds from any fixed origin.
    using TClock = std::function<std::int64_t()>;
    // Behind by more than this (a stalled event loop, a suspended machine), the
    // machine does not race to make it all up; it goes on from this far behind.
    static constexpr std::int64_t MaxLagNs = 1'000'000'000;

    // Without a clock, the system's monotonic clock.
    explicit TRealTimePacer(TClock Clock = {});

    // FMachine time and the wall clock start together from now: a run starts or
    // goes on after a halt, or Real Time is switched.
    void Restart();
    // The machine has run on by Units of 100 microseconds. Returns the whole
    // milliseconds by which machine time is ahead of the wall clock: the wait
    // before the next order (0 when it is behind).
    int Advance(std::uint32_t Units);

private:
    TClock FClock;
    std::int64_t FWallStart = 0; // the clock at Restart, ns
    std::int64_t FMachine = 0; // machine time since Restart, ns
};
