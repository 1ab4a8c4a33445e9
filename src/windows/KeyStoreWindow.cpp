#include "windows/KeyStoreWindow.h"

#include "base/ActionGuard.h"
#include "windows/KeyByteEdit.h"
#include "link/ModuleLink.h"
#include "base/SettingsFile.h"
#include "link/Frame.h"
#include "windows/HelpPane.h"
#include "card/Hex.h"
#include "link/ModuleLink.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr quint8 WriteKeyCommand = 0x8C;
constexpr int BlockCount = 16;

const char *const HelpLines[] = {
    "Here you can create and store ", "keys in E2prom memory of ", "RFID module.",
    "By this way you can prevent ", "keys being visible on I2C or ", "UART communication channel",
    "There are 16 [0..15] e2prom ", "sectors in ", "RFID module each sector can ",
    "store one Type A and one ", "Type B key",
};

template<typename Widget>
Widget *named(Widget *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QFrame *bevel(const char *name, QFrame::Shadow shadow)
{
    auto *frame = named(new QFrame, name);
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(shadow);
    return frame;
}

} // namespace

KeyStoreWindow::KeyStoreWindow(SettingsFile &settings, UserDialogs &dialogs, ModuleLink &link, QWidget *parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_dialogs(dialogs)
    , m_link(link)
{
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral("Write Key to Internal E2prom of RFID Module"));
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    setModal(false);
    move(558, 169);
    setupControls();
    // As large as the controls need in the current font, and not resizable.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    // An unreadable settings file ends creation with the error box; the window still exists.
    guardAction(m_dialogs, [this] { FormCreate(); });
}

void KeyStoreWindow::setupControls()
{
    QFrame *bevel2 = bevel("Bevel2", QFrame::Raised);
    auto *panel = new QVBoxLayout(bevel2);
    QFrame *bevel5 = bevel("Bevel5", QFrame::Sunken);
    auto *keyBox = new QVBoxLayout(bevel5);
    keyBox->addWidget(named(new QLabel(QStringLiteral("Key")), "Label1"), 0, Qt::AlignHCenter);
    auto *keyRow = new QHBoxLayout;
    keyRow->setSpacing(1);
    for (int i = 0; i < 6; ++i) {
        // One byte per field: two characters at most, so pasted text cannot hide a longer value.
        auto *edit = new KeyByteEdit(2, this);
        edit->setObjectName(QStringLiteral("key%1").arg(i + 1));
        edit->setAccessibleName(QStringLiteral("Key byte %1").arg(i + 1));
        connect(edit, &KeyByteEdit::left, this, &KeyStoreWindow::storeKeys);
        keyEdits.append(edit);
        keyRow->addWidget(edit);
    }
    keyBox->addLayout(keyRow);
    panel->addWidget(bevel5);

    rdb_type = named(new QGroupBox(QStringLiteral("Key Type")), "rdb_type");
    panel->addWidget(rdb_type);
    auto *typeItems = new QHBoxLayout(rdb_type);
    typeItems->setContentsMargins(6, 0, 6, 0);
    keyType = new QButtonGroup(rdb_type);
    const QString typeNames[] = {QStringLiteral("Type A"), QStringLiteral("Type B")};
    for (int i = 0; i < 2; ++i) {
        auto *radio = new QRadioButton(typeNames[i], rdb_type);
        radio->setObjectName(QStringLiteral("rdb_type_%1").arg(i));
        keyType->addButton(radio, i);
        typeItems->addWidget(radio);
    }
    keyType->button(0)->setChecked(true);
    connect(keyType, &QButtonGroup::idClicked, this, &KeyStoreWindow::rdb_typeClick);

    QFrame *bevel4 = bevel("Bevel4", QFrame::Sunken);
    auto *blockRow = new QHBoxLayout(bevel4);
    // Not editable: the block number is the list index, and a typed text has none.
    cmb_ebn = named(new QComboBox, "cmb_ebn");
    auto *blockLabel = named(new QLabel(QStringLiteral("E2prom Block")), "Label4");
    blockLabel->setBuddy(cmb_ebn);
    blockRow->addWidget(blockLabel);
    blockRow->addWidget(cmb_ebn);
    blockRow->addStretch();
    panel->addWidget(bevel4);
    connect(cmb_ebn, &QComboBox::activated, this, &KeyStoreWindow::cmb_ebnChange);

    Button1 = named(new QPushButton(QStringLiteral("Write Key")), "Button1");
    // Enter in a key field must not send a write by itself.
    Button1->setAutoDefault(false);
    Button1->setDefault(false);
    connect(Button1, &QPushButton::clicked, this, &KeyStoreWindow::Button1Click);

    help = createHelpPane(this, helpLines(HelpLines));

    auto *left = new QVBoxLayout;
    left->addWidget(bevel2);
    left->addWidget(Button1);
    auto *columns = new QHBoxLayout(this);
    columns->addLayout(left);
    columns->addWidget(help, 1);
}

