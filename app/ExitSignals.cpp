// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExitSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

ExitSignals::ExitSignals(QObject* parent) : QObject(parent) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
    readFd_ = fds[0];
    writeFd_ = fds[1];
    notifier_ = std::make_unique<QSocketNotifier>(readFd_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &ExitSignals::ReadPipe);
    struct sigaction action {};
    action.sa_handler = &ExitSignals::Handler;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        sigaction(kSignals[i], &action, &previous_[i]);
}

ExitSignals::~ExitSignals() {
    if (readFd_ < 0) return;
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        sigaction(kSignals[i], &previous_[i], nullptr);
    notifier_.reset();
    close(writeFd_);
    close(readFd_);
    writeFd_ = -1;
}

// Async-signal-safe: one write, errno kept for the interrupted code.
void ExitSignals::Handler(int signalNumber) {
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signalNumber);
    ssize_t written = write(writeFd_, &number, 1);
    (void)written;  // a full pipe already holds a signal to act on
    errno = savedErrno;
}

void ExitSignals::ReadPipe() {
    unsigned char number = 0;
    while (read(readFd_, &number, 1) == 1) emit Received(number);
}
