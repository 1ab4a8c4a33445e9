#pragma once

#include "card/CardType.h"

#include <QByteArray>
#include <QObject>

#include <functional>

class KeyByteEdit;
struct TagPanelUi;
class SettingsFile;
class UserDialogs;

// The authentication and read panel of the main window: its settings per card type,
// loaded on every card-type change and written the moment a control changes, and the
// enabled states that follow the authentication source and the card type.
class KeyPanel : public QObject
{
    Q_OBJECT

public:
    KeyPanel(TagPanelUi &ui, SettingsFile &settings, UserDialogs &dialogs,
             std::function<CardType()> cardType, QObject *parent = nullptr);

    // Loads the stored set of a card type into the panel (Classic: source, keys, key
    // type, block lists and indexes, Auto, Get data; Ultralight: Get data, Auto).
    void loadSettings(CardType type);

    // Enables the key fields, key type and E2PROM list the source needs.
    void UpdateAuthControls();
    // The controls that apply only to Classic cards.
    void DisableCommandControls();
    void EnableCommandControls();

    // Key field i (1..6, key1..key6) on a key release: a key outside the accepted list
    // (Delete included) empties it; a longer text is cut to two characters, which are
    // upper-cased or emptied when not hex. The fields run this rule themselves.
    void CheckKeyField(int i, int qtKey);
    // Key field i (1..6) on losing the focus: completed ("" -> 5C, "a" -> 0A, not hex
    // -> 5C; longer pasted text kept), then the six fields are stored for the card
    // type. Settings errors throw.
    void CompleteKeyField(int i);

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
    // Writes the six key fields as Keys1K or Keys4K; nothing for Mifare UL.
    void storeKeys();
    [[nodiscard]] KeyByteEdit *keyField(int i) const;

    void fillBlockLists(int lastBlock);
    [[nodiscard]] QByteArray key(const char *name) const;

    TagPanelUi &m_ui;
    SettingsFile &m_settings;
    UserDialogs &m_dialogs;
    std::function<CardType()> m_cardType;
};
