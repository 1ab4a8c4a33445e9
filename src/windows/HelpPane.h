#pragma once

#include <QStringList>

class QPlainTextEdit;
class QWidget;

// The read-only cream help pane of the module windows ("help"), with its lines; at
// least as wide as the longest line.
QPlainTextEdit *createHelpPane(QWidget *parent, const QStringList &lines);

// The lines of a fixed list of texts.
template<typename Texts>
QStringList helpLines(const Texts &texts)
{
    QStringList lines;
    for (const char *line : texts)
        lines << QString::fromLatin1(line);
    return lines;
}
