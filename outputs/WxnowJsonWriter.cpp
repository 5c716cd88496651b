// SPDX-License-Identifier: GPL-3.0-or-later
#include "WxnowJsonWriter.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "CurrentConditionsJson.h"

namespace {
constexpr std::chrono::seconds kMinInterval{1};

bool WriteWhole(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}
}  // namespace

WxnowJsonWriter::WxnowJsonWriter(std::filesystem::path file, Clock clock)
    : file_(std::move(file)), clock_(std::move(clock)) {
    // In the same folder, so that the rename never crosses file systems.
    temp_ = file_;
    temp_.replace_filename("." + file_.filename().string() + ".tmp");
}

WxnowJsonWriter::~WxnowJsonWriter() {
    Flush();
}

void WxnowJsonWriter::OnRecord(const StationState& state) {
    const auto now = clock_();
    if (lastWrite_ && now - *lastWrite_ < kMinInterval) {
        heldBack_ = state;
        return;
    }
    lastWrite_ = now;
    heldBack_.reset();
    Replace(state);
}

void WxnowJsonWriter::Flush() {
    if (!heldBack_) return;
    lastWrite_ = clock_();
    Replace(*heldBack_);
    heldBack_.reset();
}

// Failures leave the previous file in place, like the report files: the next
// record tries again.
bool WxnowJsonWriter::Replace(const StationState& state) {
    const int fd = open(temp_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool written = WriteWhole(fd, CurrentConditionsJson(state) + "\n");
    const bool closed = close(fd) == 0;
    if (!written || !closed || std::rename(temp_.c_str(), file_.c_str()) != 0) {
        unlink(temp_.c_str());
        return false;
    }
    ++filesWritten_;
    return true;
}
