#include "link/ComPort.h"

#include "link/EComPort.h"
#include "link/PortList.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <termios.h>

namespace {

// The system error number a Qt port error on device stands for.
int systemErrorOf(QSerialPort::SerialPortError error, const QString &device)
{
    switch (error) {
    case QSerialPort::DeviceNotFoundError: return ENOENT;
    case QSerialPort::PermissionError:
        // Qt reports a port that another program holds (its lock file, or exclusive use)
        // as a permission error too; whether we may use the device at all tells them apart.
        return ::access(QFile::encodeName(device).constData(), R_OK | W_OK) == 0 ? EBUSY : EACCES;
    case QSerialPort::OpenError: return EBUSY;
    case QSerialPort::ResourceError: return ENXIO;
    case QSerialPort::TimeoutError: return ETIMEDOUT;
    case QSerialPort::NotOpenError: return EBADF;
    default: return EIO;
    }
}

// USB serial adapters otherwise hold received bytes for up to 16 ms. Devices that do
// not know the flag (pseudo-terminals among them) refuse it, which is fine.
void requestLowLatency(int fd)
{
    serial_struct serial {};
    if (ioctl(fd, TIOCGSERIAL, &serial) != 0)
        return;
    serial.flags |= ASYNC_LOW_LATENCY;
    (void)ioctl(fd, TIOCSSERIAL, &serial);
}

} // namespace

int ComPort::baudRateOf(int index)
{
    return index >= 0 && index < 5 ? BaudRates[index] : BaudRates[1];
}

ComPort::ComPort(QObject *parent)
    : QObject(parent)
{
    // Direct, but rxChar itself is delivered later from the event loop (see onReadyRead).
    connect(&m_port, &QSerialPort::readyRead, this, &ComPort::onReadyRead);
    // Queued too: closing the port from inside its own error signal is unsafe.
    connect(&m_port, &QSerialPort::errorOccurred, this, &ComPort::onErrorOccurred, Qt::QueuedConnection);
}

ComPort::~ComPort()
{
    if (m_port.isOpen())
        m_port.close();
}

void ComPort::setPortName(const QString &name)
{
    if (name == m_name)
        return;
    m_name = name;
    if (isOpen()) {
        close();
        open();
    }
}

void ComPort::setBaudIndex(int index)
{
    if (index < 0 || index > 4 || index == m_baudIndex)
        return;
    m_baudIndex = index;
    if (isOpen() && !m_port.setBaudRate(baudRateOf(m_baudIndex)))
        throwPortError(EComPort::SetStateFailed);
}

QString ComPort::deviceFile() const
{
    // QSerialPort finds a bare name under /dev.
    const QString path = PortList::devicePath(m_name);
    return path.contains(QLatin1Char('/')) ? path : QStringLiteral("/dev/") + path;
}

bool ComPort::isOpen() const
{
    return m_port.isOpen();
}

void ComPort::open()
{
    if (isOpen())
        return;
    m_port.setPortName(PortList::devicePath(m_name));
    if (!m_port.open(QIODevice::ReadWrite))
        throwPortError(EComPort::OpenFailed);
    try {
        applyLineSettings();
    } catch (...) {
        m_port.close();
        throw;
    }
    requestLowLatency(int(m_port.handle()));
}

void ComPort::applyLineSettings()
{
    if (!m_port.setBaudRate(baudRateOf(m_baudIndex)) || !m_port.setDataBits(QSerialPort::Data8)
        || !m_port.setParity(QSerialPort::NoParity) || !m_port.setStopBits(QSerialPort::OneStop)
        || !m_port.setFlowControl(QSerialPort::NoFlowControl))
        throwPortError(EComPort::SetStateFailed);
    // Pseudo-terminals have no modem lines and refuse these; real ports take them.
    m_port.setDataTerminalReady(false);
    m_port.setRequestToSend(false);
    m_port.clearError();
}

void ComPort::close()
{
    if (!isOpen())
        return;
    m_port.close();
    m_port.clearError();
}

int ComPort::bytesWaiting() const
{
    return isOpen() ? int(m_port.bytesAvailable()) : 0;
}

void ComPort::purge()
{
    m_answerBegun = false;
    if (!m_port.clear(QSerialPort::AllDirections))
        throwPortError(EComPort::PurgeFailed);
}

void ComPort::write(const QByteArray &bytes)
{
    m_answerBegun = false;
    // A write that fails means the line is gone: close the port here, so that Qt's
    // queued error signal finds it closed and no second error box follows.
    if (m_port.write(bytes) != bytes.size())
        failAndClose(EComPort::WriteFailed);
    // A write may take 100 ms per byte plus one second before it counts as failed.
    if (!m_port.waitForBytesWritten(1000 + 100 * int(bytes.size())) && m_port.bytesToWrite() > 0)
        failAndClose(EComPort::WriteFailed);
}

bool ComPort::waitForWritten(int timeoutMs)
{
    if (!isOpen())
        return true;
    const QDeadlineTimer deadline(timeoutMs);
    if (m_port.bytesToWrite() > 0 && !m_port.waitForBytesWritten(timeoutMs))
        return false;
    // Qt's buffer is empty; the driver may still hold bytes that closing the port or
    // changing its speed would throw away. Wait until its output queue is empty too.
    const int fd = int(m_port.handle());
    int queued = 0;
    while (ioctl(fd, TIOCOUTQ, &queued) == 0 && queued > 0) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(1);
    }
    return true;
}

