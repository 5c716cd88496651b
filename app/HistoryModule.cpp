// SPDX-License-Identifier: GPL-3.0-or-later
#include "HistoryModule.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLibrary>

QStringList HistoryModule::Candidates() {
    const QString named = qEnvironmentVariable("NIMBULO_HISTORY_MODULE");
    if (!named.isEmpty()) return {named};
    const QDir programs(QCoreApplication::applicationDirPath());
    // NIMBULO_MODULE_DIR: from the installed program's folder to the module's.
    return {programs.filePath(kFileName),
            QDir::cleanPath(programs.filePath(NIMBULO_MODULE_DIR "/") + kFileName)};
}

HistoryWindowInterface* HistoryModule::Open(HistoryWindowArgs args, QWidget* parent,
                                            QString& error) {
    // Never unloaded: the windows it makes run its code until the program ends.
    static QHash<QString, HistoryModuleEntry> loaded;
    QStringList tried;
    for (const QString& file : Candidates()) {
        HistoryModuleEntry entry = loaded.value(file);
        if (!entry && !QFileInfo::exists(file)) {
            tried << QObject::tr("%1: not there").arg(QDir::toNativeSeparators(file));
            continue;
        }
        if (!entry) {
            QLibrary library(file);
            entry = reinterpret_cast<HistoryModuleEntry>(library.resolve(kHistoryModuleEntry));
            if (!entry) {
                tried << library.errorString();
                continue;
            }
            loaded.insert(file, entry);
        }
        if (HistoryWindowInterface* window = entry(kHistoryModuleVersion, args, parent))
            return window;
        tried << QObject::tr("%1 belongs to another version of Nimbulo")
                     .arg(QDir::toNativeSeparators(file));
    }
    error =
        QObject::tr("The history window's module could not be loaded.") + "\n\n" + tried.join("\n");
    return nullptr;
}
