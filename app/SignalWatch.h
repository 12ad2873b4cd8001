// Signals that ask the program to end (SIGTERM, SIGHUP) turned into a call on the
// event loop. A signal handler may do next to nothing safely, so it only writes
// the signal's number into a pipe; the loop reads it there and the work is done
// in ordinary code.
#pragma once

#include <QObject>
#include <functional>
#include <initializer_list>
#include <memory>

class QSocketNotifier;

class TSignalWatch : public QObject {
public:
    using THandler = std::function<void(int Signal)>;

    // Only one watch may live at a time: the handler has one pipe to write to.
    TSignalWatch(std::initializer_list<int> Signals, THandler Handler);
    // The signals go back to what they did before.
    ~TSignalWatch() override;
    TSignalWatch(const TSignalWatch&) = delete;
    TSignalWatch& operator=(const TSignalWatch&) = delete;

private:
    void Read();

    THandler FHandler;
    int FRead = -1;
    std::unique_ptr<QSocketNotifier> FNotifier;
    struct TPrevious;
    std::unique_ptr<TPrevious> FPrevious;
};
