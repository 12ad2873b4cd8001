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
