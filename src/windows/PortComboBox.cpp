#include "windows/PortComboBox.h"

#include "link/PortList.h"
#include "pcsc/PcscPortNames.h"

#include <QSignalBlocker>

void PortComboBox::refresh()
{
    const QString chosen = currentIndex() >= 0 ? currentText() : QString();
    // The serial ports, then the PC/SC readers pcscd knows.
    QStringList names = PortList::names() + PcscPortNames::entries();
    if (!chosen.isEmpty() && !names.contains(chosen))
        names.append(chosen);
    QStringList shown;
    for (int i = 0; i < count(); ++i)
        shown.append(itemText(i));
    if (names == shown)
        return;
    // Refilling is not a choice of the user: no change signals.
    const QSignalBlocker block(this);
    clear();
    addItems(names);
    setCurrentIndex(chosen.isEmpty() ? -1 : findText(chosen));
}

void PortComboBox::showPopup()
{
    refresh();
    QComboBox::showPopup();
}
