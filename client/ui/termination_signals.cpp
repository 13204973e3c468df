#include "termination_signals.h"

#include "platform/system_error_log.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace client::ui {

namespace {

int pipeEnds[2] = {-1, -1};

void onSignal(int)
{
    const int savedErrno = errno; // the interrupted code may be about to read it
    char byte = 1;
    // Nothing more can be done from a signal handler: a write refused because
    // the pipe is full leaves a wake-up waiting there already.
    [[maybe_unused]] ssize_t written = ::write(pipeEnds[1], &byte, 1);
    errno = savedErrno;
}

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

} // namespace

TerminationSignals::TerminationSignals()
{
    // Without the pipe or a handler a signal keeps its default action, and the
    // station ends without giving the desktop back: said on standard error.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pipeEnds) != 0) {
        platform::logSystemError("socketpair (termination signals end the program at once)", errno);
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(pipeEnds[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(pipeEnds[0], bytes, sizeof bytes) > 0) {
        }
        emit received();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : kSignals) {
        if (::sigaction(s, &action, nullptr) != 0)
            platform::logSystemError("sigaction (a termination signal ends the program at once)", errno);
    }
}

TerminationSignals::~TerminationSignals()
{
    // The program is ending: a disposition that cannot be reset leaves
    // nothing to act on; an end that does not close is said on standard error.
    for (int s : kSignals)
        (void)std::signal(s, SIG_DFL);
    notifier_.reset();
    for (int& end : pipeEnds) {
        if (end >= 0)
            platform::closeDescriptor(end, "termination signal pipe");
        end = -1;
    }
}

} // namespace client::ui
