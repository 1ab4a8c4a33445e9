#include "card/KeyByteRules.h"

#include "card/Hex.h"

namespace KeyByteRules {

bool isAcceptedKey(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Backspace:
    case Qt::Key_Tab:
    case Qt::Key_Backtab: // Shift+Tab: still the Tab key
    case Qt::Key_Enter:
    case Qt::Key_Return:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_CapsLock:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down:
        return true;
    default:
        break;
    }
    // Keypad digits arrive as Key_0..Key_9 with the keypad modifier.
    return (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_F);
}

QByteArray afterKeyRelease(int qtKey, const QByteArray &text)
{
    if (!isAcceptedKey(qtKey))
        return {};
    QByteArray out = text.left(2);
    if (out.size() == 2) {
        out = out.toUpper();
        if (!Hex::isUpperDigit(out.at(0)) || !Hex::isUpperDigit(out.at(1)))
            return {};
    }
    return out;
}

QByteArray completed(const QByteArray &text)
{
    static const QByteArray defaultByte = QByteArrayLiteral("5C");
    if (text.isEmpty())
        return defaultByte;
    const QByteArray out = text.size() == 1 ? QByteArray("0") + text.toUpper() : text;
    return isComplete(out) ? out : defaultByte;
}

bool isComplete(const QByteArray &text)
{
    return Hex::startsWithUpperDigits(text, 2);
}

} // namespace KeyByteRules
