#pragma once

#include "card/CardType.h"
#include "reader/KeySource.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// Everything one command line asks for, parsed and checked, but nothing opened yet.
struct CliOptions {
    QString command;   // "list-ports", "select", "read-card", ...
    bool help = false; // --help: show the command's help and do nothing else

    QString port;         // --port, a name from list-ports or a device path
    int baudIndex = 1;    // --baud as ComPort's index; 19200 by default
    CardType card = CardType::Mifare1K;
    bool cardGiven = false; // --card was given

    // The key: --key T:HEX, --key-slot T:N, --default-key (the default) or --key-file.
    std::optional<KeySource> key;
    QString keyFile;

    QString format;  // --format: "bin", "eml", "json", "mct", "nfc" or "mtp"; empty: from the name
    bool force = false;
    bool verbose = false; // the module exchanges on stderr
    bool repeat = false;  // write-card --repeat
    int block = -1;       // read-block / write-block: block or page number
    QByteArray data;      // write-block: the bytes

    // find-keys
    QStringList keyFiles; // --keys FILE...
    QString output;       // --output FILE
    QByteArray keyTypes = "AB";
    int firstSector = 0;
    int lastSector = -1;

    QStringList files; // the command's file operands
};
