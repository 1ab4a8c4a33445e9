#pragma once

#include "pcsc/PcscResult.h"
#include "reader/CardReader.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class CommandLog;
class PcscCardWaiter;
class PcscSession;

// A PC/SC contactless reader as a CardReader, over a PcscSession: every APDU and its
// answer go to the log as "TX > " / "RX <" lines in the module's columns with their
// meaning, and each operation ends in a status bar text built like the module's. A
// card refusal is an outcome; the daemon stopping, the reader gone or held by another
// program and the card removed mid-session throw PcscError, so a run stops with one
// message and nothing more is sent. A seek waits for the card on a worker thread
// (PcscCardWaiter) and completes through seekWaiting() and the tag-arrived callback,
// as the module's late tag report does; seekNewCard waits the same way, first for the
// field to be empty.
class PcscReader : public QObject, public CardReader
{
    Q_OBJECT

public:
    explicit PcscReader(CommandLog &log, QObject *parent = nullptr);
    ~PcscReader() override;

    // The reader to use, as pcscd names it; a new name ends the card session.
    void setReaderName(const QString &name);
    [[nodiscard]] QString readerName() const { return m_name; }

    [[nodiscard]] ReaderCapabilities capabilities() const override;
    [[nodiscard]] ReaderResult select(CardType card) override;
    [[nodiscard]] ReaderResult seek(CardType card) override;
    // Sends nothing: the daemon says when the field was empty and a card came.
    [[nodiscard]] ReaderResult seekNewCard(CardType card) override;
    [[nodiscard]] bool seekWaiting() const override;
    void setTagArrived(std::function<void()> callback) override { m_tagArrived = std::move(callback); }
    [[nodiscard]] ReaderResult halt() override;
    // Only keys given as bytes: a PC/SC reader has no default key or key store.
    [[nodiscard]] ReaderResult authenticate(int block, const KeySource &key) override;
    [[nodiscard]] ReaderResult read(int block, CardType card) override;
    // Update binary; the reader's 90 00 is the confirmation (no read-back).
    [[nodiscard]] ReaderResult writeBlock(int block, const QByteArray &sixteenBytes) override;
    [[nodiscard]] ReaderResult writePage(int page, const QByteArray &fourBytes) override;
    // The reader's own value commands where it offers them; never imitated.
    [[nodiscard]] ReaderResult readValue(int block) override;
    [[nodiscard]] ReaderResult changeValue(ValueOperation operation, int block, const QByteArray &fourBytes) override;

    // Why a key source cannot be used with a PC/SC reader; empty when it can.
    [[nodiscard]] static QString keySourceRefusal(const KeySource &key);

private:
    PcscSession &session();
    // Logs every exchange; throws PcscError for the failures that end the session.
    void logAndCheck(const PcscResult &result);
    // The outcome of a finished command as the commands count it.
    [[nodiscard]] ReaderResult resultOf(const PcscResult &result, ReaderOutcome failed);
    // A refusal without any exchange: logged and shown with its reason.
    [[nodiscard]] ReaderResult refusal(ReaderOutcome outcome, const QString &reason);
    [[nodiscard]] ReaderResult selectNow(CardType card);
    void setTagStatus(const QByteArray &text);
    // Starts the waiter; the status says what the user is to do.
    [[nodiscard]] ReaderResult waitForTag(CardType card, bool newCard);
    void onCardPresent();
    void onWaitFailed(PcscFailure failure, const QString &message);
    void seekEnded();

    CommandLog &m_log;
    QString m_name;
    std::unique_ptr<PcscSession> m_session;
    PcscCardWaiter *m_waiter = nullptr;
    bool m_seeking = false;
    CardType m_seekCard = CardType::Mifare1K;
    QByteArray m_tagStatus;
    std::function<void()> m_tagArrived;
};
