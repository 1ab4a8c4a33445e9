#include "windows/HelpPane.h"

#include "view/ColourScheme.h"

#include <QFont>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextDocument>

QPlainTextEdit *createHelpPane(QWidget *parent, const QStringList &lines)
{
    auto *help = new QPlainTextEdit(parent);
    help->setObjectName(QStringLiteral("help"));
    help->setReadOnly(true);
    help->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    help->setFont(QFont(QStringLiteral("Arial"), 8));
    // As wide as its longest line, so that the lines break where they were written.
    const QFontMetrics metrics(help->font());
    int longest = 0;
    for (const QString &line : lines)
        longest = qMax(longest, metrics.horizontalAdvance(line));
    const int margins = 2 * int(help->document()->documentMargin()) + 2 * help->frameWidth() + 2;
    help->setMinimumWidth(longest + margins + help->verticalScrollBar()->sizeHint().width());
    help->setMinimumHeight(6 * metrics.lineSpacing());
    // Cream with a text colour readable on it, whatever the desktop's palette.
    const ColourScheme colours = ColourScheme::fromPalette(help->palette());
    QPalette cream = help->palette();
    cream.setColor(QPalette::Base, colours.cream);
    cream.setColor(QPalette::Text, colours.creamText);
    help->setPalette(cream);
    help->setPlainText(lines.join(QLatin1Char('\n')));
    return help;
}
