#include "app/MainWindow.h"

#include "app/EditWiring.h"
#include "files/RecentFiles.h"
#include "windows/CardEdits.h"
#include "windows/RowInfoPanel.h"

#include "base/ActionGuard.h"
#include "windows/LogAndStatus.h"
#include "base/SettingsFile.h"
#include "base/UserDialogs.h"
#include "link/ModuleCommands.h"
#include "files/FileCommands.h"
#include "files/FileContext.h"
#include "link/PortList.h"
#include "windows/KeyPanel.h"
#include "view/CardGridModel.h"
#include "windows/CardGrids.h"
#include "view/GridLayout.h"
#include "view/ReadIntoGrid.h"
#include "view/WritePlan.h"
#include "commands/BlockCommands.h"
#include "commands/PendingReads.h"
#include "commands/TagCommands.h"
#include "commands/ValueCommands.h"
#include "link/SerialModuleReader.h"
#include "app/ReaderChoice.h"
#include "windows/PortComboBox.h"
#include "windows/CardGridView.h"
#include "windows/PortControls.h"
#include "windows/ReadBlockButton.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>

// The bundled resources live in the static library: register them explicitly.
static void initResources()
{
    Q_INIT_RESOURCE(merlox);
}

namespace {

void selectIndex(QComboBox *box, int index)
{
    const QSignalBlocker block(box);
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

} // namespace

MainWindow::MainWindow(SettingsFile &settings, UserDialogs &dialogs, QWidget *parent)
    : QMainWindow(parent)
    , m_settings(settings)
    , m_dialogs(dialogs)
    , m_link(m_port, *this)
{
    initResources();
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("MERLOX MIFARE V1.0"));
    m_ui.setup(this);
    // The usual size, but never larger than the screen: on a small one the status bar
    // would fall off its bottom edge.
    const QSize usual(1032, 746);
    resize(screen() ? usual.boundedTo(screen()->availableGeometry().size()) : usual);
    m_log = std::make_unique<LogAndStatus>(m_ui.Memo1, m_ui.statusText);
    m_portControls = std::make_unique<PortControls>(m_port, m_ui.cmb_port, m_ui.cmb_baud, m_ui.open_c, m_ui.close_c);
    m_keyPanel = new KeyPanel(m_ui, m_settings, m_dialogs, [this] { return cardType(); }, this);
    m_link.setOpenPortAction([this] { openPort(); });
    m_reader = new SerialModuleReader(m_link, m_dialogs, this);
    m_readerChoice = new ReaderChoice(m_settings, m_dialogs, m_ui, m_port, *m_portControls, *m_reader, *this, this);
    CardReader &reader = m_readerChoice->reader();
    m_tagCommands =
        std::make_unique<TagCommands>(reader, [this](bool withKey) { return commandOptions(withKey); });
    wireTagButtons();
    m_moduleCommands = new ModuleCommands(m_link, m_dialogs, this);
    wireModuleMenu();

    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer1.setInterval(50);

    wireGridsAndFiles();

    m_blockCommands = std::make_unique<BlockCommands>(reader, *m_tagCommands, *this);
    m_valueCommands = std::make_unique<ValueCommands>(reader, *this);
    m_pendingReads =
        new PendingReads(m_timer1, reader, *m_tagCommands, *m_blockCommands, *this, m_dialogs, this);
    m_readBlockButton = new ReadBlockButton(m_ui, *m_tagCommands, *m_blockCommands, *m_pendingReads, m_dialogs, this);

