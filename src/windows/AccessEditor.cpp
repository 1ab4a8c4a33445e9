#include "windows/AccessEditor.h"

#include "access/AccessBits.h"
#include "access/AccessSettings.h"
#include "access/AccessTables.h"
#include "card/CardGeometry.h"
#include "base/ActionGuard.h"
#include "windows/KeyByteEdit.h"
#include "card/KeyByteRules.h"
#include "base/SettingsFile.h"
#include "base/UserDialogs.h"
#include "card/Hex.h"
#include "windows/ComboSizing.h"
#include "view/CardGridModel.h"
#include "view/ColourScheme.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int RowHeight = 18; // at least; more when the font needs it
constexpr int ButtonColumn = 24; // room left of a table for its radio buttons
// Roles of the table cells' look: plain, a fixed cell (captions, C1..C3), or a shaded row.
constexpr int CellKindRole = Qt::UserRole + 1;
enum CellKind { Plain, Fixed, Shaded };

QLabel *addLabel(const QString &text, QLayout *layout, const QString &objectName = QString())
{
    auto *label = new QLabel(text);
    if (!objectName.isEmpty())
        label->setObjectName(objectName);
    layout->addWidget(label);
    return label;
}

QList<QLabel *> addWarningLines(QLayout *layout)
{
    QList<QLabel *> labels;
    for (const char *line : {"WARNING: Blocks can be locked and never be accessible. Before programming the",
                              "block , investigate the following descriptions carefully according to the selected action"})
        labels << addLabel(QString::fromLatin1(line), layout);
    return labels;
}

QTableWidget *newAccessTable(int rows, int columns)
{
    auto *table = new QTableWidget(rows, columns);
    table->horizontalHeader()->hide();
    table->verticalHeader()->hide();
    table->horizontalHeader()->setMinimumSectionSize(0);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setFocusPolicy(Qt::NoFocus);
    // The columns are narrow: clip like a plain grid instead of eliding to "...".
    table->setTextElideMode(Qt::ElideNone);
    table->setWordWrap(false);
    QFont small = table->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    table->setFont(small);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int rowHeight = qMax(RowHeight, table->fontMetrics().height() + 2);
    table->verticalHeader()->setMinimumSectionSize(rowHeight);
    table->verticalHeader()->setDefaultSectionSize(rowHeight);
    return table;
}

// Each column at its usual width, or wider where its texts need it in the table's font
// (a caption spanning two columns widens the second); then the table fixed to its cells.
void fitAccessTable(QTableWidget *table, const QList<int> &widths)
{
    constexpr int padding = 8; // the cell's text margins and a pixel to spare
    const QFontMetrics metrics = table->fontMetrics();
    QList<int> fitted = widths;
    for (int row = 0; row < table->rowCount(); ++row) {
        for (int c = 0; c < table->columnCount(); ++c) {
            const QTableWidgetItem *item = table->item(row, c);
            if (!item)
                continue;
            const int needed = metrics.horizontalAdvance(item->text()) + padding;
            if (table->columnSpan(row, c) == 2 && c + 1 < fitted.size())
                fitted[c + 1] = qMax(fitted[c + 1], needed - fitted[c]);
            else if (table->columnSpan(row, c) == 1)
                fitted[c] = qMax(fitted[c], needed);
        }
    }
    int width = 0;
    for (int c = 0; c < fitted.size(); ++c) {
        table->setColumnWidth(c, fitted.at(c));
        width += fitted.at(c);
    }
    const int frame = 2 * table->frameWidth();
    table->setFixedSize(width + frame, table->rowCount() * table->rowHeight(0) + frame);
}

void setCellText(QTableWidget *table, int row, int column, const QString &text, bool fixed)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    item->setData(CellKindRole, fixed ? Fixed : Plain);
    table->setItem(row, column, item);
}

// Header rows and the C1..C3 columns are drawn like fixed cells.
void fillAccessRows(QTableWidget *table, int headerRows, const std::function<QStringList(int)> &rowOf)
{
    for (int row = 0; row < 8; ++row) {
        const QStringList cells = rowOf(AccessTables::DisplayOrder[row]);
        for (int c = 0; c < cells.size(); ++c)
            setCellText(table, headerRows + row, c, cells.at(c), c < 3);
    }
}

} // namespace

