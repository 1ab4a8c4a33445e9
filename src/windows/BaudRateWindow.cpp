#include "windows/BaudRateWindow.h"

#include "base/ActionGuard.h"
#include "windows/ComboSizing.h"
#include "link/ComPort.h"
#include "link/CommandLog.h"
#include "link/CommandScope.h"
#include "link/EComPort.h"
#include "link/Frame.h"
#include "windows/HelpPane.h"
#include "link/ModuleLink.h"
#include "link/PortList.h"
#include "windows/PortControls.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QThread>

#include <cerrno>

namespace {

constexpr quint8 SetBaudCommand = 0x94;

const char *const HelpLines[] = {
    "Here you can change baud ", "rate of the module ", "permanently.", "Once new baud rate is set , ",
    "this software will change ", "current baud rate to new baud ", "rate and listen proper ",
    "response with new baud rate ", "setting..", "Module will send response to ", "'Set Baud Rate' command ",
    "500ms after with new baud ", "rate.",
};

template<typename Widget>
Widget *named(Widget *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QComboBox *speedList(const char *name)
{
    auto *box = named(new QComboBox, name);
    box->addItems({QStringLiteral("9600bps"), QStringLiteral("19200bps"), QStringLiteral("38400bps"),
                   QStringLiteral("57600bps"), QStringLiteral("115200bps")});
    return box;
}

// A label that names its control, for the keyboard and for screen readers.
QLabel *labelFor(QWidget *control, const char *name, const char *text)
{
    auto *label = named(new QLabel(QString::fromLatin1(text)), name);
    label->setBuddy(control);
    return label;
}

} // namespace

BaudRateWindow::BaudRateWindow(PortControls &portControls, ModuleLink &link, UserDialogs &dialogs,
                               std::function<void(int)> setMainSpeed, QWidget *parent)
    : QDialog(parent)
    , m_portControls(portControls)
    , m_link(link)
    , m_dialogs(dialogs)
    , m_setMainSpeed(std::move(setMainSpeed))
{
    setObjectName(QStringLiteral("TForm4"));
    setWindowTitle(QStringLiteral("Set New Baud Rate"));
    setModal(false);
    move(503, 302);
    setupControls();
    resize(sizeHint().expandedTo(QSize(442, 246)));
    FormCreate();
}

void BaudRateWindow::setupControls()
{
    auto *bevel = named(new QFrame, "Bevel1");
    bevel->setFrameShape(QFrame::Panel);
    bevel->setFrameShadow(QFrame::Sunken);
    auto *grid = new QGridLayout(bevel);
    grid->setContentsMargins(16, 10, 16, 14);

    cmb_port = named(new QComboBox, "cmb_port");
    // Shows the main window's port, whole; the port is chosen there.
    sizeToItems(cmb_port);
    cmb_port->setEnabled(false);
    grid->addWidget(labelFor(cmb_port, "Label1", "Com Port"), 0, 0);
    grid->addWidget(cmb_port, 0, 1);

    cmb_baud = speedList("cmb_baud");
    grid->addWidget(labelFor(cmb_baud, "Label2", "Current Baud Rate"), 1, 0);
    grid->addWidget(cmb_baud, 1, 1);
    connect(cmb_baud, &QComboBox::activated, this, &BaudRateWindow::cmb_baudChange);

    // The new speed stands apart from the current one.
    grid->setRowMinimumHeight(2, 30);
    grid->setRowStretch(2, 1);
    cmb_newbaud = speedList("cmb_newbaud");
    grid->addWidget(labelFor(cmb_newbaud, "Label3", "New Baud Rate"), 3, 0);
    grid->addWidget(cmb_newbaud, 3, 1);

    BitBtn1 = named(new QPushButton(QStringLiteral("Set New Baud Rate")), "BitBtn1");
    grid->addWidget(BitBtn1, 4, 0, 1, 2);
    // A permanent change of the module's speed needs a deliberate click, not Enter.
    BitBtn1->setAutoDefault(false);
    BitBtn1->setDefault(false);
    connect(BitBtn1, &QPushButton::clicked, this, &BaudRateWindow::BitBtn1Click);

    help = createHelpPane(this, helpLines(HelpLines));

    auto *columns = new QHBoxLayout(this);
    columns->setContentsMargins(16, 16, 16, 16);
    columns->addWidget(bevel);
    columns->addWidget(help, 1);
}

void BaudRateWindow::FormCreate()
{
    cmb_newbaud->setCurrentIndex(0);
}

void BaudRateWindow::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void BaudRateWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    cmb_newbaud->setCurrentIndex(qMax(0, m_portControls.baudIndex()));
}

void BaudRateWindow::FormActivate()
{
    guardAction(m_dialogs, [this] {
        cmb_port->clear();
        cmb_port->addItems(PortList::names());
        // By name rather than by position: the list may have changed since the main
        // window filled its own, and the main window's port may not be listed at all.
        const QString port = m_portControls.portName();
        if (cmb_port->findText(port) < 0 && !port.isEmpty())
            cmb_port->addItem(port);
        cmb_port->setCurrentIndex(cmb_port->findText(port));
        cmb_baud->setCurrentIndex(m_portControls.baudIndex());
    });
}

void BaudRateWindow::cmb_baudChange()
{
    // The main window's Open Port / Close Port buttons stay as they are.
    guardAction(m_dialogs, [this] { m_link.port().close(); });
}

void BaudRateWindow::openAtCurrentSpeed()
{
    m_portControls.openAt(cmb_baud->currentIndex());
}

bool BaudRateWindow::confirmChange()
{
    return m_dialogs.askBeforeIrreversible(
        QStringLiteral("Set New Baud Rate"),
        QStringLiteral("The module will be changed for good to %1 and will no longer answer at %2.\nDo you want "
                       "to continue?")
            .arg(cmb_newbaud->currentText(), cmb_baud->currentText()));
}

void BaudRateWindow::BitBtn1Click()
{
    if (!confirmChange())
        return;
    guardAction(m_dialogs, [this] {
        ComPort &port = m_link.port();
        ModuleLink &link = m_link;
        const CommandScope scope(port);

        // Sent at the speed the module runs at now: this window's current rate.
        if (!port.isOpen())
            openAtCurrentSpeed();
        const int newIndex = cmb_newbaud->currentIndex();
        const QByteArray echo =
            link.exchange().SendFrame(Frame::request(SetBaudCommand, QByteArray(1, char(qMax(0, newIndex)))));
        link.log().appendLine("TX > " + Frame::PadColumns(echo, {}));

        // Closing a serial port can drop output still queued in the driver: the request
        // must be on the line before the port closes and changes speed.
        if (!port.waitForWritten(1000))
            throw EComPort(EComPort::WriteFailed, ETIMEDOUT);
        QThread::msleep(SettleMs);
        port.close();

        cmb_baud->setCurrentIndex(newIndex);
        // Stores "Baud" and points the port at the main window's port and new speed.
        m_setMainSpeed(newIndex);
        if (!port.isOpen())
            openAtCurrentSpeed();

        // The module answers about 500 ms after the request, at the new speed.
        const ModuleResponse response = link.exchange().ReadResponse();
        if (!response.ok)
            return;
        if (response.data == "L") {
            link.logResponse(response, "BAUD RATE CHANGED");
            link.setStatus(link.tagStatusText + " | Baud rate is changed");
        } else {
            link.logResponse(response, "BAUD RATE CHANGE FAILED");
            link.setStatus(link.tagStatusText + " | Baud rate is not changed!");
        }
    });
}
