#include "link/EComPort.h"

#include <cerrno>
#include <cstring>

namespace {

std::string messageFor(EComPort::Code code, int systemError)
{
    return (EComPort::text(code) + " (win error code: " + QByteArray::number(systemError) + ")").toStdString();
}

} // namespace

EComPort::EComPort(Code code, int systemError)
    : std::runtime_error(messageFor(code, systemError))
    , m_code(code)
    , m_systemError(systemError)
{
}

QByteArray EComPort::text(Code code)
{
    switch (code) {
    case OpenFailed: return "Unable to open com port";
    case WriteFailed: return "WriteFile function failed";
    case ReadFailed: return "ReadFile function failed";
    case PurgeFailed: return "PurgeComm function failed";
    case SetStateFailed: return "SetCommState function failed";
    case SetTimeoutsFailed: return "SetCommTimeouts failed";
    case SetupFailed: return "SetupComm function failed";
    case ClearErrorFailed: return "ClearCommError function failed";
    case RegistryError: return "Registry error";
    }
    return "Unable to open com port";
}

QString EComPort::explanation(int systemError)
{
    if (systemError == 0)
        return {};
    // The English text whatever the locale: the rest of the box is English too.
    const char *description = strerrordesc_np(systemError);
    QString reason = description ? QString::fromLatin1(description)
                                 : QStringLiteral("System error %1").arg(systemError);
    switch (systemError) {
    case EACCES:
    case EPERM:
        return reason
            + QStringLiteral(". Serial ports belong to the group dialout: join it (sudo adduser $USER dialout) "
                             "and log in again.");
    case EBUSY:
        return reason
            + QStringLiteral(". Another program holds the port (ModemManager, a terminal program or a second "
                             "copy of this one): close it, or wait until it lets go.");
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case EIO:
        return reason
            + QStringLiteral(". The reader was unplugged (or the port name is wrong): plug it in again and "
                             "choose its port in the Com Port box.");
    case ETIMEDOUT:
        return reason + QStringLiteral(". The module took no bytes in time: check its power and cable.");
    default:
        return reason + QLatin1Char('.');
    }
}

QString EComPort::boxText() const
{
    const QString message = QString::fromLatin1(what());
    const QString second = explanation(m_systemError);
    return second.isEmpty() ? message : message + QLatin1Char('\n') + second;
}
