// Failures that stop the machine. The units throw them; the run control's step
// catches them and describes them, and the host reports them.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "core/messages.h"

class EUnknownOrder : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class EEndOfTape : public std::runtime_error {
public:
    EEndOfTape() : std::runtime_error("") {}
};

class EIllegalChar : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Control ran past the last location: the machine never fetches outside its store.
class EOutOfStore : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Why the machine stopped.
enum class TStopCause : std::uint8_t {
    scNone,
    // It obeyed a stop order, or stands stopped since one.
    scStopOrder,
    // The debugger held it: before a breakpoint or the place it was to run to,
    // after an order that wrote a watched location.
    scBreakpoint,
    scReached,
    scWatch,
    // Stepping back found no earlier order.
    scHistoryStart,
    scEndOfTape,
    scIllegalChar,
    scUnknownOrder,
    scOutOfStore,
    // Anything else: a fault of the program, not of the machine.
    scFault,
};

// What a host tells its user when the machine has stopped: the caption and text
// of its message box. The machine's own failures (the tape, an order, the store)
// have a caption; anything else is a fault of the program, with its text only
// and no caption, and each host decides whether to show it. A stop has no
// caption, and words only when the debugger has any to give.
struct TStopReport {
    TStopCause Cause = TStopCause::scNone;
    std::string Caption;
    std::string Text;
};

inline TStopReport DescribeStop(const std::exception& E)
{
    if (dynamic_cast<const EEndOfTape*>(&E))
        return {TStopCause::scEndOfTape, "Error", Messages::EndOfTape};
    if (dynamic_cast<const EIllegalChar*>(&E))
        return {TStopCause::scIllegalChar, "Illegal character", E.what()};
    // The order's code, or where control left the store, is the first clue to a
    // wrong tape or a runaway program.
    if (dynamic_cast<const EUnknownOrder*>(&E))
        return {TStopCause::scUnknownOrder, "Error", E.what()};
    if (dynamic_cast<const EOutOfStore*>(&E))
        return {TStopCause::scOutOfStore, "Error", E.what()};
    return {TStopCause::scFault, "", E.what()};
}
