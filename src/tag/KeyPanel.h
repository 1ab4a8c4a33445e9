#pragma once

#include "view/CardType.h"

#include <QByteArray>
#include <QObject>

#include <functional>

struct MainWindowUi;
class SettingsFile;
class UserDialogs;

// The authentication and read panel of the main window: its settings per card type,
// loaded on every card-type change and written the moment a control changes, and the
// enabled states that follow the authentication source and the card type.
class KeyPanel : public QObject
{
    Q_OBJECT

public:
    KeyPanel(MainWindowUi &ui, SettingsFile &settings, UserDialogs &dialogs,
             std::function<CardType()> cardType, QObject *parent = nullptr);

    // Loads the stored set of a card type into the panel (Classic: source, keys, key
    // type, block lists and indexes, Auto, Get data; Ultralight: Get data, Auto).
    void loadSettings(CardType type);

    // Enables the key fields, key type and E2PROM list the source needs.
    void UpdateAuthControls();
    // The controls that apply only to Classic cards.
    void DisableCommandControls();
    void EnableCommandControls();

    // The key byte of field i (0..5): its first two characters as hex. A field that
    // still holds fewer than two digits is completed as on leaving it first.
    [[nodiscard]] quint8 keyByte(int i);
    // Source (0..2), key type (0 A, 1 B), E2PROM slot, authentication block, read block.
    [[nodiscard]] int authSource() const;
    [[nodiscard]] int keyType() const;
    [[nodiscard]] int e2promSlot() const;

private:
    void rdb_authClick();
    void rdb_typeClick();
    void cmb_ebnChange();
    void cmb_blkaChange();
    void cmb_blkChange();
    void cb_autoClick();
    void cb_getdataClick();
    void keyFieldLeft();

    void fillBlockLists(int lastBlock);
    [[nodiscard]] QByteArray key(const char *name) const;

    MainWindowUi &m_ui;
    SettingsFile &m_settings;
    UserDialogs &m_dialogs;
    std::function<CardType()> m_cardType;
};
