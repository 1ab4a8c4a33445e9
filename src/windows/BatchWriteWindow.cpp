#include "windows/BatchWriteWindow.h"

#include "base/ActionGuard.h"
#include "base/UserDialogs.h"
#include "card/CardGeometry.h"
#include "reader/CardReader.h"
#include "view/CardGridModel.h"
#include "view/WritePlan.h"
#include "workflows/BatchWrite.h"
#include "workflows/CardArrivals.h"

#include <QHash>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

BatchWriteWindow::BatchWriteWindow(Context context, QWidget *parent)
    : QDialog(parent)
    , m_context(std::move(context))
{
    setObjectName(QStringLiteral("BatchWriteWindow"));
    setWindowTitle(QStringLiteral("Write to Many Cards"));
    auto *layout = new QVBoxLayout(this);
    m_state = new QLabel(QStringLiteral("Put a card on the reader."));
    layout->addWidget(m_state);
    m_log = new QPlainTextEdit;
    m_log->setObjectName(QStringLiteral("batchLog"));
    m_log->setReadOnly(true);
    m_log->setMinimumSize(420, 200);
    layout->addWidget(m_log, 1);
    m_stop = new QPushButton(QStringLiteral("Stop"));
    m_stop->setObjectName(QStringLiteral("btn_stop"));
    connect(m_stop, &QPushButton::clicked, this, &BatchWriteWindow::stop);
    layout->addWidget(m_stop);
    // Closing the window ends the run too: no run goes on unseen.
    connect(this, &QDialog::finished, this, &BatchWriteWindow::stop);
}

void BatchWriteWindow::stop()
{
    m_stopRequested = true;
    if (m_arrivals)
        m_arrivals->stop();
}

void BatchWriteWindow::report(const QString &text)
{
    m_reports << text;
    m_log->appendPlainText(text);
    m_context.appendLog(text.toLatin1());
    m_state->setText(QStringLiteral("Cards done: %1. Put the next card on the reader.").arg(m_done));
}

bool BatchWriteWindow::start()
{
    if (m_running)
        return false;
    m_stopRequested = false;
    UserDialogs &dialogs = *m_context.dialogs;
    const CardType type = m_context.cardType();
    m_context.gridsToHex();
    const CardGridModel &grid = m_context.grid(type);
    const WritePlan plan = planWriteAll(grid);
    if (!confirmWritePlan(dialogs, plan))
        return false;
    const std::optional<KeySource> panelKey = m_context.key();
    if (isClassic(type) && !panelKey) {
        dialogs.showWarning(QStringLiteral("Choose the key to authenticate with first."));
        return false;
    }
    if (!dialogs.askBeforeIrreversible(QStringLiteral("Write to Many Cards"),
                          QStringLiteral("Write this image (%1 writes) onto every card put on the reader until you "
                                         "press Stop? What the cards hold now is overwritten.")
                              .arg(plan.writes.size())))
        return false;

    // The image's own key A per sector, for cards that carry it already and for
    // reading a sector back once its new trailer is on the card.
    QHash<int, QByteArray> imageKeyA;
    for (const WritePlan::Write &write : plan.writes) {
        if (isClassic(type) && CardGeometry::isClassicTrailer(write.number))
            imageKeyA.insert(CardGeometry::sectorOfBlock(write.number), write.data.left(6));
    }

    CardReader &reader = *m_context.reader;
    CardArrivals arrivals(reader, type);
    m_arrivals = &arrivals;
    int waits = 0;
    int openSector = -1; // the sector authenticated last, -1 none
    QHash<int, bool> trailerWritten;
    const auto selectAgain = [&] {
        (void)reader.halt();
        return reader.select(type).ok();
    };
    // Classic: authenticates the sector of block unless it is open; the panel's key
    // first, then the image's key A.
    const auto openSectorOf = [&](int block, QString *problem) {
        const int sector = CardGeometry::sectorOfBlock(block);
        if (!isClassic(type) || sector == openSector)
            return true;
        QList<KeySource> keys;
        if (!trailerWritten.value(sector))
            keys << *panelKey;
        if (imageKeyA.contains(sector))
            keys << KeySource::keyBytes(KeySource::Type::A, imageKeyA.value(sector));
        for (int i = 0; i < keys.size(); ++i) {
            if (i > 0 && !selectAgain())
                break;
            if (reader.authenticate(block, keys.at(i)).ok()) {
                openSector = sector;
                return true;
            }
        }
        *problem = QStringLiteral("authentication refused");
        return false;
    };

    BatchWriteReader batch;
    batch.poll = [&] {
        if (m_waitHook)
            m_waitHook(++waits);
        openSector = -1;
        trailerWritten.clear();
        // Blocked in the reader's seek until a card comes or Stop is pressed.
        return arrivals.next();
    };
    batch.write = [&](const WritePlan::Write &write, QString *problem) {
        if (m_writeHook)
            m_writeHook(write.number);
        if (!openSectorOf(write.number, problem))
            return false;
        const ReaderResult result = type == CardType::MifareUL ? reader.writePage(write.number, write.data)
                                                               : reader.writeBlock(write.number, write.data);
        // The read-back below decides; a module's own failed verification is no more.
        if (!result.ok() && result.outcome != ReaderOutcome::WrittenUnverified) {
            *problem = QStringLiteral("the card did not take it");
            return false;
        }
        if (isClassic(type) && CardGeometry::isClassicTrailer(write.number))
            trailerWritten.insert(CardGeometry::sectorOfBlock(write.number), true);
        return true;
    };
    batch.read = [&](int number, QString *problem) -> std::optional<QByteArray> {
        const ReaderResult result = reader.read(number, type);
        if (!result.ok()) {
            *problem = QStringLiteral("no answer");
            return std::nullopt;
        }
        return type == CardType::MifareUL ? result.data.left(4) : result.data;
    };

    m_running = true;
    m_done = 0;
    m_failed.clear();
    m_reports.clear();
    m_log->clear();
    // Nothing else may talk to the reader while the run waits in its seek: a command
    // from the main window would end the seek the run is waiting on.
    setWindowModality(Qt::ApplicationModal);
    show();
    const bool finished = guardAction(dialogs, [&] {
        const BatchWriteSummary summary = BatchWrite(type, plan.writes).run(batch, [this](const BatchEvent &event) {
            if (event.kind == BatchEvent::Kind::Done)
                m_done = event.cardNumber;
            else
                m_failed << event.uid;
            report(event.text);
        });
        report(QStringLiteral("Stopped: %1 cards done, %2 failed.").arg(summary.done).arg(summary.failedUids.size()));
    });
    m_running = false;
    m_arrivals = nullptr;
    return finished;
}
