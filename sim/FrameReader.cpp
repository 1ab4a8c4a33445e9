#include "FrameReader.h"

#include "SimFrame.h"

QList<FrameReader::Event> FrameReader::feed(const QByteArray &bytes, qint64 nowMs)
{
    QList<Event> events;
    if (bytes.isEmpty())
        return events;
    if (!m_partial.isEmpty() && nowMs - m_lastByteMs > StaleAfterMs) {
        events.append({Event::Stale, m_partial});
        m_partial.clear();
    }
    m_lastByteMs = nowMs;

    QByteArray skipped;
    const auto flushSkipped = [&] {
        if (!skipped.isEmpty()) {
            events.append({Event::Skipped, skipped});
            skipped.clear();
        }
    };

    for (const char c : bytes) {
        const quint8 byte = quint8(c);
        if (m_partial.isEmpty()) {
            if (byte == SimFrame::Header)
                m_partial.append(c);
            else
                skipped.append(c);
            continue;
        }
        m_partial.append(c);
        if (m_partial.size() == 2) {
            if (byte != 0x00) {
                // Not a frame start after all; a second FF may be the real header.
                skipped.append(m_partial.at(0));
                m_partial.clear();
                if (byte == SimFrame::Header)
                    m_partial.append(c);
                else
                    skipped.append(c);
            }
            continue;
        }
        flushSkipped();
        if (m_partial.size() == 3) {
            if (byte == 0 || byte > SimFrame::MaxLength) {
                events.append({Event::BadLength, m_partial});
                m_partial.clear();
            }
            continue;
        }
        if (m_partial.size() == quint8(m_partial.at(2)) + 4) {
            const bool good = SimFrame::isWellFormed(m_partial);
            events.append({good ? Event::Frame : Event::BadChecksum, m_partial});
            m_partial.clear();
        }
    }
    flushSkipped();
    return events;
}

void FrameReader::reset()
{
    m_partial.clear();
}
