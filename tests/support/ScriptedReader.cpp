#include "ScriptedReader.h"

#include "card/CardGeometry.h"

ReaderResult ScriptedReader::done(const QByteArray &operation, const QByteArray &data)
{
    operations << operation;
    const auto failure = failures.constFind(operation);
    if (failure != failures.constEnd())
        return ReaderResult {*failure, {}, {}};
    return ReaderResult {ReaderOutcome::Done, data, {}};
}

ReaderResult ScriptedReader::seek(CardType)
{
    waiting = true;
    operations << "seek";
    return ReaderResult {ReaderOutcome::Waiting, {}, {}};
}

void ScriptedReader::tagArrives()
{
    waiting = false;
    if (m_arrived)
        m_arrived();
}

ReaderResult ScriptedReader::authenticate(int block, const KeySource &key)
{
    QByteArray text = "auth " + QByteArray::number(block);
    switch (key.kind) {
    case KeySource::Kind::ReaderDefault: text += " default"; break;
    case KeySource::Kind::Bytes: text += (key.type == KeySource::Type::A ? " A " : " B ") + key.bytes.toHex(); break;
    case KeySource::Kind::StoreSlot:
        text += (key.type == KeySource::Type::A ? " A slot " : " B slot ") + QByteArray::number(key.slot);
        break;
    }
    return done(text);
}

ReaderResult ScriptedReader::read(int block, CardType type)
{
    const CardGeometry geometry(type);
    QByteArray data;
    if (geometry.classic()) {
        data = card.block(block);
    } else {
        for (int i = 0; i < CardGeometry::PagesPerRead; ++i)
            data += card.block(CardGeometry::pageOfRead(block, i));
    }
    return done("read " + QByteArray::number(block), data);
}

ReaderResult ScriptedReader::writeBlock(int block, const QByteArray &sixteenBytes)
{
    const ReaderResult result = done("write " + QByteArray::number(block));
    if (result.outcome == ReaderOutcome::Done || result.outcome == ReaderOutcome::WrittenUnverified) {
        for (int i = 0; i < 16; ++i)
            card.setByte(block * 16 + i, quint8(sixteenBytes.at(i)));
    }
    return result;
}

ReaderResult ScriptedReader::writePage(int page, const QByteArray &fourBytes)
{
    const ReaderResult result = done("page " + QByteArray::number(page));
    if (result.ok()) {
        for (int i = 0; i < 4; ++i)
            card.setByte(page * 4 + i, quint8(fourBytes.at(i)));
    }
    return result;
}

ReaderResult ScriptedReader::readValue(int block)
{
    return done("value " + QByteArray::number(block), card.block(block).left(4));
}

ReaderResult ScriptedReader::changeValue(ValueOperation operation, int block, const QByteArray &fourBytes)
{
    static const char *const names[] = {"set ", "inc ", "dec "};
    return done(names[int(operation)] + QByteArray::number(block) + " " + fourBytes.toHex());
}
