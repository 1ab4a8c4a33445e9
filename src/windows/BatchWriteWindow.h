#pragma once

#include "card/CardType.h"
#include "reader/KeySource.h"

#include <QByteArray>
#include <QDialog>
#include <QList>

#include <functional>
#include <optional>

class CardArrivals;
class CardGridModel;
class CardReader;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class UserDialogs;

// Tools > "Write to Many Cards..." (objectName "BatchWriteWindow"): the grid's image
// onto card after card. One pre-flight of the image (the checks and warnings of Write
// All) and one confirmation, then: wait for a card, write it, read every block back,
// report "card n done: UID", and wait for the next card until Stop. A wait is the
// reader's own seek (CardArrivals): nothing is sent and no CPU spent while no card
// comes. A card that fails is reported by its UID and never counted.
class BatchWriteWindow : public QDialog
{
    Q_OBJECT

public:
    struct Context {
        CardReader *reader = nullptr;
        UserDialogs *dialogs = nullptr;
        std::function<CardType()> cardType;
        std::function<CardGridModel &(CardType)> grid;
        std::function<void()> gridsToHex;
        // The panel's key for Classic sectors; none when its choice is incomplete.
        std::function<std::optional<KeySource>()> key;
        std::function<void(const QByteArray &)> appendLog;
    };

    explicit BatchWriteWindow(Context context, QWidget *parent = nullptr);

    // Pre-flight, confirmation, then the run until stop(); false when it did not start.
    bool start();
    // Ends the run before the next card, and a wait for one at once.
    void stop();

    [[nodiscard]] int doneCount() const { return m_done; }
    [[nodiscard]] const QList<QByteArray> &failedUids() const { return m_failed; }
    [[nodiscard]] const QStringList &reports() const { return m_reports; }

    // Test seams: called before each wait for a card (from 1) and before each write.
    void setWaitHook(std::function<void(int wait)> hook) { m_waitHook = std::move(hook); }
    void setWriteHook(std::function<void(int number)> hook) { m_writeHook = std::move(hook); }

private:
    void report(const QString &text);

    Context m_context;
    bool m_running = false;
    bool m_stopRequested = false;
    int m_done = 0;
    CardArrivals *m_arrivals = nullptr; // while a run waits for cards
    QList<QByteArray> m_failed;
    QStringList m_reports;
    std::function<void(int)> m_waitHook;
    std::function<void(int)> m_writeHook;
    QLabel *m_state = nullptr;
    QPlainTextEdit *m_log = nullptr;
    QPushButton *m_stop = nullptr;
};
