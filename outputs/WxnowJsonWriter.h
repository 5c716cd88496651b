// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>

#include "FivePointWriter.h"
#include "RecordListener.h"

inline constexpr const char* kWxnowJsonFile = "wxnow.json";

// Keeps wxnow.json (CurrentConditionsJson) up to date for web pages and
// scripts. The file is replaced whole by a rename, so a reader finds either
// the old or the new text, never a half-written one; it is written at most
// once a second, however fast records come.
class WxnowJsonWriter : public RecordListener {
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    explicit WxnowJsonWriter(std::filesystem::path file = kWxnowJsonFile,
                             Clock clock = &std::chrono::steady_clock::now);
    ~WxnowJsonWriter() override;

    void OnRecord(const StationState& state) override;
    // Writes a state held back by the once-a-second limit; for the end of a run.
    void Flush();

    const std::filesystem::path& path() const { return file_; }
    long filesWritten() const { return filesWritten_; }

  private:
    bool Replace(const StationState& state);

    std::filesystem::path file_;
    std::filesystem::path temp_;
    Clock clock_;
    std::optional<std::chrono::steady_clock::time_point> lastWrite_;
    std::optional<StationState> heldBack_;
    long filesWritten_ = 0;
};
