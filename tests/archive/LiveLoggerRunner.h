// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ArchiveTestSupport.h"
#include "PtyPair.h"
#include "ToolRunner.h"

// nimbulo-logger reading a pseudo-terminal live. The terminal is plugged in
// once the logger runs: a device that comes back is not purged, so every
// byte written after StartLive returns is read.
class LiveLoggerRunner : public ToolRunner {
  protected:
    // The terminal to write to; none when the logger did not take it.
    std::unique_ptr<PtyPair> StartLive(const std::vector<std::string>& options) {
        using namespace std::chrono_literals;
        const std::string link = work + "/ttyUSB0";
        std::filesystem::remove(link);
        archive_test::ForgetOutput(work, "logger");
        std::vector<std::string> args = {"--device", link};
        args.insert(args.end(), options.begin(), options.end());
        Start("logger", args);
        const auto told = [this](const char* text) {
            return WaitFor([&] { return Err("logger").find(text) != std::string::npos; }, 30s);
        };
        if (!told("which cannot be opened")) return nullptr;
        auto pty = std::make_unique<PtyPair>();
        if (!PointLinkAt(link, pty->slavePath) || !told("is back after")) return nullptr;
        return pty;
    }
};
