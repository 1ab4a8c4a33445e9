#include "link/EComPort.h"

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
