#include "files/JsonDumpReader.h"

#include "files/DumpText.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

namespace JsonDumpReader {

std::optional<CardImage> read(const QByteArray &data, QString *problem)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError) {
        *problem = QStringLiteral("not valid JSON at character %1: %2").arg(error.offset).arg(error.errorString());
        return std::nullopt;
    }
    if (!document.isObject()) {
        *problem = QStringLiteral("expected a JSON object");
        return std::nullopt;
    }
    const QJsonObject root = document.object();

    bool ultralight = false;
    const QJsonValue fileType = root.value(QLatin1String("FileType"));
    if (!fileType.isUndefined()) {
        const QString name = fileType.toString();
        if (name == QLatin1String("mfu")) {
            ultralight = true;
        } else if (name != QLatin1String("mfc v2") && name != QLatin1String("mfcard") && name != QLatin1String("mfc")) {
            *problem = QStringLiteral("\"FileType\" is \"%1\"; expected \"mfc v2\", \"mfcard\" or \"mfu\"").arg(name);
            return std::nullopt;
        }
    }
    const QJsonValue blocksValue = root.value(QLatin1String("blocks"));
    if (!blocksValue.isObject()) {
        *problem = QStringLiteral("expected a \"blocks\" object");
        return std::nullopt;
    }
    const QJsonObject blocks = blocksValue.toObject();

    const int maxBlocks = ultralight ? 16 : 256;
    const int size = ultralight ? 4 : 16;
    CardImage all(ultralight ? CardType::MifareUL : CardType::Mifare4K);
    int highest = -1;
    for (auto it = blocks.begin(); it != blocks.end(); ++it) {
        bool isNumber = false;
        const int block = it.key().toInt(&isNumber);
        if (!isNumber || block < 0 || block >= maxBlocks || QString::number(block) != it.key()) {
            *problem = QStringLiteral("block \"%1\": expected a %2 number from 0 to %3")
                           .arg(it.key(), ultralight ? QStringLiteral("page") : QStringLiteral("block"))
                           .arg(maxBlocks - 1);
            return std::nullopt;
        }
        if (!it.value().isString()) {
            *problem = QStringLiteral("block %1: expected a text of %2 hexadecimal digits").arg(block).arg(2 * size);
            return std::nullopt;
        }
        QString bad;
        if (!DumpText::readHexRun(it.value().toString().toLatin1(), size, 0, all, block * size, &bad)) {
            *problem = QStringLiteral("block %1: %2").arg(block).arg(bad);
            return std::nullopt;
        }
        highest = std::max(highest, block);
    }
    if (highest < 0) {
        *problem = QStringLiteral("\"blocks\" is empty");
        return std::nullopt;
    }

    CardImage image(ultralight ? CardType::MifareUL : highest < 64 ? CardType::Mifare1K : CardType::Mifare4K);
    for (int i = 0; i < image.size(); ++i) {
        if (all.isKnown(i))
            image.setByte(i, all.byte(i));
    }
    return image;
}

} // namespace JsonDumpReader
