// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <memory>

class HelpWindow;
class StationWindow;

// The application: names the settings' organisation, runs the main window
// modally and ends when it closes or at SIGTERM, SIGINT or SIGHUP. The settings' application name
// is left to Qt, which takes the program's file name, so a copy under another name keeps settings
// of its own. It also answers the Help button.
class StationApp : public QObject {
    Q_OBJECT

  public:
    StationApp();
    ~StationApp() override;

    // Start-up, the modal run and the window's destruction; returns the
    // process's exit code.
    int Run();

    // Opens (or raises) the help page.
    void ShowHelp();
    HelpWindow* helpWindow() const { return help_.get(); }

  private:
    // Sets the organisation and version.
    static void SetUpApplication();

    std::unique_ptr<HelpWindow> help_;
};
