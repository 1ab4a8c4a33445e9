#pragma once

#include <QByteArray>
#include <QDialog>
#include <QList>

class KeyByteEdit;
class ModuleLink;
class SettingsFile;
class UserDialogs;
class QButtonGroup;
class QComboBox;
class QGroupBox;
class QPlainTextEdit;
class QPushButton;

// The module key store window (TForm3): writes a key A or B into one of the module's
// 16 E2PROM key slots. Created hidden at start-up, when it loads its fields; not modal,
// always on top. Its entries persist under "IKeys", "IKey_Type" and "IE2prom_Block_No".
class KeyStoreWindow : public QDialog
{
    Q_OBJECT

public:
    KeyStoreWindow(SettingsFile &settings, UserDialogs &dialogs, ModuleLink &link, QWidget *parent = nullptr);

    // Controls, named as their objectNames.
    QList<KeyByteEdit *> keyEdits; // key1 .. key6
    QGroupBox *rdb_type = nullptr;
    QButtonGroup *keyType = nullptr; // ids 0 (Type A), 1 (Type B)
    QComboBox *cmb_ebn = nullptr;
    QPushButton *Button1 = nullptr;
    QPlainTextEdit *help = nullptr;

    // The write-key request for the current entries: FF 00 09 8C block type key CS.
    // Completes any key field that is still being typed in.
    [[nodiscard]] QByteArray writeKeyRequest();

public Q_SLOTS:
    void rdb_typeClick();
    void cmb_ebnChange();
    void Button1Click();
    // Stores the six key fields under "IKeys" (on leaving a field and on closing).
    void storeKeys();

protected:
    // Closing hides the window; the Escape key comes here as well as the close button.
    void reject() override;

private:
    void setupControls();
    void FormCreate();
    void FormClose();

    SettingsFile &m_settings;
    UserDialogs &m_dialogs;
    ModuleLink &m_link;
};
