// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <memory>
#include <string>

class QSettings;

// Where the station display keeps its settings: the user's settings of
// organisation "Quillfen" and of an application named after the program file
// (on Linux $XDG_CONFIG_HOME/Quillfen/<name>.conf). A copy of the display
// under another name keeps settings of its own; the companion programs read
// those of "nimbulo".
class SettingsLocation {
  public:
    static constexpr const char* kOrganisation = "Quillfen";
    static constexpr const char* kDisplayProgram = "nimbulo";

    explicit SettingsLocation(QString applicationName = QString::fromLatin1(kDisplayProgram));
    // The running Qt application's, named by Qt after its program file.
    static SettingsLocation OfRunningProgram();
    // A program's, from its path, before Qt runs.
    static SettingsLocation OfProgramPath(const std::string& programPath);

    const QString& applicationName() const { return applicationName_; }
    std::unique_ptr<QSettings> Open() const;
    // The file worked out from XDG_CONFIG_HOME (else HOME) as it is now. Qt
    // keeps the first configuration folder it sees for the whole process, so
    // a program that moves that folder before Qt starts asks here instead.
    QString FileFromEnvironment() const;

  private:
    QString applicationName_;
};
