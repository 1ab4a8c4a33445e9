#pragma once

#include "base/UserDialogs.h"
#include "link/CommandLog.h"
#include "link/ComPort.h"
#include "link/ModuleLink.h"
#include "link/SerialModuleReader.h"

#include <QString>

#include <memory>

class PcscReader;

struct CliOptions;

// The reader --port names as a CardReader, for one run of the tool: the module on its
// serial port, or a PC/SC reader for a "PC/SC: " name. The port (or the reader's card
// session) is opened by the first exchange. The exchange log goes to stderr with --verbose; the
// status text (what the windows' status bar would show) is kept for messages.
class CliSession
{
public:
    explicit CliSession(const CliOptions &options);
    ~CliSession();

    [[nodiscard]] CardReader &reader();
    // The last status text, e.g. "NO TAG FOUND".
    [[nodiscard]] QByteArray status() const { return m_log.status(); }

private:
    class StderrLog : public CommandLog
    {
    public:
        bool verbose = false;
        void appendLine(const QByteArray &line) override;
        void setStatus(const QByteArray &text) override { m_status = text; }
        [[nodiscard]] QByteArray status() const override { return m_status; }

    private:
        QByteArray m_status;
    };

    // Nothing in a command-line run asks; errors of the unasked-frame handler go to stderr.
    class StderrDialogs : public UserDialogs
    {
    public:
        void showMessage(const QString &text) override;
        void showError(const QString &text) override;
        void showWarning(const QString &text) override { showError(text); }
        bool askYesNo(const QString &, const QString &) override { return false; }
        bool askBeforeIrreversible(const QString &, const QString &) override { return false; }
        Choice askSaveDiscardCancel(const QString &, const QString &) override { return Choice::Cancel; }
        QString openFileName(const QStringList &, QString *, const QString &) override { return {}; }
        QString saveFileName(const QStringList &, QString *, const QString &) override { return {}; }
    };

    ComPort m_port;
    StderrLog m_log;
    StderrDialogs m_dialogs;
    ModuleLink m_link {m_port, m_log};
    SerialModuleReader m_reader {m_link, m_dialogs};
    std::unique_ptr<PcscReader> m_pcsc; // set when --port names a PC/SC reader
};
