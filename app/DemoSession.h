// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>

// A simulated station for trying Nimbulo without one: starts nimbulo-sim on
// a pseudo-terminal, gives the program a settings folder of its own in which
// COM1 names that terminal, and makes a demo folder the working directory
// for the files. The user's own settings are not touched. Must run before
// the first QSettings is made (Qt keeps the first configuration folder it
// sees), since it sets XDG_CONFIG_HOME. The simulator
// gets the arguments in NIMBULO_DEMO_SIM_ARGS, else "--speed 60".
class DemoSession {
  public:
    DemoSession() = default;
    DemoSession(const DemoSession&) = delete;
    DemoSession& operator=(const DemoSession&) = delete;
    // Stops the simulator.
    ~DemoSession();

    // programPath: this program's path, to find nimbulo-sim beside it.
    // False with error() set when the simulator could not be started.
    bool Start(const std::string& programPath);

    const std::string& devicePath() const { return devicePath_; }
    const std::string& folder() const { return folder_; }
    const std::string& error() const { return error_; }

    // The folder the demo works in: $XDG_DATA_HOME (or ~/.local/share)/Quillfen/NimbuloDemo.
    static std::string DefaultFolder();
    // Whether a station seems to be attached: a "Ports/COM1" setting in the
    // user's configuration of this program, or a USB or ACM serial device in `dev`.
    static bool StationConfigured(const std::string& programPath,
                                  const std::filesystem::path& dev = "/dev");

  private:
    std::string FindSimulator(const std::string& programPath) const;
    bool LaunchSimulator(const std::string& simulator);
    void WriteDemoSettings(const std::string& programPath) const;

    std::string folder_;
    std::string devicePath_;
    std::string error_;
    pid_t simulator_ = -1;
};