AccessEditor::AccessEditor(SettingsFile &settings, UserDialogs &dialogs, CardGridModel *grid1, CardGridModel *grid4,
                           std::function<CardType()> cardType, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
    , m_settings(settings)
    , m_dialogs(dialogs)
    , m_grid1(grid1)
    , m_grid4(grid4)
    , m_cardType(std::move(cardType))
{
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("Access Conditions for sector blocks"));

    auto *top = new QHBoxLayout;
    auto *sectorLabel = new QLabel(QStringLiteral("Sector"));
    top->addWidget(sectorLabel);
    m_sector = new QComboBox;
    sectorLabel->setBuddy(m_sector);
    m_sector->setObjectName(QStringLiteral("cmb_sector"));
    m_sector->setEditable(false);
    sizeToItems(m_sector);
    top->addWidget(m_sector);
    m_same = new QCheckBox(QStringLiteral("Use same settings for all sectors"));
    m_same->setObjectName(QStringLiteral("cb_same"));
    top->addWidget(m_same);
    top->addStretch();
    m_ok = new QPushButton(QStringLiteral("OK"));
    m_ok->setObjectName(QStringLiteral("btn_ok"));
    top->addWidget(m_ok);
    m_cancel = new QPushButton(QStringLiteral("Cancel"));
    m_cancel->setObjectName(QStringLiteral("btn_cancel"));
    top->addWidget(m_cancel);

    m_tabs = new QTabWidget;
    m_tabs->setObjectName(QStringLiteral("PageControl1"));
    m_tabs->setUsesScrollButtons(false); // all four block captions in sight
    for (int group = 0; group < 3; ++group)
        m_tabs->addTab(buildDataPage(group), QString());
    m_tabs->addTab(buildTrailerPage(), QString());
    setCaptions(false);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_tabs);

    // Until the first activation reads KeyConfig, show the transport configuration.
    for (int group = 0; group < 4; ++group) {
        const int k = AccessSettings::defaultIndex(group);
        m_radios[group][k]->setChecked(true);
        ShowAccessDescriptions(group, k);
    }
    m_building = false;
    applyColours();

    connect(m_ok, &QPushButton::clicked, this, &AccessEditor::btn_okClick);
    connect(m_cancel, &QPushButton::clicked, this, &QWidget::hide);
    // Escape is Cancel, as in any dialog.
    connect(new QShortcut(QKeySequence::Cancel, this), &QShortcut::activated, m_cancel, &QPushButton::click);
}

QWidget *AccessEditor::buildTableWithButtons(int group, QTableWidget *table, int headerRows)
{
    auto *block = new QWidget;
    table->setParent(block);
    table->move(ButtonColumn, 0);
    m_groups[group] = new QButtonGroup(block);
    for (int row = 0; row < 8; ++row) {
        const int k = AccessTables::DisplayOrder[row];
        auto *radio = new QRadioButton(block);
        radio->setObjectName(QStringLiteral("r%1_%2").arg(group).arg(k));
        const int rowHeight = table->rowHeight(0);
        radio->setFixedSize(rowHeight, rowHeight);
        radio->move(4, table->frameWidth() + (headerRows + row) * rowHeight);
        m_groups[group]->addButton(radio, k);
        m_radios[group][k] = radio;
        connect(radio, &QRadioButton::toggled, this, [this](bool on) {
            if (on && !m_building)
                radioButtonClick();
        });
    }
    block->setFixedSize(ButtonColumn + table->width(), table->height());
    return block;
}

void AccessEditor::addTitle(int group, QLayout *layout)
{
    QLabel *title = addLabel(QString(), layout, QStringLiteral("lbl_title%1").arg(group));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    m_titles[group] = title;
}

