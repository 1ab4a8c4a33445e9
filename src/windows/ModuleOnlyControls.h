#pragma once

#include <QList>
#include <QPointer>
#include <QString>

class QAction;
class QWidget;

// The controls that only the serial module has (the speed box, the port buttons, the
// Hardware Commands items, the key store and baud-rate windows): disabled while a
// PC/SC reader is chosen, their status tip saying why, and back as they were after.
class ModuleOnlyControls
{
public:
    ModuleOnlyControls(QList<QWidget *> widgets, QList<QAction *> actions);

    void setModuleChosen(bool chosen);
    [[nodiscard]] bool moduleChosen() const { return m_moduleChosen; }

    static inline const QString Reason =
        QStringLiteral("Only the serial reader module has this; a PC/SC reader is chosen in the Com Port box.");

private:
    struct Widget {
        QPointer<QWidget> widget;
        QString statusTip;
        QString toolTip;
    };
    struct Action {
        QPointer<QAction> action;
        QString statusTip;
    };
    QList<Widget> m_widgets;
    QList<Action> m_actions;
    bool m_moduleChosen = true;
};
