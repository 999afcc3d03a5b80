// SPDX-License-Identifier: GPL-3.0-or-later
#include "system/QuitSignals.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kvt {

namespace {

constexpr int Handled[] = {SIGTERM, SIGINT, SIGHUP};
struct sigaction previous[std::size(Handled)];
int wakeFds[2] = {-1, -1}; // [0] written by the handler, [1] read by the event loop

// Async-signal-safe: only write() is called, errno kept for the code it interrupted. The write
// end does not block, so a burst of signals that fills the pair loses bytes, never hangs.
void onSignal(int number) {
    const int savedErrno = errno;
    const char byte = char(number);
    [[maybe_unused]] const ssize_t written = ::write(wakeFds[0], &byte, 1);
    errno = savedErrno;
}

} // namespace

QuitSignals::QuitSignals(QObject* parent) : QObject(parent) {
    if (wakeFds[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, wakeFds) != 0)
        return;
    ::fcntl(wakeFds[0], F_SETFL, ::fcntl(wakeFds[0], F_GETFL) | O_NONBLOCK);
    notifier_ = new QSocketNotifier(wakeFds[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        if (::read(wakeFds[1], &byte, 1) == 1)
            emit received(int(byte));
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(Handled); ++i)
        sigaction(Handled[i], &action, &previous[i]);
}

QuitSignals::~QuitSignals() {
    if (!notifier_)
        return;
    for (std::size_t i = 0; i < std::size(Handled); ++i)
        sigaction(Handled[i], &previous[i], nullptr);
    delete notifier_;
    ::close(wakeFds[0]);
    ::close(wakeFds[1]);
    wakeFds[0] = wakeFds[1] = -1;
}

} // namespace kvt
