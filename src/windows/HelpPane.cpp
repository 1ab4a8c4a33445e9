#include "windows/HelpPane.h"

#include <QFont>
#include <QPlainTextEdit>

QPlainTextEdit *createHelpPane(QWidget *parent, const QRect &geometry, const QStringList &lines)
{
    auto *help = new QPlainTextEdit(parent);
    help->setObjectName(QStringLiteral("help"));
    help->setGeometry(geometry);
    help->setReadOnly(true);
    help->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    help->setFont(QFont(QStringLiteral("Arial"), 8));
    help->setStyleSheet(QStringLiteral("background-color: #FFFBF0;"));
    help->setPlainText(lines.join(QLatin1Char('\n')));
    return help;
}
