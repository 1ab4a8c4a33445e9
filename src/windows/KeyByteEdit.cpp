#include "windows/KeyByteEdit.h"

#include "card/KeyByteRules.h"

#include <QFocusEvent>
#include <QKeyEvent>

KeyByteEdit::KeyByteEdit(QWidget *parent)
    : QLineEdit(QStringLiteral("5C"), parent)
{
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
