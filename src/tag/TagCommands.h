#pragma once

#include "card/CardType.h"

#include <QByteArray>
#include <QObject>

#include <functional>
#include <optional>

struct MainWindowUi;
class KeyPanel;
class ModuleLink;
class UserDialogs;

// The commands that address a tag in the field: select, halt, seek and authenticate,
// and the receive handler that takes up what the module sends unasked (a seek's late
// tag report, the version text after a reset).
//
// Each command takes the caller's result text: it becomes "error" on failure and is
// left unchanged on success, so a sequence (halt, select, authenticate, ...) runs each
// step only while the result is not "error". Port errors throw (EComPort); callers
// run them inside guardAction.
class TagCommands : public QObject
{
    Q_OBJECT

public:
    TagCommands(MainWindowUi &ui, ModuleLink &link, KeyPanel &keys, UserDialogs &dialogs,
                std::function<CardType()> cardType, QObject *parent = nullptr);

    // FF 00 01 82: the module reports a tag in the field now, or later through the
    // receive handler. A status answer (still seeking) gives "error".
    void SeekTag(QByteArray &result);
    // FF 00 01 83: one attempt; a status answer gives "error" ("N": no tag).
    void SelectTag(QByteArray &result);
    // FF 00 01 93: any well-formed answer counts as halted.
    void HaltTag(QByteArray &result);
    // FF 00 .. 85: authenticates the block with the panel's source, key type, key
    // bytes and E2PROM slot; only the status "L" is success.
    void Authenticate(int block, QByteArray &result);

public Q_SLOTS:
    // Reads one frame that arrived outside any command. The byte count is not used.
    void ComPort1RxChar(int count);

    void btn_selectClick();
    void btn_haltClick();
    void btn_authenticateClick();

private:
    // The authentication request and its request column for the panel's current
    // choices; none when the choices are incomplete (no source, key type or slot).
    struct AuthRequest {
        QByteArray frame;
        QByteArray column;
    };
    [[nodiscard]] std::optional<AuthRequest> authRequest(int block);
    void setTagStatus(const QByteArray &text);
    void receiveFrame();

    MainWindowUi &m_ui;
    ModuleLink &m_link;
    KeyPanel &m_keys;
    UserDialogs &m_dialogs;
    std::function<CardType()> m_cardType;
};
