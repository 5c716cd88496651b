// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

// The application: names the settings' organisation, runs the main window
// modally and ends when it closes or at SIGTERM, SIGINT or SIGHUP. The
// settings' application name is left to Qt, which takes the program's file
// name, so a copy under another name keeps settings of its own.
class StationApp : public QObject {
    Q_OBJECT

  public:
    StationApp();
    ~StationApp() override;

    // Start-up, the modal run and the window's destruction; returns the
    // process's exit code.
    int Run();
    // Presses Read Weather Data once the window runs (the demo, whose
    // simulator is already sending).
    void ReadAtStart() { readAtStart_ = true; }
    // The window says in its title that it shows a simulated station.
    void ShowAsDemo() { demo_ = true; }

  private:
    // Sets the organisation and version.
    static void SetUpApplication();

    bool readAtStart_ = false;
    bool demo_ = false;
};
