#pragma once

#include <QLineEdit>

// A key byte field: a line edit that applies KeyByteRules on every key release and
// completes its text when the focus leaves it, then emits left() so the owner can
// store it. maxLength 2 for fields that hold exactly one byte; the main window's key
// fields keep the default so text pasted with the mouse is kept whole.
class KeyByteEdit : public QLineEdit
{
    Q_OBJECT

public:
    explicit KeyByteEdit(QWidget *parent = nullptr);
    KeyByteEdit(int maxLength, QWidget *parent);

    // Completes the text as leaving the field does, without emitting left(): for a
    // command built while the field still has the focus. Returns the new text.
    QByteArray complete();

    // The text as single-byte characters.
    [[nodiscard]] QByteArray bytes() const;

    // Just wide enough for two hexadecimal digits in the field's font.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    // The field lost the focus and its text has been completed.
    void left();

protected:
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void setBytes(const QByteArray &text);
};
