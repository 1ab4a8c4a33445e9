#pragma once

#include <functional>

class TagCommands;

// The steps before a card operation: halt, then select (or seek), then for Classic
// cards authenticate the block, each only while the one before succeeded. Callers
// that pace the module give a pause, run between the steps.
class TagSequence
{
public:
    explicit TagSequence(TagCommands &tags, std::function<void()> pause = {});

    // Halt, then select; false at the first step that fails.
    [[nodiscard]] bool haltAndSelect();
    // haltAndSelect, then (when asked: Classic cards) authentication of the block.
    [[nodiscard]] bool prepare(int block, bool authenticate);
    // Halt, then beforeSeek (the caller stores what is to follow) and the seek, whose
    // result is not looked at: the tag may come later. False when the halt failed.
    [[nodiscard]] bool haltAndSeek(const std::function<void()> &beforeSeek);

private:
    void pause();

    TagCommands &m_tags;
    std::function<void()> m_pause;
};
