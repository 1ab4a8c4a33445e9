#include "app/MainWindowUi.h"

#include "windows/KeyByteEdit.h"
#include "windows/PortComboBox.h"
#include "windows/ComboSizing.h"
#include "windows/PanelScrollArea.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

template<typename W>
W *named(W *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QFrame *panel(const char *name, QFrame::Shadow shadow = QFrame::Raised)
{
    auto *frame = named(new QFrame, name);
    frame->setFrameStyle(QFrame::Panel | shadow);
    return frame;
}

// A label that names the control after it, for the keyboard and for screen readers.
QLabel *labelFor(QWidget *control, const char *name, const char *text)
{
    auto *label = named(new QLabel(QString::fromLatin1(text)), name);
    label->setBuddy(control);
    return label;
}

// Block and slot numbers; the box widens when a larger card brings longer numbers.
QComboBox *numberList(const char *name, int first, int last)
{
    auto *box = named(new QComboBox, name);
    for (int i = first; i <= last; ++i)
        box->addItem(QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')));
    sizeToItems(box);
    return box;
}

// A menu item; `text` may mark its mnemonic with '&'.
QAction *item(QMenu *menu, const char *name, const char *text, const QKeySequence &shortcut = {})
{
    QAction *action = menu->addAction(QString::fromLatin1(text));
    action->setObjectName(QLatin1String(name));
    action->setShortcut(shortcut);
    return action;
}

} // namespace

void MainWindowUi::setup(QMainWindow *window)
{
    auto *central = new QWidget;
    auto *columns = new QHBoxLayout(central);
    columns->setContentsMargins(4, 4, 4, 4);

    // Left: top row, grid, log.
    auto *left = new QVBoxLayout;
    columns->addLayout(left, 1);

    QFrame *bevel8 = panel("Bevel8", QFrame::Sunken);
    auto *top = new QGridLayout(bevel8);
    top->setContentsMargins(6, 3, 6, 3);
    top->setVerticalSpacing(2);
    cmb_port = named(new PortComboBox, "cmb_port");
    cmb_port->setMinimumContentsLength(10);
    // The list is filled after start and may be filled again: always as wide as its names.
    sizeToItems(cmb_port);
    top->addWidget(labelFor(cmb_port, "Label5", "Com Port"), 0, 0);
    top->addWidget(cmb_port, 0, 1);
    cmb_baud = named(new QComboBox, "cmb_baud");
    cmb_baud->setAccessibleName(QStringLiteral("Baud rate"));
    cmb_baud->addItems({QStringLiteral("9600bps"), QStringLiteral("19200bps"), QStringLiteral("38400bps"),
                        QStringLiteral("57600bps"), QStringLiteral("115200bps")});
    top->addWidget(cmb_baud, 0, 2);
    // Open Port and Close Port share one place: exactly one of them is visible.
    auto *portButtons = new QHBoxLayout;
    portButtons->setContentsMargins(0, 0, 0, 0);
    open_c = named(new QPushButton(QStringLiteral("&Open Port")), "open_c");
    close_c = named(new QPushButton(QStringLiteral("&Close Port")), "close_c");
    close_c->setVisible(false);
    portButtons->addWidget(open_c);
    portButtons->addWidget(close_c);
    top->addLayout(portButtons, 0, 3);
    cmb_tag_type = named(new QComboBox, "cmb_tag_type");
    top->addWidget(labelFor(cmb_tag_type, "Label6", "Tag Type"), 1, 0);
    cmb_tag_type->addItems({QStringLiteral("Mifare 1K"), QStringLiteral("Mifare 4K"), QStringLiteral("Mifare UL")});
    top->addWidget(cmb_tag_type, 1, 1, 1, 2);
    top->setColumnStretch(4, 1);
    cb_ascii = named(new QCheckBox(QStringLiteral("Grid as &ASCII")), "cb_ascii");
    top->addWidget(cb_ascii, 1, 5, Qt::AlignRight);
    left->addWidget(bevel8);

    gridArea = new QVBoxLayout;
    gridArea->setContentsMargins(0, 0, 0, 0);
    left->addLayout(gridArea, 5);

    auto *logRow = new QHBoxLayout;
    SpeedButton1 = named(new QToolButton, "SpeedButton1");
    SpeedButton1->setFixedSize(13, 22);
    SpeedButton1->setToolTip(QStringLiteral("Clear the log"));
    SpeedButton1->setAccessibleName(QStringLiteral("Clear the log"));
    logRow->addWidget(SpeedButton1, 0, Qt::AlignTop);
    Memo1 = named(new QPlainTextEdit, "Memo1");
    Memo1->setFont(QFont(QStringLiteral("Arial"), 8));
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setAccessibleName(QStringLiteral("Log"));
    logRow->addWidget(Memo1, 1);
    left->addLayout(logRow, 3);

    // Right: the command panels, as wide as their captions need. On a short screen the
    // column scrolls, so that every control stays reachable.
    auto *rightPanel = named(new QWidget, "rightPanel");
    auto *right = new QVBoxLayout(rightPanel);
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(2);
    rightScroll = named(new PanelScrollArea(rightPanel), "rightScroll");
    columns->addWidget(rightScroll, 0);

    QFrame *bevel1 = panel("Bevel1");
    auto *selectRow = new QHBoxLayout(bevel1);
    cb_select = named(new QCheckBox(QStringLiteral("Seek for tag")), "cb_select");
    btn_select = named(new QPushButton(QStringLiteral("&Select")), "btn_select");
    selectRow->addWidget(cb_select);
    selectRow->addWidget(btn_select);
    right->addWidget(bevel1);

    QFrame *bevel6 = panel("Bevel6");
    auto *haltRow = new QHBoxLayout(bevel6);
    btn_halt = named(new QPushButton(QStringLiteral("Ha&lt")), "btn_halt");
    haltRow->addWidget(btn_halt);
    right->addWidget(bevel6);

    QFrame *bevel2 = panel("Bevel2");
    auto *auth = new QVBoxLayout(bevel2);
    auth->setSpacing(2);
    rdb_auth = named(new QGroupBox(QStringLiteral("Authentication Source")), "rdb_auth");
    auto *authItems = new QVBoxLayout(rdb_auth);
    authItems->setSpacing(0);
    authSource = new QButtonGroup(rdb_auth);
    const char *sources[] = {"Mifare Default ( Type A, 5C )", "Provided key below", "E2PROM ( Internal Source )"};
    for (int i = 0; i < 3; ++i) {
        auto *radio = new QRadioButton(QString::fromLatin1(sources[i]));
        radio->setObjectName(QStringLiteral("rdb_auth_%1").arg(i));
        authSource->addButton(radio, i);
        authItems->addWidget(radio);
    }
    auth->addWidget(rdb_auth);

    QFrame *bevel5 = panel("Bevel5", QFrame::Sunken);
    auto *keyBox = new QVBoxLayout(bevel5);
    keyBox->setSpacing(2);
    keyBox->addWidget(named(new QLabel(QStringLiteral("Key")), "Label1"), 0, Qt::AlignHCenter);
    auto *keyRow = new QHBoxLayout;
    keyRow->setSpacing(1);
    for (int i = 1; i <= 6; ++i) {
        // No length limit: text pasted with the mouse is kept whole (only its first
        // two characters make the key byte).
        auto *edit = new KeyByteEdit;
        edit->setObjectName(QStringLiteral("key%1").arg(i));
        edit->setAccessibleName(QStringLiteral("Key byte %1").arg(i));
        keyEdits.append(edit);
        keyRow->addWidget(edit);
    }
    keyBox->addLayout(keyRow);
    auth->addWidget(bevel5);

    rdb_type = named(new QGroupBox(QStringLiteral("Key Type")), "rdb_type");
    auto *typeItems = new QHBoxLayout(rdb_type);
    keyType = new QButtonGroup(rdb_type);
    const char *types[] = {"Type A", "Type B"};
    for (int i = 0; i < 2; ++i) {
        auto *radio = new QRadioButton(QString::fromLatin1(types[i]));
        radio->setObjectName(QStringLiteral("rdb_type_%1").arg(i));
        keyType->addButton(radio, i);
        typeItems->addWidget(radio);
    }
    auth->addWidget(rdb_type);

    QFrame *bevel4 = panel("Bevel4", QFrame::Sunken);
    auto *ebnRow = new QHBoxLayout(bevel4);
    cmb_ebn = numberList("cmb_ebn", 0, 15);
    ebnRow->addWidget(labelFor(cmb_ebn, "Label4", "E2prom Block"));
    ebnRow->addWidget(cmb_ebn);
    auth->addWidget(bevel4);

    QFrame *bevel7 = panel("Bevel7", QFrame::Sunken);
    auto *blkaBox = new QGridLayout(bevel7);
    cmb_blka = numberList("cmb_blka", 0, 15);
    blkaBox->addWidget(labelFor(cmb_blka, "Label2", "Mifare Block"), 0, 0);
    blkaBox->addWidget(cmb_blka, 0, 1);
    btn_authenticate = named(new QPushButton(QStringLiteral("Authenticat&e")), "btn_authenticate");
    blkaBox->addWidget(btn_authenticate, 1, 0, 1, 2);
    auth->addWidget(bevel7);
    right->addWidget(bevel2);

    QFrame *bevel3 = panel("Bevel3");
    auto *readBox = new QGridLayout(bevel3);
    readBox->setVerticalSpacing(2);
    cb_auto = named(new QCheckBox(QStringLiteral("Auto ( Halt+Select+ Auth)")), "cb_auto");
    cb_auto->setChecked(true);
    readBox->addWidget(cb_auto, 0, 0, 1, 2);
    cb_getdata = named(new QCheckBox(QStringLiteral("Get data blocks to grid")), "cb_getdata");
    cb_getdata->setChecked(true);
    readBox->addWidget(cb_getdata, 1, 0, 1, 2);
    cmb_blk = named(new QComboBox, "cmb_blk");
    readBox->addWidget(labelFor(cmb_blk, "Label7", "Mifare Block"), 2, 0);
    sizeToItems(cmb_blk);
    readBox->addWidget(cmb_blk, 2, 1);
    BitBtn1 = named(new QPushButton(QStringLiteral("Read Bloc&k")), "BitBtn1");
    readBox->addWidget(BitBtn1, 3, 0, 1, 2);
    right->addWidget(bevel3);

    WebBrowser1 = named(new QTextBrowser, "WebBrowser1");
    WebBrowser1->setOpenLinks(false);
    // A few lines at least; it scrolls, so it gives way first on a short screen.
    WebBrowser1->setMinimumHeight(4 * WebBrowser1->fontMetrics().lineSpacing());
    right->addWidget(WebBrowser1, 1);
    cb_online = named(new QCheckBox(QStringLiteral("Connect help page")), "cb_online");
    right->addWidget(cb_online);

    window->setCentralWidget(central);

    StatusBar1 = named(new QStatusBar, "StatusBar1");
    statusText = named(new QLabel, "StatusBar1Text");
    StatusBar1->addWidget(statusText, 1);
    window->setStatusBar(StatusBar1);

    // Main menu
    QMenuBar *bar = window->menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    openFile = item(file, "OpenFile1", "&Open File (Mifare format)", QKeySequence::Open);
    saveAs = item(file, "SaveAs1", "Save &As   (Mifare format)", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    file->addSeparator();
    importText = item(file, "ImportTextfile1", "&Import ( Text file )");
    exportText = item(file, "ExportTextfile1", "&Export ( Text file )");
    file->addSeparator();
    quit = item(file, "Quit1", "&Quit", QKeySequence(Qt::CTRL | Qt::Key_Q));

    QMenu *tools = bar->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("Tools1"));
    readAll = item(tools, "ReadAllBlocks1", "&Read All Blocks", QKeySequence(Qt::CTRL | Qt::Key_R));
    // Writing the whole card takes a deliberate chord, and still asks before it writes.
    writeAll = item(tools, "WriteAllBlocks1", "&Write All Blocks", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_W));
    tools->addSeparator();
    showAsText = item(tools, "ShowDataasText1", "&Show Data as Text");

    QMenu *hardware = bar->addMenu(QStringLiteral("Hard&ware Commands"));
    hardware->setObjectName(QStringLiteral("HardwareCommands1"));
    writeE2promKey = item(hardware, "WriteE2PROMkey1", "Write E2PROM &key");
    hardware->addSeparator();
    rfOn = item(hardware, "AntennaPower1", "Switch &ON RF Field");
    rfOff = item(hardware, "SwitchOFFRFfield1", "Switch O&FF RF field");
    hardware->addSeparator();
    readPort = item(hardware, "ReadPort1", "Read &Port");
    QMenu *writePortMenu = hardware->addMenu(QStringLiteral("&Write Port"));
    writePortMenu->setObjectName(QStringLiteral("WritePort1"));
    writePort = {item(writePortMenu, "Outpu1ON1", "(00) Output2 OFF Output1 OFF"),
                 item(writePortMenu, "Output1OFF1", "(01) Output2 OFF Output 1 ON"),
                 item(writePortMenu, "N7", "(10) Output2 ON Output1 OFF"),
                 item(writePortMenu, "OUTPUT2ON1", "(11) Output 2 ON Output 1 ON")};
    hardware->addSeparator();
    resetModule = item(hardware, "ResetModule1", "&Reset Module");
    readVersion = item(hardware, "ReadFirmwareVersion1", "Read Firmware &Version");
    sleep = item(hardware, "Sleep1", "S&leep");
    hardware->addSeparator();
    changeBaudRate = item(hardware, "ChangeBaudRate1", "Change &Baud Rate");

    QMenu *help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    helpPage = item(help, "HelpPage1", "MERLOX MIFARE &Help", QKeySequence::HelpContents);
    about = item(help, "About1", "&About MERLOX MIFARE");
}