QWidget *AccessEditor::buildDataPage(int group)
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);

    QTableWidget *table = newAccessTable(9, int(AccessTables::dataColumnWidths().size()));
    table->setObjectName(QStringLiteral("table%1").arg(group));
    const QStringList captions = AccessTables::dataCaptions();
    for (int c = 0; c < captions.size(); ++c)
        setCellText(table, 0, c, captions.at(c), true);
    fillAccessRows(table, 1, &AccessTables::dataRow);
    fitAccessTable(table, AccessTables::dataColumnWidths());
    layout->addWidget(buildTableWithButtons(group, table, 1));

    addTitle(group, layout);
    m_warnings << addWarningLines(layout);
    for (const char *line : {"* NOTE: If any of the access condition uses Key B for authentication (Key A/B or Key B)",
                             "then the access condition for the sector trailer should never have Key B readable.Otherwise",
                             "access with (Key B) will be failed. ( If gray colored rows in Block 3 is used )"})
        addLabel(QString::fromLatin1(line), layout);
    for (int i = 0; i < 4; ++i)
        m_descriptions[group] << addLabel(QString(), layout, QStringLiteral("lbl_desc%1_%2").arg(group).arg(i));
    layout->addStretch();
    return page;
}

QWidget *AccessEditor::buildTrailerPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);

    auto *keys = new QGridLayout;
    keys->setHorizontalSpacing(2);
    keys->addWidget(new QLabel(QStringLiteral("Key A")), 0, 0, 1, 6);
    keys->addWidget(new QLabel(QStringLiteral("Key B")), 0, 7, 1, 6);
    keys->addWidget(new QLabel(QStringLiteral("User Data (1 Byte)")), 0, 14, 1, 3);
    for (int i = 0; i < 13; ++i) {
        auto *edit = new KeyByteEdit(2, page);
        edit->setObjectName(i < 6 ? QStringLiteral("key%1").arg(i + 1)
                            : i < 12 ? QStringLiteral("keyb%1").arg(i - 5)
                                     : QStringLiteral("udata"));
        edit->setAccessibleName(i < 6    ? QStringLiteral("Key A byte %1").arg(i + 1)
                                : i < 12 ? QStringLiteral("Key B byte %1").arg(i - 5)
                                         : QStringLiteral("User data byte"));
        // A gap column between key A, key B and the user data byte.
        keys->addWidget(edit, 1, i < 6 ? i : i < 12 ? i + 1 : 14);
        connect(edit, &KeyByteEdit::left, this, &AccessEditor::byteEditExit);
        m_byteEdits << edit;
    }
    m_byteEdits.last()->setText(QStringLiteral("FF"));
    keys->setColumnMinimumWidth(6, 16);
    keys->setColumnMinimumWidth(13, 16);
    keys->setColumnStretch(17, 1);
    layout->addLayout(keys);

    QTableWidget *table = newAccessTable(10, int(AccessTables::trailerColumnWidths().size()));
    table->setObjectName(QStringLiteral("table3"));
    const QStringList pairs = AccessTables::trailerGroupCaptions();
    const QStringList captions = AccessTables::trailerCaptions();
    for (int c = 0; c < captions.size(); ++c) {
        setCellText(table, 0, c, pairs.at(c), true);
        setCellText(table, 1, c, captions.at(c), true);
    }
    for (int c = 3; c < captions.size(); c += 2)
        table->setSpan(0, c, 1, 2);
    fillAccessRows(table, 2, &AccessTables::trailerRow);
    // Rows in which Key B is readable: data access with Key B fails under them.
    for (int row = 0; row < 8; ++row) {
        if (!AccessTables::keyBReadable(AccessTables::DisplayOrder[row]))
            continue;
        for (int c = 0; c < captions.size(); ++c)
            table->item(2 + row, c)->setData(CellKindRole, Shaded);
    }
    fitAccessTable(table, AccessTables::trailerColumnWidths());
    layout->addWidget(buildTableWithButtons(3, table, 2));

    addTitle(3, layout);
    m_warnings << addWarningLines(layout);
    for (int i = 0; i < 6; ++i)
        m_descriptions[3] << addLabel(QString(), layout, QStringLiteral("lbl_desc3_%1").arg(i));
    layout->addStretch();
    return page;
}

