#pragma once

#include "workflows/CardImageDiff.h"

#include <QWidget>

#include <optional>

class CardEdits;
class CardGrids;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class UserDialogs;

// File > "Compare with..." (objectName "CompareWindow"): the shown grid against a card
// image file, or two files against each other. Differing bytes of the grid are marked
// in it while the window is open; the summary counts the differing blocks per sector,
// and Next / Previous select the next differing byte in the grid.
class CompareWindow : public QWidget
{
    Q_OBJECT

public:
    CompareWindow(CardGrids &grids, CardEdits &edits, UserDialogs &dialogs, QWidget *parent = nullptr);

    // Asks for a file and compares the shown grid with it.
    void compareGridWithFile();
    // Asks for two files and compares them.
    void compareTwoFiles();

    [[nodiscard]] const std::optional<CardImageDiff> &difference() const { return m_diff; }
    // The byte Next / Previous selected last, -1 before.
    [[nodiscard]] int currentOffset() const { return m_offset; }
    void nextDifference();
    void previousDifference();

protected:
    void hideEvent(QHideEvent *event) override;

private:
    [[nodiscard]] std::optional<CardImage> askForImage(CardType preferred);
    void showResult(const CardImageDiff &diff, const QString &title, bool gridIsFirst);
    void clearMarks();
    void select(int offset);

    CardGrids &m_grids;
    CardEdits &m_edits;
    UserDialogs &m_dialogs;
    std::optional<CardImageDiff> m_diff;
    bool m_gridIsFirst = false;
    QString m_lastName; // file name of the image read last
    int m_offset = -1;
    QLabel *m_title = nullptr;
    QPlainTextEdit *m_summary = nullptr;
    QPushButton *m_previous = nullptr;
    QPushButton *m_next = nullptr;
};
