#include "windows/ModuleOnlyControls.h"

#include <QAction>
#include <QWidget>

ModuleOnlyControls::ModuleOnlyControls(QList<QWidget *> widgets, QList<QAction *> actions)
{
    for (QWidget *widget : widgets)
        m_widgets.append(Widget {widget, widget->statusTip(), widget->toolTip()});
    for (QAction *action : actions)
        m_actions.append(Action {action, action->statusTip()});
}

void ModuleOnlyControls::setModuleChosen(bool chosen)
{
    m_moduleChosen = chosen;
    for (const Widget &entry : m_widgets) {
        if (!entry.widget)
            continue;
        entry.widget->setEnabled(chosen);
        entry.widget->setStatusTip(chosen ? entry.statusTip : Reason);
        entry.widget->setToolTip(chosen ? entry.toolTip : Reason);
    }
    for (const Action &entry : m_actions) {
        if (!entry.action)
            continue;
        entry.action->setEnabled(chosen);
        entry.action->setStatusTip(chosen ? entry.statusTip : Reason);
    }
}
