#pragma once

#include <QString>

class ComPort;
class QComboBox;
class QPushButton;

// The main window's port box, speed box and Open Port / Close Port buttons, and the
// one way the port is opened from them: by the main window, by a command that finds
// it closed, and by the baud-rate window.
class PortControls
{
public:
    PortControls(ComPort &port, QComboBox *portBox, QComboBox *baudBox, QPushButton *openButton,
                 QPushButton *closeButton);

    // The port named in the port box at the speed of baudIndex; Close Port shown
    // instead of Open Port. Port errors throw (EComPort).
    void openAt(int baudIndex);
    // The same at the speed box's speed.
    void open();
    // Points the closed port at the boxes' port and speed.
    void closeAndAim();
    // Open Port shown instead of Close Port.
    void showClosed();

    [[nodiscard]] QString portName() const;
    [[nodiscard]] int baudIndex() const;

private:
    ComPort &m_port;
    QComboBox *m_portBox;
    QComboBox *m_baudBox;
    QPushButton *m_open;
    QPushButton *m_close;
};
