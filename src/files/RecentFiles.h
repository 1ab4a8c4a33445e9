#pragma once

#include <QString>
#include <QStringList>

class SettingsFile;

// The card image files opened or saved last, newest first, at most ten, in the settings
// key "RecentFiles". The key is added the first time a file is remembered, so a first
// start writes no line for it. Names are stored percent-encoded: a value ends at a
// comma, and file names may hold commas.
class RecentFiles
{
public:
    static constexpr int Limit = 10;
    static inline const QByteArray Key = QByteArrayLiteral("RecentFiles");

    explicit RecentFiles(SettingsFile &settings) : m_settings(settings) {}

    [[nodiscard]] QStringList names() const;
    // Puts the name first (once); the oldest beyond the limit is dropped.
    void remember(const QString &fileName);

private:
    SettingsFile &m_settings;
};
