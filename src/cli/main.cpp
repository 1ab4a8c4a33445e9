// merlox-mifare-cli: the card commands of MERLOX MIFARE for scripts and batch work.

#include "cli/CliArguments.h"
#include "cli/CliCommands.h"
#include "cli/ExitCode.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    QString error;
    const std::optional<CliOptions> options = CliArguments::parse(args, &error);
    if (!options) {
        std::fprintf(stderr, "merlox-mifare-cli: %s\n(merlox-mifare-cli --help lists the commands)\n", qPrintable(error));
        return ExitCode::Usage;
    }
    if (options->help) {
        std::fputs(qPrintable(CliArguments::helpText(options->command)), stdout);
        return ExitCode::Done;
    }
    return CliCommands::run(*options, stdout, stderr);
}
