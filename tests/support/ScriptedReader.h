#pragma once

#include "card/CardImage.h"
#include "reader/CardReader.h"

#include <QByteArrayList>
#include <QHash>

// A reader over a card image in memory that records every operation as a short text
// ("select", "auth 4 A", "read 4", "write 5", "page 3", ...) and fails the ones it is
// told to: the commands and runs tested without a window or a port.
class ScriptedReader : public CardReader
{
public:
    explicit ScriptedReader(CardType type) : card(type) {}

    CardImage card;
    QByteArrayList operations;
    // Operations (as recorded) that fail with the outcome given.
    QHash<QByteArray, ReaderOutcome> failures;
    bool waiting = false;

    [[nodiscard]] ReaderCapabilities capabilities() const override { return {true, true, true, true, 16}; }
    [[nodiscard]] ReaderResult select(CardType) override { return done("select"); }
    [[nodiscard]] ReaderResult seek(CardType) override;
    [[nodiscard]] bool seekWaiting() const override { return waiting; }
    void setTagArrived(std::function<void()> callback) override { m_arrived = std::move(callback); }
    [[nodiscard]] ReaderResult halt() override { return done("halt"); }
    [[nodiscard]] ReaderResult authenticate(int block, const KeySource &key) override;
    [[nodiscard]] ReaderResult read(int block, CardType type) override;
    [[nodiscard]] ReaderResult writeBlock(int block, const QByteArray &sixteenBytes) override;
    [[nodiscard]] ReaderResult writePage(int page, const QByteArray &fourBytes) override;
    [[nodiscard]] ReaderResult readValue(int block) override;
    [[nodiscard]] ReaderResult changeValue(ValueOperation operation, int block, const QByteArray &fourBytes) override;

    // The seek's tag comes.
    void tagArrives();

private:
    [[nodiscard]] ReaderResult done(const QByteArray &operation, const QByteArray &data = {});

    std::function<void()> m_arrived;
};
