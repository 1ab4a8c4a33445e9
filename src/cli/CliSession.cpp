#include "cli/CliSession.h"

#include "cli/CliOptions.h"
#include "pcsc/PcscPortNames.h"
#include "pcsc/PcscReader.h"

#include <cstdio>

CliSession::CliSession(const CliOptions &options)
{
    m_port.setPortName(options.port);
    m_port.setBaudIndex(options.baudIndex);
    m_log.verbose = options.verbose;
    if (PcscPortNames::isReader(options.port)) {
        m_pcsc = std::make_unique<PcscReader>(m_log);
        m_pcsc->setReaderName(PcscPortNames::reader(options.port));
    }
}

CliSession::~CliSession() = default;

CardReader &CliSession::reader()
{
    if (m_pcsc)
        return *m_pcsc;
    return m_reader;
}

void CliSession::StderrLog::appendLine(const QByteArray &line)
{
    if (verbose)
        std::fprintf(stderr, "%s\n", line.constData());
}

void CliSession::StderrDialogs::showMessage(const QString &text)
{
    std::fprintf(stderr, "merlox-mifare-cli: %s\n", qPrintable(text));
}

void CliSession::StderrDialogs::showError(const QString &text)
{
    std::fprintf(stderr, "merlox-mifare-cli: %s\n", qPrintable(text));
}
