#include "base/RegularFile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

RegularFile::Content RegularFile::read(const QString &name, qint64 maxBytes)
{
    Content content;
    // Non-blocking, so that opening a FIFO without a writer or a terminal returns at
    // once; no controlling terminal is taken over. Regular files ignore the flag.
    const int fd = ::open(QFile::encodeName(name).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        content.error = systemError(errno);
        return content;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        content.error = systemError(errno);
    } else if (!S_ISREG(info.st_mode)) {
        content.outcome = Outcome::NotRegular;
        content.error = QStringLiteral("it is not a regular file");
    } else if (info.st_size > maxBytes) {
        content.outcome = Outcome::TooLarge;
        content.size = info.st_size;
        content.error = QStringLiteral("it is larger than %1 bytes").arg(maxBytes);
    } else {
        // The file may grow while it is read: reading stops one byte past the bound.
        const qint64 limit = maxBytes + 1;
        QByteArray data(qsizetype(qMin<qint64>(info.st_size + 1, limit)), Qt::Uninitialized);
        qsizetype total = 0;
        for (;;) {
            if (total == data.size()) {
                if (total >= limit)
                    break;
                data.resize(qsizetype(qMin<qint64>(2 * qint64(total), limit)));
            }
            const ssize_t n = ::read(fd, data.data() + total, size_t(data.size() - total));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                content.error = systemError(errno);
                break;
            }
            if (n == 0)
                break;
            total += n;
        }
        if (content.error.isEmpty() && total > maxBytes) {
            content.outcome = Outcome::TooLarge;
            content.size = total;
            content.error = QStringLiteral("it is larger than %1 bytes").arg(maxBytes);
        } else if (content.error.isEmpty()) {
            data.truncate(total);
            content.data = data;
            content.size = total;
            content.outcome = Outcome::Read;
        }
    }
    ::close(fd);
    return content;
}
