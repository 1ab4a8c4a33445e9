#include "link/KeyStoreWindow.h"

#include "app/SettingsFile.h"

KeyStoreWindow::KeyStoreWindow(SettingsFile &settings, QWidget *parent)
    : QDialog(parent)
    , m_settings(settings)
{
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral("Write Key to Internal E2prom of RFID Module"));
    FormCreate();
}

void KeyStoreWindow::FormCreate()
{
    (void)m_settings.read("IKeys", "5C,5C,5C,5C,5C,5C,");
    (void)m_settings.readIndex("IKey_Type", 0);
    (void)m_settings.readIndex("IE2prom_Block_No", 0);
}
