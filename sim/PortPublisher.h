#pragma once

#include <QString>

// Publishes the simulator's pseudo-terminal where the program's port list looks
// for it: a symbolic link <runtime>/merlox-mifare-ports/<name> -> /dev/pts/N, where
// <runtime> is the per-user runtime folder (XDG_RUNTIME_DIR). The program lists the
// links of that folder by name and opens the link's target; it must skip names that
// start with a dot, which hold the simulators' locks.
//
// A name is in use while the simulator that published it holds the lock file
// ".<name>.lock" beside the link (an flock, released by the system when that
// simulator dies). A link without a live holder is stale and gets replaced; a name in
// use makes the publisher try "<name>-2", "<name>-3", ...
class PortPublisher
{
public:
    static constexpr const char *FolderName = "merlox-mifare-ports";

    explicit PortPublisher(const QString &folder = defaultFolder());
    ~PortPublisher();
    PortPublisher(const PortPublisher &) = delete;
    PortPublisher &operator=(const PortPublisher &) = delete;

    [[nodiscard]] static QString defaultFolder();

    // Links name (or the first free numbered variant) to target.
    [[nodiscard]] bool publish(const QString &name, const QString &target, QString *error = nullptr);
    // Removes the link and the lock; also done by the destructor.
    void unpublish();
    [[nodiscard]] QString linkPath() const { return m_linkPath; }
    [[nodiscard]] QString publishedName() const { return m_name; }

private:
    QString m_folder;
    QString m_name;
    QString m_linkPath;
    QString m_lockPath;
    int m_lockFd = -1;
};
