#pragma once

#include "commands/CommandOptions.h"

#include <QByteArray>

#include <functional>

class CardReader;

// The commands that address a tag in the field: select, halt, seek and authenticate,
// through whatever reader is attached.
//
// Each command takes the caller's result text: it becomes "error" on failure and is
// left unchanged on success, so a sequence (halt, select, authenticate, ...) runs each
// step only while the result is not "error". Port errors throw (EComPort); callers
// run them inside guardAction.
class TagCommands
{
public:
    // The user's choices at the moment a command runs. withKey: the typed key bytes
    // are wanted too (reading them completes a half-typed key field).
    using Options = std::function<CommandOptions(bool withKey)>;

    TagCommands(CardReader &reader, Options options);

    [[nodiscard]] CardReader &reader() { return m_reader; }
    [[nodiscard]] CommandOptions options(bool withKey = false) const { return m_options(withKey); }

    // The reader reports a tag in the field now, or later when it comes. Waiting
    // (still seeking) gives "error".
    void SeekTag(QByteArray &result);
    // One attempt; no tag gives "error".
    void SelectTag(QByteArray &result);
    // Any answer counts as halted.
    void HaltTag(QByteArray &result);
    // Authenticates the block with the chosen key source, key type, key bytes and
    // slot; an incomplete choice sends nothing and gives "error".
    void Authenticate(int block, QByteArray &result);

private:
    CardReader &m_reader;
    Options m_options;
};
