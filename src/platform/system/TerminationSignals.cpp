#include "platform/system/TerminationSignals.h"

#include "platform/PlatformError.h"

#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace bw {

namespace {

constexpr int Handled[] = {SIGTERM, SIGINT, SIGHUP};

// A signal handler can reach nothing but these.
int pipeEnds[2] = {-1, -1};
std::atomic<int> lastSignal{0};
std::atomic<bool> installed{false};
struct sigaction previous[std::size(Handled)];

void onSignal(int number)
{
    const int savedErrno = errno;
    lastSignal.store(number);
    const char byte = static_cast<char>(number);
    // A full pipe already wakes whoever waits: losing the byte is harmless.
    [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    if (installed.exchange(true))
        throw PlatformError(ErrorNumber::InvalidArgument,
                            QStringLiteral("Termination signals are already being watched"));
    if (::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) {
        installed.store(false);
        throw PlatformError(ErrorNumber::FileAccess, QStringLiteral("No pipe for signals: ") +
                                                         QString::fromLocal8Bit(std::strerror(errno)));
    }
    lastSignal.store(0);
    notifier_ = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { drain(); });

    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // Restart interrupted system calls: the program's own waits poll the pipe.
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(Handled); ++i)
        ::sigaction(Handled[i], &action, &previous[i]);
}

TerminationSignals::~TerminationSignals()
{
    for (std::size_t i = 0; i < std::size(Handled); ++i)
        ::sigaction(Handled[i], &previous[i], nullptr);
    delete notifier_;
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
    installed.store(false);
}

bool TerminationSignals::stopRequested() const
{
    return lastSignal.load() != 0;
}

int TerminationSignals::signalNumber() const
{
    return lastSignal.load();
}

int TerminationSignals::wakeDescriptor() const
{
    return pipeEnds[0];
}

void TerminationSignals::drain()
{
    char bytes[16];
    int number = 0;
    ssize_t count;
    while ((count = ::read(pipeEnds[0], bytes, sizeof bytes)) > 0)
        number = static_cast<unsigned char>(bytes[count - 1]);
    if (number != 0)
        emit arrived(number);
}

} // namespace bw
