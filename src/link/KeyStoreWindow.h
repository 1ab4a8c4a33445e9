#pragma once

#include <QDialog>

class SettingsFile;

// The module key store window (TForm3): writes a key into one of the module's 16
// E2PROM key slots. Created hidden at start-up; loads its fields then.
class KeyStoreWindow : public QDialog
{
    Q_OBJECT

public:
    KeyStoreWindow(SettingsFile &settings, QWidget *parent = nullptr);

private:
    void FormCreate();

    SettingsFile &m_settings;
};