void AccessEditor::setCaptions(bool largeSector)
{
    static const char *const small[4] = {"0", "1", "2", "3"};
    static const char *const large[4] = {"0-1-2-3-4", "5-6-7-8-9", "10-11-12-13-14", "15"};
    for (int group = 0; group < 4; ++group) {
        const QString blocks = QLatin1String(largeSector ? large[group] : small[group]);
        const QString kind = group == 3 ? QStringLiteral("(Sector Trailer)") : QStringLiteral("(Data Block)");
        m_tabs->setTabText(group, QStringLiteral("Block %1 %2").arg(blocks, kind));
        m_titles[group]->setText(QStringLiteral("Description for Block %1 of the selected Sector").arg(blocks));
    }
}

void AccessEditor::openForTrailer(CardType type, int block)
{
    if (!isClassic(type))
        return;
    setCaptions(type == CardType::Mifare4K && CardGeometry::inLargeSector(block));
    const int sectors = CardGeometry(type).sectorCount();
    m_sector->clear();
    for (int s = 0; s < sectors; ++s)
        m_sector->addItem(QString::number(s));
    show();
    raise();
    activateWindow();
    const int sector = CardGeometry::sectorOfBlock(block);
    if (block >= 0 && sector < sectors)
        m_sector->setCurrentIndex(sector);
}

void AccessEditor::ShowAccessDescriptions(int group, int k)
{
    if (group < 0 || group > 3)
        return;
    const QStringList texts = AccessTables::AccessDescriptionTexts(group, k);
    const QList<QLabel *> &labels = m_descriptions[group];
    for (int i = 0; i < labels.size(); ++i)
        labels.at(i)->setText(texts.value(i));
}

void AccessEditor::applyColours()
{
    const ColourScheme colours = ColourScheme::fromPalette(palette());
    for (QLabel *label : std::as_const(m_warnings)) {
        QPalette red = label->palette();
        red.setColor(QPalette::WindowText, colours.warningText);
        label->setPalette(red);
    }
    // Each filled cell gets its text colour with its fill.
    for (QTableWidget *table : findChildren<QTableWidget *>()) {
        for (int row = 0; row < table->rowCount(); ++row) {
            for (int column = 0; column < table->columnCount(); ++column) {
                QTableWidgetItem *item = table->item(row, column);
                if (!item)
                    continue;
                switch (item->data(CellKindRole).toInt()) {
                case Fixed:
                    item->setBackground(colours.buttonFace);
                    item->setForeground(colours.buttonText);
                    break;
                case Shaded:
                    item->setBackground(colours.shaded);
                    item->setForeground(colours.shadedText);
                    break;
                default:
                    item->setBackground(colours.cell);
                    item->setForeground(colours.cellText);
                    break;
                }
            }
        }
    }
}

void AccessEditor::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && !m_building)
        applyColours();
}

bool AccessEditor::event(QEvent *event)
{
    if (event->type() == QEvent::WindowDeactivate && m_dialogOpen)
        m_returningFromDialog = true;
    // Loaded on show as well: a desktop that keeps the focus where it was
    // (focus-stealing prevention, Wayland) does not activate a window shown again.
    // The activation that usually follows the show finds it loaded already.
    if (event->type() == QEvent::Show) {
        FormActivate();
        m_loadedOnShow = true;
    }
    if (event->type() == QEvent::Hide)
        m_loadedOnShow = false;
    if (event->type() == QEvent::WindowActivate) {
        if (m_returningFromDialog || m_loadedOnShow)
            m_returningFromDialog = m_loadedOnShow = false;
        else
            FormActivate();
    }
    return QWidget::event(event);
}

template<typename Action>
void AccessEditor::guarded(Action &&action)
{
    m_dialogOpen = true;
    guardAction(m_dialogs, std::forward<Action>(action));
    m_dialogOpen = false;
}

void AccessEditor::FormActivate()
{
    m_same->setChecked(false);
    guarded([this] {
        const std::array<int, 4> indices = AccessSettings::parseKeyConfig(
            m_settings.read(AccessSettings::KeyConfigKey, AccessSettings::KeyConfigDefault));
        // Each index is 0..7 here, so a damaged value can only pick a row of its own group.
        for (int group = 0; group < 4; ++group)
            m_radios[group][indices[group]]->setChecked(true);

        const QByteArrayList texts =
            AccessSettings::splitKeyAB(m_settings.read(AccessSettings::KeyABKey, AccessSettings::KeyABDefault));
        for (int i = 0; i < m_byteEdits.size(); ++i)
            m_byteEdits.at(i)->setText(QString::fromLatin1(texts.value(i)));
    });
}

