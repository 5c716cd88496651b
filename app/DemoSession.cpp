// SPDX-License-Identifier: GPL-3.0-or-later
#include "DemoSession.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QSettings>
#include <QString>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

#include "PortConfig.h"
#include "SerialDeviceList.h"
#include "SettingsLocation.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kSimulatorName = "nimbulo-sim";
// A station minute per second, so the chart moves every five seconds.
constexpr const char* kSimulatorSpeed = "60";
// The COM number that leads to the simulator.
constexpr int kDemoPort = 1;

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The program's settings file as it is now; the demo moves the configuration
// folder before Qt starts.
QString SettingsFile(const std::string& programPath) {
    return SettingsLocation::OfProgramPath(programPath).FileFromEnvironment();
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

DemoSession::~DemoSession() {
    if (simulator_ > 0) {
        kill(simulator_, SIGTERM);
        waitpid(simulator_, nullptr, 0);
    }
}

std::string DemoSession::DefaultFolder() {
    std::string data = Environment("XDG_DATA_HOME");
    if (data.empty()) data = Environment("HOME") + "/.local/share";
    return data + "/" + SettingsLocation::kOrganisation + "/NimbuloDemo";
}

bool DemoSession::StationConfigured(const std::string& programPath, const fs::path& dev) {
    // Read before the demo points the configuration elsewhere.
    const QSettings settings(SettingsFile(programPath), QSettings::IniFormat);
    if (PortConfig::ConfiguredDevice(settings, kDemoPort)) return true;
    // A built-in UART says nothing (virtual machines have one with nothing
    // on it, and whether it ever received is for root to read); a USB adapter
    // is there for a reason.
    return SerialDeviceList::UsbPresent(dev);
}

bool DemoSession::Start(const std::string& programPath) {
    folder_ = DefaultFolder();
    std::error_code ignored;
    fs::create_directories(fs::path(folder_) / "config", ignored);
    const std::string simulator = FindSimulator(programPath);
    if (simulator.empty()) {
        error_ = std::string(kSimulatorName) + " was not found beside " + programPath +
                 " (build it with: cmake --build build --target " + kSimulatorName + ")";
        return false;
    }
    if (!LaunchSimulator(simulator)) return false;
    setenv("XDG_CONFIG_HOME", (fs::path(folder_) / "config").c_str(), 1);
    WriteDemoSettings(programPath);
    if (chdir(folder_.c_str()) != 0) {
        error_ = "cannot work in " + folder_;
        return false;
    }
    return true;
}

std::string DemoSession::FindSimulator(const std::string& programPath) const {
    const fs::path programDir = fs::absolute(programPath).parent_path();
    const fs::path candidates[] = {programDir / kSimulatorName,
                                   programDir.parent_path() / "tools" / "sim" / kSimulatorName};
    for (const fs::path& candidate : candidates)
        if (access(candidate.c_str(), X_OK) == 0) return candidate.string();
    for (std::string dir; const std::string& path : {Environment("PATH")}) {
        std::istringstream dirs(path);
        while (std::getline(dirs, dir, ':'))
            if (!dir.empty() && access((fs::path(dir) / kSimulatorName).c_str(), X_OK) == 0)
                return (fs::path(dir) / kSimulatorName).string();
    }
    return {};
}

// The simulator prints the terminal it made; its output goes to a log file
// in the demo folder, where we look for that line.
bool DemoSession::LaunchSimulator(const std::string& simulator) {
    const fs::path log = fs::path(folder_) / "nimbulo-sim.log";
    const int logFd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (logFd < 0) {
        error_ = "cannot write " + log.string();
        return false;
    }
    std::vector<std::string> args{simulator};
    std::istringstream extra(Environment("NIMBULO_DEMO_SIM_ARGS"));
    for (std::string arg; extra >> arg;) args.push_back(arg);
    if (args.size() == 1) args.insert(args.end(), {"--speed", kSimulatorSpeed});
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    const pid_t parent = getpid();
    simulator_ = fork();
    if (simulator_ == 0) {
        // The simulator ends with the window however the window ends, killed
        // included; a parent gone before this line counts too.
        if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != parent) _exit(126);
        dup2(logFd, STDOUT_FILENO);
        dup2(logFd, STDERR_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(logFd);
    if (simulator_ < 0) {
        error_ = "cannot start " + simulator;
        return false;
    }
    const std::regex device(R"((/dev/pts/[0-9]+))");
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::smatch match;
        const std::string text = ReadFile(log);
        if (std::regex_search(text, match, device)) {
            devicePath_ = match[1];
            return true;
        }
        if (waitpid(simulator_, nullptr, WNOHANG) == simulator_) {
            simulator_ = -1;
            error_ = simulator + " ended at once: " + text;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    error_ = simulator + " named no terminal (see " + log.string() + ")";
    return false;
}

// COM1 is the simulator for this run, whatever port an earlier demo left
// chosen. On the demo's first run it also plots outdoor temperature, outdoor
// humidity and wind, and saves data.
void DemoSession::WriteDemoSettings(const std::string& programPath) const {
    QSettings settings(SettingsFile(programPath), QSettings::IniFormat);
    if (!settings.contains("Settings/ComPort")) {
        settings.setValue("Settings/PlotItem0", 1);
        settings.setValue("Settings/PlotItem2", 1);
        settings.setValue("Settings/PlotItem5", 1);
        settings.setValue("Settings/SaveStatus", 1);
    }
    settings.setValue("Settings/ComPort", kDemoPort);
    settings.setValue(PortConfig::SettingsKey(kDemoPort), QString::fromStdString(devicePath_));
    settings.sync();
}
