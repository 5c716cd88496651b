// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimLine.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>

namespace {

speed_t SpeedOf(int baud) {
    switch (baud) {
        case 1200:
            return B1200;
        case 4800:
            return B4800;
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        default:
            return B2400;
    }
}

}  // namespace

SimLine::~SimLine() {
    if (fd_ >= 0) close(fd_);
}

double SimLine::Now() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

void SimLine::SleepUntil(double seconds, const volatile bool& stop) {
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(seconds);
    ts.tv_nsec = static_cast<long>((seconds - std::floor(seconds)) * 1e9);
    while (!stop && clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
    }
}

bool SimLine::CreatePty(std::string& error) {
    fd_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0 || grantpt(fd_) != 0 || unlockpt(fd_) != 0 || ptsname(fd_) == nullptr) {
        error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    path_ = ptsname(fd_);
    // Opening and closing the slave once makes the master report a hang-up
    // until a reader opens it, which is how the reader is noticed.
    int slave = open(path_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave >= 0) {
        termios t{};
        if (tcgetattr(slave, &t) == 0) {
            cfmakeraw(&t);
            tcsetattr(slave, TCSANOW, &t);
        }
        close(slave);
    }
    isPty_ = true;
    return true;
}

bool SimLine::OpenDevice(const std::string& path, int baud, std::string& error) {
    path_ = path;
    fd_ = open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC | O_APPEND | O_CREAT, 0644);
    if (fd_ < 0) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    if (isatty(fd_)) {
        termios t{};
        if (tcgetattr(fd_, &t) == 0) {
            cfmakeraw(&t);
            t.c_cflag |= CLOCAL;
            cfsetispeed(&t, SpeedOf(baud));
            cfsetospeed(&t, SpeedOf(baud));
            tcsetattr(fd_, TCSANOW, &t);
        }
    }
    return true;
}

bool SimLine::ReaderGone() const {
    if (!isPty_) return false;
    pollfd p{fd_, 0, 0};
    return poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR));
}

bool SimLine::WaitForReader(const volatile bool& stop) {
    while (!stop && isPty_ && ReaderGone()) usleep(10000);
    return !stop;
}

bool SimLine::WaitWritable(const volatile bool& stop) {
    while (!stop) {
        pollfd p{fd_, POLLOUT, 0};
        int n = poll(&p, 1, 100);
        if (n < 0 && errno != EINTR) return false;
        if (n <= 0) continue;
        if (isPty_ && (p.revents & (POLLHUP | POLLERR))) return false;
        if (p.revents & POLLOUT) return true;
    }
    return false;
}

bool SimLine::Send(std::string_view bytes, double startSeconds, double byteSeconds,
                   const volatile bool& stop) {
    size_t done = 0;
    while (done < bytes.size()) {
        if (stop || ReaderGone()) return false;
        size_t chunk = bytes.size() - done;
        if (byteSeconds > 0) {
            SleepUntil(startSeconds + static_cast<double>(done) * byteSeconds, stop);
            chunk = 1;
        }
        if (!WaitWritable(stop)) return false;
        ssize_t n = write(fd_, bytes.data() + done, chunk);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

void SimLine::Finish(double lingerSeconds, const volatile bool& stop) {
    if (!isPty_) {
        if (isatty(fd_)) tcdrain(fd_);
        return;
    }
    double end = Now() + lingerSeconds;
    while (!stop && Now() < end && !ReaderGone()) usleep(10000);
}
