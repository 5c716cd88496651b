// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes, as if from serial port 1, through the whole
// processing with saving on: line collection, decoding, the station clock,
// the five-minute point and the files it writes. Besides crashes it checks
// what line noise must never produce: a log line at an impossible time, a log
// named after one, a torn report. The files go to a scratch folder made once
// per process (left behind, empty) and emptied after every input.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "HeadlessChart.h"
#include "HeadlessView.h"
#include "StationPipeline.h"

namespace fs = std::filesystem;

namespace {

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

// Made once per process; the working directory only while an input runs, so
// that the fuzzer's own relative paths (corpus, artifacts) stay its own.
const fs::path& ScratchFolder() {
    static const fs::path folder = [] {
        // In memory where there is such a folder: on a disk every report
        // replacement would cost a flush.
        const fs::path base = fs::is_directory("/dev/shm") ? "/dev/shm" : fs::temp_directory_path();
        std::string name = (base / "nimbulo-fuzz-XXXXXX").string();
        Check(mkdtemp(name.data()) != nullptr);
        return fs::path(name);
    }();
    return folder;
}

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

bool IsTime(const std::string& text, std::size_t at, int minuteStep) {
    if (text.size() < at + 5 || text[at + 2] != ':') return false;
    const int hours = std::stoi(text.substr(at, 2)), minutes = std::stoi(text.substr(at + 3, 2));
    return hours < 24 && minutes < 60 && minutes % minuteStep == 0;
}

std::size_t CountLines(const std::string& text) {
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
    return lines;
}

// "U2KYYYYMMDDhhmm.txt": whole lines only, each data line at a five-minute time.
void CheckLog(const fs::path& path) {
    const std::string name = path.filename().string();
    Check(name.size() >= 19 &&
          IsTime(name.substr(name.size() - 8, 2) + ":" + name.substr(name.size() - 6, 2), 0, 1));
    const std::string text = Read(path);
    Check(text.empty() || text.ends_with("\r\n"));
    for (std::size_t begin = 0; begin < text.size();) {
        const std::size_t end = text.find("\r\n", begin);
        const std::string line = text.substr(begin, end - begin);
        if (!line.starts_with("DateTime\t")) Check(IsTime(line, line.find(' ') + 1, 5));
        begin = end + 2;
    }
}

void CheckAndRemoveFiles() {
    if (fs::exists("OutputData")) {
        for (const auto& entry : fs::directory_iterator("OutputData")) CheckLog(entry.path());
    }
    if (fs::exists(kAprsReportFile)) Check(CountLines(Read(kAprsReportFile)) == 2);
    if (fs::exists(kMixwReportFile)) Check(CountLines(Read(kMixwReportFile)) == 6);
    fs::remove_all("OutputData");
    fs::remove(kAprsReportFile);
    fs::remove(kMixwReportFile);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const fs::path previous = fs::current_path();
    fs::current_path(ScratchFolder());
    {
        HeadlessView view;
        HeadlessChart chart;
        StationPipeline pipeline(view, chart, [] {
            CalendarDate today;
            today.FromDate(7, 15, 2002);
            return today;
        });
        pipeline.options().saveData = 1;
        for (std::size_t i = 0; i < size; ++i) pipeline.OnSerialCharacter(data[i], 1);
    }
    CheckAndRemoveFiles();
    fs::current_path(previous);
    return 0;
}
