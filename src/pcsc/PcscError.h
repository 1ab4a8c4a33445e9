#pragma once

#include "base/ActionError.h"
#include "pcsc/PcscFailure.h"

#include <QString>

// A PC/SC failure that ends the running action: the daemon stopped, the reader gone or
// held by another program, the card removed mid-session. The message says what to do;
// the action stops and shows it once in the error box.
class PcscError : public ActionError
{
public:
    PcscError(PcscFailure failure, const QString &message)
        : ActionError(message.toLocal8Bit())
        , m_failure(failure)
    {
    }

    [[nodiscard]] PcscFailure failure() const { return m_failure; }

private:
    PcscFailure m_failure;
};
