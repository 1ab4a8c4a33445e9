#include "windows/FindKeysWindow.h"

#include "base/ActionGuard.h"
#include "base/UserDialogs.h"
#include "card/CardGeometry.h"
#include "card/Hex.h"
#include "commands/ReadAllRun.h"
#include "reader/CardReader.h"
#include "view/CardGridModel.h"
#include "workflows/KeyDictionary.h"
#include "workflows/KeyFileReader.h"
#include "workflows/KeySearch.h"
#include "workflows/SectorKeyPlan.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int PathRole = Qt::UserRole; // empty for the shipped dictionary

} // namespace

FindKeysWindow::FindKeysWindow(Context context, QWidget *parent)
    : QDialog(parent)
    , m_context(std::move(context))
{
    setObjectName(QStringLiteral("FindKeysWindow"));
    setWindowTitle(QStringLiteral("Find Keys"));
    auto *layout = new QVBoxLayout(this);

    layout->addWidget(new QLabel(QStringLiteral("Key files")));
    m_files = new QListWidget;
    m_files->setObjectName(QStringLiteral("keyFiles"));
    m_files->setMaximumHeight(90);
    auto *defaults = new QListWidgetItem(QStringLiteral("Default keys (shipped with the program)"), m_files);
    defaults->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    defaults->setCheckState(Qt::Checked);
    layout->addWidget(m_files);
    auto *add = new QPushButton(QStringLiteral("Add key file..."));
    connect(add, &QPushButton::clicked, this, &FindKeysWindow::addKeyFileAsked);

    auto *choices = new QGridLayout;
    choices->addWidget(add, 0, 0);
    choices->addWidget(new QLabel(QStringLiteral("Try as")), 1, 0);
    m_types = new QComboBox;
    m_types->setObjectName(QStringLiteral("keyTypes"));
    m_types->addItems({QStringLiteral("Key A"), QStringLiteral("Key B"), QStringLiteral("Key A and key B")});
    m_types->setCurrentIndex(2);
    choices->addWidget(m_types, 1, 1, 1, 3);
    m_allSectors = new QCheckBox(QStringLiteral("All sectors"));
    m_allSectors->setChecked(true);
    choices->addWidget(m_allSectors, 2, 0);
    choices->addWidget(new QLabel(QStringLiteral("from")), 2, 1);
    m_first = new QSpinBox;
    m_last = new QSpinBox;
    for (QSpinBox *box : {m_first, m_last}) {
        box->setRange(0, 39);
        box->setEnabled(false);
        connect(m_allSectors, &QCheckBox::toggled, box, [box](bool all) { box->setEnabled(!all); });
    }
    m_last->setValue(15);
    choices->addWidget(m_first, 2, 2);
    choices->addWidget(m_last, 2, 3);
    layout->addLayout(choices);

    auto *start = new QPushButton(QStringLiteral("Search"));
    start->setObjectName(QStringLiteral("btn_search"));
    start->setDefault(true);
    connect(start, &QPushButton::clicked, this, [this] { (void)search(); });
    layout->addWidget(start);

    m_summary = new QLabel;
    layout->addWidget(m_summary);
    m_table = new QTableWidget(0, 3);
    m_table->setObjectName(QStringLiteral("keyTable"));
    m_table->setHorizontalHeaderLabels({QStringLiteral("Sector"), QStringLiteral("Key A"), QStringLiteral("Key B")});
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_table->setMinimumSize(360, 220);
    layout->addWidget(m_table, 1);

    auto *after = new QHBoxLayout;
    m_fill = new QPushButton(QStringLiteral("Fill trailer keys in the grid"));
    m_fill->setObjectName(QStringLiteral("btn_fillTrailers"));
    m_readAll = new QPushButton(QStringLiteral("Read All with these keys"));
    m_readAll->setObjectName(QStringLiteral("btn_readAllWithKeys"));
    m_fill->setEnabled(false);
    m_readAll->setEnabled(false);
    connect(m_fill, &QPushButton::clicked, this, [this] { (void)fillTrailers(); });
    connect(m_readAll, &QPushButton::clicked, this, &FindKeysWindow::readAllWithFoundKeys);
    after->addWidget(m_fill);
    after->addWidget(m_readAll);
    layout->addLayout(after);
}

FindKeysWindow::~FindKeysWindow() = default;

void FindKeysWindow::addKeyFile(const QString &path)
{
    auto *item = new QListWidgetItem(QFileInfo(path).fileName(), m_files);
    item->setToolTip(path);
    item->setData(PathRole, path);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Checked);
}

void FindKeysWindow::addKeyFileAsked()
{
    const QString path = m_context.dialogs->openFileName(
        {QStringLiteral("Key files (*.txt *.dic *.keys)"), QStringLiteral("All files (*)")});
    if (!path.isEmpty())
        addKeyFile(path);
}

void FindKeysWindow::setKeyTypes(int choice)
{
    m_types->setCurrentIndex(choice);
}

void FindKeysWindow::setSectorRange(int first, int last)
{
    m_allSectors->setChecked(first < 0);
    if (first >= 0) {
        m_first->setValue(first);
        m_last->setValue(last);
    }
}

