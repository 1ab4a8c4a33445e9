#include "PortPublisher.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
constexpr int MaxVariants = 99;
}

PortPublisher::PortPublisher(const QString &folder)
    : m_folder(folder)
{
}

PortPublisher::~PortPublisher()
{
    unpublish();
}

QString PortPublisher::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + QLatin1Char('/') + QLatin1String(FolderName);
}

bool PortPublisher::publish(const QString &name, const QString &target, QString *error)
{
    const auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    unpublish();
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')) || name.contains(QLatin1Char('/')))
        return fail(QStringLiteral("invalid port name \"%1\"").arg(name));
    if (!QDir().mkpath(m_folder))
        return fail(QStringLiteral("cannot create %1").arg(m_folder));
    QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    for (int variant = 1; variant <= MaxVariants; ++variant) {
        const QString candidate = variant == 1 ? name : QStringLiteral("%1-%2").arg(name).arg(variant);
        const QString lockPath = m_folder + QStringLiteral("/.") + candidate + QStringLiteral(".lock");
        const int fd = ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0)
            return fail(QStringLiteral("cannot open %1: %2").arg(lockPath, QString::fromLocal8Bit(strerror(errno))));
        if (::flock(fd, LOCK_EX | LOCK_NB) < 0) {
            ::close(fd); // a live simulator holds this name
            continue;
        }
        const QString linkPath = m_folder + QLatin1Char('/') + candidate;
        const QByteArray link = QFile::encodeName(linkPath);
        ::unlink(link.constData()); // a stale link of a simulator that died
        if (::symlink(QFile::encodeName(target).constData(), link.constData()) < 0) {
            const QString reason = QString::fromLocal8Bit(strerror(errno));
            ::unlink(QFile::encodeName(lockPath).constData());
            ::close(fd);
            return fail(QStringLiteral("cannot create %1: %2").arg(linkPath, reason));
        }
        m_name = candidate;
        m_linkPath = linkPath;
        m_lockPath = lockPath;
        m_lockFd = fd;
        return true;
    }
    return fail(QStringLiteral("no free port name for \"%1\" in %2").arg(name, m_folder));
}

void PortPublisher::unpublish()
{
    if (m_lockFd < 0)
        return;
    ::unlink(QFile::encodeName(m_linkPath).constData());
    ::unlink(QFile::encodeName(m_lockPath).constData());
    ::close(m_lockFd);
    m_lockFd = -1;
    m_name.clear();
    m_linkPath.clear();
    m_lockPath.clear();
}
