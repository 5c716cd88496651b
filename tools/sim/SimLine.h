// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

// The line the simulator sends on: the master side of a pseudo-terminal it
// creates, or a device or file it is given. It paces bytes like a serial
// line and notices when the reader of a pseudo-terminal has gone.
class SimLine {
  public:
    SimLine() = default;
    ~SimLine();
    SimLine(const SimLine&) = delete;
    SimLine& operator=(const SimLine&) = delete;

    // Creates a pseudo-terminal; its device path is then path().
    bool CreatePty(std::string& error);
    // Opens an existing device (set to 2400 8N1 raw when it is a terminal) or
    // appends to a file.
    bool OpenDevice(const std::string& path, int baud, std::string& error);
    const std::string& path() const { return path_; }
    bool isPty() const { return isPty_; }

    // Waits until a reader has the pseudo-terminal open; false when stopped.
    bool WaitForReader(const volatile bool& stop);
    // Sends bytes, one every byteSeconds after startSeconds on the monotonic
    // clock (0: all at once). False when the reader went away or writing failed.
    bool Send(std::string_view bytes, double startSeconds, double byteSeconds,
              const volatile bool& stop);
    // After the last record: a pseudo-terminal stays open until its reader
    // closes it or lingerSeconds pass; a device is drained.
    void Finish(double lingerSeconds, const volatile bool& stop);

    static double Now();
    static void SleepUntil(double seconds, const volatile bool& stop);

  private:
    bool ReaderGone() const;
    bool WaitWritable(const volatile bool& stop);

    int fd_ = -1;
    bool isPty_ = false;
    std::string path_;
};
