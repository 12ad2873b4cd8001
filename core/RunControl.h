// How a host makes the machine move.
#pragma once

#include <cstdint>

// What one step of the machine came to. The byte values are those of the step's
// result as every host has always read it.
enum class TStepResult : std::uint8_t { srRunning = 0, srStopped = 1, srError = 2 };
