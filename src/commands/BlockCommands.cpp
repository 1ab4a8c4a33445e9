#include "commands/BlockCommands.h"

#include "card/CardGeometry.h"
#include "card/Hex.h"
#include "commands/CommandSink.h"
#include "commands/TagCommands.h"
#include "reader/CardReader.h"

BlockCommands::BlockCommands(CardReader &reader, TagCommands &tags, CommandSink &sink)
    : m_reader(reader)
    , m_tags(tags)
    , m_sink(sink)
{
}

QByteArray BlockCommands::lastReadText(const QByteArray &sixteenBytes)
{
    QByteArray text;
    QByteArray ascii;
    for (const char byte : sixteenBytes) {
        text += " " + Hex::pair(quint8(byte));
        if (byte != '\0')
            ascii += byte;
    }
    return text + " ascii: " + ascii;
}

void BlockCommands::ReadBlockToGrid(int block, QByteArray &result)
{
    result = "error";
    const CommandOptions options = m_tags.options();
    // The read lands on hex cells.
    m_sink.gridsToHex();
    const ReaderResult read = m_reader.read(block, options.card);
    if (!read.ok())
        return;
    m_sink.setLastReadText(lastReadText(read.data));
    result = "ok";
    if (options.getData)
        copyToGrid(block, read.data);
}

void BlockCommands::copyToGrid(int block, const QByteArray &sixteenBytes)
{
    const CardType type = m_tags.options().card;
    const CardGeometry geometry(type);
    if (geometry.classic()) {
        m_sink.blockRead(type, block, sixteenBytes);
        // A trailer's keys read as zeros: its answer is not what the card holds.
        if (m_onCard && !CardGeometry::isClassicTrailer(block))
            m_onCard(type, block, sixteenBytes.left(geometry.blockSize()));
        return;
    }
    // An Ultralight read answers four pages from the one asked for.
    for (int i = 0; i < CardGeometry::PagesPerRead; ++i) {
        const int page = CardGeometry::pageOfRead(block, i);
        const QByteArray bytes = sixteenBytes.mid(i * geometry.blockSize(), geometry.blockSize());
        m_sink.blockRead(type, page, bytes);
        if (m_onCard)
            m_onCard(type, page, bytes);
    }
}

void BlockCommands::WriteBlock(const QByteArray &data, int block, QByteArray &result)
{
    const ReaderResult written = m_reader.writeBlock(block, data);
    // Written, only the verification failed: callers go on.
    if (written.outcome == ReaderOutcome::WrittenUnverified)
        result = "no_error";
    else if (!written.ok())
        result = "error";
    if (m_onCard && (written.ok() || written.outcome == ReaderOutcome::WrittenUnverified))
        m_onCard(m_tags.options().card, block, data);
}

void BlockCommands::WritePage(const QByteArray &data, int page, QByteArray &result)
{
    m_sink.gridsToHex();
    if (!m_reader.writePage(page, data).ok())
        result = "error";
    else if (m_onCard)
        m_onCard(CardType::MifareUL, page, data.left(4));
}