void KeyStoreWindow::FormCreate()
{
    // This order also fixes where a first start appends the three keys to the file.
    const QByteArrayList keys = m_settings.read("IKeys", "5C,5C,5C,5C,5C,5C,");
    for (int i = 0; i < keyEdits.size(); ++i)
        keyEdits.at(i)->setText(QString::fromLatin1(keys.value(i)));

    const int type = m_settings.readIndex("IKey_Type", 0);
    if (QAbstractButton *button = keyType->button(type))
        button->setChecked(true);

    cmb_ebn->clear();
    for (int block = 0; block < BlockCount; ++block)
        cmb_ebn->addItem(QString::number(block));
    const int block = m_settings.readIndex("IE2prom_Block_No", 0);
    // A stored index outside the list keeps block 0 shown rather than no block at all.
    if (block >= 0 && block < BlockCount)
        cmb_ebn->setCurrentIndex(block);
}

void KeyStoreWindow::rdb_typeClick()
{
    guardAction(m_dialogs, [this] { m_settings.writeIndex("IKey_Type", keyType->checkedId()); });
}

void KeyStoreWindow::cmb_ebnChange()
{
    guardAction(m_dialogs,
                [this] { m_settings.writeIndex("IE2prom_Block_No", cmb_ebn->currentIndex()); });
}

void KeyStoreWindow::storeKeys()
{
    QByteArrayList values;
    for (KeyByteEdit *edit : std::as_const(keyEdits))
        values << edit->bytes();
    guardAction(m_dialogs, [&] { m_settings.write("IKeys", values); });
}

void KeyStoreWindow::FormClose()
{
    storeKeys();
}

void KeyStoreWindow::reject()
{
    FormClose();
    QDialog::reject();
}

QByteArray KeyStoreWindow::writeKeyRequest()
{
    QByteArray data;
    data += char(qMax(0, cmb_ebn->currentIndex()));
    data += char(keyType->checkedId() == 0 ? 0xAA : 0xBB);
    // A field still being typed in (Enter, a shortcut) is completed as leaving it would.
    for (KeyByteEdit *edit : std::as_const(keyEdits))
        data += char(Hex::pairValue(edit->complete()));
    return Frame::request(WriteKeyCommand, data);
}

void KeyStoreWindow::Button1Click()
{
    guardAction(m_dialogs, [this] {
        const QByteArray frame = writeKeyRequest();
        const QByteArray column = Frame::nonZeroChars(frame.mid(4, 8));
        const QByteArray label = "(Write Key , E2PROM Block" + QByteArray::number(quint8(frame.at(4))) + " )";

        ModuleLink &link = m_link;
        const ModuleResponse response = link.transact(frame, column, label);
        if (!response.ok)
            return;
        if (response.echo.size() >= 20) {
            link.logResponse(response, "WRITE KEY FAILED");
            link.setStatus(link.tagStatusText + " | Write Key is failed " + response.data);
        } else if (response.status() == 'N') {
            link.logResponse(response, "WRITE KEY FAILED");
            link.setStatus(link.tagStatusText + " | Write Key is failed!");
        } else if (response.status() == 'L') {
            link.logResponse(response, "WRITE KEY OK");
            link.setStatus(link.tagStatusText + " | Write Key Ok!");
        }
    });
}
