// SPDX-License-Identifier: GPL-3.0-or-later
#include "PosixSerialDevice.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

struct BaudEntry {
    int baud;
    speed_t speed;
};

constexpr BaudEntry kBauds[] = {{110, B110},     {300, B300},     {600, B600},      {1200, B1200},
                                {2400, B2400},   {4800, B4800},   {9600, B9600},    {19200, B19200},
                                {38400, B38400}, {57600, B57600}, {115200, B115200}};

bool SpeedOf(int baud, speed_t& speed) {
    for (const auto& e : kBauds) {
        if (e.baud == baud) {
            speed = e.speed;
            return true;
        }
    }
    return false;
}

int ErrnoOr(int result) {
    return result == 0 ? 0 : errno;
}

// Whatever the device says to a modem-line request, a line without modem
// lines (a pseudo-terminal) or a plain file cannot carry RTS and needs none.
bool IsMissingModemLine(int error) {
    return error == ENOTTY || error == EINVAL;
}

}  // namespace

PosixSerialDevice::PosixSerialDevice() {
    wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

PosixSerialDevice::~PosixSerialDevice() {
    Close();
    if (wakeFd_ >= 0) close(wakeFd_);
}

int PosixSerialDevice::Open(const std::string& deviceName) {
    Close();
    // Non-blocking only for the open itself, so that a missing carrier cannot hold it.
    int fd = open(deviceName.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno;
    if (isatty(fd) && ioctl(fd, TIOCEXCL) != 0) {
        int error = errno;
        close(fd);
        return error;
    }
    int flags = fcntl(fd, F_GETFL);
    if (flags >= 0) fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    fd_ = fd;
    return 0;
}

void PosixSerialDevice::Close() {
    if (fd_ < 0) return;
    ioctl(fd_, TIOCNXCL);
    close(fd_);
    fd_ = -1;
}

int PosixSerialDevice::SetReadTimeout(int milliseconds) {
    // termios knows one read time-out in tenths of a second (VTIME, at most 25.5 s);
    // with VMIN 0 a read returns the first byte at once or nothing after it.
    termios t{};
    if (tcgetattr(fd_, &t) != 0) return errno;
    int tenths = std::clamp((milliseconds + 99) / 100, 0, 255);
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = static_cast<cc_t>(tenths);
    pending_.c_cc[VMIN] = 0;
    pending_.c_cc[VTIME] = static_cast<cc_t>(tenths);
    return ErrnoOr(tcsetattr(fd_, TCSANOW, &t));
}

int PosixSerialDevice::SetEventMask(uint32_t mask) {
    if (fd_ < 0) return EBADF;
    eventMask_ = mask;
    return 0;
}

int PosixSerialDevice::GetState() {
    termios t{};
    if (tcgetattr(fd_, &t) != 0) return errno;
    cc_t vmin = pending_.c_cc[VMIN];
    cc_t vtime = pending_.c_cc[VTIME];
    pending_ = t;
    pending_.c_cc[VMIN] = vmin;
    pending_.c_cc[VTIME] = vtime;
    return 0;
}

int PosixSerialDevice::ParseSettings(const std::string& settingsText, termios& t) {
    int baud = 0, data = 0, stop = 0;
    char parity = 0;
    if (std::sscanf(settingsText.c_str(), "baud=%d parity=%c data=%d stop=%d", &baud, &parity,
                    &data, &stop) != 4) {
        return EINVAL;
    }
    speed_t speed;
    if (!SpeedOf(baud, speed)) return EINVAL;
    cfmakeraw(&t);
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK);
    switch (data) {
        case 5:
            t.c_cflag |= CS5;
            break;
        case 6:
            t.c_cflag |= CS6;
            break;
        case 7:
            t.c_cflag |= CS7;
            break;
        case 8:
            t.c_cflag |= CS8;
            break;
        default:
            return EINVAL;
    }
    switch (parity) {
        case 'N':
        case 'n':
            break;
        case 'E':
        case 'e':
            t.c_cflag |= PARENB;
            t.c_iflag |= INPCK;
            break;
        case 'O':
        case 'o':
            t.c_cflag |= PARENB | PARODD;
            t.c_iflag |= INPCK;
            break;
        default:
            return EINVAL;  // mark and space parity have no termios bits
    }
    switch (stop) {
        case 1:
            break;
        case 2:
            t.c_cflag |= CSTOPB;
            break;
        default:
            return EINVAL;
    }
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    return 0;
}

int PosixSerialDevice::BuildState(const std::string& settingsText, bool rtsEnable) {
    termios t = pending_;
    int error = ParseSettings(settingsText, t);
    if (error != 0) return error;
    t.c_cc[VMIN] = pending_.c_cc[VMIN];
    t.c_cc[VTIME] = pending_.c_cc[VTIME];
    pending_ = t;
    rtsEnable_ = rtsEnable;
    return 0;
}

int PosixSerialDevice::SetState() {
    if (tcsetattr(fd_, TCSANOW, &pending_) != 0) return errno;
    if (!rtsEnable_) return 0;
    int bits = TIOCM_RTS;
    if (ioctl(fd_, TIOCMBIS, &bits) != 0 && !IsMissingModemLine(errno)) return errno;
    return 0;
}

int PosixSerialDevice::Purge() {
    if (fd_ < 0) return EBADF;
    if (!isatty(fd_)) return 0;
    return ErrnoOr(tcflush(fd_, TCIOFLUSH));
}

int PosixSerialDevice::QueuedBytes(int& count) {
    count = 0;
    if (fd_ < 0) return EBADF;
    return ErrnoOr(ioctl(fd_, FIONREAD, &count));
}

ReadResult PosixSerialDevice::ReadByte() {
    ReadResult result;
    uint8_t byte = 0;
    ssize_t n;
    do {
        n = read(fd_, &byte, 1);
    } while (n < 0 && errno == EINTR);
    if (n == 1) {
        result.outcome = ReadResult::Outcome::Byte;
        result.byte = byte;
    } else if (n == 0) {
        result.outcome = ReadResult::Outcome::TimedOut;
        result.error = ETIME;
    } else {
        result.outcome = ReadResult::Outcome::Failed;
        result.error = errno;
    }
    return result;
}

WaitResult PosixSerialDevice::WaitForEvent(bool watchPort, int timeoutMs) {
    if (watchPort && fd_ < 0) return {WaitResult::Outcome::PortFailed, EBADF};
    pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {fd_, POLLIN, 0}};
    nfds_t count = watchPort ? 2 : 1;
    for (;;) {
        int n = poll(fds, count, timeoutMs);
        // An interrupted timed wait ends early, which only means an early retry.
        if (n < 0 && errno == EINTR && timeoutMs < 0) continue;
        if (n == 0 || (n < 0 && errno == EINTR)) return {WaitResult::Outcome::TimedOut, 0};
        if (n < 0) return {WaitResult::Outcome::PortFailed, errno};
        break;
    }
    if (fds[0].revents != 0) return {WaitResult::Outcome::Shutdown, 0};
    short revents = fds[1].revents;
    if (revents & POLLNVAL) return {WaitResult::Outcome::PortFailed, EBADF};
    // A terminal that is hung up stays "readable" with nothing to read; only
    // bytes that are really queued make a port event, or the thread would spin.
    int queued = 0;
    if (ioctl(fd_, FIONREAD, &queued) != 0) return {WaitResult::Outcome::PortFailed, errno};
    if (queued > 0) return {WaitResult::Outcome::PortEvent, 0};
    if (revents & (POLLHUP | POLLERR)) return {WaitResult::Outcome::PortFailed, EIO};
    if (!isatty(fd_)) return {WaitResult::Outcome::PortFailed, ENODATA};  // end of a plain file
    return {WaitResult::Outcome::PortFailed, EIO};
}

void PosixSerialDevice::SignalShutdown() {
    uint64_t one = 1;
    ssize_t n = write(wakeFd_, &one, sizeof one);
    (void)n;  // the counter only saturates, and a set counter already wakes
}

void PosixSerialDevice::ResetShutdown() {
    uint64_t value;
    while (read(wakeFd_, &value, sizeof value) > 0) {
    }
}

std::string PosixSerialDevice::ErrorText(int error) const {
    char buffer[256];
    // GNU strerror_r returns the text, which may or may not be in buffer.
    return strerror_r(error, buffer, sizeof buffer);
}
