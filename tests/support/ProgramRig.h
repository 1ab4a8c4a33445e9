#pragma once

#include "ScriptedDialogs.h"

#include "app/MainWindow.h"
#include "app/ProgramWindows.h"
#include "base/SettingsFile.h"

#include <QTemporaryDir>

#include <memory>

// The whole program as it starts, on a temporary settings file, with scripted dialogs.
// Write settings first (or not) and then call start().
struct ProgramRig
{
    QTemporaryDir dir;
    SettingsFile settings {dir.filePath(QStringLiteral("merlox_mifare_cnf.txt"))};
    ScriptedDialogs dialogs;
    std::unique_ptr<ProgramWindows> windows;

    ProgramWindows &start()
    {
        windows = std::make_unique<ProgramWindows>(settings, dialogs);
        return *windows;
    }
    MainWindow &main() { return windows->main(); }

    // The raw settings file.
    [[nodiscard]] QByteArray settingsBytes() const;
    void writeSettingsBytes(const QByteArray &bytes) const;
};
