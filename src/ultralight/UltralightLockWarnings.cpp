#include "ultralight/UltralightLockWarnings.h"

#include "ultralight/LockBits.h"

WarningCheck UltralightLockWarnings(quint8 lockByte0, quint8 lockByte1)
{
    WarningCheck result;
    for (const LockBit &lock : LockBits) {
        const quint8 byte = lock.lockByte == 0 ? lockByte0 : lockByte1;
        if ((byte >> lock.bit) & 1) {
            result.status = QStringLiteral("warn");
            result.warnings += QLatin1String(lock.warning) + QLatin1Char('\n');
        }
    }
    return result;
}
