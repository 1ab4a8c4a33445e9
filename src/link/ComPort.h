#pragma once

#include <QObject>
#include <QSerialPort>
#include <QString>

// The one serial port to the module (TComPort): 8 data bits, no parity, one stop bit,
// no flow control, DTR and RTS held off. Every failure throws EComPort. Waiting for
// bytes blocks in the kernel; nothing here polls.
class ComPort : public QObject
{
    Q_OBJECT

public:
    // Line speeds by baud index, the same index as the baud boxes and the "Baud" setting.
    static constexpr int BaudRates[5] = {9600, 19200, 38400, 57600, 115200};
    [[nodiscard]] static int baudRateOf(int index);

    explicit ComPort(QObject *parent = nullptr);
    ~ComPort() override;

    // Stored; an open port is closed and opened again on the new name.
    void setPortName(const QString &name);
    [[nodiscard]] QString portName() const { return m_name; }

    // Stored; applied to an open port at once. Indexes outside 0..4 are ignored.
    void setBaudIndex(int index);
    [[nodiscard]] int baudIndex() const { return m_baudIndex; }

    void open();
    void close();
    [[nodiscard]] bool isOpen() const;

    // Count of received bytes waiting to be read.
    [[nodiscard]] int bytesWaiting() const;
    // Discards both the received bytes and the unsent ones.
    void purge();
    void write(const QByteArray &bytes);
    // Blocks until every written byte has left, at most timeoutMs; false when not.
    bool waitForWritten(int timeoutMs);
    // Blocks until at least count bytes wait or timeoutMs has passed. True when they are
    // there, however long it took. A failing port throws instead of returning.
    [[nodiscard]] bool waitForBytes(int count, int timeoutMs);
    // Reads at most count waiting bytes.
    [[nodiscard]] QByteArray read(int count);

    // While a command exchange runs, arriving bytes belong to it: no rxChar then.
    void setCommandActive(bool active);

Q_SIGNALS:
    // Bytes arrived that no command has read; count > 0. Emitted between commands only.
    void rxChar(int count);
    // The device failed while open (unplugged, far side gone). The port is already
    // closed when this is emitted; message is the error box text (EComPort::boxText).
    void portFailed(const QString &message);
    // A command found the line gone and closed the port; its exception carries the
    // error text.
    void closedOnFailure();

private:
    void applyLineSettings();
    // The device file opened for the port name.
    [[nodiscard]] QString deviceFile() const;
    void onReadyRead();
    void deliverRxChar();
    void sleepForBytes(int count, qint64 limitMs);
    // The far end is gone (a pseudo-terminal's other side closed, a device unplugged).
    [[nodiscard]] bool lineHungUp() const;
    // Whether a port error means the device failed, rather than a read that found
    // nothing on a line that still works.
    [[nodiscard]] bool deviceFailed(QSerialPort::SerialPortError error) const;
    // Bytes received by the driver that Qt has not read yet.
    [[nodiscard]] int bytesInDriver() const;
    void onErrorOccurred(QSerialPort::SerialPortError error);
    [[noreturn]] void throwPortError(int code);
    // The line is gone: close the port (never from inside Qt's error signal) and throw.
    [[noreturn]] void failAndClose(int code);
    void closeOnFailure();

    QSerialPort m_port;
    QString m_name = QStringLiteral("COM1");
    int m_baudIndex = 1;
    bool m_commandActive = false;
    bool m_deliveryQueued = false;
    // Bytes of the module's current answer have been read: the rest is on its way.
    bool m_answerBegun = false;
};
