#include "commands/TagSequence.h"

#include "commands/TagCommands.h"

TagSequence::TagSequence(TagCommands &tags, std::function<void()> pause)
    : m_tags(tags)
    , m_pause(std::move(pause))
{
}

void TagSequence::pause()
{
    if (m_pause)
        m_pause();
}

bool TagSequence::haltAndSelect()
{
    QByteArray result;
    m_tags.HaltTag(result);
    if (result == "error")
        return false;
    pause();
    m_tags.SelectTag(result);
    return result != "error";
}

bool TagSequence::prepare(int block, bool authenticate)
{
    if (!haltAndSelect())
        return false;
    if (!authenticate)
        return true;
    pause();
    QByteArray result;
    m_tags.Authenticate(block, result);
    return result != "error";
}

bool TagSequence::haltAndSeek(const std::function<void()> &beforeSeek)
{
    QByteArray result;
    m_tags.HaltTag(result);
    if (result == "error")
        return false;
    if (beforeSeek)
        beforeSeek();
    m_tags.SeekTag(result);
    return true;
}
