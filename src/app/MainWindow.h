#pragma once

#include "app/MainWindowUi.h"
#include "commands/CommandOptions.h"
#include "commands/CommandSink.h"
#include "link/ComPort.h"
#include "link/CommandLog.h"
#include "link/ModuleLink.h"
#include "card/CardType.h"

#include <QMainWindow>
#include <QTimer>

#include <memory>

class BlockCommands;
class CardGrids;
class FileCommands;
class KeyPanel;
class LogAndStatus;
class ModuleCommands;
class PendingReads;
class PortControls;
class ReadBlockButton;
class ReaderChoice;
class SerialModuleReader;
class SettingsFile;
class TagCommands;
class UserDialogs;
class ValueCommands;

// The main window (TForm1): the wiring of the controls to the subsystems, the port
// buttons and boxes, the log pane and status bar, and the start-up sequence.
class MainWindow : public QMainWindow, public CommandLog, public CommandSink
{
    Q_OBJECT

public:
    MainWindow(SettingsFile &settings, UserDialogs &dialogs, QWidget *parent = nullptr);
    ~MainWindow() override;

    [[nodiscard]] MainWindowUi &ui() { return m_ui; }
    [[nodiscard]] ComPort &port() { return m_port; }
    [[nodiscard]] ModuleLink &link() { return m_link; }
    // The serial module as the card commands' reader.
    [[nodiscard]] SerialModuleReader &reader() { return *m_reader; }
    // The reader chosen in the port box (serial module or PC/SC), which the commands use.
    [[nodiscard]] ReaderChoice &readerChoice() { return *m_readerChoice; }
    // The port and speed boxes and the Open Port / Close Port buttons.
    [[nodiscard]] PortControls &portControls() { return *m_portControls; }
    [[nodiscard]] KeyPanel &keyPanel() { return *m_keyPanel; }
    // The three card grids (grid1, grid4, gridUL) with the read strip and ASCII view.
    [[nodiscard]] CardGrids &grids() { return *m_grids; }
    // The File menu commands and the start-up template loads.
    [[nodiscard]] FileCommands &files() { return *m_files; }
    // Select, halt, seek, authenticate and the receive handler.
    [[nodiscard]] TagCommands &tagCommands() { return *m_tagCommands; }
    // Block and page reads and writes, value blocks, and the reads Timer1 completes.
    [[nodiscard]] BlockCommands &blockCommands() { return *m_blockCommands; }
    [[nodiscard]] ValueCommands &valueCommands() { return *m_valueCommands; }
    [[nodiscard]] PendingReads &pendingReads() { return *m_pendingReads; }
    [[nodiscard]] ReadBlockButton &readBlockButton() { return *m_readBlockButton; }
    // The Hardware Commands menu.
    [[nodiscard]] ModuleCommands &moduleCommands() { return *m_moduleCommands; }
    [[nodiscard]] SettingsFile &settings() { return m_settings; }
    [[nodiscard]] UserDialogs &dialogs() { return m_dialogs; }
    [[nodiscard]] QTimer &timer() { return m_timer1; }

    // The selected card type (Mifare 1K when the box has no selection).
    [[nodiscard]] CardType cardType() const;
    // The card type, Auto, Seek, Get data and key choices of the tag panel; the typed
    // key bytes only withKey (reading them completes a half-typed key field).
    [[nodiscard]] CommandOptions commandOptions(bool withKey);

public: // CommandLog
    void appendLine(const QByteArray &line) override;
    void setStatus(const QByteArray &text) override;
    [[nodiscard]] QByteArray status() const override;
    // Every line of the log pane.
    [[nodiscard]] QByteArrayList logLines() const;

public: // CommandSink
    void blockRead(CardType type, int number, const QByteArray &bytes) override;
    [[nodiscard]] WritePlan writePlan(CardType type) override;
    void gridsToHex() override;
    void setLastReadText(const QByteArray &text) override;
    void showReadStrip(CardType type, int row) override;

public Q_SLOTS:
    void open_cClick();
    void close_cClick();
    void cmb_portChange();
    void cmb_baudChange();
    void SpeedButton1Click();
    void cb_onlineClick();
    // The Help menu: the bundled help page in the help pane, and the program's version
    // and licence.
    void helpPageClick();
    void aboutClick();
    void tag_changeClick();

private:
    void FormCreate();
    // The Open Port action without its own error box: commands run it and let a port
    // error end them.
    void openPort();
    void showHelpPage();
    void wireGridsAndFiles();
    void wireTagButtons();
    void wireModuleMenu();
    // The Classic controls and the stored settings of a card type, and its grid shown.
    void applyCardType(CardType type);
    void onPortFailed(const QString &message);
    // Open Port shown instead of Close Port.
    void showPortClosed();

    SettingsFile &m_settings;
    UserDialogs &m_dialogs;
    MainWindowUi m_ui;
    std::unique_ptr<LogAndStatus> m_log;
    ComPort m_port;
    ModuleLink m_link;
    std::unique_ptr<PortControls> m_portControls;
    SerialModuleReader *m_reader = nullptr;
    ReaderChoice *m_readerChoice = nullptr;
    KeyPanel *m_keyPanel = nullptr;
    CardGrids *m_grids = nullptr;
    std::unique_ptr<FileCommands> m_files;
    std::unique_ptr<TagCommands> m_tagCommands;
    ModuleCommands *m_moduleCommands = nullptr;
    QTimer m_timer1;
    std::unique_ptr<BlockCommands> m_blockCommands;
    std::unique_ptr<ValueCommands> m_valueCommands;
    PendingReads *m_pendingReads = nullptr;
    ReadBlockButton *m_readBlockButton = nullptr;
};
