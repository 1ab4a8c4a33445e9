#include "app/PortComboBox.h"

#include "link/PortList.h"

#include <QSignalBlocker>

void PortComboBox::refresh()
{
    const QString chosen = currentIndex() >= 0 ? currentText() : QString();
    QStringList names = PortList::names();
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
