#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QStringList>
#include <QTimer>

class QLabel;
class QPlainTextEdit;

// The log pane's lines and the status bar text. Shown one at a time, every line costs
// a layout and a scroll of the text view and every status text a relayout of the
// status bar; during a whole-card run that is most of the program's work. So both are
// kept here and handed to their widgets together the next time the event loop runs (at
// the latest at a run's next progress update). Lines keep their text and order, and
// lines() and status() always answer with what has been set, shown or not.
class LogAndStatus
{
public:
    LogAndStatus(QPlainTextEdit *logView, QLabel *statusLabel);

    void appendLine(const QByteArray &line);
    void clearLog();
    [[nodiscard]] QByteArrayList lines() const;

    void setStatus(const QByteArray &text);
    [[nodiscard]] QByteArray status() const { return m_status; }

    // Shows what was set since the last time, now.
    void flush() const;

private:
    void schedule();

    QPlainTextEdit *m_logView;
    QLabel *m_statusLabel;
    mutable QStringList m_pendingLines;
    QByteArray m_status;
    mutable bool m_statusPending = false;
    bool m_following = true; // the end of the log is in sight: new lines scroll it

    mutable QTimer m_flushTimer;
};
