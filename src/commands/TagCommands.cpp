#include "commands/TagCommands.h"

#include "reader/CardReader.h"

TagCommands::TagCommands(CardReader &reader, Options options)
    : m_reader(reader)
    , m_options(std::move(options))
{
}

void TagCommands::SeekTag(QByteArray &result)
{
    if (!m_reader.seek(options().card).ok())
        result = "error";
}

void TagCommands::SelectTag(QByteArray &result)
{
    if (!m_reader.select(options().card).ok())
        result = "error";
}

void TagCommands::HaltTag(QByteArray &result)
{
    if (!m_reader.halt().ok())
        result = "error";
}

void TagCommands::Authenticate(int block, QByteArray &result)
{
    // A block no request can name is refused before the key fields are read.
    if (block < 0 || block > 255) {
        result = "error";
        return;
    }
    const std::optional<KeySource> key = options(true).key();
    if (!key || !m_reader.authenticate(block, *key).ok())
        result = "error";
}