std::array<int, 4> AccessEditor::chosenIndices() const
{
    std::array<int, 4> indices{-1, -1, -1, -1};
    for (int group = 0; group < 4; ++group)
        indices[group] = m_groups[group]->checkedId();
    return indices;
}

QByteArrayList AccessEditor::byteTexts() const
{
    QByteArrayList texts;
    for (const KeyByteEdit *edit : m_byteEdits)
        texts << edit->bytes();
    return texts;
}

void AccessEditor::radioButtonClick()
{
    const std::array<int, 4> indices = chosenIndices();
    for (int group = 0; group < 4; ++group) {
        if (indices[group] >= 0)
            ShowAccessDescriptions(group, indices[group]);
    }
    guarded([this, &indices] {
        m_settings.write(AccessSettings::KeyConfigKey, AccessSettings::keyConfigValues(indices));
    });
}

void AccessEditor::byteEditExit()
{
    const QByteArrayList values = AccessSettings::keyABValues(byteTexts());
    guarded([this, &values] { m_settings.write(AccessSettings::KeyABKey, values); });
}

void AccessEditor::btn_okClick()
{
    const QByteArrayList edits = byteTexts();
    for (const QByteArray &text : edits) {
        if (!KeyByteRules::isComplete(text)) {
            guarded([this] { m_dialogs.showMessage(QStringLiteral("Keys should be entered with hexadecimal numbers!")); });
            return;
        }
    }

    std::array<int, 4> k = chosenIndices();
    for (int group = 0; group < 4; ++group) {
        if (k[group] < 0)
            k[group] = AccessSettings::defaultIndex(group);
    }
    const AccessBytes access = EncodeAccessBits(k[0], k[1], k[2], k[3]);
    const QByteArrayList texts = edits.mid(0, 6)
        + QByteArrayList{Hex::pair(access.byte6), Hex::pair(access.byte7), Hex::pair(access.byte8), edits.at(12)}
        + edits.mid(6, 6);

    const CardType type = m_cardType();
    CardGridModel *grid = type == CardType::Mifare1K ? m_grid1 : type == CardType::Mifare4K ? m_grid4 : nullptr;
    // The card type may have changed since the window was opened: a sector list left
    // from a 4K card names sectors a 1K card lacks, and Mifare UL has none. Say so and
    // stay open rather than close having written nothing.
    const QString missing = grid ? missingSectorMessage(type) : QStringLiteral(
                                       "A Mifare UL card has no sector trailers. Nothing was written; choose "
                                       "Mifare 1K or 4K in the main window first.");
    if (!missing.isEmpty()) {
        guarded([this, &missing] { m_dialogs.showMessage(missing); });
        return;
    }
    if (m_same->isChecked()) {
        for (int sector = 0; sector < CardGeometry(type).sectorCount(); ++sector)
            writeTrailer(grid, sector, texts);
    } else {
        writeTrailer(grid, m_sector->currentIndex(), texts);
    }
    hide();
}

QString AccessEditor::missingSectorMessage(CardType type) const
{
    const int sectors = CardGeometry(type).sectorCount();
    const int sector = m_sector->currentIndex();
    if (m_same->isChecked() || sector < sectors)
        return {};
    return QStringLiteral("A Mifare %1 card has no sector %2 (its sectors are 0 to %3). Nothing was written; "
                          "choose another sector.")
        .arg(QString::fromLatin1(cardTypeSuffix(type)))
        .arg(sector)
        .arg(sectors - 1);
}

void AccessEditor::writeTrailer(CardGridModel *grid, int sector, const QByteArrayList &texts)
{
    if (sector < 0)
        return;
    const int row = CardGeometry::rowOfBlock(CardGeometry::trailerOfSector(sector));
    for (int j = 0; j < texts.size(); ++j)
        grid->setCell(2 + j, row, texts.at(j));
}
