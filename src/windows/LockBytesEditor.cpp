#include "windows/LockBytesEditor.h"

#include "card/CardGeometry.h"
#include "card/Hex.h"
#include "ultralight/LockBits.h"
#include "view/CardGridModel.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

// gridUL: page p is row p + 2, its byte j column j + 1.
constexpr int LockRow = CardGeometry::rowOfBlock(2);
constexpr int Lock0Column = 2 + 1;
constexpr int Lock1Column = 3 + 1;

// Top-to-bottom order of the boxes in the window.
constexpr const char *ShownOrder[] = {"cb_otp", "cb_p4", "cb_p5", "cb_p6", "cb_p7", "cb_p8", "cb_p9",
                                      "cb_p10", "cb_p11", "cb_p12", "cb_p13", "cb_p14", "cb_p15",
                                      "cb_fotp", "cb_fp94", "cb_fp150"};

} // namespace

LockBytesEditor::LockBytesEditor(CardGridModel *gridUL, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_gridUL(gridUL)
{
    setObjectName(QStringLiteral("TForm5"));
    setWindowTitle(QStringLiteral("Set bytes for lock configuration"));

    for (std::size_t i = 0; i < LockBits.size(); ++i) {
        m_boxes[i] = new QCheckBox(QString::fromLatin1(LockBits[i].caption));
        m_boxes[i]->setObjectName(QString::fromLatin1(LockBits[i].box));
    }

    auto *frame = new QGroupBox(QStringLiteral("Check to lock particular block permanently"));
    auto *grid = new QGridLayout(frame);
    int row = 0;
    for (const char *name : ShownOrder)
        grid->addWidget(box(name), row++, 0);
    auto *clear = new QPushButton(QStringLiteral("Clear"));
    clear->setObjectName(QStringLiteral("btn_clear"));
    grid->addWidget(clear, 0, 1);

    auto *generate = new QPushButton(QStringLiteral("Generate Lock Config Bytes"));
    generate->setObjectName(QStringLiteral("btn_generate"));

    m_l0 = new QLineEdit(this);
    m_l0->setObjectName(QStringLiteral("L0"));
    m_l0->hide();
    m_l1 = new QLineEdit(this);
    m_l1->setObjectName(QStringLiteral("L1"));
    m_l1->hide();

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(generate);

    m_freezeOtp = box("cb_fotp");
    m_freeze94 = box("cb_fp94");
    m_freeze150 = box("cb_fp150");
    for (QCheckBox *freeze : {m_freezeOtp, m_freeze94, m_freeze150})
        connect(freeze, &QCheckBox::toggled, this, &LockBytesEditor::freezeChanged);
    connect(clear, &QPushButton::clicked, this, &LockBytesEditor::btn_clearClick);
    connect(generate, &QPushButton::clicked, this, &LockBytesEditor::btn_generateClick);
    // Escape closes the window without generating, as Cancel does in a dialog.
    connect(new QShortcut(QKeySequence::Cancel, this), &QShortcut::activated, this, &QWidget::hide);
}

QCheckBox *LockBytesEditor::box(const char *name) const
{
    for (QCheckBox *candidate : m_boxes) {
        if (candidate->objectName() == QLatin1String(name))
            return candidate;
    }
    Q_UNREACHABLE();
}

void LockBytesEditor::openWith(const QByteArray &l0, const QByteArray &l1)
{
    m_l0->setText(QString::fromLatin1(l0));
    m_l1->setText(QString::fromLatin1(l1));
    // Already shown, the window gets no show event, and the desktop may not activate
    // it again either.
    if (isVisible())
        FormActivate();
    show();
    raise();
    activateWindow();
}

void LockBytesEditor::openFromGrid()
{
    openWith(m_gridUL->cell(Lock0Column, LockRow), m_gridUL->cell(Lock1Column, LockRow));
}

bool LockBytesEditor::event(QEvent *event)
{
    // On show as well as on activation: a desktop that keeps the focus where it was
    // (focus-stealing prevention, Wayland) does not activate a window shown again.
    if (event->type() == QEvent::Show || event->type() == QEvent::WindowActivate)
        FormActivate();
    return QWidget::event(event);
}

void LockBytesEditor::FormActivate()
{
    btn_clearClick();
    setBoxesFrom(0, m_l0->text().toLatin1());
    setBoxesFrom(1, m_l1->text().toLatin1());
}

void LockBytesEditor::setBoxesFrom(int lockByte, const QByteArray &text)
{
    const std::optional<quint8> value = lockByteValue(text);
    if (!value)
        return;
    for (std::size_t i = 0; i < LockBits.size(); ++i) {
        if (LockBits[i].lockByte == lockByte && ((*value >> LockBits[i].bit) & 1))
            m_boxes[i]->setChecked(true);
    }
}

void LockBytesEditor::btn_clearClick()
{
    for (QCheckBox *box : m_boxes) {
        box->setEnabled(true);
        box->setChecked(false);
    }
}

// A freeze box on disables the boxes whose lock bits it freezes; they keep their state
// and still count when the bytes are generated.
void LockBytesEditor::freezeChanged()
{
    for (std::size_t i = 0; i < LockBits.size(); ++i) {
        const QString name = m_boxes[i]->objectName();
        if (name == QLatin1String("cb_otp")) {
            m_boxes[i]->setEnabled(!m_freezeOtp->isChecked());
            continue;
        }
        if (!name.startsWith(QLatin1String("cb_p")))
            continue;
        const int page = name.mid(4).toInt();
        m_boxes[i]->setEnabled(!(page <= 9 ? m_freeze94 : m_freeze150)->isChecked());
    }
}

quint8 LockBytesEditor::composed(int lockByte) const
{
    unsigned value = 0;
    for (std::size_t i = 0; i < LockBits.size(); ++i) {
        if (LockBits[i].lockByte == lockByte && m_boxes[i]->isChecked())
            value |= 1u << LockBits[i].bit;
    }
    return quint8(value);
}

void LockBytesEditor::btn_generateClick()
{
    m_l0->setText(QString::fromLatin1(Hex::pair(composed(0))));
    m_l1->setText(QString::fromLatin1(Hex::pair(composed(1))));
    m_gridUL->setCell(Lock0Column, LockRow, m_l0->text().toLatin1());
    m_gridUL->setCell(Lock1Column, LockRow, m_l1->text().toLatin1());
    hide();
}
