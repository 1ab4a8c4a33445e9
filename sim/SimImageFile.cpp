#include "SimImageFile.h"

#include <QFile>
#include <QFileInfo>

namespace SimImageFile {

std::optional<QByteArray> read(const QString &path, QString *error)
{
    // Checked before opening: opening a FIFO for reading blocks until a writer comes.
    if (!QFileInfo(path).isFile()) {
        *error = QStringLiteral("cannot read %1: not a regular file").arg(path);
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1").arg(path);
        return std::nullopt;
    }
    QByteArray image = file.read(MaxSize + 1);
    if (image.size() > MaxSize) {
        *error = QStringLiteral("%1 is larger than any card (%2 bytes)").arg(path).arg(MaxSize);
        return std::nullopt;
    }
    return image;
}

} // namespace SimImageFile
