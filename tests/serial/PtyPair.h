#pragma once

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <string_view>
#include <thread>

// A pseudo-terminal whose slave side plays the serial device; the test
// writes the instrument's bytes on the master side.
class PtyPair {
public:
    PtyPair() : master_(posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC)) {
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) slavePath_ = ptsname(master_);
    }
    ~PtyPair() { CloseMaster(); }

    bool ok() const { return !slavePath_.empty(); }
    int master() const { return master_; }
    const std::string& slavePath() const { return slavePath_; }
    bool Write(std::string_view bytes) {
        return write(master_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }
    void CloseMaster() {
        if (master_ >= 0) close(master_);
        master_ = -1;
    }

private:
    int master_;
    std::string slavePath_;
};

// Waits until the port's monitor thread runs (and has dropped stale input).
template <typename Port>
bool WaitUntilRunning(const Port& port) {
    for (int i = 0; i < 500 && !port.threadRunning(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return port.threadRunning();
}