    connect(m_ui.open_c, &QPushButton::clicked, this, &MainWindow::open_cClick);
    connect(m_ui.close_c, &QPushButton::clicked, this, &MainWindow::close_cClick);
    connect(m_ui.cmb_port, &QComboBox::activated, this, &MainWindow::cmb_portChange);
    connect(m_ui.cmb_baud, &QComboBox::activated, this, &MainWindow::cmb_baudChange);
    connect(m_ui.cmb_tag_type, &QComboBox::activated, this, &MainWindow::tag_changeClick);
    connect(m_ui.SpeedButton1, &QToolButton::clicked, this, &MainWindow::SpeedButton1Click);
    connect(m_ui.cb_online, &QCheckBox::clicked, this, &MainWindow::cb_onlineClick);
    connect(m_ui.quit, &QAction::triggered, this, &QWidget::close);
    connect(m_ui.helpPage, &QAction::triggered, this, &MainWindow::helpPageClick);
    connect(m_ui.about, &QAction::triggered, this, &MainWindow::aboutClick);
    connect(m_ui.cb_select, &QCheckBox::clicked, this, [this](bool checked) {
        guardAction(m_dialogs, [&] { m_settings.writeFlag("Seek_For_Tag", checked); });
    });
    connect(&m_port, &ComPort::portFailed, this, &MainWindow::onPortFailed);
    connect(&m_port, &ComPort::closedOnFailure, this, &MainWindow::showPortClosed);

    // Actions that later parts of the program provide stay visible but disabled.
    for (QAction *action : {m_ui.readAll, m_ui.writeAll})
        action->setEnabled(false);

    // An error during creation skips the remaining steps; the window still opens.
    guardAction(m_dialogs, [this] { FormCreate(); });
}

MainWindow::~MainWindow()
{
    // Hiding hands the focus on while every member still lives: a key field that has
    // it is completed and stored as on leaving it, not from a half-destroyed window.
    hide();
}

CardType MainWindow::cardType() const
{
    const int index = m_ui.cmb_tag_type->currentIndex();
    return index >= 0 && index <= 2 ? CardType(index) : CardType::Mifare1K;
}

CommandOptions MainWindow::commandOptions(bool withKey)
{
    CommandOptions options;
    options.card = cardType();
    options.autoSequence = m_ui.cb_auto->isChecked();
    options.seek = m_ui.cb_select->isChecked();
    options.getData = m_ui.cb_getdata->isChecked();
    options.keySource = m_keyPanel->authSource();
    options.keyType = m_keyPanel->keyType();
    options.slot = m_keyPanel->e2promSlot();
    if (withKey && options.needsKeyBytes()) {
        for (int i = 0; i < 6; ++i)
            options.keyBytes.append(char(m_keyPanel->keyByte(i)));
    }
    return options;
}

void MainWindow::wireTagButtons()
{
    connect(m_ui.btn_select, &QPushButton::clicked, this, [this] {
        guardAction(m_dialogs, [this] {
            QByteArray result;
            if (m_ui.cb_select->isChecked())
                m_tagCommands->SeekTag(result);
            else
                m_tagCommands->SelectTag(result);
        });
    });
    connect(m_ui.btn_halt, &QPushButton::clicked, this, [this] {
        guardAction(m_dialogs, [this] {
            QByteArray result;
            m_tagCommands->HaltTag(result);
        });
    });
    connect(m_ui.btn_authenticate, &QPushButton::clicked, this, [this] {
        guardAction(m_dialogs, [this] {
            QByteArray result;
            m_tagCommands->Authenticate(m_ui.cmb_blka->currentIndex(), result);
        });
    });
}

void MainWindow::wireModuleMenu()
{
    ModuleCommands *module = m_moduleCommands;
    connect(m_ui.resetModule, &QAction::triggered, module, &ModuleCommands::ResetModule1Click);
    connect(m_ui.readVersion, &QAction::triggered, module, &ModuleCommands::ReadFirmwareVersion1Click);
    connect(m_ui.rfOn, &QAction::triggered, module, &ModuleCommands::AntennaPower1Click);
    connect(m_ui.rfOff, &QAction::triggered, module, &ModuleCommands::SwitchOFFRFfield1Click);
    connect(m_ui.readPort, &QAction::triggered, module, &ModuleCommands::ReadPort1Click);
    connect(m_ui.writePort.at(0), &QAction::triggered, module, &ModuleCommands::Outpu1ON1Click);
    connect(m_ui.writePort.at(1), &QAction::triggered, module, &ModuleCommands::Output1OFF1Click);
    connect(m_ui.writePort.at(2), &QAction::triggered, module, &ModuleCommands::N7Click);
    connect(m_ui.writePort.at(3), &QAction::triggered, module, &ModuleCommands::OUTPUT2ON1Click);
    connect(m_ui.sleep, &QAction::triggered, module, &ModuleCommands::Sleep1Click);
}

