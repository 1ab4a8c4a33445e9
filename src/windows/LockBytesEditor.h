#pragma once

#include <QByteArray>
#include <QWidget>

#include <array>

class CardGridModel;
class QCheckBox;
class QLineEdit;

// The lock bytes editor (objectName "TForm5"): one check box per Ultralight lock bit.
// "Generate Lock Config Bytes" puts the two lock bytes as hexadecimal text into page 2
// bytes 2 and 3 of gridUL and hides the window; it never talks to the card. The boxes
// are rebuilt from the hidden fields L0/L1 each time the window is shown or opened and
// each time it becomes active, so they always show the bytes it was opened with or
// last generated.
class LockBytesEditor : public QWidget
{
    Q_OBJECT

public:
    explicit LockBytesEditor(CardGridModel *gridUL, QWidget *parent = nullptr);

    // Sets L0 and L1 (lock bytes 0 and 1 as grid text) and shows the window.
    void openWith(const QByteArray &l0, const QByteArray &l1);
    // openWith the current text of page 2 bytes 2 and 3 of gridUL.
    void openFromGrid();

protected:
    bool event(QEvent *event) override;

private:
    void FormActivate();
    void btn_clearClick();
    void btn_generateClick();
    void setBoxesFrom(int lockByte, const QByteArray &text);
    void freezeChanged();
    [[nodiscard]] quint8 composed(int lockByte) const;
    [[nodiscard]] QCheckBox *box(const char *name) const;

    CardGridModel *m_gridUL = nullptr;
    std::array<QCheckBox *, 16> m_boxes{}; // in the order of LockBits
    QCheckBox *m_freezeOtp = nullptr;
    QCheckBox *m_freeze94 = nullptr;
    QCheckBox *m_freeze150 = nullptr;
    QLineEdit *m_l0 = nullptr;
    QLineEdit *m_l1 = nullptr;
};
