#include "windows/KeyPanel.h"

#include "base/ActionGuard.h"
#include "windows/KeyByteEdit.h"
#include "card/CardGeometry.h"
#include "card/KeyByteRules.h"
#include "windows/TagPanelUi.h"
#include "base/SettingsFile.h"
#include "card/Hex.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

// Checks button `index` of a group, or none when the index is outside the group.
void selectButton(QButtonGroup *group, int index)
{
    QAbstractButton *target = group->button(index);
    if (target) {
        target->setChecked(true);
        return;
    }
    group->setExclusive(false);
    const QList<QAbstractButton *> buttons = group->buttons();
    for (QAbstractButton *b : buttons)
        b->setChecked(false);
    group->setExclusive(true);
}

void selectIndex(QComboBox *box, int index)
{
    const QSignalBlocker block(box);
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
}

} // namespace

KeyPanel::KeyPanel(TagPanelUi &ui, SettingsFile &settings, UserDialogs &dialogs,
                   std::function<CardType()> cardType, QObject *parent)
    : QObject(parent)
    , m_ui(ui)
    , m_settings(settings)
    , m_dialogs(dialogs)
    , m_cardType(std::move(cardType))
{
    connect(m_ui.authSource, &QButtonGroup::idClicked, this, &KeyPanel::rdb_authClick);
    connect(m_ui.keyType, &QButtonGroup::idClicked, this, &KeyPanel::rdb_typeClick);
    connect(m_ui.cmb_ebn, &QComboBox::activated, this, &KeyPanel::cmb_ebnChange);
    connect(m_ui.cmb_blka, &QComboBox::activated, this, &KeyPanel::cmb_blkaChange);
    connect(m_ui.cmb_blk, &QComboBox::activated, this, &KeyPanel::cmb_blkChange);
    connect(m_ui.cb_auto, &QCheckBox::clicked, this, &KeyPanel::cb_autoClick);
    connect(m_ui.cb_getdata, &QCheckBox::clicked, this, &KeyPanel::cb_getdataClick);
    // The fields check every key release themselves (CheckKeyField's rules); leaving
    // one completes its text and stores the six keys.
    for (int i = 0; i < m_ui.keyEdits.size(); ++i)
        connect(m_ui.keyEdits.at(i), &KeyByteEdit::left, this, [this, i] {
            guardAction(m_dialogs, [&] { CompleteKeyField(i + 1); });
        });
}

QByteArray KeyPanel::key(const char *name) const
{
    return QByteArray(name) + cardTypeSuffix(m_cardType());
}

void KeyPanel::loadSettings(CardType type)
{
    const QByteArray suffix = cardTypeSuffix(type);
    if (type == CardType::MifareUL) {
        m_ui.cb_getdata->setChecked(m_settings.readFlag("Get_Grid_Data" + suffix, true));
        m_ui.cb_auto->setChecked(m_settings.readFlag("Auto" + suffix, true));
        return;
    }
    selectButton(m_ui.authSource, m_settings.readIndex("Auth_Source" + suffix, 0));
    UpdateAuthControls();
    const QByteArrayList keys = m_settings.read("Keys" + suffix, "5C,5C,5C,5C,5C,5C,");
    for (int i = 0; i < m_ui.keyEdits.size(); ++i)
        m_ui.keyEdits.at(i)->setText(i < keys.size() ? QString::fromLatin1(keys.at(i)) : QString());
    selectButton(m_ui.keyType, m_settings.readIndex("Key_Type" + suffix, 0));
    fillBlockLists(CardGeometry(type).blockCount() - 1);
    selectIndex(m_ui.cmb_blka, m_settings.readIndex("Auth_Block_No" + suffix, 0));
    selectIndex(m_ui.cmb_blk, m_settings.readIndex("Read_Block_No" + suffix, 0));
    selectIndex(m_ui.cmb_ebn, m_settings.readIndex("E2prom_Block_No" + suffix, 0));
    m_ui.cb_auto->setChecked(m_settings.readFlag("Auto" + suffix, true));
    m_ui.cb_getdata->setChecked(m_settings.readFlag("Get_Grid_Data" + suffix, true));
}

void KeyPanel::fillBlockLists(int lastBlock)
{
    QStringList blocks;
    for (int i = 0; i <= lastBlock; ++i)
        blocks << QString::number(i);
    QStringList slotNames;
    for (int i = 0; i <= 15; ++i)
        slotNames << QString::number(i);
    for (QComboBox *box : {m_ui.cmb_blk, m_ui.cmb_blka, m_ui.cmb_ebn}) {
        const QSignalBlocker block(box);
        box->clear();
        box->addItems(box == m_ui.cmb_ebn ? slotNames : blocks);
    }
}