void MainWindow::FormCreate()
{
    m_settings.prepare();
    // The serial ports, then the PC/SC readers.
    static_cast<PortComboBox *>(m_ui.cmb_port)->refresh();

    selectIndex(m_ui.cmb_port, m_settings.readIndex("ComPort", 0));
    m_readerChoice->restore();
    selectIndex(m_ui.cmb_baud, m_settings.readIndex("Baud", 1));
    selectIndex(m_ui.cmb_tag_type, m_settings.readIndex("Tag_Type", 0));
    m_ui.cb_select->setChecked(m_settings.readFlag("Seek_For_Tag", false));
    if (m_settings.readFlag("ONLINE", false)) {
        m_ui.cb_online->setChecked(true);
        cb_onlineClick();
    }

    m_port.close();
    m_port.setPortName(m_ui.cmb_port->currentText());
    m_port.setBaudIndex(m_ui.cmb_baud->currentIndex());

    const int stored = m_ui.cmb_tag_type->currentIndex();
    if (stored == int(CardType::Mifare1K))
        applyCardType(CardType::Mifare1K);

    // Each grid from its last template (or default contents), with the card type box
    // set to that type for the load; then the stored type again.
    m_files->loadLastTemplates();
    selectIndex(m_ui.cmb_tag_type, stored);

    if (stored == int(CardType::Mifare4K) || stored == int(CardType::MifareUL))
        applyCardType(CardType(stored));
}

void MainWindow::applyCardType(CardType type)
{
    m_grids->showOnly(type);
    if (type == CardType::MifareUL)
        m_keyPanel->DisableCommandControls();
    else
        m_keyPanel->EnableCommandControls();
    m_keyPanel->loadSettings(type);
    m_grids->setGetData(m_ui.cb_getdata->isChecked());
}

void MainWindow::wireGridsAndFiles()
{
    m_grids = new CardGrids;
    m_grids->setObjectName(QStringLiteral("cardGrids"));
    m_ui.gridArea->addWidget(m_grids);
    connect(m_grids, &CardGrids::hintChanged, this, [this](const QString &text) { setStatus(text.toLatin1()); });
    connect(m_grids, &CardGrids::asciiToggleRequested, m_ui.cb_ascii, &QCheckBox::click);
    connect(m_ui.cb_ascii, &QCheckBox::toggled, m_grids, &CardGrids::setAsciiView);
    connect(m_ui.cb_getdata, &QCheckBox::toggled, m_grids, &CardGrids::setGetData);
    auto *rowInfo = new RowInfoPanel(*m_grids);
    m_ui.rightColumn->insertWidget(m_ui.rightColumn->indexOf(m_ui.WebBrowser1), rowInfo);

    FileContext context;
    context.grid1 = &m_grids->model(CardType::Mifare1K);
    context.grid4 = &m_grids->model(CardType::Mifare4K);
    context.gridUL = &m_grids->model(CardType::MifareUL);
    context.settings = &m_settings;
    context.dialogs = &m_dialogs;
    context.cardType = [this] { return cardType(); };
    context.selectCardType = [this](CardType type) { selectIndex(m_ui.cmb_tag_type, int(type)); };
    context.runCardTypeChange = [this] { tag_changeClick(); };
    context.switchAsciiOff = [this] { m_ui.cb_ascii->setChecked(false); };
    context.applyLayouts = [this] { m_grids->applyLayouts(); };
    context.fillDefaults = [](CardGridModel &grid) { GridLayout::fillDefaults(grid); };
    context.appendLog = [this](const QByteArray &entry) { appendLine(entry); };
    context.mayLoad = [this] {
        auto *edits = findChild<EditWiring *>();
        return !edits || edits->mayDropEdits();
    };
    context.saved = [this](CardType type, const QString &name) {
        if (auto *edits = findChild<EditWiring *>())
            edits->edits().setBaseline(type);
        RecentFiles(m_settings).remember(name);
    };
    context.loaded = [this](const QString &name) { RecentFiles(m_settings).remember(name); };
    m_files = std::make_unique<FileCommands>(std::move(context));

    const auto guarded = [this](void (FileCommands::*command)()) {
        return [this, command] { guardAction(m_dialogs, [&] { (m_files.get()->*command)(); }); };
    };
    connect(m_ui.openFile, &QAction::triggered, this, guarded(&FileCommands::openFile));
    connect(m_ui.saveAs, &QAction::triggered, this, guarded(&FileCommands::saveAs));
    connect(m_ui.importText, &QAction::triggered, this, guarded(&FileCommands::importText));
    connect(m_ui.exportText, &QAction::triggered, this, guarded(&FileCommands::exportText));
    connect(m_ui.showAsText, &QAction::triggered, this, guarded(&FileCommands::showDataAsText));
}

