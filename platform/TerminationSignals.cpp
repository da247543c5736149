// The self-pipe: the handler does only what is safe in a signal handler
// (one write to a non-blocking pipe, errno kept); a socket notifier on the
// pipe's other end brings the news to the event loop.
#include "platform/TerminationSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <memory>
#include <vector>

namespace {

constexpr int CaughtSignals[] = {SIGTERM, SIGHUP};

std::atomic<int> GWriteFd{-1};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler reads it");

struct TState {
    int ReadFd = -1;
    int WriteFd = -1;
    struct sigaction Previous[2] {};
    std::unique_ptr<QSocketNotifier> Notifier;
    TTerminationHandler Handler;
};

std::unique_ptr<TState> GState;
bool GInHandler = false;

extern "C" void OnTerminationSignal(int Signal)
{
    const int saved = errno;
    const int fd = GWriteFd.load(std::memory_order_relaxed);
    if (fd >= 0) {
        const unsigned char b = static_cast<unsigned char>(Signal);
        // A full pipe already holds a notice; this one may go.
        [[maybe_unused]] const ssize_t n = ::write(fd, &b, 1);
    }
    errno = saved;
}

void ReadSignals()
{
    if (!GState)
        return;
    std::vector<int> arrived;
    unsigned char buf[64];
    for (;;) {
        const ssize_t n = ::read(GState->ReadFd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        for (ssize_t i = 0; i < n; ++i) {
            const int s = buf[i];
            bool known = false;
            for (int c : CaughtSignals)
                known = known || c == s;
            bool again = false;
            for (int a : arrived)
                again = again || a == s;
            if (known && !again)
                arrived.push_back(s);
        }
    }
    if (GInHandler)
        return;
    for (int s : arrived) {
        if (!GState || !GState->Handler)
            return;
        // A copy: the handler may uninstall, or install another, meanwhile.
        const TTerminationHandler handler = GState->Handler;
        GInHandler = true;
        handler(s);
        GInHandler = false;
    }
}

}  // namespace

bool TerminationSignalsInstalled() { return GState != nullptr; }

bool InstallTerminationSignals(TTerminationHandler Handler)
{
    if (GState) {
        GState->Handler = std::move(Handler);
        return true;
    }
    if (!QCoreApplication::instance())
        return false;
    int fds[2];
    if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0)
        return false;
    auto state = std::make_unique<TState>();
    state->ReadFd = fds[0];
    state->WriteFd = fds[1];
    state->Handler = std::move(Handler);
    state->Notifier = std::make_unique<QSocketNotifier>(qintptr(fds[0]), QSocketNotifier::Read);
    QObject::connect(state->Notifier.get(), &QSocketNotifier::activated, [] { ReadSignals(); });
    GWriteFd.store(fds[1]);

    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 2; ++i) {
        if (::sigaction(CaughtSignals[i], &action, &state->Previous[i]) != 0) {
            for (int k = 0; k < i; ++k)
                ::sigaction(CaughtSignals[k], &state->Previous[k], nullptr);
            GWriteFd.store(-1);
            state->Notifier.reset();
            ::close(fds[0]);
            ::close(fds[1]);
            return false;
        }
    }
    GState = std::move(state);
    return true;
}

void UninstallTerminationSignals()
{
    if (!GState)
        return;
    // The earlier handling back first, so no signal finds the pipe closed.
    for (int i = 0; i < 2; ++i)
        ::sigaction(CaughtSignals[i], &GState->Previous[i], nullptr);
    GWriteFd.store(-1);
    std::unique_ptr<TState> state = std::move(GState);
    if (GInHandler) {
        // Called from the handler, that is from the notifier's own signal:
        // the notifier goes once the event loop is back.
        state->Notifier->setEnabled(false);
        state->Notifier.release()->deleteLater();
    } else
        state->Notifier.reset();
    ::close(state->ReadFd);
    ::close(state->WriteFd);
}
