#pragma once

#include "reader/CardReader.h"

#include <QByteArray>
#include <QObject>

#include <optional>

class ModuleLink;
struct ModuleResponse;
class UserDialogs;

// The serial reader module as a CardReader: each operation is one request frame and
// its answer, logged as "TX > ..." and "RX <..." lines with the answer's meaning, and
// ending in a status bar text that starts with the last select, seek or halt text.
// It also takes up what the module sends unasked: a seek's late tag report and the
// version text after a reset. Port errors throw (EComPort).
class SerialModuleReader : public QObject, public CardReader
{
    Q_OBJECT

public:
    SerialModuleReader(ModuleLink &link, UserDialogs &dialogs, QObject *parent = nullptr);

    [[nodiscard]] ReaderCapabilities capabilities() const override;
    // FF 00 01 83: one attempt; a status answer is NoTag ("N") or Unexpected.
    [[nodiscard]] ReaderResult select(CardType card) override;
    // FF 00 01 82: the module reports a tag now, or later through the receive handler.
    [[nodiscard]] ReaderResult seek(CardType card) override;
    [[nodiscard]] bool seekWaiting() const override;
    void setTagArrived(std::function<void()> callback) override { m_tagArrived = std::move(callback); }
    // FF 00 01 93: any well-formed answer counts as halted.
    [[nodiscard]] ReaderResult halt() override;
    // FF 00 .. 85: only the status "L" is success.
    [[nodiscard]] ReaderResult authenticate(int block, const KeySource &key) override;
    // FF 00 02 86.
    [[nodiscard]] ReaderResult read(int block, CardType card) override;
    // FF 00 12 89: the module reads the block back to verify.
    [[nodiscard]] ReaderResult writeBlock(int block, const QByteArray &sixteenBytes) override;
    // FF 00 06 8B.
    [[nodiscard]] ReaderResult writePage(int page, const QByteArray &fourBytes) override;
    // FF 00 02 87.
    [[nodiscard]] ReaderResult readValue(int block) override;
    // FF 00 06 8A / 8D / 8E.
    [[nodiscard]] ReaderResult changeValue(ValueOperation operation, int block, const QByteArray &fourBytes) override;

public Q_SLOTS:
    // Reads one frame that arrived outside any command. The byte count is not used.
    void ComPort1RxChar(int count);

private:
    struct AuthRequest {
        QByteArray frame;
        QByteArray column;
    };
    [[nodiscard]] static std::optional<AuthRequest> authRequest(int block, const KeySource &key);
    [[nodiscard]] ReaderResult tagAnswer(const ModuleResponse &response, CardType card);
    void setTagStatus(const QByteArray &text);
    void receiveFrame();

    ModuleLink &m_link;
    UserDialogs &m_dialogs;
    // The card a waiting seek reports: its serial length.
    CardType m_seekCard = CardType::Mifare1K;
    std::function<void()> m_tagArrived;
};
