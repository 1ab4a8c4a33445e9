#pragma once

#include <QDialog>

#include <functional>

class ModuleLink;
class PortControls;
class QComboBox;
class QPlainTextEdit;
class QPushButton;
class UserDialogs;

// The baud-rate window (TForm4): changes the module's line speed for good, then moves
// the program's own port and its stored "Baud" choice to the new speed and listens for
// the module's answer there. Created hidden at start-up; not modal.
class BaudRateWindow : public QDialog
{
    Q_OBJECT

public:
    // setMainSpeed: the main window's speed box set to a speed index, its change run.
    BaudRateWindow(PortControls &portControls, ModuleLink &link, UserDialogs &dialogs,
                   std::function<void(int)> setMainSpeed, QWidget *parent = nullptr);

    // Controls, named as their objectNames.
    QComboBox *cmb_port = nullptr;    // display only
    QComboBox *cmb_baud = nullptr;    // the speed the module runs at now
    QComboBox *cmb_newbaud = nullptr; // the speed to set
    QPushButton *BitBtn1 = nullptr;
    QPlainTextEdit *help = nullptr;

    // Time the module gets after the request before the port closes.
    static constexpr int SettleMs = 50;

public Q_SLOTS:
    // Refreshes the port list and the current speed from the main window.
    void FormActivate();
    void cmb_baudChange();
    void BitBtn1Click();

protected:
    void changeEvent(QEvent *event) override;
    // The new speed starts at the current one: a stray click changes nothing.
    void showEvent(QShowEvent *event) override;

private:
    void setupControls();
    void FormCreate();
    // Opens the port at this window's current speed, switching the main window's buttons.
    void openAtCurrentSpeed();
    // The module keeps a new speed for good: asked once, No the default.
    [[nodiscard]] bool confirmChange();

    PortControls &m_portControls;
    ModuleLink &m_link;
    UserDialogs &m_dialogs;
    std::function<void(int)> m_setMainSpeed;
};
