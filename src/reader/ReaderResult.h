#pragma once

#include <QByteArray>

// What a reader exchanged for one operation, as a log entry: the request and answer
// bytes and what the answer meant. Empty answer: none came.
struct ReaderExchange
{
    QByteArray request;
    QByteArray answer;
    QByteArray answerText; // the answer's data as the log shows it
    QByteArray meaning;
};

// How one reader operation ended.
enum class ReaderOutcome {
    Done,          // done; data holds what was read, if anything
    NoTag,         // no tag answered
    Failed,        // the card refused or the operation failed (wrong key, no access)
    NotValueBlock, // a value operation on a block not in value format
    WrittenUnverified, // written, but reading it back to verify failed
    Unexpected,    // an answer the operation does not know: count it as failed
    NoAnswer,      // nothing usable came back (time-out, corrupt answer)
    Waiting,       // a seek is waiting; the tag is reported later
    Unsupported,   // this reader cannot do it (see ReaderCapabilities)
};

struct ReaderResult
{
    ReaderOutcome outcome = ReaderOutcome::NoAnswer;
    // Read: the 16 bytes of a block, or four Mifare UL pages; read value: the four
    // value bytes, least significant first; select or seek: the tag's serial.
    QByteArray data;
    ReaderExchange exchange;

    // Success as the commands count it; a write whose verification failed still
    // reached the card, but is not a success.
    [[nodiscard]] bool ok() const { return outcome == ReaderOutcome::Done; }
};
