#pragma once

#include "pcsc/PcscContext.h"

#include <QDeadlineTimer>
#include <QString>

// Waits (at most 5 s, in pcscd's own status-change wait) until the daemon sees a card
// in the reader, or the reader empty.
inline bool waitForPcscCard(const QString &reader, bool present)
{
    PcscContext context;
    unsigned long state = 0;
    if (context.establish() != 0)
        return false;
    QDeadlineTimer deadline(5000);
    while (context.waitForChange(reader, &state, int(deadline.remainingTime())) == 0) {
        if (bool(state & PcscContext::StatePresent) == present)
            return true;
    }
    return false;
}
