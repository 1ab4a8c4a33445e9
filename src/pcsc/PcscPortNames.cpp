#include "pcsc/PcscPortNames.h"

#include "pcsc/PcscSession.h"

QStringList PcscPortNames::entries()
{
    QStringList readers;
    // A daemon that is not running offers no readers; choosing one reports why.
    if (!PcscSession::listReaders(&readers).ok())
        return {};
    QStringList out;
    for (const QString &reader : readers)
        out.append(entry(reader));
    return out;
}