void FindKeysWindow::setDefaultKeysUsed(bool on)
{
    m_files->item(0)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

bool FindKeysWindow::search()
{
    KeySearchRequest request;
    request.card = m_context.cardType();
    request.types = m_types->currentIndex() == 0 ? KeyTypeChoice::A
                    : m_types->currentIndex() == 1 ? KeyTypeChoice::B
                                                   : KeyTypeChoice::Both;
    if (!m_allSectors->isChecked()) {
        request.firstSector = m_first->value();
        request.lastSector = m_last->value();
    }
    KeyDictionary dictionary;
    for (int i = 0; i < m_files->count(); ++i) {
        const QListWidgetItem *item = m_files->item(i);
        if (item->checkState() != Qt::Checked)
            continue;
        const QString path = item->data(PathRole).toString();
        if (path.isEmpty()) {
            dictionary.add(KeyDictionary::defaults().keys());
            continue;
        }
        QString error;
        const std::optional<KeyFileContents> contents = KeyFileReader::readFile(path, &error);
        if (!contents) {
            m_context.dialogs->showWarning(QStringLiteral("Cannot read the key file %1: %2").arg(path, error));
            return false;
        }
        dictionary.add(contents->keys);
    }
    request.keys = dictionary.keys();
    if (const QString problem = KeySearch::problem(request); !problem.isEmpty()) {
        m_context.dialogs->showWarning(problem);
        return false;
    }

    QProgressDialog progress(QStringLiteral("Searching keys..."), QStringLiteral("Cancel"), 0,
                             int(KeySearch::sectorsOf(request).size()), this);
    progress.setObjectName(QStringLiteral("findKeysProgress"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    const auto onProgress = [&](const KeySearchProgress &at) {
        progress.setValue(at.sectorNumber - 1);
        progress.setLabelText(QStringLiteral("Sector %1 of %2\nKeys tried: %3\nKeys found: %4")
                                  .arg(at.sectorNumber)
                                  .arg(at.sectorTotal)
                                  .arg(at.keysTried)
                                  .arg(at.keysFound));
        if (m_cancelBefore > 0 && at.keysTried + 1 >= m_cancelBefore)
            return false;
        return !progress.wasCanceled();
    };
    CardReader &reader = *m_context.reader;
    const CardType card = request.card;
    // One attempt: a refused key halts the tag, so each attempt selects it afresh.
    const auto attempt = [&](const KeyAttempt &a) {
        (void)reader.halt();
        if (!reader.select(card).ok())
            return AttemptResult::Stop;
        const KeySource key =
            KeySource::keyBytes(a.type == KeyType::A ? KeySource::Type::A : KeySource::Type::B, a.key.toBytes());
        return reader.authenticate(a.block, key).ok() ? AttemptResult::Authenticated : AttemptResult::Refused;
    };
    guardAction(*m_context.dialogs, [&] {
        m_result = std::make_unique<KeySearchResult>(KeySearch::run(request, attempt, onProgress));
    });
    progress.reset();
    showResult();
    return m_result != nullptr;
}

void FindKeysWindow::showResult()
{
    if (!m_result)
        return;
    const KeySearchResult &result = *m_result;
    m_table->setRowCount(int(result.sectors.size()));
    for (int row = 0; row < result.sectors.size(); ++row) {
        const SectorKeys &keys = result.sectors.at(row);
        const QStringList cells = {QString::number(keys.sector), keys.text(KeyType::A), keys.text(KeyType::B)};
        for (int column = 0; column < cells.size(); ++column)
            m_table->setItem(row, column, new QTableWidgetItem(cells.at(column)));
    }
    QString state = QStringLiteral("%1 keys found in %2 attempts").arg(result.foundCount()).arg(result.attempts);
    if (result.cancelled)
        state += QStringLiteral(" (cancelled)");
    else if (result.stopped)
        state += QStringLiteral(" (stopped: no card answered)");
    m_summary->setText(state);
    const bool found = result.foundCount() > 0;
    m_fill->setEnabled(found);
    m_readAll->setEnabled(found);
}

QString FindKeysWindow::resultText() const
{
    return m_result ? m_result->tableText() : QString();
}

int FindKeysWindow::attempts() const
{
    return m_result ? m_result->attempts : 0;
}

bool FindKeysWindow::cancelled() const
{
    return m_result && m_result->cancelled;
}

int FindKeysWindow::fillTrailers()
{
    if (!m_result)
        return 0;
    CardGridModel &grid = m_context.grid(m_result->card);
    int filled = 0;
    for (const SectorKeys &keys : m_result->sectors) {
        const int row = CardGeometry::rowOfBlock(CardGeometry::trailerOfSector(keys.sector));
        for (KeyType type : {KeyType::A, KeyType::B}) {
            const std::optional<ClassicKey> &key = keys.key(type);
            if (!key)
                continue;
            const int firstColumn = type == KeyType::A ? 2 : 12;
            for (int j = 0; j < 6; ++j)
                grid.setCell(firstColumn + j, row, Hex::pair(key->bytes[j]));
            ++filled;
        }
    }
    return filled;
}

void FindKeysWindow::readAllWithFoundKeys()
{
    if (!m_result || !m_context.readAll)
        return;
    const SectorKeyPlan plan = SectorKeyPlan::fromSearch(*m_result);
    m_context.readAll->useSectorKeys([plan](int sector) {
        const auto keyOf = [](const SectorAuth &auth) {
            return KeySource::keyBytes(auth.type == KeyType::A ? KeySource::Type::A : KeySource::Type::B,
                                       auth.key.toBytes());
        };
        // A where found, else B; the other found key when the first is refused.
        QList<KeySource> keys;
        if (const std::optional<SectorAuth> first = plan.forSector(sector))
            keys << keyOf(*first);
        if (const std::optional<SectorAuth> second = plan.alternative(sector); second && second != plan.forSector(sector))
            keys << keyOf(*second);
        return keys;
    });
    m_context.runReadAll();
}
