#pragma once

#include <QObject>

class CardEdits;
class MainWindow;
class QAction;

// Wires the edit safety of the main window: the Edit menu with Undo and Redo, the
// change marks and undo steps of loads, imports, reads and writes, and the question
// before unsaved edits are lost by quitting or loading over them.
class EditWiring : public QObject
{
    Q_OBJECT

public:
    explicit EditWiring(MainWindow &window);

    [[nodiscard]] CardEdits &edits() const { return *m_edits; }
    // After a load: its changes are one undo step, and nothing counts as changed.
    void afterLoad();
    // True when the edits may be dropped: none, saved now, or the user chose Discard.
    [[nodiscard]] bool mayDropEdits();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateActions();

    MainWindow &m_window;
    CardEdits *m_edits = nullptr;
    QAction *m_undo = nullptr;
    QAction *m_redo = nullptr;
};
