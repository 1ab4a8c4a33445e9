#pragma once

#include "windows/TagPanelUi.h"

#include <QList>

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class KeyByteEdit;
class QMainWindow;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QStatusBar;
class QTextBrowser;
class QToolButton;
class QVBoxLayout;
class QWidget;

// The controls of the main window, each carrying its name as objectName. Built once;
// the subsystems connect to the controls they own. The tag panel's controls are
// inherited, so that the key panel and the Read Block button see only those.
struct MainWindowUi : TagPanelUi
{
    // Top row
    QComboBox *cmb_port = nullptr;
    QComboBox *cmb_baud = nullptr;
    QPushButton *open_c = nullptr;
    QPushButton *close_c = nullptr;
    QComboBox *cmb_tag_type = nullptr;
    QCheckBox *cb_ascii = nullptr;

    // The grids are placed here (one shown at a time).
    QVBoxLayout *gridArea = nullptr;

    // Log and status
    QPlainTextEdit *Memo1 = nullptr;
    QToolButton *SpeedButton1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QLabel *statusText = nullptr;

    // The column of command panels, scrolled when the window is short.
    QScrollArea *rightScroll = nullptr;

    // Help pane
    QTextBrowser *WebBrowser1 = nullptr;
    QCheckBox *cb_online = nullptr;

    // Main menu
    QAction *openFile = nullptr;
    QAction *saveAs = nullptr;
    QAction *importText = nullptr;
    QAction *exportText = nullptr;
    QAction *quit = nullptr;
    QAction *readAll = nullptr;
    QAction *writeAll = nullptr;
    QAction *showAsText = nullptr;
    QAction *writeE2promKey = nullptr;
    QAction *rfOn = nullptr;
    QAction *rfOff = nullptr;
    QAction *readPort = nullptr;
    QList<QAction *> writePort; // values 0 .. 3
    QAction *resetModule = nullptr;
    QAction *readVersion = nullptr;
    QAction *sleep = nullptr;
    QAction *changeBaudRate = nullptr;
    QAction *helpPage = nullptr; // the help page in the help pane
    QAction *about = nullptr;

    void setup(QMainWindow *window);
};
