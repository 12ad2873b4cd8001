// Failures that stop the machine. Nothing in the core catches them; the host's
// step does, stops the run and reports them.
#pragma once

#include <stdexcept>
#include <string>

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

// What a host tells its user when an exception has stopped the machine: the
// caption and text of its message box. The machine's own stops (the tape, an
// order, the store) have a caption; anything else is a fault of the program,
// with its text only and no caption, and each host decides whether to show it.
struct TStopReport {
    std::string Caption;
    std::string Text;
};

inline TStopReport DescribeStop(const std::exception& E)
{
    if (dynamic_cast<const EEndOfTape*>(&E))
        return {"Error", "End of tape encountered"};
    if (dynamic_cast<const EIllegalChar*>(&E))
        return {"Illegal character", E.what()};
    // The order's code, or where control left the store, is the first clue to a
    // wrong tape or a runaway program.
    if (dynamic_cast<const EUnknownOrder*>(&E) || dynamic_cast<const EOutOfStore*>(&E))
        return {"Error", E.what()};
    return {"", E.what()};
}
