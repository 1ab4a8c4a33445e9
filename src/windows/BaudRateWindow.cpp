#include "windows/BaudRateWindow.h"

#include "base/ActionGuard.h"
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

QComboBox *speedList(QWidget *parent, const char *name, const QRect &rect)
{
    auto *box = named(new QComboBox(parent), name);
    box->addItems({QStringLiteral("9600bps"), QStringLiteral("19200bps"), QStringLiteral("38400bps"),
                   QStringLiteral("57600bps"), QStringLiteral("115200bps")});
    box->setGeometry(rect);
    return box;
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
    setGeometry(503, 302, 442, 246);
    setupControls();
    FormCreate();
}

void BaudRateWindow::setupControls()
{
    auto *bevel = named(new QFrame(this), "Bevel1");
    bevel->setFrameShape(QFrame::Panel);
    bevel->setFrameShadow(QFrame::Sunken);
    bevel->setGeometry(16, 16, 217, 177);

    named(new QLabel(QStringLiteral("Com Port"), this), "Label1")->move(32, 28);
    cmb_port = named(new QComboBox(this), "cmb_port");
    cmb_port->setGeometry(126, 26, 89, 22);
    // Shows the main window's port; the port is chosen there.
    cmb_port->setEnabled(false);

    named(new QLabel(QStringLiteral("Current Baud Rate"), this), "Label2")->move(32, 52);
    cmb_baud = speedList(this, "cmb_baud", {126, 50, 89, 22});
    connect(cmb_baud, &QComboBox::activated, this, &BaudRateWindow::cmb_baudChange);

    named(new QLabel(QStringLiteral("New Baud Rate"), this), "Label3")->move(32, 116);
    cmb_newbaud = speedList(this, "cmb_newbaud", {126, 114, 89, 22});

    BitBtn1 = named(new QPushButton(QStringLiteral("Set New Baud Rate"), this), "BitBtn1");
    BitBtn1->setGeometry(32, 152, 185, 25);
    // A permanent change of the module's speed needs a deliberate click, not Enter.
    BitBtn1->setAutoDefault(false);
    BitBtn1->setDefault(false);
    connect(BitBtn1, &QPushButton::clicked, this, &BaudRateWindow::BitBtn1Click);

    help = createHelpPane(this, QRect(242, 17, 177, 176), helpLines(HelpLines));
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
