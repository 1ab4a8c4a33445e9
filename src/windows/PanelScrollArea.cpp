#include "windows/PanelScrollArea.h"

#include <QEvent>
#include <QScrollBar>

PanelScrollArea::PanelScrollArea(QWidget *panel, QWidget *parent)
    : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidgetResizable(true);
    setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Expanding);
    setWidget(panel);
    panel->installEventFilter(this);
}

int PanelScrollArea::neededWidth() const
{
    // Room for the scroll bar as well: it appears whenever the window is short.
    return widget()->minimumSizeHint().width() + verticalScrollBar()->sizeHint().width() + 2 * frameWidth();
}

QSize PanelScrollArea::minimumSizeHint() const
{
    return {neededWidth(), QScrollArea::minimumSizeHint().height()};
}

QSize PanelScrollArea::sizeHint() const
{
    return {neededWidth(), widget()->sizeHint().height() + 2 * frameWidth()};
}

bool PanelScrollArea::eventFilter(QObject *watched, QEvent *event)
{
    // The panels' needs change with fonts and texts; the window's layout must hear of it.
    if (watched == widget() && event->type() == QEvent::LayoutRequest)
        updateGeometry();
    return QScrollArea::eventFilter(watched, event);
}
