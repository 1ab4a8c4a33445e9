#include "app/EditWiring.h"

#include "app/MainWindow.h"
#include "base/ActionGuard.h"
#include "base/UserDialogs.h"
#include "commands/BlockCommands.h"
#include "files/FileCommands.h"
#include "windows/CardEdits.h"
#include "windows/CardGrids.h"

#include <QCloseEvent>
#include <QComboBox>
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
    const QList<CardType> types = m_edits->typesWithUnsavedChanges();
    if (types.isEmpty())
        return true;
    QStringList names;
    for (CardType type : types)
        names << m_window.ui().cmb_tag_type->itemText(int(type));
    const QString which = names.join(QStringLiteral(", "));
    const QString question =
        types.size() == 1
            ? QStringLiteral("The %1 card data has changes that are not saved or written. Save them first?").arg(which)
            : QStringLiteral("The card data of %1 has changes that are not saved or written. Save them first? Save "
                             "asks for one file per card type, in this order.")
                  .arg(which);
    switch (m_window.dialogs().askSaveDiscardCancel(QStringLiteral("Unsaved changes"), question)) {
    case UserDialogs::Choice::Discard:
        return true;
    case UserDialogs::Choice::Cancel:
        return false;
    case UserDialogs::Choice::Save:
        for (CardType type : types) {
            guardAction(m_window.dialogs(), [&] { m_window.files().saveAs(type); });
            // A cancelled or failed save leaves the edits unsaved: nothing is dropped then.
            if (m_edits->typesWithUnsavedChanges().contains(type))
                return false;
        }
        return true;
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
