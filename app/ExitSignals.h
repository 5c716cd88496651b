// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <csignal>
#include <iterator>
#include <memory>

// Turns SIGTERM (logout, shutdown), SIGINT (Ctrl-C) and SIGHUP (a closed
// terminal) into a Qt signal on this object's thread, so that the program
// can end the way it ends after the close box instead of dying where it
// stands. The handler only writes the signal's number into a pipe; a socket
// notifier reads it in the event loop. The previous handlers come back when
// this object goes.
class ExitSignals : public QObject {
    Q_OBJECT

  public:
    explicit ExitSignals(QObject* parent = nullptr);
    ~ExitSignals() override;

  signals:
    void Received(int signalNumber);

  private:
    static void Handler(int signalNumber);
    void ReadPipe();

    static constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
    static inline int writeFd_ = -1;
    int readFd_ = -1;
    struct sigaction previous_[std::size(kSignals)] = {};
    std::unique_ptr<QSocketNotifier> notifier_;
};
