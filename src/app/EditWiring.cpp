#include "app/EditWiring.h"

#include "app/MainWindow.h"
#include "base/UserDialogs.h"
#include "commands/BlockCommands.h"
#include "windows/CardEdits.h"
#include "windows/CardGrids.h"

#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>

EditWiring::EditWiring(MainWindow &window)
    : QObject(&window)
    , m_window(window)
{
    setObjectName(QStringLiteral("editWiring"));
    m_edits = new CardEdits(window.grids(), this);
    m_edits->setObjectName(QStringLiteral("cardEdits"));

    auto *menu = new QMenu(QStringLiteral("Edit"), &window);
    menu->setObjectName(QStringLiteral("Edit1"));
    m_undo = menu->addAction(QStringLiteral("Undo"));
    m_undo->setObjectName(QStringLiteral("Undo1"));
    m_undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redo = menu->addAction(QStringLiteral("Redo"));
    m_redo->setObjectName(QStringLiteral("Redo1"));
    m_redo->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    QMenuBar *bar = window.menuBar();
    const QMenu *tools = bar->findChild<QMenu *>(QStringLiteral("Tools1"));
    if (tools)
        bar->insertMenu(tools->menuAction(), menu);
    else
        bar->addMenu(menu);
    connect(m_undo, &QAction::triggered, m_edits, &CardEdits::undo);
    connect(m_redo, &QAction::triggered, m_edits, &CardEdits::redo);
    connect(m_edits, &CardEdits::historyChanged, this, &EditWiring::updateActions);
    updateActions();

    // These run after the commands' own handlers, so the grid already shows the result.
    MainWindowUi &ui = window.ui();
    connect(ui.openFile, &QAction::triggered, this, &EditWiring::afterLoad);
    connect(ui.importText, &QAction::triggered, this, [this] { m_edits->settle(QStringLiteral("Import")); });
    // Every block read into a grid or written to the card loses its marks, whoever
    // read or wrote it (a single read, a seek-mode read completed later, Read All,
    // Write All); what a failed or cancelled run did not reach stays marked.
    window.blockCommands().setOnCard([this](CardType type, int block, const QByteArray &held) {
        m_edits->cardHolds(type, block, held);
    });
    connect(ui.readAll, &QAction::triggered, this, [this] { m_edits->settle(QStringLiteral("Read All")); });
    window.installEventFilter(this);
}

void EditWiring::afterLoad()
{
    if (m_edits->settle(QStringLiteral("Load")))
        m_edits->setBaseline();
}

void EditWiring::updateActions()
{
    m_undo->setEnabled(m_edits->canUndo());
    m_redo->setEnabled(m_edits->canRedo());
    m_undo->setText(m_edits->canUndo() ? QStringLiteral("Undo %1").arg(m_edits->undoLabel()) : QStringLiteral("Undo"));
    m_redo->setText(m_edits->canRedo() ? QStringLiteral("Redo %1").arg(m_edits->redoLabel()) : QStringLiteral("Redo"));
}

bool EditWiring::mayDropEdits()
{
    if (!m_edits->hasUnsavedChanges())
        return true;
    switch (m_window.dialogs().askSaveDiscardCancel(
        QStringLiteral("Unsaved changes"),
        QStringLiteral("The card data has changes that are not saved or written. Save them first?"))) {
    case UserDialogs::Choice::Discard:
        return true;
    case UserDialogs::Choice::Cancel:
        return false;
    case UserDialogs::Choice::Save:
        m_window.ui().saveAs->trigger();
        // A cancelled or failed save leaves the edits unsaved: nothing is dropped then.
        return !m_edits->hasUnsavedChanges();
    }
    return false;
}

bool EditWiring::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_window && event->type() == QEvent::Close && !mayDropEdits()) {
        event->ignore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
