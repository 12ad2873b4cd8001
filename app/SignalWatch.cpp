#include "app/SignalWatch.h"

#include <QSocketNotifier>
#include <QtGlobal>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

// The write end, for the handler; volatile sig_atomic_t is what a handler may read.
volatile std::sig_atomic_t WriteEnd = -1;

extern "C" void OnSignal(int Signal)
{
    const int Saved = errno;
    const unsigned char Byte = static_cast<unsigned char>(Signal);
    // A full pipe already holds a wake-up; this byte is not needed.
    if (::write(WriteEnd, &Byte, 1) < 0) {}
    errno = Saved;
}

} // namespace

struct TSignalWatch::TPrevious {
    std::vector<std::pair<int, struct sigaction>> Actions;
};

TSignalWatch::TSignalWatch(std::initializer_list<int> Signals, THandler Handler)
    : FHandler(std::move(Handler)), FPrevious(std::make_unique<TPrevious>())
{
    if (WriteEnd >= 0) {
        qWarning("Signals are watched already");
        return;
    }
    int Ends[2];
    if (::pipe2(Ends, O_NONBLOCK | O_CLOEXEC) != 0) {
        qWarning("Signals will end the program at once: no pipe for them (%s)", std::strerror(errno));
        return;
    }
    FRead = Ends[0];
    WriteEnd = Ends[1];
    FNotifier = std::make_unique<QSocketNotifier>(FRead, QSocketNotifier::Read);
    connect(FNotifier.get(), &QSocketNotifier::activated, this, [this] { Read(); });

    struct sigaction Action = {};
    Action.sa_handler = OnSignal;
    sigemptyset(&Action.sa_mask);
    Action.sa_flags = SA_RESTART;
    for (int Signal : Signals) {
        struct sigaction Old = {};
        if (::sigaction(Signal, &Action, &Old) == 0)
            FPrevious->Actions.emplace_back(Signal, Old);
    }
}

TSignalWatch::~TSignalWatch()
{
    for (const auto& [Signal, Old] : FPrevious->Actions)
        ::sigaction(Signal, &Old, nullptr);
    FNotifier.reset();
    if (FRead >= 0) {
        ::close(FRead);
        ::close(WriteEnd);
        WriteEnd = -1;
    }
}

void TSignalWatch::Read()
{
    unsigned char Bytes[16];
    for (;;) {
        const ssize_t Count = ::read(FRead, Bytes, sizeof Bytes);
        if (Count < 0 && errno == EINTR)
            continue;
        if (Count <= 0)
            return;
        for (ssize_t I = 0; I < Count; ++I)
            FHandler(Bytes[I]);
    }
}