void KeyPanel::UpdateAuthControls()
{
    const int source = authSource();
    for (KeyByteEdit *edit : m_ui.keyEdits)
        edit->setEnabled(source == 1);
    m_ui.rdb_type->setEnabled(source == 1 || source == 2);
    m_ui.cmb_ebn->setEnabled(source == 2);
}

void KeyPanel::DisableCommandControls()
{
    m_ui.rdb_type->setEnabled(false);
    m_ui.rdb_auth->setEnabled(false);
    for (KeyByteEdit *edit : m_ui.keyEdits)
        edit->setEnabled(false);
    m_ui.cmb_ebn->setEnabled(false);
    m_ui.cmb_blka->setEnabled(false);
    m_ui.cmb_blk->setEnabled(false);
    m_ui.btn_authenticate->setEnabled(false);
    m_ui.BitBtn1->setEnabled(false);
}

void KeyPanel::EnableCommandControls()
{
    m_ui.rdb_type->setEnabled(true);
    m_ui.rdb_auth->setEnabled(true);
    for (KeyByteEdit *edit : m_ui.keyEdits)
        edit->setEnabled(true);
    m_ui.cmb_ebn->setEnabled(true);
    m_ui.cmb_blka->setEnabled(true);
    m_ui.cmb_blk->setEnabled(true);
    m_ui.btn_authenticate->setEnabled(true);
    m_ui.BitBtn1->setEnabled(true);
}

int KeyPanel::authSource() const
{
    return m_ui.authSource->checkedId();
}

int KeyPanel::keyType() const
{
    return m_ui.keyType->checkedId();
}

int KeyPanel::e2promSlot() const
{
    return m_ui.cmb_ebn->currentIndex();
}

KeyByteEdit *KeyPanel::keyField(int i) const
{
    return m_ui.keyEdits.value(i - 1);
}

void KeyPanel::CheckKeyField(int i, int qtKey)
{
    if (KeyByteEdit *edit = keyField(i))
        edit->setText(QString::fromLatin1(KeyByteRules::afterKeyRelease(qtKey, edit->bytes())));
}

void KeyPanel::CompleteKeyField(int i)
{
    KeyByteEdit *edit = keyField(i);
    if (!edit)
        return;
    edit->complete();
    storeKeys();
}

quint8 KeyPanel::keyByte(int i)
{
    KeyByteEdit *edit = keyField(i + 1);
    if (!edit)
        return 0x5C;
    // A field still being typed in (a menu command run while it has the focus) is
    // completed as leaving it would, so the frame never carries an undefined byte.
    const QByteArray text = edit->bytes();
    if (text.size() < 2 || !Hex::isDigit(text.at(0)) || !Hex::isDigit(text.at(1)))
        CompleteKeyField(i + 1);
    return Hex::pairValue(edit->bytes());
}

void KeyPanel::rdb_authClick()
{
    UpdateAuthControls();
    if (m_cardType() == CardType::MifareUL)
        return;
    guardAction(m_dialogs, [&] { m_settings.writeIndex(key("Auth_Source"), authSource()); });
}

void KeyPanel::rdb_typeClick()
{
    if (m_cardType() == CardType::MifareUL)
        return;
    guardAction(m_dialogs, [&] { m_settings.writeIndex(key("Key_Type"), keyType()); });
}

void KeyPanel::cmb_ebnChange()
{
    if (m_cardType() == CardType::MifareUL)
        return;
    guardAction(m_dialogs, [&] { m_settings.writeIndex(key("E2prom_Block_No"), e2promSlot()); });
}

void KeyPanel::cmb_blkaChange()
{
    // Choosing the block to authenticate also chooses it for reading.
    selectIndex(m_ui.cmb_blk, m_ui.cmb_blka->currentIndex());
    if (m_cardType() == CardType::MifareUL)
        return;
    guardAction(m_dialogs, [&] {
        m_settings.writeIndex(key("Auth_Block_No"), m_ui.cmb_blka->currentIndex());
        m_settings.writeIndex(key("Read_Block_No"), m_ui.cmb_blk->currentIndex());
    });
}

void KeyPanel::cmb_blkChange()
{
    if (m_cardType() == CardType::MifareUL)
        return;
    guardAction(m_dialogs, [&] { m_settings.writeIndex(key("Read_Block_No"), m_ui.cmb_blk->currentIndex()); });
}

void KeyPanel::cb_autoClick()
{
    guardAction(m_dialogs, [&] { m_settings.writeFlag(key("Auto"), m_ui.cb_auto->isChecked()); });
}

void KeyPanel::cb_getdataClick()
{
    guardAction(m_dialogs, [&] { m_settings.writeFlag(key("Get_Grid_Data"), m_ui.cb_getdata->isChecked()); });
}

void KeyPanel::storeKeys()
{
    if (m_cardType() == CardType::MifareUL)
        return;
    QByteArrayList values;
    for (KeyByteEdit *edit : m_ui.keyEdits)
        values << edit->bytes();
    m_settings.write(key("Keys"), values);
}
