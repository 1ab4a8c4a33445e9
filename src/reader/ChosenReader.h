#pragma once

#include "reader/CardReader.h"

// The reader the Com Port box chose, for the commands that are made once and keep it:
// every operation goes to the reader in use now (the serial module or a PC/SC reader).
class ChosenReader : public CardReader
{
public:
    explicit ChosenReader(CardReader &initial) : m_current(&initial) {}

    void choose(CardReader &reader) { m_current = &reader; }
    [[nodiscard]] CardReader &current() const { return *m_current; }

    [[nodiscard]] ReaderCapabilities capabilities() const override { return m_current->capabilities(); }
    [[nodiscard]] ReaderResult select(CardType card) override { return m_current->select(card); }
    [[nodiscard]] ReaderResult seek(CardType card) override { return m_current->seek(card); }
    [[nodiscard]] ReaderResult seekNewCard(CardType card) override { return m_current->seekNewCard(card); }
    [[nodiscard]] bool seekWaiting() const override { return m_current->seekWaiting(); }
    void setTagArrived(std::function<void()> callback) override { m_current->setTagArrived(std::move(callback)); }
    [[nodiscard]] ReaderResult halt() override { return m_current->halt(); }
    [[nodiscard]] ReaderResult authenticate(int block, const KeySource &key) override
    {
        return m_current->authenticate(block, key);
    }
    [[nodiscard]] ReaderResult read(int block, CardType card) override { return m_current->read(block, card); }
    [[nodiscard]] ReaderResult writeBlock(int block, const QByteArray &sixteenBytes) override
    {
        return m_current->writeBlock(block, sixteenBytes);
    }
    [[nodiscard]] ReaderResult writePage(int page, const QByteArray &fourBytes) override
    {
        return m_current->writePage(page, fourBytes);
    }
    [[nodiscard]] ReaderResult readValue(int block) override { return m_current->readValue(block); }
    [[nodiscard]] ReaderResult changeValue(ValueOperation operation, int block, const QByteArray &fourBytes) override
    {
        return m_current->changeValue(operation, block, fourBytes);
    }

private:
    CardReader *m_current;
};