bool ComPort::waitForBytes(int count, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (m_port.bytesAvailable() < count) {
        const qint64 remaining = deadline.remainingTime();
        if (remaining <= 0)
            break;
        // Once an answer has begun, its other bytes follow at the line speed: sleep
        // for the time the missing ones take on the wire rather than wake for each.
        const int here = int(m_port.bytesAvailable()) + bytesInDriver();
        if (here > 0 || m_answerBegun)
            sleepForBytes(count - here, remaining);
        if (!m_port.waitForReadyRead(int(qMax<qint64>(deadline.remainingTime(), 0)))) {
            // A time-out, or a read that found nothing on a working line, means keep
            // waiting until the deadline; a failed device means the line is gone, and
            // retrying would spin at full speed. So does a hung-up line, which Qt may
            // report as an end of input with no error at all.
            if (deviceFailed(m_port.error()) || lineHungUp())
                failAndClose(EComPort::ReadFailed);
            m_port.clearError();
        }
    }
    return m_port.bytesAvailable() >= count;
}

bool ComPort::deviceFailed(QSerialPort::SerialPortError error) const
{
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError)
        return false;
    // Qt reports a read that found no bytes as a read error. That happens on a healthy
    // line when received bytes were purged after Qt was told of them (noise thrown
    // away, a reset report): the device still answers, so the port stays open.
    if (error == QSerialPort::ReadError && isOpen() && !lineHungUp()) {
        termios settings {};
        return ::tcgetattr(int(m_port.handle()), &settings) != 0;
    }
    return true;
}

bool ComPort::lineHungUp() const
{
    pollfd line {int(m_port.handle()), POLLIN, 0};
    return ::poll(&line, 1, 0) == 1 && (line.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

int ComPort::bytesInDriver() const
{
    int queued = 0;
    return ioctl(int(m_port.handle()), TIOCINQ, &queued) == 0 ? queued : 0;
}

void ComPort::sleepForBytes(int count, qint64 limitMs)
{
    // 10 bits per byte: start bit, 8 data bits, stop bit.
    const qint64 wireUs = qint64(count) * 10 * 1000000 / baudRateOf(m_baudIndex);
    const qint64 sleepUs = qMin(wireUs, limitMs * 1000);
    if (sleepUs > 0)
        QThread::usleep(quint64(sleepUs));
}

QByteArray ComPort::read(int count)
{
    const QByteArray bytes = m_port.read(count);
    if (bytes.isNull() && count > 0 && m_port.error() != QSerialPort::NoError)
        throwPortError(EComPort::ReadFailed);
    if (!bytes.isEmpty())
        m_answerBegun = true;
    return bytes;
}

void ComPort::setCommandActive(bool active)
{
    m_commandActive = active;
    // Bytes the command left unread (a late report, say) go to the receive handler.
    if (!active && bytesWaiting() > 0)
        onReadyRead();
}

void ComPort::onReadyRead()
{
    // readyRead is also emitted from inside waitForReadyRead(), once per group of bytes
    // of a command's answer. Those belong to the command: nothing is posted for them,
    // so waiting for an answer wakes no event loop. Between commands, one delivery is
    // queued however many groups arrive before it runs.
    if (m_commandActive || m_deliveryQueued)
        return;
    m_deliveryQueued = true;
    QMetaObject::invokeMethod(this, &ComPort::deliverRxChar, Qt::QueuedConnection);
}

void ComPort::deliverRxChar()
{
    m_deliveryQueued = false;
    if (m_commandActive || !isOpen())
        return;
    const int count = bytesWaiting();
    if (count > 0) {
        // A new frame, not the rest of one already read.
        m_answerBegun = false;
        Q_EMIT rxChar(count);
    }
}

void ComPort::onErrorOccurred(QSerialPort::SerialPortError error)
{
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError
        && error != QSerialPort::WriteError)
        return;
    if (!isOpen() || m_commandActive)
        return;
    if (!deviceFailed(error)) {
        m_port.clearError();
        return;
    }
    const QString message = EComPort(EComPort::ReadFailed, systemErrorOf(error, deviceFile())).boxText();
    close();
    Q_EMIT portFailed(message);
}

void ComPort::failAndClose(int code)
{
    const QSerialPort::SerialPortError error = m_port.error();
    closeOnFailure();
    throw EComPort(EComPort::Code(code), systemErrorOf(error, deviceFile()));
}

void ComPort::throwPortError(int code)
{
    const QSerialPort::SerialPortError error = m_port.error();
    m_port.clearError();
    // The device is gone: the port is closed here, so that Qt's queued error signal
    // finds it closed and the user sees one error box, not two.
    if (error == QSerialPort::ResourceError && isOpen())
        closeOnFailure();
    throw EComPort(EComPort::Code(code), systemErrorOf(error, deviceFile()));
}

void ComPort::closeOnFailure()
{
    close();
    Q_EMIT closedOnFailure();
}
