#include "view/ReadAllRun.h"

#include "base/ActionGuard.h"
#include "card/CardGeometry.h"
#include "app/MainWindow.h"
#include "tag/BlockCommands.h"
#include "tag/TagCommands.h"
#include "view/CardRun.h"
#include "view/PendingReads.h"

#include <QCheckBox>
#include <QList>

ReadAllRun::ReadAllRun(MainWindow &main, CardRun &run, QObject *parent)
    : QObject(parent)
    , m_main(main)
    , m_run(run)
{
}

void ReadAllRun::readAllClick()
{
    if (m_run.isActive())
        return;
    guardAction(m_main.dialogs(), [this] {
        const CardType type = m_main.cardType();
        TagCommands &tags = m_main.tagCommands();
        QByteArray result;
        tags.HaltTag(result);
        if (result == "error")
            return;
        if (m_main.ui().cb_select->isChecked()) {
            // Timer1 runs the reads once the seek's answer has come.
            PendingReads &pending = m_main.pendingReads();
            pending.setPendingReadAll(CardGeometry(type).code());
            tags.SeekTag(result);
            pending.waitForTag();
            return;
        }
        tags.SelectTag(result);
        if (result == "error")
            return;
        (void)readCard(type, false);
    });
}

bool ReadAllRun::runPending(const QByteArray &kind)
{
    const std::optional<CardType> type = CardGeometry::typeOfCode(kind);
    return type && readCard(*type, true);
}

bool ReadAllRun::readCard(CardType type, bool stopOnReadError)
{
    const CardGeometry geometry(type);
    const QList<int> numbers = geometry.wholeCardReads();
    if (!m_run.start(QStringLiteral("Read All Blocks"), int(numbers.size())))
        return false;
    const CardRun::Scope scope(m_run);
    const bool ultralight = type == CardType::MifareUL;
    for (int i = 0; i < numbers.size(); ++i) {
        const int number = numbers.at(i);
        const QString where = ultralight ? QStringLiteral("Page %1 (%2 of %3)").arg(number).arg(i + 1).arg(numbers.size())
                                         : QStringLiteral("Block %1 of %2").arg(i + 1).arg(numbers.size());
        if (!m_run.step(i, where)) {
            m_main.appendLine(QByteArray(ultralight ? "Read All cancelled before page " : "Read All cancelled before block ")
                              + QByteArray::number(number));
            return false;
        }
        QByteArray result;
        // A sector is authenticated once, at its first block.
        if (geometry.isAuthenticationPoint(number)) {
            m_main.tagCommands().Authenticate(number, result);
            if (result == "error")
                return false;
        }
        m_main.blockCommands().ReadBlockToGrid(number, result);
        if (result == "error" && stopOnReadError)
            return false;
    }
    return true;
}
