#pragma once

#include "card/CardType.h"

#include <QByteArray>
#include <QObject>

class CardRun;
class MainWindow;

// "Read All Blocks": halts and selects the tag, then reads every block of the card
// into its grid, authenticating each sector at its first block (Ultralight: pages 0,
// 4, 8 and 12, no authentication). With "Seek for tag" the run waits for the seek's
// answer and Timer1 starts it (runPending).
class ReadAllRun : public QObject
{
    Q_OBJECT

public:
    ReadAllRun(MainWindow &main, CardRun &run, QObject *parent = nullptr);

    // The read-all that Timer1 runs once the seek has found a tag: "1", "4" or "U".
    // Stops at the first "error", of a read as well; false then.
    [[nodiscard]] bool runPending(const QByteArray &kind);

public Q_SLOTS:
    // The menu item; ignored while a run is active.
    void readAllClick();

private:
    // Reads the whole card; a failed authentication stops the run, a failed read only
    // when stopOnReadError. False when the run stopped (cancelled included).
    [[nodiscard]] bool readCard(CardType type, bool stopOnReadError);

    MainWindow &m_main;
    CardRun &m_run;
};
