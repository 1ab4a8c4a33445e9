#pragma once

#include "card/CardType.h"

#include <QByteArrayList>
#include <QWidget>

#include <array>
#include <functional>

class CardGridModel;
class KeyByteEdit;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLayout;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableWidget;
class SettingsFile;
class UserDialogs;

// The access conditions editor (objectName "TForm2"): the user picks an access row
// for each of the four block groups of a sector, types key A, key B and the user data
// byte, and "OK" puts the 16 trailer bytes as hexadecimal text into the trailer row
// of the chosen sector, or of every sector, of grid1 or grid4. It never talks to the
// card. Its choices are stored in KeyConfig and KeyAB as the user makes them and are
// reloaded each time the window is shown or becomes active.
class AccessEditor : public QWidget
{
    Q_OBJECT

public:
    AccessEditor(SettingsFile &settings, UserDialogs &dialogs, CardGridModel *grid1, CardGridModel *grid4,
                 std::function<CardType()> cardType, QWidget *parent = nullptr);

    // The "Set Keys" action of a trailer row: sets the captions for the sector size of
    // the block, fills the sector list for the card type, shows the window (non-modal,
    // on top) and selects the sector of the block. Mifare UL has no trailers: ignored.
    void openForTrailer(CardType type, int block);

    // Sets the description labels of a group (0..3) for access index k.
    void ShowAccessDescriptions(int group, int k);

protected:
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void FormActivate();
    void btn_okClick();
    void radioButtonClick();
    void byteEditExit();

    QWidget *buildDataPage(int group);
    QWidget *buildTrailerPage();
    QWidget *buildTableWithButtons(int group, QTableWidget *table, int headerRows);
    void addTitle(int group, QLayout *layout);
    void setCaptions(bool largeSector);
    // Table fills and texts, and the warning lines, from the window's palette.
    void applyColours();
    [[nodiscard]] std::array<int, 4> chosenIndices() const;
    [[nodiscard]] QByteArrayList byteTexts() const;
    void writeTrailer(CardGridModel *grid, int sector, const QByteArrayList &texts);
    // Why OK cannot write the chosen sector on a Classic card of this type; empty when it can.
    [[nodiscard]] QString missingSectorMessage(CardType type) const;
    // Runs a handler body through guardAction, remembering that a box of this window
    // may take the focus meanwhile.
    template<typename Action> void guarded(Action &&action);

    SettingsFile &m_settings;
    UserDialogs &m_dialogs;
    CardGridModel *m_grid1 = nullptr;
    CardGridModel *m_grid4 = nullptr;
    std::function<CardType()> m_cardType;

    QComboBox *m_sector = nullptr;
    QCheckBox *m_same = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
    QTabWidget *m_tabs = nullptr;
    std::array<QLabel *, 4> m_titles{};
    QList<QLabel *> m_warnings;
    std::array<QList<QLabel *>, 4> m_descriptions{};
    std::array<std::array<QRadioButton *, 8>, 4> m_radios{}; // [group][access index]
    std::array<QButtonGroup *, 4> m_groups{};
    QList<KeyByteEdit *> m_byteEdits; // key1..key6, keyb1..keyb6, udata
    bool m_building = true;
    // A message box of this window is open, and the window lost the focus to it: the
    // activation that follows its closing is a return, not a new visit, and must not
    // reload the settings (an unreadable file would otherwise raise its box forever).
    bool m_dialogOpen = false;
    bool m_returningFromDialog = false;
    // The settings were loaded when the window was shown; its first activation need not.
    bool m_loadedOnShow = false;
};
