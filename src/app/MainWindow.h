#pragma once

#include "app/MainWindowUi.h"
#include "link/ComPort.h"
#include "link/CommandLog.h"
#include "link/ModuleLink.h"
#include "view/CardType.h"

#include <QMainWindow>
#include <QTimer>

class KeyPanel;
class SettingsFile;
class UserDialogs;

// The main window (TForm1): the wiring of the controls to the subsystems, the port
// buttons and boxes, the log pane and status bar, and the start-up sequence.
class MainWindow : public QMainWindow, public CommandLog
{
    Q_OBJECT

public:
    MainWindow(SettingsFile &settings, UserDialogs &dialogs, QWidget *parent = nullptr);
    ~MainWindow() override;

    [[nodiscard]] MainWindowUi &ui() { return m_ui; }
    [[nodiscard]] ComPort &port() { return m_port; }
    [[nodiscard]] ModuleLink &link() { return m_link; }
    [[nodiscard]] KeyPanel &keyPanel() { return *m_keyPanel; }
    [[nodiscard]] SettingsFile &settings() { return m_settings; }
    [[nodiscard]] UserDialogs &dialogs() { return m_dialogs; }
    [[nodiscard]] QTimer &timer() { return m_timer1; }

    // The selected card type (Mifare 1K when the box has no selection).
    [[nodiscard]] CardType cardType() const;

public: // CommandLog
    void appendLine(const QByteArray &line) override;
    void setStatus(const QByteArray &text) override;
    [[nodiscard]] QByteArray status() const override;
    // Every line of the log pane.
    [[nodiscard]] QByteArrayList logLines() const;

public Q_SLOTS:
    void open_cClick();
    void close_cClick();
    void cmb_portChange();
    void cmb_baudChange();
    void SpeedButton1Click();
    void cb_onlineClick();
    void tag_changeClick();

private:
    void FormCreate();
    // The Open Port action without its own error box: commands run it and let a port
    // error end them.
    void openPort();
    void showHelpPage();
    void onPortFailed(const QString &message);

    SettingsFile &m_settings;
    UserDialogs &m_dialogs;
    MainWindowUi m_ui;
    ComPort m_port;
    ModuleLink m_link;
    KeyPanel *m_keyPanel = nullptr;
    QTimer m_timer1;
};
