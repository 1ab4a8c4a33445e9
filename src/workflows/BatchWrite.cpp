#include "workflows/BatchWrite.h"

#include "access/AccessBits.h"
#include "access/AccessTables.h"
#include "workflows/CardSectors.h"

namespace {

bool bitsSet(quint8 readBack, quint8 written)
{
    return (readBack & written) == written;
}

} // namespace

BatchWriteSummary BatchWrite::run(const BatchWriteReader &reader, const Report &report) const
{
    BatchWriteSummary summary;
    std::optional<QByteArray> lastUid;
    for (;;) {
        const CardPresence presence = reader.poll();
        if (presence.kind == CardPresence::Kind::Stop)
            break;
        if (presence.kind == CardPresence::Kind::NoCard) {
            lastUid.reset();
            continue;
        }
        if (lastUid == presence.uid && !presence.arrived)
            continue;
        lastUid = presence.uid;
        const QString problem = writeCard(reader);
        BatchEvent event;
        event.uid = presence.uid;
        const QString uid = QString::fromLatin1(presence.uid);
        if (problem.isEmpty()) {
            event.kind = BatchEvent::Kind::Done;
            event.cardNumber = ++summary.done;
            event.text = QStringLiteral("card %1 done: %2").arg(event.cardNumber).arg(uid);
        } else {
            event.kind = BatchEvent::Kind::Failed;
            summary.failedUids << presence.uid;
            event.text = QStringLiteral("card %1 failed: %2; not counted").arg(uid, problem);
        }
        if (report)
            report(event);
    }
    return summary;
}

QString BatchWrite::writeCard(const BatchWriteReader &reader) const
{
    const QString unit = isClassic(m_type) ? QStringLiteral("block") : QStringLiteral("page");
    for (const WritePlan::Write &write : m_writes) {
        QString problem;
        if (!reader.write(write, &problem))
            return QStringLiteral("writing %1 %2: %3").arg(unit).arg(write.number).arg(problem);
        const std::optional<QByteArray> readBack = reader.read(write.number, &problem);
        if (!readBack)
            return QStringLiteral("reading back %1 %2: %3").arg(unit).arg(write.number).arg(problem);
        if (!matches(m_type, write, *readBack))
            return QStringLiteral("%1 %2 reads back other bytes than were written").arg(unit).arg(write.number);
    }
    return {};
}

bool BatchWrite::matches(CardType type, const WritePlan::Write &written, const QByteArray &readBack)
{
    const QByteArray &data = written.data;
    if (data.size() != (isClassic(type) ? 16 : 4) || readBack.size() != data.size())
        return false;
    auto same = [&](int from, int to) { return data.mid(from, to - from) == readBack.mid(from, to - from); };
    if (!isClassic(type)) {
        if (written.number == 2)
            return bitsSet(quint8(readBack.at(2)), quint8(data.at(2))) && bitsSet(quint8(readBack.at(3)), quint8(data.at(3)));
        if (written.number == 3) {
            for (int i = 0; i < 4; ++i) {
                if (!bitsSet(quint8(readBack.at(i)), quint8(data.at(i))))
                    return false;
            }
            return true;
        }
        return readBack == data;
    }
    if (!CardSectors::isTrailer(written.number))
        return readBack == data;
    const AccessBytes access{quint8(data.at(6)), quint8(data.at(7)), quint8(data.at(8))};
    const bool keyBShown = AccessTables::keyBReadable(DecodeAccessIndex(access, 3));
    return same(6, 10) && (!keyBShown || same(10, 16));
}
