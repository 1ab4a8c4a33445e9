#pragma once

#include <QList>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;
class KeyByteEdit;

// The controls of the main window's tag panel, each carrying its name as objectName:
// what the key panel and the Read Block button work on.
struct TagPanelUi
{
    QCheckBox *cb_select = nullptr;
    QPushButton *btn_select = nullptr;
    QPushButton *btn_halt = nullptr;
    QGroupBox *rdb_auth = nullptr;
    QButtonGroup *authSource = nullptr; // ids 0..2
    QList<KeyByteEdit *> keyEdits;      // key1 .. key6
    QGroupBox *rdb_type = nullptr;
    QButtonGroup *keyType = nullptr;    // ids 0 (Type A), 1 (Type B)
    QComboBox *cmb_ebn = nullptr;
    QComboBox *cmb_blka = nullptr;
    QPushButton *btn_authenticate = nullptr;
    QCheckBox *cb_auto = nullptr;
    QCheckBox *cb_getdata = nullptr;
    QComboBox *cmb_blk = nullptr;
    QPushButton *BitBtn1 = nullptr;
};
