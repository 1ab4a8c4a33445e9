#include "app/ProgramWindows.h"

#include "windows/AccessEditor.h"
#include "app/EditWiring.h"
#include "app/MainWindow.h"
#include "windows/BaudRateWindow.h"
#include "windows/CompareWindow.h"
#include "windows/BatchWriteWindow.h"
#include "windows/FindKeysWindow.h"
#include "link/SerialModuleReader.h"
#include "windows/RecentFilesMenu.h"
#include "base/ActionGuard.h"
#include "files/FileCommands.h"
#include "windows/KeyStoreWindow.h"
#include "windows/LockBytesEditor.h"
#include "view/CardGridModel.h"
#include "windows/CardGrids.h"
#include "view/CardLayout.h"
#include "commands/CardRun.h"
#include "windows/GridActions.h"
#include "commands/PendingReads.h"
#include "windows/QtRunProgress.h"
#include "commands/ReadAllRun.h"
#include "commands/WriteAllRun.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>

namespace {

// The secondary windows are shown without blocking the main window.
void showNonModal(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

ProgramWindows::ProgramWindows(SettingsFile &settings, UserDialogs &dialogs)
    : m_main(std::make_unique<MainWindow>(settings, dialogs))
    , m_accessEditor(std::make_unique<AccessEditor>(
          settings, dialogs, &m_main->grids().model(CardType::Mifare1K), &m_main->grids().model(CardType::Mifare4K),
          [this] { return m_main->cardType(); }, m_main.get()))
    , m_keyStore(std::make_unique<KeyStoreWindow>(settings, dialogs, m_main->link(), m_main.get()))
    , m_baudRate(std::make_unique<BaudRateWindow>(
          m_main->portControls(), m_main->link(), dialogs,
          [this](int speed) {
              m_main->ui().cmb_baud->setCurrentIndex(speed);
              m_main->cmb_baudChange();
          },
          m_main.get()))
    , m_lockEditor(std::make_unique<LockBytesEditor>(&m_main->grids().model(CardType::MifareUL), m_main.get()))
{
    QObject::connect(m_main->ui().writeE2promKey, &QAction::triggered, m_keyStore.get(),
                     [this] { showNonModal(m_keyStore.get()); });
    QObject::connect(m_main->ui().changeBaudRate, &QAction::triggered, m_baudRate.get(),
                     [this] { showNonModal(m_baudRate.get()); });

    // The grid actions and the two runs of the Tools menu; one run at a time.
    MainWindow &main = *m_main;
    m_cardRun = std::make_unique<CardRun>(main.timer(), std::make_unique<QtRunProgress>(&main));
    const GridActions::Commands commands {main.tagCommands(), main.blockCommands(), main.valueCommands(),
                                          main.pendingReads(), main};
    m_gridActions = new GridActions(commands, main.grids(), dialogs, *m_cardRun, *m_accessEditor, *m_lockEditor, &main);
    m_readAllRun = new ReadAllRun(main.tagCommands(), main.blockCommands(), main.pendingReads(), main, *m_cardRun,
                                  dialogs, &main);
    m_writeAllRun = new WriteAllRun(main.tagCommands(), main.blockCommands(), main, *m_cardRun, dialogs, &main);
    QObject::connect(&main.grids(), &CardGrids::cellDoubleClicked, m_gridActions, &GridActions::cellDoubleClicked);
    QObject::connect(main.ui().readAll, &QAction::triggered, m_readAllRun, &ReadAllRun::readAllClick);
    QObject::connect(main.ui().writeAll, &QAction::triggered, m_writeAllRun, &WriteAllRun::writeAllClick);
    main.pendingReads().setReadAllRun([this](const QByteArray &kind) { return m_readAllRun->runPending(kind); });
    main.ui().readAll->setEnabled(true);
    main.ui().writeAll->setEnabled(true);
    // After the runs, so that its handlers see what they did to the grids.
    auto *editing = new EditWiring(main);
    auto *compare = new CompareWindow(main.grids(), editing->edits(), dialogs, &main);
    if (auto *file = main.menuBar()->findChild<QMenu *>(QStringLiteral("File1"))) {
        // Above the separator before Quit, which stays last.
        const QList<QAction *> items = file->actions();
        const qsizetype quitAt = items.indexOf(main.ui().quit);
        QAction *before = quitAt > 0 ? items.at(quitAt - 1) : nullptr;
        file->insertSeparator(before);
        auto *withFile = new QAction(QStringLiteral("Compare with..."), file);
        withFile->setObjectName(QStringLiteral("CompareWith1"));
        QObject::connect(withFile, &QAction::triggered, compare, &CompareWindow::compareGridWithFile);
        auto *twoFiles = new QAction(QStringLiteral("Compare two files..."), file);
        twoFiles->setObjectName(QStringLiteral("CompareFiles1"));
        QObject::connect(twoFiles, &QAction::triggered, compare, &CompareWindow::compareTwoFiles);
        file->insertActions(before, {withFile, twoFiles});
        file->insertSeparator(before);
        file->insertMenu(before, new RecentFilesMenu(settings, dialogs, [&main, editing](const QString &name) {
            guardAction(main.dialogs(), [&] { main.files().openRecent(name); });
            editing->afterLoad();
        }, file));
    }
    if (auto *tools = main.menuBar()->findChild<QMenu *>(QStringLiteral("Tools1"))) {
        FindKeysWindow::Context keys;
        keys.reader = &main.reader();
        keys.dialogs = &dialogs;
        keys.readAll = m_readAllRun;
        keys.cardType = [&main] { return main.cardType(); };
        keys.grid = [&main](CardType type) -> CardGridModel & { return main.grids().model(type); };
        keys.runReadAll = [&main] { main.ui().readAll->trigger(); };
        auto *findKeys = new FindKeysWindow(std::move(keys), &main);
        tools->addSeparator();
        QAction *find = tools->addAction(QStringLiteral("Find Keys..."));
        find->setObjectName(QStringLiteral("FindKeys1"));
        QObject::connect(find, &QAction::triggered, findKeys, [findKeys] { showNonModal(findKeys); });

        BatchWriteWindow::Context batch;
        batch.reader = &main.reader();
        batch.dialogs = &dialogs;
        batch.cardType = [&main] { return main.cardType(); };
        batch.grid = [&main](CardType type) -> CardGridModel & { return main.grids().model(type); };
        batch.gridsToHex = [&main] { main.gridsToHex(); };
        batch.key = [&main] { return main.commandOptions(true).key(); };
        batch.appendLog = [&main](const QByteArray &line) { main.appendLine(line); };
        auto *batchWindow = new BatchWriteWindow(std::move(batch), &main);
        QAction *many = tools->addAction(QStringLiteral("Write to Many Cards..."));
        many->setObjectName(QStringLiteral("WriteManyCards1"));
        QObject::connect(many, &QAction::triggered, batchWindow, [this, batchWindow] {
            // One run of the card at a time: not while Read All or Write All runs.
            if (!m_cardRun->isActive())
                (void)batchWindow->start();
        });
    }
}

ProgramWindows::~ProgramWindows()
{
    // The runs and actions are children of the main window; the run state goes first
    // as its progress dialog is one too.
    m_cardRun.reset();
    // Hidden while still whole: hiding moves the focus, and a key field that loses it
    // completes and stores itself through its window, which must not be half destroyed.
    for (QWidget *window : {static_cast<QWidget *>(m_lockEditor.get()), static_cast<QWidget *>(m_baudRate.get()),
                            static_cast<QWidget *>(m_keyStore.get()), static_cast<QWidget *>(m_accessEditor.get())})
        window->hide();
    m_lockEditor.reset();
    // The secondary windows are children of the main window's lifetime: release them first.
    m_baudRate.reset();
    m_keyStore.reset();
    m_accessEditor.reset();
    m_main.reset();
}
