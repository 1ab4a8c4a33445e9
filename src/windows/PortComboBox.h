#pragma once

#include <QComboBox>

// The main window's Com Port box. Its list is read again each time it is opened, so a
// reader plugged in (or a simulator started) after the program started is offered
// without a restart. PC/SC readers follow the serial ports as "PC/SC: <reader name>".
class PortComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit PortComboBox(QWidget *parent = nullptr) : QComboBox(parent) {}

    // Fills the list with the port names of now. The chosen name stays chosen, and
    // stays in the list even when its device has gone, so the choice never changes
    // behind the user's back; no selection stays no selection.
    void refresh();

    void showPopup() override;
};
