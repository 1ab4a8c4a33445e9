#include "windows/LogAndStatus.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>

LogAndStatus::LogAndStatus(QPlainTextEdit *logView, QLabel *statusLabel)
    : m_logView(logView)
    , m_statusLabel(statusLabel)
{
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(0);
    QObject::connect(&m_flushTimer, &QTimer::timeout, m_logView, [this] { flush(); });

    // The pane follows new lines while its end is in sight, also after a resize moved
    // the end (the text view itself stops following then); a user who scrolled up
    // keeps the place.
    QScrollBar *bar = m_logView->verticalScrollBar();
    QObject::connect(bar, &QScrollBar::valueChanged, m_logView,
                     [this, bar](int value) { m_following = value >= bar->maximum(); });
    QObject::connect(bar, &QScrollBar::rangeChanged, m_logView, [this, bar](int, int maximum) {
        if (m_following)
            bar->setValue(maximum);
    });
}

void LogAndStatus::appendLine(const QByteArray &line)
{
    m_pendingLines.append(QString::fromLatin1(line));
    schedule();
}

void LogAndStatus::clearLog()
{
    m_pendingLines.clear();
    m_logView->clear();
    m_following = true;
}

QByteArrayList LogAndStatus::lines() const
{
    flush();
    const QString text = m_logView->toPlainText();
    if (text.isEmpty())
        return {};
    return text.toLatin1().split('\n');
}

void LogAndStatus::setStatus(const QByteArray &text)
{
    m_status = text;
    m_statusPending = true;
    schedule();
}

void LogAndStatus::schedule()
{
    if (!m_flushTimer.isActive())
        m_flushTimer.start();
}

void LogAndStatus::flush() const
{
    m_flushTimer.stop();
    if (m_statusPending) {
        m_statusLabel->setText(QString::fromLatin1(m_status));
        m_statusPending = false;
    }
    // Appended one by one, empty lines leave an empty pane empty.
    if (m_logView->document()->isEmpty()) {
        while (!m_pendingLines.isEmpty() && m_pendingLines.front().isEmpty())
            m_pendingLines.removeFirst();
    }
    if (m_pendingLines.isEmpty())
        return;
    // Joined by paragraph separators, the lines make the same paragraphs as separate
    // appends would, also when a line holds a carriage return or a line feed.
    m_logView->appendPlainText(m_pendingLines.join(QChar::ParagraphSeparator));
    m_pendingLines.clear();
}
