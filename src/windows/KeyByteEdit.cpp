#include "windows/KeyByteEdit.h"

#include "card/KeyByteRules.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QStyle>
#include <QStyleOptionFrame>

KeyByteEdit::KeyByteEdit(QWidget *parent)
    : QLineEdit(QStringLiteral("5C"), parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize KeyByteEdit::sizeHint() const
{
    // Two hexadecimal digits in the current font, the line edit's inner margins (2 on
    // each side) and the cursor, then whatever frame the style draws around them.
    const QFontMetrics metrics = fontMetrics();
    int digit = 0;
    for (const char c : QByteArrayLiteral("0123456789ABCDEF"))
        digit = qMax(digit, metrics.horizontalAdvance(QLatin1Char(c)));
    const QMargins margins = textMargins();
    const int width = 2 * digit + 2 * 2 + 1 + margins.left() + margins.right();
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QSize plain = QLineEdit::sizeHint();
    const QSize contents(width, plain.height());
    const int framed = style()->sizeFromContents(QStyle::CT_LineEdit, &option, contents, this).width();
    return {framed, plain.height()};
}

QSize KeyByteEdit::minimumSizeHint() const
{
    return sizeHint();
}

KeyByteEdit::KeyByteEdit(int maxLength, QWidget *parent)
    : KeyByteEdit(parent)
{
    setMaxLength(maxLength);
}

QByteArray KeyByteEdit::complete()
{
    setBytes(KeyByteRules::completed(bytes()));
    return bytes();
}

QByteArray KeyByteEdit::bytes() const
{
    return text().toLatin1();
}

void KeyByteEdit::keyReleaseEvent(QKeyEvent *event)
{
    QLineEdit::keyReleaseEvent(event);
    // Auto-repeat sends a release per repeat; the rules hold for each of them.
    setBytes(KeyByteRules::afterKeyRelease(event->key(), bytes()));
}

void KeyByteEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // The context menu (paste) takes the focus only for a moment: not a real leave.
    if (event->reason() == Qt::PopupFocusReason)
        return;
    complete();
    Q_EMIT left();
}

void KeyByteEdit::setBytes(const QByteArray &text)
{
    if (text != bytes())
        setText(QString::fromLatin1(text));
}
