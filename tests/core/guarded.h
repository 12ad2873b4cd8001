// Test cases that drive the machine: an exception nobody expected fails the case
// it escapes from, with its message, and the suite goes on to the next case.
// Left to QtTest it would end the whole run, and every case after it with it.
#pragma once

#include <QtTest>
#include <exception>
#include <source_location>
#include <string>

template <class TBody>
void Guarded(TBody&& Body, const std::source_location Where = std::source_location::current())
{
    try {
        Body();
    } catch (const std::exception& E) {
        QTest::qFail(("Unexpected exception: " + std::string(E.what())).c_str(), Where.file_name(),
                     static_cast<int>(Where.line()));
    } catch (...) {
        QTest::qFail("Unexpected exception", Where.file_name(), static_cast<int>(Where.line()));
    }
}