void MainWindow::appendLine(const QByteArray &line)
{
    m_log->appendLine(line);
}

void MainWindow::setStatus(const QByteArray &text)
{
    m_log->setStatus(text);
}

QByteArray MainWindow::status() const
{
    return m_log->status();
}

QByteArrayList MainWindow::logLines() const
{
    return m_log->lines();
}

void MainWindow::blockRead(CardType type, int number, const QByteArray &bytes)
{
    readIntoGrid(m_grids->model(type), number, bytes);
}

WritePlan MainWindow::writePlan(CardType type)
{
    return planWriteAll(m_grids->model(type));
}

void MainWindow::gridsToHex()
{
    // Unchecking converts the grids back to hex through the box's toggled signal.
    if (m_ui.cb_ascii->isChecked())
        m_ui.cb_ascii->setChecked(false);
}

void MainWindow::setLastReadText(const QByteArray &text)
{
    m_grids->setLastReadText(text);
}

void MainWindow::showReadStrip(CardType type, int row)
{
    m_grids->showReadStrip(type, row >= 0 ? row : m_grids->view(type).currentCell().row);
}

void MainWindow::openPort()
{
    m_link.linkMode = "listen";
    m_portControls->open();
}

void MainWindow::open_cClick()
{
    guardAction(m_dialogs, [this] { openPort(); });
}

void MainWindow::close_cClick()
{
    m_port.close();
    showPortClosed();
}

void MainWindow::cmb_portChange()
{
    // The new name is used at the next opening; the port itself is left alone (a
    // PC/SC reader chosen closes it).
    guardAction(m_dialogs, [this] { m_readerChoice->portChosen(); });
    tag_changeClick();
}

void MainWindow::cmb_baudChange()
{
    guardAction(m_dialogs, [this] {
        m_settings.writeIndex("Baud", m_ui.cmb_baud->currentIndex());
        m_portControls->closeAndAim();
    });
}

void MainWindow::SpeedButton1Click()
{
    m_log->clearLog();
}

void MainWindow::cb_onlineClick()
{
    const bool checked = m_ui.cb_online->isChecked();
    guardAction(m_dialogs, [&] { m_settings.writeFlag("ONLINE", checked); });
    if (checked)
        showHelpPage();
}

void MainWindow::showHelpPage()
{
    // A page bundled with the program: nothing is fetched from the network.
    m_ui.WebBrowser1->setSource(QUrl(QStringLiteral("qrc:/help/index.html")));
}

void MainWindow::helpPageClick()
{
    showHelpPage();
    m_ui.rightScroll->ensureWidgetVisible(m_ui.WebBrowser1);
    m_ui.WebBrowser1->setFocus();
}

void MainWindow::aboutClick()
{
    m_dialogs.showMessage(QStringLiteral("MERLOX MIFARE V1.0\n"
                                         "Version " MERLOX_VERSION "\n\n"
                                         "Programs MIFARE Classic 1K, 4K and Ultralight cards through a serial "
                                         "RFID reader/writer module.\n\n"
                                         "Free software under the MIT licence."));
}

void MainWindow::tag_changeClick()
{
    guardAction(m_dialogs, [this] {
        m_settings.writeIndex("Tag_Type", m_ui.cmb_tag_type->currentIndex());
        applyCardType(cardType());
    });
}

void MainWindow::onPortFailed(const QString &message)
{
    showPortClosed();
    m_dialogs.showError(message);
}

void MainWindow::showPortClosed()
{
    m_portControls->showClosed();
}
