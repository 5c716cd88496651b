// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <thread>

// A pseudo-terminal whose slave side plays the serial device; the test
// writes the instrument's bytes on the master side.
struct PtyPair {
    int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    std::string slavePath = grantpt(master) == 0 && unlockpt(master) == 0 ? ptsname(master) : "";

    ~PtyPair() { CloseMaster(); }
    bool Write(std::string_view bytes) {
        return write(master, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }
    void CloseMaster() {
        if (master >= 0) close(master);
        master = -1;
    }
};

// Points the symbolic link at target in one step, as a device name that
// stays while the adapters behind it change.
inline bool PointLinkAt(const std::string& link, const std::string& target) {
    const std::string next = link + ".next";
    return symlink(target.c_str(), next.c_str()) == 0 && rename(next.c_str(), link.c_str()) == 0;
}

// Pulls the adapter out: its name goes first, as the system removes it, so
// that no retry opens the terminal number the kernel may already have given
// to another test running beside this one.
inline void Unplug(const std::string& link, PtyPair& pty) {
    unlink(link.c_str());
    pty.CloseMaster();
}

// Waits until the port's monitor thread runs (and has dropped stale input).
template <typename Port>
bool WaitUntilRunning(const Port& port) {
    for (int i = 0; i < 500 && !port.threadRunning(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return port.threadRunning();
}
