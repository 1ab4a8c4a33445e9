#pragma once

#include <QByteArray>
#include <QString>

#include <stdexcept>

// An error of the serial port. The message is one of the port's fixed texts followed by
// " (win error code: N)", N being the system's error number (2: no such device,
// 13: permission denied, 16: busy). The running action stops and shows it in the error
// box, with the system's reason and what to do about it on a second line.
class EComPort : public std::runtime_error
{
public:
    enum Code {
        OpenFailed = 1,
        WriteFailed = 2,
        ReadFailed = 3,
        PurgeFailed = 5,
        SetStateFailed = 7,
        SetTimeoutsFailed = 8,
        SetupFailed = 9,
        ClearErrorFailed = 10,
        RegistryError = 23,
    };

    EComPort(Code code, int systemError);

    [[nodiscard]] Code code() const { return m_code; }
    [[nodiscard]] int systemError() const { return m_systemError; }

    // The fixed text of a code, without the error number.
    [[nodiscard]] static QByteArray text(Code code);
    // The system's own reason for an error number and, where there is one, what the
    // user can do about it: one line; empty for 0.
    [[nodiscard]] static QString explanation(int systemError);
    // What the error box shows: the message, then the explanation on a second line.
    [[nodiscard]] QString boxText() const;

private:
    Code m_code;
    int m_systemError;
};
